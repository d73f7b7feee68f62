// Platform rules: the pump's interval, system texts.
#include <gtest/gtest.h>

#include <string.h>

#include "exact_buffer.h"
#include "platform/message_pump.h"
#include "platform/system_error.h"

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

TEST(SystemText, DropsTheTrailingLineBreakOnly) {
    struct Case {
        const char* text;
        int length;
    } cases[] = {{"Gone.\r\n", 5}, {"A\r\nB.  ", 7}, {"\r\n", 0},  {"", 0},
                 {"\x1F", 0},      {" ", 1},         {"\xE9\n", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(c.length,
                  LengthWithoutTrailingControls(ExactBytes(c.text).get(), (int)strlen(c.text)))
            << c.text;
}

}  // namespace
