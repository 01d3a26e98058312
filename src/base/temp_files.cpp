#include "base/temp_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/paths.h"

namespace pelmora {

namespace {

// A slot's state word holds a generation count above two state bits, so that unregistering
// (which compares the path first and then frees the slot) cannot free a slot that was freed
// and reused by another thread in between.
constexpr uint32_t kFree = 0;
constexpr uint32_t kBusy = 1;   // being filled or emptied: the handler leaves it alone
constexpr uint32_t kReady = 2;  // holds a path the handler deletes
constexpr uint32_t kStateBits = 3;
constexpr uint32_t kGeneration = 4;

struct Slot {
    std::atomic<uint32_t> state{kFree};
    char path[4096];
};
static_assert(std::atomic<uint32_t>::is_always_lock_free);

constexpr int kSlots = 64;
Slot gSlots[kSlots];

extern "C" void RemoveTempFilesAndExit(int signalNumber) {
    // Only async-signal-safe calls here: unlink and _exit.
    for (Slot& slot : gSlots) {
        if ((slot.state.load(std::memory_order_acquire) & kStateBits) == kReady)
            ::unlink(slot.path);
    }
    ::_exit(128 + signalNumber);
}

}  // namespace

void RegisterTempFile(const std::string& path) {
    if (path.empty() || path.size() >= sizeof(Slot::path)) return;
    for (Slot& slot : gSlots) {
        uint32_t seen = slot.state.load(std::memory_order_relaxed);
        if ((seen & kStateBits) != kFree) continue;
        const uint32_t generation = (seen & ~kStateBits) + kGeneration;
        if (!slot.state.compare_exchange_strong(seen, generation | kBusy,
                                                std::memory_order_acquire))
            continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(generation | kReady, std::memory_order_release);
        return;
    }
}

void UnregisterTempFile(const std::string& path) {
    if (path.empty()) return;
    for (Slot& slot : gSlots) {
        uint32_t seen = slot.state.load(std::memory_order_acquire);
        if ((seen & kStateBits) != kReady || std::strcmp(slot.path, path.c_str()) != 0) continue;
        const uint32_t freed = (seen & ~kStateBits) | kFree;
        if (slot.state.compare_exchange_strong(seen, freed, std::memory_order_acq_rel)) return;
    }
}

void RemoveTempFile(const std::string& path) {
    if (path.empty()) return;
    UnregisterTempFile(path);
    ::unlink(path.c_str());
}

namespace {

// The user's runtime folder when it is safe to use, else the temporary-files folder.
std::string PrivateFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == ::geteuid() && (st.st_mode & 077) == 0 &&
        ::access(runtime, W_OK | X_OK) == 0) {
        const std::string folder = runtime;
        return folder.back() == '/' ? folder : folder + "/";
    }
    return TempFolder();
}

}  // namespace

std::string MakePrivateTempFile(const std::string& prefix, const std::string& suffix) {
    std::string pattern = PrivateFolder() + prefix + "XXXXXX" + suffix;
    const int fd = ::mkostemps(pattern.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
    if (fd < 0) return {};
    ::close(fd);
    RegisterTempFile(pattern);
    return pattern;
}

void CleanUpTempFilesOnSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveTempFilesAndExit;
    sigemptyset(&action.sa_mask);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    // A second signal during the clean-up waits for it instead of cutting it short.
    for (const int s : signals) sigaddset(&action.sa_mask, s);
    for (const int s : signals) {
        struct sigaction previous {};
        if (::sigaction(s, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(s, &action, nullptr);
    }
}

}  // namespace pelmora
