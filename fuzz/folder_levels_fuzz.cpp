// Folder levels of Create folder path: for an accepted DestinationPath each
// level is a longer prefix that ends before a backslash, the levels end, and
// the last one is the whole path.
#include "fuzz/fuzz_check.h"
#include "install/copy.h"
#include "install/plan.h"
#include "tables/bounded_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    int edition = TakeByte(&in) & 1;
    char* text = TakeText(&in);
    char path[PathBufferSize];
    // The install hands over only what it accepted.
    if (!MakeDestinationPath(text, path, sizeof path) ||
        !DestinationPathAcceptable(path, edition, 0)) {
        free(text);
        return 0;
    }
    size_t n = strlen(path);
    char* copy = BufferWith(path, n + 1);  // exact size: reading past it is seen

    // Backslashes after the first character, in order.
    size_t separators[PathBufferSize], count = 0;
    for (size_t i = 1; i < n; ++i)
        if (copy[i] == '\\') separators[count++] = i;

    int previous = 0, last = 0, level = 2;
    for (; !last; ++level) {
        FUZZ_CHECK(level <= (int)n + 2);  // the levels end
        int length = FolderLevelLength(copy, level, &last);
        FUZZ_CHECK(length > previous && length <= (int)n);
        if (last) {
            FUZZ_CHECK(length == (int)n && (size_t)level == count + 1);
        } else {
            FUZZ_CHECK((size_t)level <= count && (size_t)length == separators[level - 1]);
        }
        previous = length;
    }
    FUZZ_CHECK(strcmp(copy, path) == 0);  // the path is only read
    free(copy);
    free(text);
    return 0;
}
