#include "edit/time_remaining.h"

#include <gtest/gtest.h>

#include <climits>

namespace pelmora {
namespace {

TEST(TimeRemaining, ScalesTheTimeSpentToTheWholeRun) {
    struct Case {
        uint64_t elapsed;
        int64_t done, total;
        const char* text;
    };
    const Case cases[] = {
        {600, 0, 100, " [ETR: 0:00:00]"},  // nothing done yet
        {600, 25, 100, " [ETR: 0:30:00]"},
        {3725, 50, 100, " [ETR: 1:02:05]"},
        {360000, 1, 100, " [ETR: 9900:00:00]"},  // hours keep all their digits
        {600, 100, 100, " [ETR: 0:00:00]"},
        {600, 120, 100, " [ETR: 0:00:00]"},  // past the end: nothing left, not a wrap
        // 100 x 50,000,000 s does not fit in 32 bits.
        {50'000'000, 50, 100, " [ETR: 13888:53:20]"},
        // The longest run the editor's tick count measures, over the most steps.
        {4'294'967, 1, INT_MAX, " [ETR: 2562047609058:14:42]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeRemainingText(c.elapsed, c.done, c.total), c.text)
            << c.elapsed << " s, " << c.done << " of " << c.total;
    }
}

}  // namespace
}  // namespace pelmora
