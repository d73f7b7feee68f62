#pragma once
#include <windows.h>

// The setup program's own folder, ending in a backslash.
enum { SourceDirectorySize = 256 };
extern char SourceDirectory[SourceDirectorySize];

// Fills SourceDirectory from the module's path. Returns 0 when the folder
// cannot be named within the buffer, even in its short form.
int FillSourceDirectory(HINSTANCE instance);

// Whether the setup folder leaves room for every name on the disk that the
// install looks for: a folder without it would install only some files.
int SourceDirectoryHoldsDiskNames(void);

// Tells the user the setup folder's path is too long (a system-modal box).
void RefuseSourceDirectory(void);

// The one message loop; returns the exit code carried by WM_QUIT.
int RunMessageLoop(void);
