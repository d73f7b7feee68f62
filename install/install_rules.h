// The install decisions that are computations over texts and integers.
// Every composing helper refuses (returns 0, output untouched or empty)
// rather than cut a path into a different one.
#pragma once
#include <stdint.h>

// Working paths: at most 254 characters and the terminator.
enum { PathBufferSize = 255 };

// First position of character at or after the start of text (the terminator
// counts), or 0 when there is none.
const char* FindCharacterForward(const char* text, char character);

// The pump's time test, in unsigned 32-bit arithmetic so that a tick counter
// wrapping around still ends the interval.
int IntervalElapsed(uint32_t start, uint32_t now, uint32_t interval);

// Length of text once the trailing control characters (line breaks) of a
// system message are dropped.
int LengthWithoutTrailingControls(const char* text, int length);

// DestinationPath: the text with a backslash appended unless it ends in one.
int MakeDestinationPath(const char* text, char* path, int size);

// Whether DestinationPath may be handed to Create folder path: at least three
// characters, not a network path, and room for every name installed into it.
int DestinationPathAcceptable(const char* path, int edition);

// Folder levels of a path for Create folder path: level n (from 2) is the path
// cut before its n-th backslash, counting those after the first character;
// without one, the whole path is the last level. Returns the level's length
// and sets *last.
int FolderLevelLength(const char* path, int level, int* last);

// Manifest row policy: a failed copy of a mandatory row asks the user.
int ManifestRowIsMandatory(int row);

// The message-box answers and the error code these rules look at, by their
// Win32 values (install_win.cpp ties them to the Win32 names).
enum { AnswerAbort = 3, AnswerRetry = 4, AnswerYes = 6, FileNotFoundError = 2 };

// What the procedure does after the user's answer to the failed-copy box.
enum CopyFailureAction { StopInstalling, RetryCopy, GoOn };
enum CopyFailureAction ActionAfterCopyAnswer(int answer);
// Whether the failed-copy box is captioned with the source path (file not
// found) rather than the destination path.
int CaptionNamesSource(uint32_t error);
// Only Yes goes on after the install, shortcut and run questions.
int AnswerGoesOn(int answer);

// Marker file for a language, 0 for English and unknown languages.
const char* MarkerName(int language);

// Joins two texts into out of size bytes; 0 when they do not fit.
int JoinTexts(char* out, int size, const char* first, const char* second);

// Registry data.
int UninstallKeyName(int edition, char* out, int size);
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
