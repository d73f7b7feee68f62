// The bounded text helpers everything composes with: a copy or an append
// either fits whole or leaves the buffer exactly as it was.
#include "fuzz/fuzz_check.h"
#include "tables/bounded_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    int bufferSize = TakeByte(&in);
    char* first = TakeText(&in);
    char* second = TakeText(&in);
    size_t a = strlen(first), b = strlen(second);
    FUZZ_CHECK(TextLength(first) == (int)a);

    char* buffer = PatternBuffer((size_t)bufferSize);
    int copied = CopyText(buffer, bufferSize, first);
    FUZZ_CHECK(copied == (a < (size_t)bufferSize));
    if (!copied) {
        FUZZ_CHECK(StillPattern(buffer, (size_t)bufferSize));
    } else {
        FUZZ_CHECK(strcmp(buffer, first) == 0);
        char* before = (char*)malloc((size_t)bufferSize);
        memcpy(before, buffer, (size_t)bufferSize);
        int appended = AppendText(buffer, bufferSize, second);
        FUZZ_CHECK(appended == (a + b < (size_t)bufferSize));
        if (appended)
            FUZZ_CHECK(memcmp(buffer, first, a) == 0 && strcmp(buffer + a, second) == 0);
        else
            FUZZ_CHECK(memcmp(buffer, before, (size_t)bufferSize) == 0);
        free(before);
    }

    // JoinTexts agrees with copy-then-append, and refuses without writing.
    char* joined = PatternBuffer((size_t)bufferSize);
    int join = JoinTexts(joined, bufferSize, first, second);
    FUZZ_CHECK(join == (a + b < (size_t)bufferSize));
    if (join)
        FUZZ_CHECK(memcmp(joined, first, a) == 0 && strcmp(joined + a, second) == 0);
    else
        FUZZ_CHECK(StillPattern(joined, (size_t)bufferSize));

    int equal = EqualIgnoringCase(first, second);
    FUZZ_CHECK(equal == (a == b && SameLetters(first, second, a)));
    FUZZ_CHECK(equal == EqualIgnoringCase(second, first));
    free(joined);
    free(buffer);
    free(second);
    free(first);
    return 0;
}
