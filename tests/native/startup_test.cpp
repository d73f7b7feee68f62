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

TEST(SourceDirectory, CutsBehindTheLastBackslash) {
    struct Case {
        const char* path;
        const char* folder;
        int found;
    } cases[] = {
        {"C:\\Program Files\\Setup Dir\\setup.exe", "C:\\Program Files\\Setup Dir\\", 1},
        {"D:\\SETUP.EXE", "D:\\", 1},
        {"C:\\Setup\\", "C:\\Setup\\", 1},  // a folder already
        {"\\\\server\\share\\setup.exe", "\\\\server\\share\\", 1},
        {"setup.exe", "setup.exe", 0},
        {"\\setup.exe", "\\", 1},  // the only backslash is the first character
        {"", "", 0},
    };
    for (const Case& c : cases) {
        HeapBlock buffer = ExactText(c.path);
        EXPECT_EQ(c.found, CutAfterLastBackslash(buffer.get())) << c.path;
        EXPECT_STREQ(c.folder, buffer.get());
    }
}
