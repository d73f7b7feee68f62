#pragma once
#include <windows.h>

// The setup program's own folder, ending in a backslash.
enum { SourceDirectorySize = 256 };
extern char SourceDirectory[SourceDirectorySize];

// Fills SourceDirectory from the module's path. Returns 0 when the folder
// cannot be named within the buffer, even in its short form.
int FillSourceDirectory(HINSTANCE instance);

// The one message loop; returns the exit code carried by WM_QUIT.
int RunMessageLoop(void);

// Restricts the search for libraries loaded from now on to the system folder.
void RestrictDllSearch(void);
