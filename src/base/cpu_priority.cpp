#include "base/cpu_priority.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <set>

namespace pelmora {

namespace {

int NiceFor(int priority) {
    switch (priority) {
        case kCpuPriorityLow:
            return kLowNice;
        case kCpuPriorityHigh:
            return kHighNice;
        default:
            return kNormalNice;
    }
}

// The ids of the process's threads as the kernel lists them now.
std::set<pid_t> ThreadIds() {
    std::set<pid_t> ids;
    DIR* dir = opendir("/proc/self/task");
    if (dir == nullptr) return ids;
    while (const dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long id = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && id > 0) ids.insert(static_cast<pid_t>(id));
    }
    closedir(dir);
    return ids;
}

}  // namespace

CpuPriorityOutcome ApplyCpuPriority(int priority) {
    CpuPriorityOutcome outcome;
    if (priority < kCpuPriorityLow || priority > kCpuPriorityHigh) {
        outcome.inEffect = CurrentCpuPriority();
        return outcome;
    }
    const int nice = NiceFor(priority);
    // The calling thread first: if the system refuses it, it refuses every thread alike, and
    // no thread is left at a priority of its own.
    const auto self = static_cast<pid_t>(syscall(SYS_gettid));
    if (setpriority(PRIO_PROCESS, static_cast<id_t>(self), nice) != 0) {
        outcome.ok = false;
        outcome.inEffect = CurrentCpuPriority();
        outcome.message = std::string("The system did not allow the CPU priority to be set to ") +
                          CpuPriorityName(priority) +
                          ": only an administrator may raise a program's priority.\nPelmora "
                          "keeps running at " +
                          CpuPriorityName(outcome.inEffect) + " priority.";
        return outcome;
    }
    // A thread being started while the list is read may escape one pass; it inherits from a
    // thread already changed, or the next pass finds it.
    std::set<pid_t> done{self};
    for (int pass = 0; pass < 4; ++pass) {
        bool found = false;
        for (const pid_t id : ThreadIds()) {
            if (!done.insert(id).second) continue;
            found = true;
            // A thread that ended meanwhile (ESRCH) needs nothing.
            setpriority(PRIO_PROCESS, static_cast<id_t>(id), nice);
        }
        if (!found) break;
    }
    outcome.inEffect = CurrentCpuPriority();
    return outcome;
}

int CurrentCpuPriority() {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
    if (nice == -1 && errno != 0) return kCpuPriorityNormal;
    if (nice < kNormalNice) return kCpuPriorityHigh;
    if (nice > kNormalNice) return kCpuPriorityLow;
    return kCpuPriorityNormal;
}

const char* CpuPriorityName(int priority) {
    switch (priority) {
        case kCpuPriorityLow:
            return "Low";
        case kCpuPriorityHigh:
            return "High";
        default:
            return "Normal";
    }
}

}  // namespace pelmora
