#include "base/cpu_priority.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "export/parallel_jobs.h"
#include "test_support.h"

namespace pelmora {
namespace {

// Runs body in a forked child, so that the priority it sets (which an unprivileged run
// could not undo) never reaches the other tests. The answer is what the child found wrong.
std::string InChild(const std::function<std::string()>& body) {
    int fds[2];
    if (pipe(fds) != 0) return "no pipe";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string wrong = body();
        const ssize_t written = write(fds[1], wrong.data(), wrong.size());
        _exit(written == static_cast<ssize_t>(wrong.size()) ? 0 : 1);
    }
    close(fds[1]);
    std::string wrong;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) wrong.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) wrong += " the child did not end well";
    return wrong;
}

std::string Expect(bool holds, const std::string& what) {
    return holds ? std::string() : what + "; ";
}

TEST(CpuPriority, LowReachesEveryThreadAndThoseStartedLater) {
    EXPECT_EQ(InChild([] {
                  std::string wrong;
                  std::atomic<bool> release{false};
                  std::atomic<long> earlier{0};
                  std::thread before([&] {
                      earlier = test::CurrentThreadId();
                      while (!release) std::this_thread::yield();
                  });
                  while (earlier == 0) std::this_thread::yield();

                  const CpuPriorityOutcome low = ApplyCpuPriority(kCpuPriorityLow);
                  wrong += Expect(low.ok && low.inEffect == kCpuPriorityLow, "Low refused");
                  wrong += Expect(test::ThreadNice(earlier) == kLowNice, "earlier thread");
                  int later = 0;
                  std::thread([&] { later = test::ThreadNice(test::CurrentThreadId()); }).join();
                  wrong += Expect(later == kLowNice, "thread started later");
                  std::mutex lock;
                  std::vector<int> jobs;
                  RunJobsInParallel(4, [&](int) {
                      const int nice = test::ThreadNice(test::CurrentThreadId());
                      const std::lock_guard guard(lock);
                      jobs.push_back(nice);
                  });
                  for (const int nice : jobs) wrong += Expect(nice == kLowNice, "export thread");
                  for (const int nice : test::AllThreadNices())
                      wrong += Expect(nice == kLowNice, "a thread");
                  release = true;
                  before.join();

                  if (geteuid() == 0) {  // only the privileged may come back up
                      wrong +=
                          Expect(ApplyCpuPriority(kCpuPriorityHigh).inEffect == kCpuPriorityHigh,
                                 "High as root");
                      wrong += Expect(test::ThreadNice(test::CurrentThreadId()) == kHighNice,
                                      "High nice");
                  }
                  return wrong;
              }),
              "");
}

TEST(CpuPriority, ARefusedRaiseSaysSoAndKeepsThePriorityInEffect) {
    EXPECT_EQ(InChild([] {
                  std::string wrong;
                  // From Normal where that can be had (the tests may run under "nice").
                  if (geteuid() == 0) ApplyCpuPriority(kCpuPriorityNormal);
                  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                      return std::string("cannot become nobody");
                  // No raise allowance either, whatever the system grants users.
                  const rlimit none{0, 0};
                  setrlimit(RLIMIT_NICE, &none);
                  const long self = test::CurrentThreadId();
                  const int startNice = test::ThreadNice(self);
                  const int start = CurrentCpuPriority();

                  const CpuPriorityOutcome high = ApplyCpuPriority(kCpuPriorityHigh);
                  wrong += Expect(!high.ok && high.inEffect == start, "High");
                  wrong +=
                      Expect(high.message.find("High") != std::string::npos &&
                                 high.message.find(CpuPriorityName(start)) != std::string::npos,
                             "message: " + high.message);
                  wrong += Expect(test::ThreadNice(self) == startNice, "nice after High");

                  wrong += Expect(ApplyCpuPriority(kCpuPriorityLow).ok, "Low");
                  const CpuPriorityOutcome normal = ApplyCpuPriority(kCpuPriorityNormal);
                  wrong += Expect(!normal.ok && normal.inEffect == kCpuPriorityLow, "Normal");
                  wrong += Expect(test::ThreadNice(self) == kLowNice, "nice after Normal");

                  const CpuPriorityOutcome odd = ApplyCpuPriority(7);
                  wrong += Expect(odd.ok && odd.inEffect == kCpuPriorityLow, "value 7");
                  return wrong;
              }),
              "");
}

}  // namespace
}  // namespace pelmora
