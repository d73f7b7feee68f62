// The setup program's own folder, from the module's path.
#include "platform/source_directory.h"
#include "tables/bounded_text.h"

char SourceDirectory[SourceDirectorySize];

int FillSourceDirectory(HINSTANCE instance) {
    char longPath[1024];
    DWORD n = GetModuleFileNameA(instance, longPath, sizeof longPath);
    if (n == 0 || n >= sizeof longPath) return 0;
    if (n >= SourceDirectorySize) {
        // Cutting a path that did not fit would name some other folder: use
        // the short form when it fits, else give up.
        DWORD s = GetShortPathNameA(longPath, SourceDirectory, SourceDirectorySize);
        if (s == 0 || s >= SourceDirectorySize) {
            SourceDirectory[0] = '\0';
            return 0;
        }
    } else if (!CopyText(SourceDirectory, SourceDirectorySize, longPath)) {
        return 0;
    }
    return CutAfterLastBackslash(SourceDirectory);
}
