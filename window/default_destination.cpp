#include "window/default_destination.h"

#include "tables/bounded_text.h"
#include "tables/folder_names.h"
#include "tables/tables.h"

int UsableFolderText(const char* text) {
    if (!text || !*text) return 0;
    for (; *text; ++text)
        if ((unsigned char)*text < 32 || *text == 127) return 0;
    return 1;
}

// A folder the install would refuse is not offered: the user would meet the
// refusal only after the question. The text is checked as the install checks
// the field's.
static int AcceptedFolderText(const char* text) {
    char path[DefaultDestinationSize + 1];
    return UsableFolderText(text) && MakeDestinationPath(text, path, sizeof path) &&
           PlainAbsolutePath(path);
}

void ChooseDefaultDestination(const char* perUserPath, const char* programFilesDir, int edition,
                              char* out, int size) {
    if (AcceptedFolderText(perUserPath) && CopyText(out, size, perUserPath)) return;
    char composed[DefaultDestinationSize];
    if (UsableFolderText(programFilesDir) &&
        JoinTexts(composed, sizeof composed, programFilesDir,
                  ProductString(DefaultSubFolder, edition)) &&
        AcceptedFolderText(composed) && CopyText(out, size, composed))
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
