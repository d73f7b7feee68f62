// Folder and file helpers of the install procedure.
#include "install/copy_file.h"
#include "install/copy_progress.h"
#include "install/install.h"
#include "install/install_tables.h"
#include "platform/source_directory.h"
#include "platform/system_error.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

uint64_t CopiedBytes;

void CountCopiedFile(const char* path) {
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

// A fresh empty file of ours beside the destination; 0 or the error.
static DWORD CreateCopyTempFile(const char* destination, char* temp, int size) {
    enum { Attempts = 256 };  // names left behind by a run that was killed
    for (unsigned number = 0; number < Attempts; ++number) {
        if (!CopyTempPath(destination, number, temp, size)) return ERROR_FILENAME_EXCED_RANGE;
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
static DWORD CopyIntoPlace(const char* source, const char* destination, int* sourceFailed) {
    char temp[PathBufferSize];
    *sourceFailed = 0;
    DWORD error = CreateCopyTempFile(destination, temp, sizeof temp);
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

int CopyFileAsking(const char* source, const char* destination, int mandatory) {
    for (;;) {
        SetCursor(LoadCursorA(NULL, IDC_WAIT));
        int sourceFailed = 0;
        DWORD error = CopyIntoPlace(source, destination, &sourceFailed);
        if (error == 0 || CopyFailurePassedOver(mandatory, sourceFailed, error)) return 1;
        SystemErrorText(error, MessageText, MessageTextSize);
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
        int answer = MessageBoxA(MainWindow, MessageText, sourceFailed ? source : destination,
                                 MB_ABORTRETRYIGNORE | MB_ICONERROR);
        enum CopyFailureAction action = ActionAfterCopyAnswer(answer);
        if (action == StopInstalling) return 0;
        if (action == GoOn) return 1;
    }
}

int CopyMatchingFilesFrom(const char* sourceFolder, const char* pattern,
                          const char* destinationFolder) {
    char search[PathBufferSize], source[PathBufferSize], destination[PathBufferSize];
    // Both folders were checked for their longest names before the copy.
    if (!JoinTexts(search, sizeof search, sourceFolder, pattern)) return 1;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(search, &entry);
    if (find == INVALID_HANDLE_VALUE) return 1;
    int goOn = 1;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!JoinTexts(source, sizeof source, sourceFolder, entry.cFileName) ||
            !JoinTexts(destination, sizeof destination, destinationFolder, entry.cFileName))
            continue;
        goOn = CopyFileAsking(source, destination, 0) && !InstallStopRequested();
    } while (goOn && FindNextFileA(find, &entry));
    FindClose(find);
    return goOn;
}

int CopyMatchingFiles(const char* pattern, const char* destinationFolder) {
    return CopyMatchingFilesFrom(SourceDirectory, pattern, destinationFolder);
}

// Every file the install copies from the disk, as its name below the
// destination ("viewer\" for the viewer's files) and its size.
typedef void (*FileVisit)(const char* name, uint64_t size, void* context);

static uint64_t FileSize(const WIN32_FIND_DATAA* entry) {
    return (uint64_t)entry->nFileSizeHigh << 32 | entry->nFileSizeLow;
}

static void VisitMatchingFiles(const char* folder, const char* pattern, FileVisit visit,
                               void* context) {
    char search[PathBufferSize], name[PathBufferSize];
    if (!JoinTexts(search, sizeof search, SourceDirectory, folder) ||
        !AppendText(search, sizeof search, pattern))
        return;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(search, &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (JoinTexts(name, sizeof name, folder, entry.cFileName))
            visit(name, FileSize(&entry), context);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

static void VisitFilesToCopy(FileVisit visit, void* context) {
    char viewer[16];
    for (int row = 0; row < FileManifestRows; ++row)
        VisitMatchingFiles("", ManifestFileName(row, Edition), visit, context);
    for (int i = 0; i < CopiedPatternCount; ++i)
        VisitMatchingFiles("", CopiedPatterns[i], visit, context);
    if (JoinTexts(viewer, sizeof viewer, ViewerFolder, "\\"))
        VisitMatchingFiles(viewer, "*", visit, context);
}

static void AddFile(const char*, uint64_t size, void* context) {
    CopyTotals* totals = (CopyTotals*)context;
    totals->bytes += size;
    ++totals->files;
}

CopyTotals CountCopyWork(void) {
    CopyTotals totals = {0, 0};
    VisitFilesToCopy(AddFile, &totals);
    return totals;
}

static void KeepLongest(const char* name, uint64_t, void* context) {
    int* longest = (int*)context;
    if (TextLength(name) > *longest) *longest = TextLength(name);
}

int LongestNameOnDisk(void) {
    int longest = 0;
    VisitFilesToCopy(KeepLongest, &longest);
    return longest;
}

int SourceDirectoryHoldsDiskNames(void) {
    return SourceDirectoryAcceptable(SourceDirectory, Edition, LongestNameOnDisk());
}

struct SpaceTally {
    const char* destinationPath;
    uint32_t clusterSize;
    uint64_t needed, replaced;
};

static void TallySpace(const char* name, uint64_t size, void* context) {
    SpaceTally* tally = (SpaceTally*)context;
    char destination[PathBufferSize];
    tally->needed += BytesOnVolume(size, tally->clusterSize);
    WIN32_FILE_ATTRIBUTE_DATA old;
    if (JoinTexts(destination, sizeof destination, tally->destinationPath, name) &&
        GetFileAttributesExA(destination, GetFileExInfoStandard, &old) &&
        !(old.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        tally->replaced +=
            BytesOnVolume((uint64_t)old.nFileSizeHigh << 32 | old.nFileSizeLow, tally->clusterSize);
}

int DestinationHasRoom(const char* destinationPath, uint64_t* needed, uint64_t* available) {
    // The drive's root: the destination folder itself may not exist yet.
    char root[4] = {destinationPath[0], ':', '\\', 0};
    ULARGE_INTEGER free;
    if (!GetDiskFreeSpaceExA(root, &free, NULL, NULL)) return 1;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters, clusters;
    SpaceTally tally = {destinationPath, 0, 0, 0};
    if (GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        tally.clusterSize = sectorsPerCluster * bytesPerSector;  // else plain sizes
    VisitFilesToCopy(TallySpace, &tally);
    *needed = tally.needed > tally.replaced ? tally.needed - tally.replaced : 0;
    *available = free.QuadPart;
    return *needed <= *available;
}
