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
// Nonzero once the install is to stop copying: a close held, or a quit.
int InstallStopRequested(void);

// While installing, the session's end is refused and the system is told why
// ("Installing <product>") where it asks for a reason.
void BlockSessionEnd(void);
void UnblockSessionEnd(void);

// Bytes of the files copied by this install, for the uninstall entry's size;
// CountCopiedFile adds the file just copied to path.
extern uint64_t CopiedBytes;
void CountCopiedFile(const char* path);

// Creates the folder path level by level and leaves it current; 1 on success.
int CreateFolderPath(const char* path);
// Copies every plain file SourceDirectory + pattern into the folder, asking
// about each failure as CopyFileAsking does. 0 when the user aborted or the
// install is to stop.
int CopyMatchingFiles(const char* pattern, const char* destinationFolder);
// The same from any source folder ending in a backslash.
int CopyMatchingFilesFrom(const char* sourceFolder, const char* pattern,
                          const char* destinationFolder);

// Copies one file into place and, when that fails, asks Abort/Retry/Ignore
// with the system's text, the caption naming the file at fault; an optional
// file that is not on the disk is passed over without a word. A copy that
// fails leaves no partial file. 0 when the user chose Abort.
int CopyFileAsking(const char* source, const char* destination, int mandatory);

// Bytes of every file the install copies from the disk that is there.
uint64_t CountBytesToCopy(void);
// The longest name on the disk that the install joins to a folder (the
// viewer's files counted with "viewer\").
int LongestNameOnDisk(void);
// Whether the destination's volume has room for the files to copy, counting
// the files they replace; fills the amounts when it has not. A volume whose
// free space cannot be read passes.
int DestinationHasRoom(const char* destinationPath, uint64_t* needed,
                       uint64_t* available);

// Starts program in folder through the desktop shell, so that it runs as the
// signed-in user; 0 where the shell offers no such route (no shell window,
// an older system, Wine).
int StartThroughShell(const char* program, const char* folder);
