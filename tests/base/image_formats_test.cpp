#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "base/image_io.h"
#include "test_support.h"

namespace pelmora {
namespace {

// Kills the process (SIGSYS) when it starts a program, forks or opens a socket; threads of
// its own are allowed.
bool ForbidChildrenAndSockets() {
#if defined(__x86_64__)
    constexpr unsigned kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
    constexpr unsigned kArch = AUDIT_ARCH_AARCH64;
#else
    return false;
#endif
    constexpr unsigned kKill = SECCOMP_RET_KILL_PROCESS;
    std::vector<sock_filter> f = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, kKill),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    };
    const auto answer = [&](long nr, unsigned action) {
        f.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(nr), 0, 1));
        f.push_back(BPF_STMT(BPF_RET | BPF_K, action));
    };
    for (const long nr : {SYS_execve, SYS_execveat, SYS_socket, SYS_socketpair}) answer(nr, kKill);
#ifdef SYS_fork
    for (const long nr : {SYS_fork, SYS_vfork}) answer(nr, kKill);
#endif
    // clone3 hides its flags in memory: make the C library fall back to clone.
    answer(SYS_clone3, SECCOMP_RET_ERRNO | ENOSYS);
    // clone is a new thread only with CLONE_THREAD.
    f.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_clone, 0, 3));
    f.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])));
    f.push_back(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, CLONE_THREAD, 1, 0));
    f.push_back(BPF_STMT(BPF_RET | BPF_K, kKill));
    f.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    sock_fprog program{static_cast<unsigned short>(f.size()), f.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) == 0;
}

// Runs body in a forked child under ForbidChildrenAndSockets; what the child's exit says.
std::string RunSandboxed(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(ForbidChildrenAndSockets() ? body() : 100);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? "killed by signal " + std::to_string(WTERMSIG(status))
                               : "exit " + std::to_string(WEXITSTATUS(status));
}

