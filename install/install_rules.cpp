#include "install/install_rules.h"

#include "install/install_tables.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"

const char* FindCharacterForward(const char* text, char character) {
    for (;; ++text) {
        if (*text == character) return text;
        if (*text == 0) return 0;
    }
}

int IntervalElapsed(uint32_t start, uint32_t now, uint32_t interval) {
    return (uint32_t)(now - start) >= interval;
}

int LengthWithoutTrailingControls(const char* text, int length) {
    while (length > 0 && (unsigned char)text[length - 1] < 32) --length;
    return length;
}

int MakeDestinationPath(const char* text, char* path, int size) {
    int n = TextLength(text);
    if (n > 0 && text[n - 1] == '\\') return CopyText(path, size, text);
    return JoinTexts(path, size, text, "\\");
}

static int LongestInstalledName(int edition) {
    int longest = TextLength("viewer\\");
    for (int row = 0; row < FileManifestRows; ++row) {
        int n = TextLength(ManifestFileName(row, edition));
        if (n > longest) longest = n;
    }
    for (int language = 0; language < MarkerLanguageCount; ++language) {
        const char* marker = MarkerName(language);
        if (marker && TextLength(marker) > longest) longest = TextLength(marker);
    }
    return longest;
}

int DestinationPathAcceptable(const char* path, int edition) {
    int n = TextLength(path);
    if (n < 3) return 0;
    if (path[0] == '\\' && path[1] == '\\') return 0;  // network paths are not offered
    return n + LongestInstalledName(edition) <= PathBufferSize - 1;
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

int CaptionNamesSource(uint32_t error) { return error == FileNotFoundError; }

int AnswerGoesOn(int answer) { return answer == AnswerYes; }

const char* MarkerName(int language) {
    return LanguageMarkerNames[LanguageRow(language, MarkerLanguageCount)];  // English has none
}

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
