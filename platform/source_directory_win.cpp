// The setup program's own folder, from the module's path.
#include "platform/source_directory.h"
#include "tables/bounded_text.h"

char SourceDirectory[SourceDirectorySize];

// The module's path in the ANSI code page, from its wide name: the ANSI call
// would hand back '?' for a character the code page cannot hold, and every
// search and copy through that text would fail.
static enum SourceDirectoryOutcome AnsiModulePath(HINSTANCE instance, char* path, int size) {
    WCHAR wide[LongModulePathSize];
    DWORD n = GetModuleFileNameW(instance, wide, LongModulePathSize);
    if (n == 0 || n >= LongModulePathSize) return SourceDirectoryTooLong;
    // UTF-8 holds every character; it takes neither the flag nor the question.
    UINT codePage = GetACP();
    int utf8 = codePage == CP_UTF8;
    BOOL lossy = FALSE;
    int bytes = WideCharToMultiByte(codePage, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
                                    wide, -1, path, size, NULL, utf8 ? NULL : &lossy);
    if (bytes == 0)
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? SourceDirectoryTooLong
                                                           : SourceDirectoryOutsideCodePage;
    return lossy ? SourceDirectoryOutsideCodePage : SourceDirectoryNamed;
}

enum SourceDirectoryOutcome FillSourceDirectory(HINSTANCE instance) {
    char longPath[LongModulePathSize];
    SourceDirectory[0] = '\0';
    enum SourceDirectoryOutcome named = AnsiModulePath(instance, longPath, sizeof longPath);
    if (named != SourceDirectoryNamed) return named;
    if (TextLength(longPath) >= SourceDirectorySize) {
        // Cutting a path that did not fit would name some other folder: use
        // the short form when it fits, else give up.
        DWORD s = GetShortPathNameA(longPath, SourceDirectory, SourceDirectorySize);
        if (s == 0 || s >= SourceDirectorySize) {
            SourceDirectory[0] = '\0';
            return SourceDirectoryTooLong;
        }
    } else if (!CopyText(SourceDirectory, SourceDirectorySize, longPath)) {
        return SourceDirectoryTooLong;
    }
    // A module path always has a folder; a text without one names none.
    return CutAfterLastBackslash(SourceDirectory) ? SourceDirectoryNamed : SourceDirectoryTooLong;
}
