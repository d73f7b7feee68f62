// DestinationPath and its validity: the path ends in exactly one added
// backslash or is refused whole, and an accepted path leaves room for every
// name the install composes with it, in the buffers the install uses.
#include "fuzz/fuzz_check.h"
#include "install/install_rules.h"
#include "install/install_tables.h"
#include "tables/tables.h"

// What the install joins to an accepted DestinationPath, in which buffer.
static void CheckRoomForInstalledNames(const char* path, int edition) {
    char out[PathBufferSize + 2];
    for (int row = 0; row < FileManifestRows; ++row)
        FUZZ_CHECK(JoinTexts(out, PathBufferSize, path, ManifestFileName(row, edition)));
    FUZZ_CHECK(JoinTexts(out, PathBufferSize, path, "viewer\\"));
    for (int language = 0; language < MarkerLanguageCount; ++language) {
        const char* marker = MarkerName(language);
        if (marker) FUZZ_CHECK(JoinTexts(out, MessageTextSize, path, marker));
    }
    FUZZ_CHECK(JoinTexts(out, MessageTextSize, path, MainExecutableName(edition)));
    FUZZ_CHECK(ProgramCommandLine(path, MainExecutableName(edition), out, sizeof out));
    FUZZ_CHECK(PerUserPathValue(path, out, MessageTextSize));
}

// A composing helper either writes exactly the expected text or nothing.
static void CheckQuotedProgram(const char* path, const char* program, int size, int uninstall) {
    char expected[1200];
    snprintf(expected, sizeof expected, "\"%s%s\"%s", path, program, uninstall ? " uninst" : "");
    char* out = PatternBuffer((size_t)size);
    int made = uninstall ? UninstallCommand(path, program, out, size)
                         : ProgramCommandLine(path, program, out, size);
    FUZZ_CHECK(made == (strlen(expected) < (size_t)size));
    FUZZ_CHECK(made ? strcmp(out, expected) == 0 : StillPattern(out, (size_t)size));
    free(out);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    int edition = TakeByte(&in) & 1;
    int outSize = 10 + TakeByte(&in) * 2;
    char* text = TakeText(&in);
    size_t n = strlen(text);

    char* path = BufferWith("untouched", PathBufferSize);
    int made = MakeDestinationPath(text, path, PathBufferSize);
    int endsInBackslash = n > 0 && text[n - 1] == '\\';
    size_t wanted = n + (endsInBackslash ? 0 : 1);
    FUZZ_CHECK(made == (wanted < PathBufferSize));
    if (made) {
        FUZZ_CHECK(strlen(path) == wanted && memcmp(path, text, n) == 0);
        FUZZ_CHECK(path[wanted - 1] == '\\');
        int accepted = DestinationPathAcceptable(path, edition);
        if (accepted) {
            FUZZ_CHECK(wanted >= 3 && !(path[0] == '\\' && path[1] == '\\'));
            CheckRoomForInstalledNames(path, edition);
        }
        // The per-user value drops the one backslash again.
        char value[PathBufferSize];
        FUZZ_CHECK(PerUserPathValue(path, value, sizeof value));
        FUZZ_CHECK(strlen(value) == wanted - 1 && memcmp(value, path, wanted - 1) == 0);
        CheckQuotedProgram(path, MainExecutableName(edition), outSize, 0);
        CheckQuotedProgram(path, MainExecutableName(edition), outSize, 1);
    } else {
        FUZZ_CHECK(strcmp(path, "untouched") == 0);
    }
    // Any text at all may be asked about without reading beyond it.
    DestinationPathAcceptable(text, edition);
    free(path);
    free(text);
    return 0;
}
