#include "base/cpu_priority.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "test_support.h"

namespace pelmora {

// Each part runs in a forked child, so that the priority they set (which an unprivileged run could
// not undo) never reaches the other tests; the exit code names the first check that failed.
TEST(CpuPriority, LowReachesEveryThreadAndThoseStartedLaterAndARefusedRaiseKeepsThePriority) {
    EXPECT_EQ(test::ExitCodeInChild([] {
                  std::atomic<bool> release{false};
                  std::atomic<long> earlier{0};
                  std::thread before([&] {
                      earlier = test::CurrentThreadId();
                      while (!release) std::this_thread::yield();
                  });
                  while (earlier == 0) std::this_thread::yield();
                  const CpuPriorityOutcome low = ApplyCpuPriority(kCpuPriorityLow);
                  int later = 0;
                  std::thread([&] { later = test::ThreadNice(test::CurrentThreadId()); }).join();
                  int failed = !low.ok || low.inEffect != kCpuPriorityLow ? 1
                               : test::ThreadNice(earlier) != kLowNice    ? 2
                               : later != kLowNice                        ? 3
                                                                          : 0;
                  for (const int nice : test::AllThreadNices())
                      if (nice != kLowNice && failed == 0) failed = 4;
                  release = true;
                  before.join();
                  // Only the privileged may come back up.
                  if (failed == 0 && geteuid() == 0 &&
                      (ApplyCpuPriority(kCpuPriorityHigh).inEffect != kCpuPriorityHigh ||
                       test::ThreadNice(test::CurrentThreadId()) != kHighNice))
                      failed = 5;
                  return failed;
              }),
              0);
    // A refused raise says so and keeps the priority in effect.
    EXPECT_EQ(test::ExitCodeInChild([] {
                  // From Normal if root (tests may run under nice), as a user who may not raise.
                  if (geteuid() == 0) ApplyCpuPriority(kCpuPriorityNormal);
                  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 9;
                  const rlimit none{0, 0};
                  setrlimit(RLIMIT_NICE, &none);
                  const long self = test::CurrentThreadId();
                  const int startNice = test::ThreadNice(self), start = CurrentCpuPriority();

                  const CpuPriorityOutcome high = ApplyCpuPriority(kCpuPriorityHigh);
                  if (high.ok || high.inEffect != start || test::ThreadNice(self) != startNice)
                      return 1;
                  if (high.message.find("High") == std::string::npos ||
                      high.message.find(CpuPriorityName(start)) == std::string::npos)
                      return 2;
                  if (!ApplyCpuPriority(kCpuPriorityLow).ok) return 3;
                  const CpuPriorityOutcome normal = ApplyCpuPriority(kCpuPriorityNormal);
                  if (normal.ok || normal.inEffect != kCpuPriorityLow ||
                      test::ThreadNice(self) != kLowNice)
                      return 4;
                  const CpuPriorityOutcome odd = ApplyCpuPriority(7);
                  return odd.ok && odd.inEffect == kCpuPriorityLow ? 0 : 5;
              }),
              0);
}

}  // namespace pelmora
