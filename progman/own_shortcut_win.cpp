// The shortcut the program makes itself where no Program Manager made the item:
// on today's systems the shell often does not answer, or cannot hear us.
#include <shlobj.h>

#include "platform/system_calls.h"
#include "progman/progman.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"

// The all-users folder first: the install is for every user of the machine.
static const int ProgramsFolders[] = {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS};
enum { ProgramsFolderCount = sizeof ProgramsFolders / sizeof ProgramsFolders[0] };

// Our own link of this run, while a server may still answer the command it
// was made in place of; empty when there is none.
static char OwnLinkPath[ShortcutPathSize];
static FILETIME OwnLinkWritten;

// "<Programs folder>\<product name>.lnk" for ProgramsFolders[i]; 0 when the
// folder cannot be named or the path would not fit.
static int ProgramsLinkPath(int i, int create, char* linkPath) {
    char folder[MAX_PATH];
    int which = ProgramsFolders[i] | (create ? CSIDL_FLAG_CREATE : 0);
    return SUCCEEDED(LateGetFolderPath(which, folder)) &&
           ShortcutPath(folder, ProductString(ProductName, Edition), linkPath, ShortcutPathSize);
}

static int ToWidePath(const char* path, WCHAR* wide) {
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, ShortcutPathSize) != 0;
}

// Whether the link at linkPath starts programPath. A link that cannot be
// read counts as none.
static int LinkStarts(const char* linkPath, const char* programPath) {
    WCHAR widePath[ShortcutPathSize];
    IShellLinkA* link = NULL;
    if (!ToWidePath(linkPath, widePath) ||
        FAILED(LateCoCreateInstance(CLSID_ShellLink, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    (void**)&link)))
        return 0;
    IPersistFile* file = NULL;
    char target[MAX_PATH];
    int starts = 0;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        starts = SUCCEEDED(file->Load(widePath, STGM_READ)) &&
                 link->GetPath(target, sizeof target, NULL, 0) == S_OK &&
                 EqualIgnoringCase(target, programPath);
        file->Release();
    }
    link->Release();
    return starts;
}

// A server that answered after we stopped waiting has made its item all the
// same: a second one would show the product twice in the menu.
static int ServerLinkExists(const char* programPath) {
    for (int i = 0; i < ProgramsFolderCount; ++i) {
        char linkPath[ShortcutPathSize];
        if (ProgramsLinkPath(i, 0, linkPath) && LinkStarts(linkPath, programPath)) return 1;
    }
    return 0;
}

static int LastWritten(const char* path, FILETIME* written) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
    *written = data.ftLastWriteTime;
    return 1;
}

static int SaveShortcut(IShellLinkA* link, const char* linkPath) {
    WCHAR widePath[ShortcutPathSize];
    if (!ToWidePath(linkPath, widePath)) return 0;
    IPersistFile* file = NULL;
    if (FAILED(link->QueryInterface(IID_IPersistFile, (void**)&file))) return 0;
    int saved = SUCCEEDED(file->Save(widePath, TRUE));
    file->Release();
    // Without its time the link is never taken back: two are better than none.
    if (saved && LastWritten(linkPath, &OwnLinkWritten))
        CopyText(OwnLinkPath, sizeof OwnLinkPath, linkPath);  // as large: fits
    return saved;
}

// The all-users folder needs the rights an elevated setup has; the user's
// own is the fallback.
static int SaveInProgramsFolder(IShellLinkA* link) {
    for (int i = 0; i < ProgramsFolderCount; ++i) {
        char linkPath[ShortcutPathSize];
        if (ProgramsLinkPath(i, 1, linkPath) && SaveShortcut(link, linkPath)) return 1;
    }
    return 0;
}

int CreateOwnShortcut(const char* programPath, const char* workingFolder) {
    OwnLinkPath[0] = 0;
    UseCom();  // without COM no link object is made, which the caller hears
    if (ServerLinkExists(programPath)) return 1;
    IShellLinkA* link = NULL;
    int made = 0;
    if (SUCCEEDED(LateCoCreateInstance(CLSID_ShellLink, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       (void**)&link))) {
        made = SUCCEEDED(link->SetPath(programPath)) &&
               SUCCEEDED(link->SetWorkingDirectory(workingFolder)) &&
               SUCCEEDED(link->SetIconLocation(programPath, 0)) && SaveInProgramsFolder(link);
        link->Release();
    }
    return made;
}

void TakeBackOwnShortcut(void) {
    FILETIME written;
    // A link written since is the server's item, saved over ours: it stays.
    if (OwnLinkPath[0] && LastWritten(OwnLinkPath, &written) &&
        CompareFileTime(&written, &OwnLinkWritten) == 0)
        DeleteFileA(OwnLinkPath);  // one that cannot go is passed over: two entries, no loss
    OwnLinkPath[0] = 0;
}
