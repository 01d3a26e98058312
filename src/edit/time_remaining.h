#pragma once

#include <cstdint>
#include <string>

namespace pelmora {

// The time-remaining part of the adding's progress text, " [ETR: h:mm:ss]" (hours are not
// limited to two digits): the time spent so far scaled up to the whole run, less the time
// spent, after done of total steps took elapsedSeconds. " [ETR: 0:00:00]" before the first
// step and once all are done. Reckoned in 64 bits, so that a long run of many steps cannot
// wrap the product round.
std::string TimeRemainingText(uint64_t elapsedSeconds, int64_t done, int64_t total);

}  // namespace pelmora