// Only the six formats reach a decoder, and loading anything starts no program, opens no
// socket and no file but the one loaded (an SVG's links, a PostScript interpreter, ...).
TEST(ImageFormats, OnlyTheSixFormatsReachADecoderAndLoadingTouchesNothingElse) {
    test::TempDir dir;
    // What the library would decode or hand on, named to get past a look at the extension.
    const std::string svg =
        "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"8\" height=\"8\">";
    // A whole 2 x 2 GIF; its length comes from the literal so the two cannot drift apart.
    static constexpr char kGif[] =
        "GIF89a\x02\x00\x02\x00\x00\x00\x00,\x00\x00\x00\x00\x02\x00\x02"
        "\x00\x00\x02\x02\x84\x51\x00;";
    const auto svgOf = [&](const std::string& link) {
        return svg + "<image xlink:href=\"" + link + "\" width=\"8\" height=\"8\"/></svg>";
    };
    const std::pair<const char*, std::string> samples[] = {
        {"svg-local.png", svgOf(dir.File("linked.png"))},
        {"svg-self.png", svgOf(dir.File("svg-self.png"))},
        {"svg-net.tga", svgOf("http://127.0.0.1:9/x.png")},
        {"loop.png", "%!PS\n{ } loop\n"},
        {"loop.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 8 8\n{ } loop\n"},
        {"doc.png", "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n"},
        {"movie.png", std::string("\x00\x00\x01\xba\x44\x00\x04\x00\x04\x01\x01\x89\xc3\xf8", 14) +
                          std::string(64, '\0')},
        {"page.png", "<!DOCTYPE html><html><body><img src=\"linked.png\"></body></html>\n"},
        {"icon.png",
         "/* XPM */\nstatic char *x[] = {\"2 2 1 1\", \"a c #ff0000\", \"aa\", \"aa\"};\n"},
        {"pixmap.png", "P6\n2 2\n255\n" + std::string(12, '\x7f')},
        {"pixmap.tga", "P6\n2 2\n255\n" + std::string(12, '\x7f')},
        {"image.png",
         "id=ImageMagick  version=1.0\nclass=DirectClass columns=2 rows=2 depth=8\n"
         "\f\n:\x1a" +
             std::string(12, '\x7f')},
        {"anim.png", std::string(kGif, sizeof kGif - 1)},
    };
    ASSERT_TRUE(SaveImage(test::PatternImage(8, 8, 1), dir.File("linked.png"), ImageFormat::Png));
    for (const auto& [name, bytes] : samples) {
        SCOPED_TRACE(name);
        test::WriteFile(dir.File(name), bytes);
        std::string error;
        EXPECT_FALSE(LoadImage(dir.File(name), &error));
        EXPECT_EQ(error, dir.File(name) + " is not a BMP, PCX, PNG, TGA, TIFF or JPEG file");
        EXPECT_FALSE(LoadScaledImage(dir.File(name), [](int, int) { return std::pair{8, 8}; }));
    }
    // The signature decides, not the name; a TGA needs its name and a TGA header.
    test::WriteFile(dir.File("really-a-png.jpg"), test::ReadFile(dir.File("linked.png")));
    EXPECT_TRUE(LoadImage(dir.File("really-a-png.jpg")));
    ASSERT_TRUE(SaveImage(test::PatternImage(8, 8, 1), dir.File("a.tga"), ImageFormat::Tga));
    const std::string tga = test::ReadFile(dir.File("a.tga"));
    EXPECT_EQ(DetectImageFormat(tga, "a.tga"), ImageFormat::Tga);
    EXPECT_EQ(DetectImageFormat(tga, "a.png"), ImageFormat::Unknown);
    EXPECT_EQ(DetectImageFormat(tga.substr(0, 17), "a.tga"), ImageFormat::Unknown);

    // The guard itself: a child that starts a program does not survive it.
    const std::string guarded = RunSandboxed([] { return std::system("true") == 0 ? 0 : 3; });
    if (guarded == "exit 100") GTEST_SKIP() << "seccomp is not available here";
    EXPECT_EQ(guarded, "killed by signal " + std::to_string(SIGSYS));
    // Real images go through the decoders in the same sandbox.
    ASSERT_TRUE(SaveImage(test::PatternImage(300, 20, 2), dir.File("ok.jpg"), ImageFormat::Jpeg));
    ASSERT_TRUE(SaveImage(test::PatternImage(30, 20, 3), dir.File("ok.tif"), ImageFormat::Tiff));
    const std::string outcome = RunSandboxed([&] {
        SetImageLibraryThreads(1);
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (watch < 0 || ::inotify_add_watch(watch, dir.Path().c_str(), IN_OPEN | IN_CREATE) < 0)
            return 4;
        const auto descriptors = [] {
            return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
        };
        const long before = descriptors();
        // Every open in the folder must be of the file being loaded.
        const auto onlyOpened = [&](const std::string& name) {
            alignas(inotify_event) char buffer[4096];
            for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;)
                for (char* p = buffer; p < buffer + n;) {
                    const auto* e = reinterpret_cast<const inotify_event*>(p);
                    if ((e->mask & IN_CREATE) || e->len == 0 || name != e->name) return false;
                    p += sizeof(inotify_event) + e->len;
                }
            return true;
        };
        for (const auto& [name, bytes] : samples)
            if (LoadImage(dir.File(name)) || !onlyOpened(name)) return 5;
        const auto fit = [](int, int) { return std::pair{4, 4}; };
        for (const std::string name : {"linked.png", "ok.jpg", "ok.tif"})
            if (!LoadImage(dir.File(name)) || !LoadScaledImage(dir.File(name), fit) ||
                !onlyOpened(name))
                return 6;
        return descriptors() == before ? 0 : 8;
    });
    EXPECT_EQ(outcome, "exit 0");
}

}  // namespace
}  // namespace pelmora
