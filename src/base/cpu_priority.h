#pragma once

#include <string>

namespace pelmora {

// The three CPU priorities the user chooses from, as the settings file stores them.
constexpr int kCpuPriorityLow = 1;
constexpr int kCpuPriorityNormal = 2;
constexpr int kCpuPriorityHigh = 3;

// The nice value each priority runs the threads at.
constexpr int kLowNice = 19;
constexpr int kNormalNice = 0;
constexpr int kHighNice = -5;

// What asking for a priority came to.
struct CpuPriorityOutcome {
    bool ok = true;
    int inEffect = kCpuPriorityNormal;  // the priority the program now runs at
    std::string message;                // why the system refused; empty when it did not
};

// Puts every thread of the process at the nice value of priority (1 low, 2 normal, 3 high).
// Threads started later inherit the value from the thread that starts them, so the worker,
// decoding and export threads follow too. An unprivileged user may lower the priority but
// not raise it (High, or Normal after Low): the system refuses, nothing changes, and the
// outcome says so. A value outside 1 to 3 changes nothing.
CpuPriorityOutcome ApplyCpuPriority(int priority);

// The priority the calling thread runs at: High below nice 0, Normal at 0, Low above.
int CurrentCpuPriority();

// "High", "Normal" or "Low".
const char* CpuPriorityName(int priority);

}  // namespace pelmora
