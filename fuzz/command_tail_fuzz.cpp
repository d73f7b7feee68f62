// The command-line tail: always a position inside the line, behind the
// program name and the spaces after it.
#include "fuzz/fuzz_check.h"
#include "startup/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    char* line = TakeText(&in);
    size_t n = strlen(line);
    const char* tail = FindCommandTail(line);
    FUZZ_CHECK(tail >= line && tail <= line + n);

    const char* close = line[0] == '"' ? strchr(line + 1, '"') : NULL;
    if (line[0] == '"' && !close) {
        FUZZ_CHECK(tail == line);  // an unclosed quote: the whole line
    } else {
        const char* nameEnd = close ? close + 1 : line + strcspn(line, " ");
        FUZZ_CHECK(tail >= nameEnd);
        for (const char* p = nameEnd; p < tail; ++p) FUZZ_CHECK(*p == ' ');
        FUZZ_CHECK(*tail != ' ');  // every space skipped, and only spaces
    }
    // The tail of a line made of a name and that tail is the same tail.
    const char* again = FindCommandTail(tail);
    FUZZ_CHECK(again >= tail && again <= line + n);
    free(line);
    return 0;
}
