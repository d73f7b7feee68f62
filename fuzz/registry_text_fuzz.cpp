// Registry data and the default destination: a value read into a buffer ends
// up terminated inside it or is refused, and the chosen default always fits
// and names a folder the install accepts.
#include "fuzz/fuzz_check.h"
#include "tables/folder_names.h"
#include "tables/tables.h"
#include "window/default_destination.h"

// As the install takes the field's text.
static int Accepted(const char* text) {
    char path[DefaultDestinationSize + 1];
    return UsableFolderText(text) && MakeDestinationPath(text, path, sizeof path) &&
           PlainAbsolutePath(path);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    unsigned long limit = TakeByte(&in);
    unsigned long cb = TakeByte(&in);
    int edition = TakeByte(&in) & 1;
    int outSize = 1 + TakeByte(&in);
    // The registry returns cb bytes into a buffer of limit + 1.
    char* buffer = PatternBuffer(limit + 1);
    for (unsigned long i = 0; i < cb && i <= limit; ++i) buffer[i] = (char)TakeByte(&in);
    int terminated = TerminateRegistryText(buffer, cb, limit);
    if (terminated) FUZZ_CHECK(memchr(buffer, 0, limit + 1) != NULL && cb <= limit);
    if (cb > limit) FUZZ_CHECK(!terminated);

    char* perUser = TakeText(&in);
    char* programFiles = TakeText(&in);
    uint8_t which = TakeByte(&in);
    char* out = PatternBuffer((size_t)outSize);
    ChooseDefaultDestination(which & 1 ? perUser : NULL, which & 2 ? programFiles : NULL, edition,
                             out, outSize);
    // The fallback folder is short; the buffers the window uses hold it.
    if (outSize > (int)strlen(ProductString(FallbackFolder, edition)))
        FUZZ_CHECK(memchr(out, 0, (size_t)outSize) != NULL && out[0] != 0);
    if (which & 1 && Accepted(perUser) && strlen(perUser) < (size_t)outSize)
        FUZZ_CHECK(strcmp(out, perUser) == 0);
    // What the install would refuse is never offered; nothing fitting leaves out empty.
    FUZZ_CHECK(out[0] == 0 || Accepted(out));
    free(out);
    free(programFiles);
    free(perUser);
    free(buffer);
    return 0;
}
