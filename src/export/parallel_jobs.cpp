#include "export/parallel_jobs.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace pelmora {

void RunJobsInParallel(int count, const std::function<void(int index)>& job,
                       const std::function<void(int done)>& stepped) {
    if (count <= 0) return;
    // One thread more than there are cores: each file ends with a wait for the disk, and the
    // spare thread keeps the cores encoding meanwhile.
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int threads = std::min(count, cores + 1);
    if (threads == 1) {
        for (int i = 0; i < count; ++i) {
            job(i);
            if (stepped) stepped(i + 1);
        }
        return;
    }

    std::atomic<int> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    int done = 0;
    auto worker = [&] {
        for (int i = next++; i < count; i = next++) {
            job(i);
            {
                const std::lock_guard<std::mutex> lock(mutex);
                ++done;
            }
            finished.notify_one();
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (int t = 0; t < threads; ++t) pool.emplace_back(worker);

    int reported = 0;
    while (reported < count) {
        int now;
        {
            std::unique_lock<std::mutex> lock(mutex);
            finished.wait(lock, [&] { return done > reported; });
            now = done;
        }
        // Called without the lock, so a slow progress display never holds up the workers.
        while (reported < now) {
            ++reported;
            if (stepped) stepped(reported);
        }
    }
    for (std::thread& t : pool) t.join();
}

}  // namespace pelmora
