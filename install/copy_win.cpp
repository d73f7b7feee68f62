// The install's file copy: folders level by level, each file through a
// temporary name of ours, and the question when a copy fails.
#include "install/copy.h"
#include "install/plan.h"
#include "platform/system_error.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

static_assert(AnswerAbort == IDABORT && AnswerRetry == IDRETRY && AnswerYes == IDYES,
              "the copy rules read message-box answers by these values");
static_assert(FileNotFoundError == ERROR_FILE_NOT_FOUND, "the copy rules' error code");
static_assert(PathNotFoundError == ERROR_PATH_NOT_FOUND, "the copy rules' error code");
static_assert(DiskFullError == ERROR_DISK_FULL && HandleDiskFullError == ERROR_HANDLE_DISK_FULL,
              "the copy rules' error codes");

uint64_t CopiedBytes;
static int IgnoringDiskFull;
static void RemoveOwnFile(const char* path);

void ForgetCopyAnswers(void) { IgnoringDiskFull = 0; }

void RemoveCopyLeftovers(const char* folder) {
    char search[PathBufferSize], path[PathBufferSize];
    if (!JoinTexts(search, sizeof search, folder, "~stp*.tmp")) return;  // none can be there
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(search, &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsCopyTempName(entry.cFileName) &&
            JoinTexts(path, sizeof path, folder, entry.cFileName))
            RemoveOwnFile(path);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

static void CountCopiedFile(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    // A copy whose size cannot be read is left out of the estimate.
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        CopiedBytes += (uint64_t)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}

static int EnterOrCreateFolder(const char* folder) {
    if (SetCurrentDirectoryA(folder)) return 1;
    return CreateDirectoryA(folder, NULL) && SetCurrentDirectoryA(folder);
}

int CreateFolderPath(const char* path) {
    char level[PathBufferSize];
    int length = TextLength(path);
    if (length < 3 || length >= PathBufferSize) return 0;
    CopyText(level, sizeof level, path);
    level[3] = 0;
    if (!SetCurrentDirectoryA(level)) return 0;
    for (int n = 2;; ++n) {
        int last = 0;
        int cut = FolderLevelLength(path, n, &last);
        CopyText(level, sizeof level, path);
        level[cut] = 0;
        if (!EnterOrCreateFolder(level)) return 0;
        if (last) return 1;
    }
}

// A fresh empty file of ours beside the destination, named in temp (which
// holds the plan's first name, then the one taken); 0 or the error.
static DWORD CreateCopyTempFile(char* temp) {
    enum { Attempts = 256 };  // names left behind by a run that was killed
    for (unsigned number = 0; number < Attempts; ++number) {
        NumberCopyTemp(temp, number);
        HANDLE file =
            CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return 0;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
    }
    return ERROR_FILE_EXISTS;
}

static void RemoveOwnFile(const char* path) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);  // a read-only source's attributes
    DeleteFileA(path);  // a file left behind is passed over; it is not the product's
}

// Whether the source is at fault: it cannot be opened for reading. Its own
// error then replaces the copy's, which may name either side.
static int SourceFailed(const char* source, DWORD* error) {
    HANDLE file = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return 1;
    }
    CloseHandle(file);
    return 0;
}

// The one file copy of the install. The bytes go into a file of ours beside
// the destination, renamed into place once whole: a copy that breaks off
// (a full disk, a session that ends) leaves no partial file under the
// product's name, and the file it was to replace stays as it was.
static DWORD CopyIntoPlace(const char* source, const char* destination, const char* planTemp,
                           int* sourceFailed) {
    char temp[PathBufferSize];
    *sourceFailed = 0;
    CopyText(temp, sizeof temp, planTemp);  // same buffer size: always fits
    DWORD error = CreateCopyTempFile(temp);
    if (error == 0) {
        if (!CopyFileWhilePumping(source, temp)) {
            error = GetLastError();
        } else {
            // A read-only, hidden or system file in the way refuses the rename.
            SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);  // usually there is none
            if (!MoveFileExA(temp, destination, MOVEFILE_REPLACE_EXISTING)) error = GetLastError();
        }
        if (error != 0) RemoveOwnFile(temp);
    }
    if (error == 0) CountCopiedFile(destination);
    if (error != 0) *sourceFailed = SourceFailed(source, &error);
    return error;
}

enum CopyOutcome CopyFileAsking(const char* source, const char* destination, const char* temp,
                                int mandatory) {
    for (;;) {
        SetCursor(LoadCursorA(NULL, IDC_WAIT));
        int sourceFailed = 0;
        DWORD error = CopyIntoPlace(source, destination, temp, &sourceFailed);
        if (error == 0) return FileCopied;
        if (CopyFailurePassedOver(mandatory, sourceFailed, error)) return FilePassedOver;
        if (IgnoringDiskFull && IsDiskFullError(error)) return FileIgnored;
        SystemErrorText(error, MessageText, MessageTextSize);
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
        int answer = MessageBoxA(MainWindow, MessageText, sourceFailed ? source : destination,
                                 MB_ABORTRETRYIGNORE | MB_ICONERROR);
        enum CopyFailureAction action = ActionAfterCopyAnswer(answer);
        if (action == StopInstalling) return CopyAborted;
        if (action == GoOn) {
            if (IsDiskFullError(error)) IgnoringDiskFull = 1;
            return FileIgnored;
        }
    }
}
