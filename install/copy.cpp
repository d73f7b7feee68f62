#include "install/copy.h"

#include "tables/bounded_text.h"

int ProgressFill(uint64_t done, uint64_t total, int width) {
    if (total == 0 || width <= 0) return 0;
    if (done >= total) return width;
    if (width > 0xFFFF) width = 0xFFFF;  // no screen is wider
    // Halving both keeps done * width within 64 bits for any size.
    while (total > (UINT64_MAX >> 16)) {
        total >>= 1;
        done >>= 1;
    }
    int fill = (int)(done * (uint64_t)width / total);
    return fill < width ? fill : width - 1;  // full only when done
}

int FormatCopyCount(int number, int total, char* out, int size) {
    // Two numbers of ten digits and the slash always fit.
    char text[32] = "";
    AppendNumber(text, sizeof text, number);
    AppendText(text, sizeof text, " / ");
    AppendNumber(text, sizeof text, total);
    return CopyText(out, size, text);
}

const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\') name = p + 1;
    return name;
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

enum CopyFailureAction ActionAfterCopyAnswer(int answer) {
    if (answer == AnswerAbort) return StopInstalling;
    if (answer == AnswerRetry) return RetryCopy;
    return GoOn;
}

int CopyFailurePassedOver(int mandatory, int sourceFailed, uint32_t error) {
    return !mandatory && sourceFailed && (error == FileNotFoundError || error == PathNotFoundError);
}

int AnswerGoesOn(int answer) { return answer == AnswerYes; }

int IsDiskFullError(uint32_t error) { return error == DiskFullError || error == HandleDiskFullError; }
