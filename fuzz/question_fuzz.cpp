// Formatted questions: the question's own words always stay whole; the path
// is shown whole or cut with "...", and the result never leaves its buffer.
#include "fuzz/fuzz_check.h"
#include "tables/bounded_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    int bufferSize = TakeByte(&in) < 0x80 ? 256 : TakeByte(&in);
    char* format = TakeText(&in);
    char* text = TakeText(&in);
    const char* insert = strstr(format, "%s");
    size_t before = insert ? (size_t)(insert - format) : strlen(format);
    const char* after = insert ? insert + 2 : format + before;
    size_t fixed = before + strlen(after);

    char* out = PatternBuffer((size_t)bufferSize);
    int made = FormatQuestion(format, text, out, bufferSize);
    FUZZ_CHECK(made == (fixed + 4 <= (size_t)bufferSize));
    if (!made) {
        FUZZ_CHECK(StillPattern(out, (size_t)bufferSize));
    } else {
        size_t n = strlen(out);
        FUZZ_CHECK(n < (size_t)bufferSize);
        FUZZ_CHECK(memcmp(out, format, before) == 0);
        FUZZ_CHECK(strcmp(out + n - strlen(after), after) == 0);
        size_t shown = n - fixed;
        const char* middle = out + before;
        if (!insert) {
            FUZZ_CHECK(shown == 0);
        } else if (shown == strlen(text)) {
            FUZZ_CHECK(memcmp(middle, text, shown) == 0);
        } else {
            // Cut: as much of the path as fits, then the ellipsis, filling the buffer.
            FUZZ_CHECK(shown >= 3 && shown < strlen(text) + 3 && n == (size_t)bufferSize - 1);
            FUZZ_CHECK(memcmp(middle, text, shown - 3) == 0);
            FUZZ_CHECK(memcmp(middle + shown - 3, "...", 3) == 0);
        }
    }
    free(out);
    free(text);
    free(format);
    return 0;
}
