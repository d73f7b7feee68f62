#include "window/default_destination.h"

#include "tables/bounded_text.h"
#include "tables/tables.h"

int UsableFolderText(const char* text) {
    if (!text || !*text) return 0;
    for (; *text; ++text)
        if ((unsigned char)*text < 32 || *text == 127) return 0;
    return 1;
}

void ChooseDefaultDestination(const char* perUserPath, const char* programFilesDir, int edition,
                              char* out, int size) {
    if (UsableFolderText(perUserPath) && CopyText(out, size, perUserPath)) return;
    if (UsableFolderText(programFilesDir) && CopyText(out, size, programFilesDir) &&
        AppendText(out, size, ProductString(DefaultSubFolder, edition)))
        return;
    if (!CopyText(out, size, ProductString(FallbackFolder, edition)) && size > 0) out[0] = 0;
}

int TerminateRegistryText(char* buffer, unsigned long cb, unsigned long limit) {
    if (cb > limit) return 0;
    for (unsigned long i = 0; i < cb; ++i)
        if (buffer[i] == '\0') return 1;
    // No terminator in the data: a full read means the text did not fit.
    if (cb == limit) return 0;
    buffer[cb] = '\0';
    return 1;
}
