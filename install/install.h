// The install procedure run by the OK command, and its folder and file helpers.
#pragma once
#include <windows.h>

#include "install/install_rules.h"

// Runs the installation to its end; a call while one runs is ignored.
void RunInstallProcedure(void);

// Nonzero while the install procedure runs. A close request that arrives then
// is held (HoldCloseRequest returns 1): the procedure stops copying at its next
// step and the window closes when it has returned.
extern int InstallRunning;
int HoldCloseRequest(void);

// Bytes of the files copied by this install, for the uninstall entry's size;
// CountCopiedFile adds the file just copied to path.
extern uint64_t CopiedBytes;
void CountCopiedFile(const char* path);

// Creates the folder path level by level and leaves it current; 1 on success.
int CreateFolderPath(const char* path);
// Copies every plain file SourceDirectory + pattern into the folder.
void CopyMatchingFiles(const char* pattern, const char* destinationFolder);
// The same from any source folder ending in a backslash.
void CopyMatchingFilesFrom(const char* sourceFolder, const char* pattern,
                           const char* destinationFolder);

// Starts program in folder through the desktop shell, so that it runs as the
// signed-in user; 0 where the shell offers no such route (no shell window,
// an older system, Wine).
int StartThroughShell(const char* program, const char* folder);
