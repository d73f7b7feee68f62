// The install procedure run by the OK command, its folder and file helpers,
// and its decisions that are computations over texts and integers. Every
// composing helper refuses (returns 0, output untouched or empty) rather than
// cut a path into a different one.
#pragma once
#include <stdint.h>

// Working paths: at most 254 characters and the terminator.
enum { PathBufferSize = 255 };

// First position of character at or after the start of text (the terminator
// counts), or 0 when there is none.
const char* FindCharacterForward(const char* text, char character);

// DestinationPath: the text with a backslash appended unless it ends in one.
int MakeDestinationPath(const char* text, char* path, int size);

// Names the install creates beside the files it copies while each is on its
// way: "~stp0000.tmp" and on, one folder with the file.
enum { CopyTempNameLength = 12 };
int CopyTempPath(const char* destination, unsigned number, char* out, int size);

// Whether DestinationPath may be handed to Create folder path: a drive letter,
// a colon and a backslash, then plain folder names (see PlainFolderName), and
// room for every path and text the install composes with it. longestDiskName
// is the longest name on the disk that is joined to it (the viewer's files
// counted with "viewer\").
int DestinationPathAcceptable(const char* path, int edition, int longestDiskName);
// A folder name the system keeps as typed: not empty, not "." or "..", not
// ending in a space or a dot, no reserved device name (with or without an
// extension), no character a file name cannot hold.
int PlainFolderName(const char* name, int length);
// Whether SourceDirectory joined with every name read from it fits.
int SourceDirectoryAcceptable(const char* sourceDirectory, int edition, int longestDiskName);

// Bytes a file of the size takes on a volume of clusterSize-byte clusters
// (0: not known, the size itself).
uint64_t BytesOnVolume(uint64_t size, uint32_t clusterSize);
// Formats the short-of-space message: the format's first %s gets the bytes
// needed (rounded up), the second the bytes free (rounded down), each in KB,
// MB or GB. 0 when it does not fit.
int FormatSpaceMessage(const char* format, uint64_t needed, uint64_t available, char* out,
                       int size);

// Folder levels of a path for Create folder path: level n (from 2) is the path
// cut before its n-th backslash, counting those after the first character;
// without one, the whole path is the last level. Returns the level's length
// and sets *last.
int FolderLevelLength(const char* path, int level, int* last);

// Manifest row policy: a failed copy of a mandatory row asks the user.
int ManifestRowIsMandatory(int row);

// The message-box answers and the error code these rules look at, by their
// Win32 values (install_win.cpp ties them to the Win32 names).
enum {
    AnswerAbort = 3,
    AnswerRetry = 4,
    AnswerYes = 6,
    FileNotFoundError = 2,
    PathNotFoundError = 3
};

// What the procedure does after the user's answer to the failed-copy box.
enum CopyFailureAction { StopInstalling, RetryCopy, GoOn };
enum CopyFailureAction ActionAfterCopyAnswer(int answer);
// Whether a failed copy goes on without a word: only an optional file whose
// source is simply not there (the source failed with file or path not found).
int CopyFailurePassedOver(int mandatory, int sourceFailed, uint32_t error);
// Only Yes goes on after the install, shortcut and run questions.
int AnswerGoesOn(int answer);

// Joins two texts into out of size bytes; 0 when they do not fit.
int JoinTexts(char* out, int size, const char* first, const char* second);

// Registry data.
int UninstallKeyName(int edition, char* out, int size);

// The uninstall entry, composed whole before any of it is written. A value
// with text NULL is a DWORD. DisplayName and UninstallString come first.
enum {
    UninstallKeySize = 256,
    UninstallCommandSize = PathBufferSize + 9,  // quotes and " uninst" around a path
    UninstallValueCount = 9,
};
struct UninstallValue {
    const char* name;
    const char* text;
    uint32_t number;
};
struct UninstallEntry {
    char keyName[UninstallKeySize];
    char command[UninstallCommandSize];
    char icon[PathBufferSize];
    char location[PathBufferSize];
    struct UninstallValue values[UninstallValueCount];
};
// For the installed main executable in destinationPath and the bytes this
// install copied; 0 when any value would not fit.
int ComposeUninstallEntry(const char* destinationPath, int edition, uint64_t copiedBytes,
                          struct UninstallEntry* entry);
// Whole KiB, rounded up; the largest DWORD for sizes beyond it.
uint32_t EstimatedSizeKiB(uint64_t bytes);
// "<path><program>" uninst: the path quoted, as it may hold spaces.
int UninstallCommand(const char* destinationPath, const char* program, char* out, int size);
// DestinationPath without its final backslash ("C:\" gives "C:").
int PerUserPathValue(const char* destinationPath, char* out, int size);
// The WinExec command line: the program path in double quotes.
int ProgramCommandLine(const char* destinationPath, const char* program, char* out, int size);

// Formats a question with one %s. A text too long for the buffer is shown cut
// with "..." so that the question itself stays whole; a format without room
// for itself gives 0.
int FormatQuestion(const char* format, const char* text, char* out, int size);

#ifdef _WIN32
#include <windows.h>

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

// The longest name on the disk that the install joins to a folder (the
// viewer's files counted with "viewer\").
int LongestNameOnDisk(void);
// Whether the setup folder leaves room for every name on the disk that the
// install looks for: a folder without it would install only some files.
int SourceDirectoryHoldsDiskNames(void);
// Whether the destination's volume has room for the files to copy, counting
// the files they replace; fills the amounts when it has not. A volume whose
// free space cannot be read passes.
int DestinationHasRoom(const char* destinationPath, uint64_t* needed, uint64_t* available);

// Starts program in folder through the desktop shell, so that it runs as the
// signed-in user; 0 where the shell offers no such route (no shell window,
// an older system, Wine).
int StartThroughShell(const char* program, const char* folder);
#endif
