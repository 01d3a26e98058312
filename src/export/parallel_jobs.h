#pragma once

#include <functional>

namespace pelmora {

// Runs job(0) ... job(count - 1) on a few threads (one per core, plus one) and calls stepped(done)
// on the calling thread after each job ends, with done = 1, 2, ... count, so that progress
// reporting never leaves the caller's thread. Jobs must not throw and must not share
// mutable state without a lock.
void RunJobsInParallel(int count, const std::function<void(int index)>& job,
                       const std::function<void(int done)>& stepped = {});

}  // namespace pelmora
