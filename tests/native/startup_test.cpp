#include <gtest/gtest.h>

#include <string>

#include "exact_buffer.h"
#include "startup/command_line.h"

TEST(CommandTail, FollowsTheProgramName) {
    struct Case {
        const char* line;
        const char* tail;
    } cases[] = {
        {"\"C:\\Program Files\\Setup Dir\\setup.exe\"   extra", "extra"},
        {"\"C:\\Setup\\setup.exe\"", ""},
        {"\"C:\\Setup\\setup.exe   extra", "\"C:\\Setup\\setup.exe   extra"},  // no closing quote
        {"setup.exe one two", "one two"},
        {"setup.exe", ""},
        {"setup.exe\textra", ""},  // a tab is no separator
        {"", ""},
        {"\"\"  x", "x"},
    };
    for (const Case& c : cases) {
        HeapBlock line = ExactText(c.line);
        EXPECT_STREQ(c.tail, FindCommandTail(line.get())) << c.line;
    }
}
