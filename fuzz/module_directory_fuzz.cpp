// The folder of a module path: cut directly behind the last backslash, in
// place, never beyond the text; a path without one stays as it is.
#include "fuzz/fuzz_check.h"
#include "platform/source_directory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    char* original = TakeText(&in);
    size_t n = strlen(original);
    char* path = BufferWith(original, n + 1);
    const char* last = strrchr(original, '\\');

    int cut = CutAfterLastBackslash(path);
    FUZZ_CHECK(cut == (last != NULL));
    if (cut) {
        size_t kept = (size_t)(last - original) + 1;
        FUZZ_CHECK(strlen(path) == kept && path[kept - 1] == '\\');
        FUZZ_CHECK(memcmp(path, original, kept) == 0);
        // Only the terminator was written: the rest of the old text stays.
        if (kept < n) FUZZ_CHECK(memcmp(path + kept + 1, original + kept + 1, n - kept) == 0);
        // A folder is its own folder.
        FUZZ_CHECK(CutAfterLastBackslash(path) == 1 && strlen(path) == kept);
    } else {
        FUZZ_CHECK(memcmp(path, original, n + 1) == 0);
    }
    free(path);
    free(original);
    return 0;
}
