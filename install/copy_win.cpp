// The install's file copy: folders level by level, each file through a
// temporary name of ours, and the question when a copy fails.
#include "install/copy.h"
#include "install/install_tables.h"
#include "install/plan.h"
#include "platform/shown_text.h"
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
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            IsCopyTempName(entry.cFileName) &&
            JoinTexts(path, sizeof path, folder, entry.cFileName))
            RemoveOwnFile(path);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
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

static void RemoveOwnFile(const char* path) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);  // a read-only source's attributes
    DeleteFileA(path);  // a file left behind is passed over; it is not the product's
}

// A planned path for the wide calls: the folder in the ANSI code page, the
// disk's name behind nameAt in UTF-8 where the code page cannot hold it.
struct WidePath {
    WCHAR text[PathBufferSize];
};
static int MakeWidePath(const char* path, int nameAt, int utf8Name, struct WidePath* wide) {
    int n = 0;
    if (nameAt > 0) {
        n = MultiByteToWideChar(CP_ACP, 0, path, nameAt, wide->text, PathBufferSize - 1);
        if (n == 0) return 0;
    }
    return MultiByteToWideChar(utf8Name ? CP_UTF8 : CP_ACP, 0, path + nameAt, -1, wide->text + n,
                               PathBufferSize - n) != 0;
}

// Abort/Retry/Ignore, the caption the wide path at fault: a name the code
// page cannot hold is shown as it is. The text is the system's, or ours for
// a damaged disk, naming the file by its name on the disk (the row's, UTF-8
// where the code page cannot hold it).
int AskAboutFailure(const struct PlannedFile* file, DWORD error, const WCHAR* atFault) {
    WCHAR text[ShownTextSize];
    if (error == DamagedSourceError) {
        TextPart name = {file->source + file->sourceNameAt,
                         (UINT)(file->utf8Name ? CP_UTF8 : CP_ACP)};
        // A text that cannot be converted leaves the box its caption and buttons.
        WidenQuestion(TableText(InstallMessage(DamagedDiskMessage, LanguageIndex)), name, text,
                      ShownTextSize);
    } else {
        SystemErrorText(error, MessageText, MessageTextSize);
        if (!MultiByteToWideChar(CP_ACP, 0, MessageText, -1, text, ShownTextSize)) text[0] = 0;
    }
    return MessageBoxW(MainWindow, text, atFault, MB_ABORTRETRYIGNORE | MB_ICONERROR);
}

// Whether the source is at fault: it cannot be opened for reading. Its own
// error then replaces the copy's, which may name either side.
static int SourceFailed(const struct WidePath* source, DWORD* error) {
    HANDLE file = CreateFileW(source->text, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return 1;
    }
    CloseHandle(file);
    return 0;
}

// Makes the folder a temporary path lies in, when a copy finds it missing
// (the viewer's, made by its first file); 0 or the error to tell.
static DWORD MakeFileFolder(const char* temp) {
    char folder[PathBufferSize];
    CopyText(folder, sizeof folder, temp);  // the same size
    int cut = TextLength(folder);
    while (cut > 0 && folder[cut - 1] != '\\') --cut;
    if (cut <= 1) return ERROR_PATH_NOT_FOUND;
    folder[cut - 1] = 0;
    if (CreateDirectoryA(folder, NULL)) return 0;
    DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS ? ERROR_PATH_NOT_FOUND : error;
}

struct CopyPaths {
    struct WidePath source, destination, temp;
    char temporary[PathBufferSize];
};

// A sealed file is copied only when its seal lists it with the size it has
// now: a damaged one is never written at all. 0, or the source's error.
static DWORD CheckSealedSource(const struct WidePath* source, const struct SealedFile* seal) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(source->text, GetFileExInfoStandard, &data)) return GetLastError();
    uint64_t size = (uint64_t)data.nFileSizeHigh << 32 | data.nFileSizeLow;
    return seal->listed && size == seal->size ? 0 : DamagedSourceError;
}

