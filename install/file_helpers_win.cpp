// Folder and file helpers of the install procedure.
#include "install/copy_file.h"
#include "install/install.h"
#include "startup/startup.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"

int QuitRequested;
DWORD(WINAPI* PumpTickSource)(void) = GetTickCount;

void TimedMessagePump(DWORD interval) {
    DWORD start = PumpTickSource();
    while (!IntervalElapsed(start, PumpTickSource(), interval)) {
        MSG msg;
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) continue;
        if (msg.message == WM_QUIT) {
            // The quit belongs to the main loop: hand it back and stop here.
            QuitRequested = 1;
            PostQuitMessage((int)msg.wParam);
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void SystemErrorText(DWORD code) {
    // Inserts such as %1 stay as they stand: no arguments are supplied.
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                             code, 0, MessageText, MessageTextSize - 1, NULL);
    if (n >= MessageTextSize) n = 0;
    MessageText[LengthWithoutTrailingControls(MessageText, (int)n)] = 0;
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
        CopyFileWhilePumping(source, destination);  // failures are passed over quietly
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

void CopyMatchingFiles(const char* pattern, const char* destinationFolder) {
    CopyMatchingFilesFrom(SourceDirectory, pattern, destinationFolder);
}
