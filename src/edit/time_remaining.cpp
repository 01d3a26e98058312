#include "edit/time_remaining.h"

#include <cstdio>

namespace pelmora {

std::string TimeRemainingText(uint64_t elapsedSeconds, int64_t done, int64_t total) {
    uint64_t remaining = 0;
    if (done > 0 && total > done) {
        remaining = static_cast<uint64_t>(total) * elapsedSeconds / static_cast<uint64_t>(done) -
                    elapsedSeconds;
    }
    char text[64];
    std::snprintf(text, sizeof text, " [ETR: %llu:%02u:%02u]",
                  static_cast<unsigned long long>(remaining / 3600),
                  static_cast<unsigned>(remaining / 60 % 60),
                  static_cast<unsigned>(remaining % 60));
    return text;
}

}  // namespace pelmora
