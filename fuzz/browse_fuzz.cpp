// Browsing: the folder the browser opens on is a prefix of the destination,
// and a composed destination names the product folder, fits its limit and
// trims back to the folder that was chosen. A refusal leaves the path alone.
#include "fuzz/fuzz_check.h"
#include "tables/tables.h"
#include "window/browse.h"

// The product folder: either edition's name, or a short name of the input's
// own (never empty and without a backslash, as a product name is).
static char* TakeProductName(FuzzInput* in) {
    uint8_t choice = TakeByte(in);
    if (choice < 0x80) {
        const char* name = ProductString(ProductName, choice & 1);
        return BufferWith(name, strlen(name) + 1);
    }
    char* name = TakeText(in);
    for (char* p = name; *p; ++p)
        if (*p == '\\') *p = '_';
    if (!*name) {
        free(name);
        name = BufferWith("P", 2);
    }
    return name;
}

static void CheckTrim(const char* original, const char* name) {
    size_t n = strlen(original), l = strlen(name);
    char* path = BufferWith(original, n + 1);
    TrimProductFolder(path, name);
    size_t m = strlen(path);
    FUZZ_CHECK(m <= n && memcmp(path, original, m) == 0);
    if (m < n) {
        FUZZ_CHECK(n > l + 2 && EndsWithLetters(original, name));
        // The separator goes with the product folder, except at a drive root.
        FUZZ_CHECK(m == n - l - 1 || (m == n - l && original[n - l - 2] == ':'));
    }
    free(path);
}

static void CheckCompose(const char* original, const char* name, int size) {
    size_t n = strlen(original), l = strlen(name);
    if ((int)n >= size) return;  // the browser's buffer holds what it returns
    char* path = BufferWith(original, (size_t)size);
    int composed = ComposeDestination(path, size, name);
    size_t m = strlen(path);
    if (!composed) {
        FUZZ_CHECK(strcmp(path, original) == 0);
        FUZZ_CHECK(n + 1 + l > DestinationLimit || n + 1 + l >= (size_t)size ||
                   n > DestinationLimit);
    } else {
        FUZZ_CHECK(m <= DestinationLimit && (int)m < size);
        FUZZ_CHECK(EndsWithLetters(path, name) && memcmp(path, original, n) == 0);
        if (m > n) {
            // Round trip: trimming gives back the chosen folder, give or take
            // the separator at its end.
            char* trimmed = BufferWith(path, m + 1);
            TrimProductFolder(trimmed, name);
            size_t t = strlen(trimmed);
            if (m > l + 2) {
                FUZZ_CHECK(memcmp(trimmed, original, t < n ? t : n) == 0);
                FUZZ_CHECK(t + 1 == n || t == n || t == n + 1);
                if (t != n) FUZZ_CHECK((t > n ? trimmed[n] : original[t]) == '\\');
            }
            free(trimmed);
        }
    }
    free(path);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    char* name = TakeProductName(&in);
    int bufferSize = TakeByte(&in) < 0xC0 ? BrowsePathSize : 1 + TakeByte(&in);
    char* path = TakeText(&in);
    CheckTrim(path, name);
    CheckCompose(path, name, bufferSize);
    free(path);
    free(name);
    return 0;
}
