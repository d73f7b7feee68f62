// The shortcut the program makes itself where no Program Manager made the item:
// on today's systems the shell often does not answer, or cannot hear us.
#include <shlobj.h>

#include "platform/system_calls.h"
#include "progman/progman.h"
#include "tables/tables.h"

static int SaveShortcut(IShellLinkA* link, const char* linkPath) {
    WCHAR widePath[ShortcutPathSize];
    if (!MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, ShortcutPathSize)) return 0;
    IPersistFile* file = NULL;
    if (FAILED(link->QueryInterface(IID_IPersistFile, (void**)&file))) return 0;
    int saved = SUCCEEDED(file->Save(widePath, TRUE));
    file->Release();
    return saved;
}

// The install is for every user of the machine; their folder needs the
// rights an elevated setup has, and the user's own is the fallback.
static int SaveInProgramsFolder(IShellLinkA* link) {
    static const int folders[] = {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS};
    for (UINT i = 0; i < sizeof folders / sizeof folders[0]; ++i) {
        char folder[MAX_PATH], linkPath[ShortcutPathSize];
        if (FAILED(LateGetFolderPath(folders[i] | CSIDL_FLAG_CREATE, folder))) continue;
        if (!ShortcutPath(folder, ProductString(ProductName, Edition), linkPath, sizeof linkPath))
            continue;
        if (SaveShortcut(link, linkPath)) return 1;
    }
    return 0;
}

int CreateOwnShortcut(const char* programPath, const char* workingFolder) {
    UseCom();  // without COM no link object is made, which the caller hears
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
