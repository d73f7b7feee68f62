// Folder and file helpers of the install procedure.
#include "install/install.h"
#include "startup/startup.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"

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

void CopyMatchingFilesFrom(const char* sourceFolder, const char* pattern,
                           const char* destinationFolder) {
    char search[PathBufferSize], source[PathBufferSize], destination[PathBufferSize];
    if (!JoinTexts(search, sizeof search, sourceFolder, pattern)) return;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(search, &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // A name that does not fit is passed over like any failed copy.
        if (!JoinTexts(source, sizeof source, sourceFolder, entry.cFileName)) continue;
        if (!JoinTexts(destination, sizeof destination, destinationFolder, entry.cFileName))
            continue;
        // Failures are passed over quietly.
        if (CopyFileA(source, destination, FALSE)) CountCopiedFile(destination);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

void CopyMatchingFiles(const char* pattern, const char* destinationFolder) {
    CopyMatchingFilesFrom(SourceDirectory, pattern, destinationFolder);
}