// The copy straight under its name where nothing is there, else through a
// fresh file of ours beside the destination, named in paths->temporary (the
// plan's first name, then the one taken); 0 or the error. A sealed copy is
// kept only when it hashes to its seal's digest.
static DWORD CopyThroughTemporary(struct CopyPaths* paths, const unsigned char* digest,
                                  volatile LONG64* written) {
    DWORD error = CopyFileAsNew(paths->source.text, paths->destination.text, digest, written);
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
    enum { Attempts = 256 };  // names left behind by a run that was killed
    for (unsigned number = 0; number < Attempts; ++number) {
        NumberCopyTemp(paths->temporary, number);
        if (!MakeWidePath(paths->temporary, 0, 0, &paths->temp))
            return ERROR_FILENAME_EXCED_RANGE;  // an ANSI path always converts
        DWORD error = CopyFileIntoPlace(paths->source.text, paths->temp.text,
                                        paths->destination.text, digest, written);
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
    }
    return ERROR_FILE_EXISTS;
}

// The one file copy of the install. A copy that breaks off (a full disk, a
// session that ends, a killed process) or is not as sealed leaves no partial
// file under the product's name: a new file is deleted by the system unless
// whole, and one that replaces another goes into a file of ours beside it,
// renamed over it once whole, so the file it was to replace stays as it was.
static DWORD CopyIntoPlace(struct CopyPaths* paths, const struct SealedFile* seal,
                           volatile LONG64* written, int* sourceFailed) {
    *sourceFailed = 0;
    const unsigned char* digest = seal->sealed ? seal->digest : NULL;
    DWORD error = seal->sealed ? CheckSealedSource(&paths->source, seal) : 0;
    if (error == 0) error = CopyThroughTemporary(paths, digest, written);
    if (error == ERROR_PATH_NOT_FOUND) {
        error = MakeFileFolder(paths->temporary);
        if (error == 0) error = CopyThroughTemporary(paths, digest, written);
    }
    if (error == DamagedSourceError)
        *sourceFailed = 1;
    else if (error != 0)
        *sourceFailed = SourceFailed(&paths->source, &error);
    return error;
}

static enum CopyOutcome Record(struct PlannedFile* file, enum CopyOutcome outcome) {
    file->outcome = outcome;
    return outcome;
}

enum CopyOutcome CopyRowAsking(struct PlannedFile* file, volatile LONG64* written,
                               CopyQuestion ask) {
    struct CopyPaths paths;
    // Planned paths fit: only a name that is no text in its encoding fails
    // here, and it is counted as not copied.
    if (!MakeWidePath(file->source, file->sourceNameAt, file->utf8Name, &paths.source) ||
        !MakeWidePath(file->destination, file->destinationNameAt, file->utf8Name,
                      &paths.destination))
        return Record(file, FileIgnored);
    for (;;) {
        CopyText(paths.temporary, sizeof paths.temporary, file->temp);  // the same size
        int sourceFailed = 0;
        DWORD error = CopyIntoPlace(&paths, &file->seal, written, &sourceFailed);
        if (error == 0) {
            // A file the survey found missing that a Retry copied after all:
            // its size is the bytes the copy wrote.
            if (file->action != CopyRow) file->size = (uint64_t)*written;
            if (file->manifestRow >= 0)  // not examined
                SetFileAttributesW(paths.destination.text, FILE_ATTRIBUTE_ARCHIVE);
            return Record(file, FileCopied);
        }
        if (CopyFailurePassedOver(file->mandatory, sourceFailed, error))
            return Record(file, FilePassedOver);
        if (IgnoringDiskFull && IsDiskFullError(error)) return Record(file, FileIgnored);
        int answer = ask(file, error, sourceFailed ? paths.source.text : paths.destination.text);
        enum CopyFailureAction action = ActionAfterCopyAnswer(answer);
        if (action == StopInstalling) return Record(file, CopyAborted);
        if (action == GoOn) {
            if (IsDiskFullError(error)) IgnoringDiskFull = 1;
            return Record(file, FileIgnored);
        }
    }
}
