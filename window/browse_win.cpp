#include <objbase.h>
#include <shlobj.h>

#include "platform/shown_text.h"
#include "platform/system_calls.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/browse.h"
#include "window/window.h"

static_assert(BrowsePathSize == MAX_PATH, "the browser returns paths of MAX_PATH bytes");

// The field's text, then the folder the browser opens on, then the folder the
// user chose, then the destination.
static char BrowsePath[BrowsePathSize];

// lpData is the folder to open on, handed over in BROWSEINFO.lParam.
static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM lpData) {
    if (message != BFFM_INITIALIZED) return 0;
    SetWindowTextW(dialog, L"Setup");  // a failure leaves the system's title
    RECT r;
    if (GetWindowRect(dialog, &r)) {  // else the dialog stays where the system put it
        int x, y;
        BrowserPosition(Geometry.window.width, Geometry.window.height, r.right - r.left,
                        r.bottom - r.top, &x, &y);
        SetWindowPos(dialog, NULL, x, y, 0, 0, SWP_NOSIZE);
    }
    // A folder that does not exist leaves the browser on its own selection.
    const char* start = (const char*)lpData;
    if (start[0]) SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, (LPARAM)start);
    return 0;
}

// The shell and COM, loaded at the first browse rather than at start-up.
struct ShellCalls {
    void(WINAPI* freeMemory)(LPVOID);
    LPITEMIDLIST(WINAPI* browseForFolder)(LPBROWSEINFOW);
    BOOL(WINAPI* pathFromItem)(LPCITEMIDLIST, LPSTR);
};

static int FindShellCalls(ShellCalls* calls) {
    return FindSystemProcedure(&calls->freeMemory, CallCoTaskMemFree) &&
           FindSystemProcedure(&calls->browseForFolder, CallSHBrowseForFolderW) &&
           FindSystemProcedure(&calls->pathFromItem, CallSHGetPathFromIDListA);
}

// Returns 1 when the user confirmed a file-system folder, now in BrowsePath.
static int BrowseForParentFolder(void) {
    ShellCalls shell;
    if (!FindShellCalls(&shell)) return 0;  // a system without the shell's browser
    // The prompt is shown wide; the folder chosen comes back as an ANSI path
    // like every path of the program.
    WCHAR prompt[ShownTextSize];
    WidenText(TableText(BrowsePrompt(LanguageIndex)), prompt, ShownTextSize);  // both prompts fit
    BROWSEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.hwndOwner = MainWindow;
    info.lpszTitle = prompt;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = (LPARAM)BrowsePath;

    // The shell's browser is a COM client and requires an apartment on this
    // thread. Without one it is tried all the same: its own failure is a
    // browse without a choice.
    UseCom();
    int chosen = 0;
    LPITEMIDLIST item = shell.browseForFolder(&info);
    if (item) {
        chosen = shell.pathFromItem(item, BrowsePath) ? 1 : 0;
        shell.freeMemory(item);
    }
    return chosen;
}

// Reads the field into BrowsePath; a text longer than the field is read with
// gives no folder to open on rather than a cut-off one.
static void ReadDestinationField(void) {
    BrowsePath[0] = '\0';
    if (GetWindowTextLengthA(DestinationEdit) > DestinationLimit) return;
    GetWindowTextA(DestinationEdit, BrowsePath, DestinationLimit + 1);
}

void BrowseDestination(void) {
    const char* productName = ProductString(ProductName, Edition);
    ReadDestinationField();
    TrimProductFolder(BrowsePath, productName);
    if (!BrowseForParentFolder()) return;  // cancelled, or no file-system path
    if (!ComposeDestination(BrowsePath, sizeof BrowsePath, productName)) {
        // Install reads the field with at most 254 characters: a longer
        // destination would install somewhere the user did not choose.
        ShowMessage(MainWindow, TableText(LongDestinationText(LanguageIndex)),
                    TableText(ErrorCaption(LanguageIndex)), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    SetWindowTextA(DestinationEdit, BrowsePath);  // a failure leaves the field as it was
}
