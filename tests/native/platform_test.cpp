// Platform rules: the pump's interval.
#include <gtest/gtest.h>

#include "platform/message_pump.h"

namespace {

TEST(PumpInterval, ElapsesAcrossTheTickCounterWrap) {
    struct Case {
        uint32_t start, now, interval;
        int elapsed;
    } cases[] = {
        {1000, 1000, 0, 1},      {1000, 1009, 10, 0},     {1000, 1010, 10, 1},
        {0xFFFFFFF8u, 1, 10, 0}, {0xFFFFFFF8u, 2, 10, 1}, {0xFFFFFFFFu, 0xFFFFFFFFu, 10, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.elapsed, IntervalElapsed(c.start, c.now, c.interval))
            << c.start << " " << c.now;
}

}  // namespace
