// DestinationPath and its validity: the path ends in exactly one added
// backslash or is refused whole, and an accepted path is a drive, a colon and
// a backslash followed by plain folder names, with room for every name the
// install composes with it (the names found on the disk among them), in the
// buffers the install uses.
#include "fuzz/fuzz_check.h"
#include "install/plan.h"
#include "install/start_product.h"
#include "install/install_tables.h"
#include "progman/progman.h"
#include "tables/tables.h"

// What the install joins to an accepted DestinationPath, in the plan's buffer
// of each text.
static void CheckRoomForInstalledNames(const char* path, int edition, int longestDiskName) {
    char out[DdeCommandSize];
    for (int row = 0; row < FileManifestRows; ++row)
        FUZZ_CHECK(JoinTexts(out, PathBufferSize, path, ManifestFileName(row, edition)));
    // The file of ours that a viewer file is copied into first.
    char viewerFile[PathBufferSize];
    FUZZ_CHECK(JoinTexts(viewerFile, PathBufferSize, path, "viewer\\v"));
    FUZZ_CHECK(CopyTempPath(viewerFile, 0xFFFF, out, PathBufferSize));
    FUZZ_CHECK(strlen(out) == strlen(path) + 7 + CopyTempNameLength);
    FUZZ_CHECK((int)strlen(path) + longestDiskName <= PathBufferSize - 1);
    for (int language = 0; language < MarkerLanguageCount; ++language) {
        const char* marker = MarkerName(language);
        if (marker) FUZZ_CHECK(JoinTexts(out, PathBufferSize, path, marker));
    }
    FUZZ_CHECK(JoinTexts(out, PathBufferSize, path, MainExecutableName(edition)));
    FUZZ_CHECK(ProgramCommandLine(path, MainExecutableName(edition), out, ProgramCommandSize));
    FUZZ_CHECK(PerUserPathValue(path, out, PathBufferSize));
    FUZZ_CHECK(UninstallCommand(path, MainExecutableName(edition), out, UninstallCommandSize));
    char program[PathBufferSize];
    FUZZ_CHECK(JoinTexts(program, sizeof program, path, MainExecutableName(edition)));
    FUZZ_CHECK(
        ComposeAddItemCommand(out, DdeCommandSize, program, ProductString(ProductName, edition)));
}

// Every level after "X:\" is a name the system keeps as typed.
static void CheckPlainAbsolute(const char* path) {
    char c = path[0] | 0x20;
    FUZZ_CHECK(c >= 'a' && c <= 'z' && path[1] == ':' && path[2] == '\\');
    const char* name = path + 3;
    while (*name) {
        const char* end = strchr(name, '\\');
        size_t length = end ? (size_t)(end - name) : strlen(name);
        FUZZ_CHECK(length > 0 && name[length - 1] != '.' && name[length - 1] != ' ');
        for (size_t i = 0; i < length; ++i)
            FUZZ_CHECK((unsigned char)name[i] >= 32 && !strchr("<>:\"/|?*", name[i]));
        FUZZ_CHECK(PlainFolderName(name, (int)length));
        if (!end) break;
        name = end + 1;
    }
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
    int longestDiskName = TakeByte(&in);
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
        int accepted = DestinationPathAcceptable(path, edition, longestDiskName);
        if (accepted) {
            CheckPlainAbsolute(path);
            CheckRoomForInstalledNames(path, edition, longestDiskName);
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
    DestinationPathAcceptable(text, edition, longestDiskName);
    free(path);
    free(text);
    return 0;
}
