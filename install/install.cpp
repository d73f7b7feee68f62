#include "install/install.h"

#include "install/install_tables.h"
#include "progman/progman.h"
#include "tables/bounded_text.h"
#include "tables/notice.h"
#include "tables/tables.h"

const char* FindCharacterForward(const char* text, char character) {
    for (;; ++text) {
        if (*text == character) return text;
        if (*text == 0) return 0;
    }
}

int MakeDestinationPath(const char* text, char* path, int size) {
    int n = TextLength(text);
    if (n > 0 && text[n - 1] == '\\') return CopyText(path, size, text);
    return JoinTexts(path, size, text, "\\");
}

int CopyTempPath(const char* destination, unsigned number, char* out, int size) {
    // "~stp" and four hexadecimal digits: CopyTempNameLength characters.
    char name[CopyTempNameLength + 1] = "~stp0000.tmp";
    for (int i = 7; i >= 4; --i, number >>= 4) name[i] = "0123456789ABCDEF"[number & 15];
    int folder = TextLength(destination);
    while (folder > 0 && destination[folder - 1] != '\\') --folder;
    if (folder + CopyTempNameLength >= size) return 0;
    for (int i = 0; i < folder; ++i) out[i] = destination[i];
    out[folder] = 0;
    return AppendText(out, size, name);
}

static int Longer(int longest, int n) { return n > longest ? n : longest; }

static int LongestManifestName(int edition) {
    int longest = 0;
    for (int row = 0; row < FileManifestRows; ++row)
        longest = Longer(longest, TextLength(ManifestFileName(row, edition)));
    return longest;
}

enum { ViewerPrefixLength = sizeof "viewer\\" - 1 };  // ViewerFolder and its backslash

static int LongestInstalledName(int edition, int longestDiskName) {
    int longest = Longer(LongestManifestName(edition), longestDiskName);
    longest = Longer(longest, ViewerPrefixLength + CopyTempNameLength);
    for (int language = 0; language < MarkerLanguageCount; ++language) {
        const char* marker = MarkerName(language);
        if (marker) longest = Longer(longest, TextLength(marker));
    }
    return longest;
}

static int IsReservedDeviceName(const char* name, int length) {
    // The system matches the part before the first dot, spaces dropped.
    int n = 0;
    while (n < length && name[n] != '.') ++n;
    while (n > 0 && name[n - 1] == ' ') --n;
    char base[8];
    if (n >= (int)sizeof base) return 0;
    for (int i = 0; i < n; ++i) base[i] = name[i];
    base[n] = 0;
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : devices)
        if (EqualIgnoringCase(base, device)) return 1;
    if (n == 4 && base[3] >= '1' && base[3] <= '9') {
        base[3] = 0;
        return EqualIgnoringCase(base, "COM") || EqualIgnoringCase(base, "LPT");
    }
    return 0;
}

int PlainFolderName(const char* name, int length) {
    if (length <= 0) return 0;
    // The system drops a trailing space or dot, so the folder made would not
    // be the one typed; this covers "." and ".." too.
    if (name[length - 1] == ' ' || name[length - 1] == '.') return 0;
    for (int i = 0; i < length; ++i) {
        if ((unsigned char)name[i] < 32 || FindCharacterForward("<>:\"/\\|?*", name[i])) return 0;
    }
    return !IsReservedDeviceName(name, length);
}

static int IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Relative texts would be resolved against whatever folder is current.
static int PlainAbsolutePath(const char* path) {
    if (!IsDriveLetter(path[0]) || path[1] != ':' || path[2] != '\\') return 0;
    for (const char* name = path + 3; *name;) {
        const char* end = FindCharacterForward(name, '\\');
        int length = end ? (int)(end - name) : TextLength(name);
        if (!PlainFolderName(name, length)) return 0;
        if (!end) break;
        name = end + 1;
    }
    return 1;
}

