// The copy: folders made level by level, each file copied into a temporary
// name and renamed into place, the Abort/Retry/Ignore question, the worker
// that copies while the window answers, and the progress box.
#pragma once
#include <stdint.h>

#include "install/plan.h"

// Folder levels of a path for Create folder path: level n (from 2) is the path
// cut before its n-th backslash, counting those after the first character;
// without one, the whole path is the last level. Returns the level's length
// and sets *last.
int FolderLevelLength(const char* path, int level, int* last);

// The message-box answers and the error codes these rules look at, by their
// Win32 values (copy_win.cpp ties them to the Win32 names).
enum {
    AnswerAbort = 3,
    AnswerRetry = 4,
    AnswerYes = 6,
    FileNotFoundError = 2,
    PathNotFoundError = 3,
    HandleDiskFullError = 39,
    DiskFullError = 112,
    // Ours, with the bit the system leaves to programs: a sealed file that is
    // not as its seal lists it.
    DamagedSourceError = 0x20000001,
};

// What the procedure does after the user's answer to the failed-copy box.
enum CopyFailureAction { StopInstalling, RetryCopy, GoOn };
enum CopyFailureAction ActionAfterCopyAnswer(int answer);
// Whether a failed copy goes on without a word: only an optional file whose
// source is simply not there (the source failed with file or path not found).
int CopyFailurePassedOver(int mandatory, int sourceFailed, uint32_t error);
// Whether an error says the disk is full: an Ignore to it holds for the rest
// of the run.
int IsDiskFullError(uint32_t error);
// Only Yes goes on after the install, shortcut and run questions.
int AnswerGoesOn(int answer);

// What the install is about to copy, counted by the plan.
struct CopyTotals {
    uint64_t bytes;
    int files;
};

// Rules of the progress display.
// Pixels of a bar width pixels wide that done of total bytes fill; never more
// than width, and nothing when there is nothing to copy.
int ProgressFill(uint64_t done, uint64_t total, int width);
// "12 / 34" into out (size bytes); 0 when it does not fit.
int FormatCopyCount(int number, int total, char* out, int size);
// The file name of a path: what follows its last backslash.
const char* FileNameOf(const char* path);

#ifdef _WIN32
#include <windows.h>

// Creates the folder path level by level and leaves it current; 1 on success.
int CreateFolderPath(const char* path);

struct PlannedFile;
// Copies the rows in order on one worker thread, as each row's action says,
// recording each outcome in its row, while this thread keeps dispatching its
// messages and shows the progress (at most every 50 ms). A row is copied into
// place through its temporary name (another number is tried when one is
// taken); when that fails the worker hands the question back to this thread:
// Abort/Retry/Ignore with the system's text, the caption naming the file at
// fault by its wide path. An optional file that is not on the disk is passed
// over without a word. A copy that fails leaves no partial file. Once
// stopRequested (NULL: never) answers nonzero, no further row is begun.
// 0 when the user aborted or a stop came.
int CopyRowsAsking(struct PlannedFile* rows, int count, int (*stopRequested)(void));
// The walk under way begins no further row: called the moment a stop is
// asked for (a close held), so that no row starts in between.
void StopCopyRows(void);
// One row alone, its outcome returned.
enum CopyOutcome CopyFileAsking(struct PlannedFile* file);
// A new run asks again about a full disk.
void ForgetCopyAnswers(void);
// Removes the temporary files a cut-off run left in folder (ending in a
// backslash); those of a copy under way elsewhere are held open and stay.
void RemoveCopyLeftovers(const char* folder);

// Copies exactly as CopyFileW(source, destination, failIfExists) does (the
// same result, attributes and write time on the copy, the same error for
// GetLastError), in chunks, the bytes written so far counted in *written.
BOOL CopyFileInChunks(const WCHAR* source, const WCHAR* destination, BOOL failIfExists,
                      volatile LONG64* written);
// A row's copy where nothing is in its place: as CopyFileInChunks(source,
// destination, TRUE), the copy deleted by the system unless whole, even when
// the process is killed meanwhile; 0 or the error (ERROR_FILE_EXISTS when a
// file is there).
// With a digest (Sha256Size bytes) the bytes are hashed as they are written,
// and a copy of other bytes is not kept: DamagedSourceError.
DWORD CopyFileAsNew(const WCHAR* source, const WCHAR* destination, const unsigned char* digest,
                    volatile LONG64* written);
// A row's copy over a file in its place: as CopyFileInChunks(source,
// temporary, TRUE), then, once whole and before it is closed, the copy
// renamed to destination (a read-only file there is replaced too); 0 or the
// error. The file in place stays as it was until then, and a failure leaves
// no temporary file behind. A digest as for CopyFileAsNew.
DWORD CopyFileIntoPlace(const WCHAR* source, const WCHAR* temporary, const WCHAR* destination,
                        const unsigned char* digest, volatile LONG64* written);

// How the row procedure asks its question: the answer (a message-box id) to
// Abort/Retry/Ignore about error, the caption naming atFault. It runs on the
// worker; the question itself is asked by the window's thread.
typedef int (*CopyQuestion)(struct PlannedFile* file, DWORD error, const WCHAR* atFault);
// One row to its end on whatever thread calls it, asking when a copy fails.
enum CopyOutcome CopyRowAsking(struct PlannedFile* file, volatile LONG64* written,
                               CopyQuestion ask);
// The question itself, on the window's thread.
int AskAboutFailure(const struct PlannedFile* file, DWORD error, const WCHAR* atFault);

// The progress box in the panel's free band and the taskbar button's bar,
// shown from the install question's Yes until the copies end; they count
// once the totals are known.
void BeginCopyProgress(void);
void SetCopyTotals(struct CopyTotals totals);
// A copy of the planned file starts (again, on a retry): its name, count and
// the bytes before it are the row's.
void NoteCopyStarted(const struct PlannedFile* file);
// Bytes of the current file copied so far.
void NoteCopyTransferred(uint64_t bytes);
// Takes the box and the taskbar bar away; nothing when none is shown.
void EndCopyProgress(void);
#endif
