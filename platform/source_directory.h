// The setup program's own folder, where the files to install are read from.
#pragma once

#include "tables/limits.h"

// Ends a full module path directly behind its last backslash, so that it
// names the module's folder. Returns 0 (text unchanged) when there is none.
int CutAfterLastBackslash(char* path);

#ifdef _WIN32
#include <windows.h>

// The setup program's own folder, ending in a backslash.
extern char SourceDirectory[SourceDirectorySize];

enum SourceDirectoryOutcome {
    SourceDirectoryNamed,
    SourceDirectoryTooLong,  // not within the buffer, even in its short form
    // A name the ANSI calls cannot hold: they would name another folder, or none.
    SourceDirectoryOutsideCodePage,
};
// Fills SourceDirectory from the module's path; it is empty unless named.
enum SourceDirectoryOutcome FillSourceDirectory(HINSTANCE instance);
#endif