// The texts composed with the destination in their own buffers.
static int RoomForComposedTexts(const char* path, int edition) {
    const char* program = MainExecutableName(edition);
    char programPath[MessageTextSize], text[DdeCommandSize];
    return UninstallCommand(path, program, text, MessageTextSize) &&
           JoinTexts(programPath, MessageTextSize, path, program) &&
           ComposeAddItemCommand(text, DdeCommandSize, programPath,
                                 ProductString(ProductName, edition));
}

int DestinationPathAcceptable(const char* path, int edition, int longestDiskName) {
    if (!PlainAbsolutePath(path)) return 0;
    if (TextLength(path) + LongestInstalledName(edition, longestDiskName) > PathBufferSize - 1)
        return 0;
    return RoomForComposedTexts(path, edition);
}

int SourceDirectoryAcceptable(const char* sourceDirectory, int edition, int longestDiskName) {
    // The searches for the pattern files and the viewer's files count too.
    int longest = Longer(LongestManifestName(edition), longestDiskName);
    longest = Longer(longest, ViewerPrefixLength + 1);
    return TextLength(sourceDirectory) + longest <= PathBufferSize - 1;
}

uint64_t BytesOnVolume(uint64_t size, uint32_t clusterSize) {
    if (clusterSize == 0) return size;
    return (size + clusterSize - 1) / clusterSize * clusterSize;
}

// The amount in KB, MB or GB, whichever keeps it below five digits.
static int FormatAmount(uint64_t bytes, int roundUp, char* out, int size) {
    static const char* const units[] = {" KB", " MB", " GB"};
    uint64_t amount = bytes;
    int unit = 0;
    for (;; ++unit) {
        amount = roundUp ? (amount + 1023) / 1024 : amount / 1024;
        if (amount < 10000 || unit == 2) break;
    }
    char digits[24];
    int n = 0;
    do {
        digits[n++] = (char)('0' + amount % 10);
        amount /= 10;
    } while (amount);
    char text[32];
    for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    text[n] = 0;
    return CopyText(out, size, text) && AppendText(out, size, units[unit]);
}

int FormatSpaceMessage(const char* format, uint64_t needed, uint64_t available, char* out,
                       int size) {
    char amounts[2][32];
    if (!FormatAmount(needed, 1, amounts[0], sizeof amounts[0]) ||
        !FormatAmount(available, 0, amounts[1], sizeof amounts[1]) || size <= 0)
        return 0;
    int k = 0, inserted = 0;
    for (const char* f = format; *f; ++f) {
        const char* piece = 0;
        char one[2] = {*f, 0};
        if (f[0] == '%' && f[1] == 's' && inserted < 2) {
            piece = amounts[inserted++];
            ++f;
        } else {
            piece = one;
        }
        for (; *piece; ++piece) {
            if (k + 1 >= size) return 0;
            out[k++] = *piece;
        }
    }
    out[k] = 0;
    return 1;
}

int FolderLevelLength(const char* path, int level, int* last) {
    const char* end = path;
    if (!*path) {  // searching from behind the terminator would read past it
        *last = 1;
        return 0;
    }
    // The first character is never a separator of levels.
    for (int n = 0; n < level; ++n) {
        end = FindCharacterForward(end + 1, '\\');
        if (!end) {
            *last = 1;
            return TextLength(path);
        }
    }
    *last = 0;
    return (int)(end - path);
}

int ManifestRowIsMandatory(int row) { return row >= 0 && row < MandatoryRowCount; }

enum CopyFailureAction ActionAfterCopyAnswer(int answer) {
    if (answer == AnswerAbort) return StopInstalling;
    if (answer == AnswerRetry) return RetryCopy;
    return GoOn;
}

int CopyFailurePassedOver(int mandatory, int sourceFailed, uint32_t error) {
    return !mandatory && sourceFailed && (error == FileNotFoundError || error == PathNotFoundError);
}

int AnswerGoesOn(int answer) { return answer == AnswerYes; }

int JoinTexts(char* out, int size, const char* first, const char* second) {
    if (TextLength(first) + TextLength(second) >= size) return 0;
    CopyText(out, size, first);
    return AppendText(out, size, second);
}

int UninstallKeyName(int edition, char* out, int size) {
    return JoinTexts(out, size, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                     ProductString(DefaultSubFolder, edition));
}

static int QuotedProgram(const char* destinationPath, const char* program, const char* tail,
                         char* out, int size) {
    int n = TextLength(destinationPath) + TextLength(program) + TextLength(tail) + 2;
    if (n >= size) return 0;
    CopyText(out, size, "\"");
    AppendText(out, size, destinationPath);
    AppendText(out, size, program);
    AppendText(out, size, "\"");
    return AppendText(out, size, tail);
}

int UninstallCommand(const char* destinationPath, const char* program, char* out, int size) {
    return QuotedProgram(destinationPath, program, " uninst", out, size);
}

int ProgramCommandLine(const char* destinationPath, const char* program, char* out, int size) {
    return QuotedProgram(destinationPath, program, "", out, size);
}

uint32_t EstimatedSizeKiB(uint64_t bytes) {
    uint64_t kib = bytes / 1024 + (bytes % 1024 != 0);
    return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)kib;
}

int ComposeUninstallEntry(const char* destinationPath, int edition, uint64_t copiedBytes,
                          struct UninstallEntry* entry) {
    const char* program = MainExecutableName(edition);
    if (!UninstallKeyName(edition, entry->keyName, sizeof entry->keyName) ||
        !UninstallCommand(destinationPath, program, entry->command, sizeof entry->command) ||
        !JoinTexts(entry->icon, sizeof entry->icon, destinationPath, program) ||
        !CopyText(entry->location, sizeof entry->location, destinationPath))
        return 0;
    const struct UninstallValue values[UninstallValueCount] = {
        {"DisplayName", ProductString(ProductName, edition), 0},
        {"UninstallString", entry->command, 0},
        {"DisplayVersion", PRODUCT_VERSION, 0},
        {"Publisher", MAKER_NAME, 0},
        {"DisplayIcon", entry->icon, 0},
        {"InstallLocation", entry->location, 0},
        {"EstimatedSize", 0, EstimatedSizeKiB(copiedBytes)},
        {"NoModify", 0, 1},
        {"NoRepair", 0, 1},
    };
    for (int i = 0; i < UninstallValueCount; ++i) entry->values[i] = values[i];
    return 1;
}

int PerUserPathValue(const char* destinationPath, char* out, int size) {
    int n = TextLength(destinationPath);
    if (n > 0 && destinationPath[n - 1] == '\\') --n;
    if (n >= size) return 0;
    for (int i = 0; i < n; ++i) out[i] = destinationPath[i];
    out[n] = 0;
    return 1;
}

int FormatQuestion(const char* format, const char* text, char* out, int size) {
    const char* insert = format;
    while (*insert && !(insert[0] == '%' && insert[1] == 's')) ++insert;
    int before = (int)(insert - format);
    const char* after = *insert ? insert + 2 : insert;
    int fixed = before + TextLength(after);
    static const char ellipsis[] = "...";
    if (fixed + (int)sizeof ellipsis > size) return 0;
    int room = size - 1 - fixed;
    int n = TextLength(text);
    int shown = n <= room ? n : room - (int)(sizeof ellipsis - 1);
    int k = 0;
    for (int i = 0; i < before; ++i) out[k++] = format[i];
    if (*insert) {
        for (int i = 0; i < shown; ++i) out[k++] = text[i];
        if (shown < n)
            for (int i = 0; ellipsis[i]; ++i) out[k++] = ellipsis[i];
    }
    for (int i = 0; after[i]; ++i) out[k++] = after[i];
    out[k] = 0;
    return 1;
}
