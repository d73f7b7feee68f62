#include <windows.h>
#include <dde.h>

#include "banner/banner.h"
#include "banner/description_block.h"
#include "tables/tables.h"
#include "window/browse.h"
#include "window/window.h"

enum { FirstPaintDoneMessage = WM_APP + 1 };
static int FirstPaintDone;
static int ExitCode;
static WindowHandlers Handlers;  // all NULL until SetWindowHandlers

void SetWindowHandlers(const WindowHandlers* handlers) {
    Handlers = handlers ? *handlers : WindowHandlers();
}

static int InstallRuns(void) { return Handlers.installRunning && Handlers.installRunning(); }

static void OnCreate(HWND window) {
    MainWindow = window;
    FirstPaintDone = 0;  // each window completes itself after its own first paint
    ExitCode = 0;
    BannerPlace place = {window, WorkAreaWidth, WorkAreaHeight, PanelLeft, PanelTop};
    SetUpBanner(&place, InvalidateControls);
}

static void OnDestroy(void) {
    CleanUpBanner();
    PostQuitMessage(ExitCode);
}

static void OnFirstPaintDone(void) {
    CompleteSetupWindow();
    if (!Handlers.checkAfterFirstPaint || Handlers.checkAfterFirstPaint()) return;
    ExitCode = 1;
    DestroyWindow(MainWindow);
}

static void OnPaint(HWND window) {
    PaintBanner();
    if (FirstPaintDone) return;
    FirstPaintDone = 1;
    // The banner shows first. The controls and the disk's names (a search
    // each) follow at once: a posted message comes before any input.
    if (!PostMessageA(window, FirstPaintDoneMessage, 0, 0)) OnFirstPaintDone();
}

static void OnSetFocus(void) {
    if (DestinationEdit) SetFocus(DestinationEdit);
    RealiseBannerPalette();
}

static void OnBrowseCommand(void) {
    // A running installation has read the field already and keeps texts in
    // MessageText while it waits; a browser now would overwrite them and offer
    // a choice that no longer counts.
    if (InstallRuns()) return;
    BrowseDestination();
}

static void OnCommand(WPARAM wParam) {
    if (HIWORD(wParam) != 0) return;  // field notifications and the like
    int id = LOWORD(wParam);
    switch (id) {
    case IDOK:
        if (Handlers.okCommand) Handlers.okCommand();
        break;
    case IDCANCEL: SendMessageA(MainWindow, WM_CLOSE, 0, 0); break;
    case BrowseCommand: OnBrowseCommand(); break;
    default: {
        int language = LanguageForButton(id);
        if (language >= 0) SwitchLanguage(language);
        break;
    }
    }
}

void SwitchLanguage(int language) {
    SetLanguage(language);
    LoadDescription();
    InvalidateBanner();
    SetWindowTextA(CancelButton, ButtonLabel(language, IDCANCEL));
}

LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_SETFOCUS: OnSetFocus(); break;
    case WM_PAINT: OnPaint(window); break;
    case FirstPaintDoneMessage: OnFirstPaintDone(); return 0;
    case WM_COMMAND: OnCommand(wParam); break;
    case WM_CLOSE:
        // The window must outlive a running installation; it closes after it.
        if (Handlers.holdCloseRequest && Handlers.holdCloseRequest()) return 0;
        break;
    case WM_QUERYENDSESSION:
        // An install cut off by the session's end would leave a broken product.
        if (InstallRuns()) return FALSE;
        break;
    case WM_ENDSESSION:
        if (Handlers.sessionEnding) Handlers.sessionEnding(wParam);
        break;
    case WM_PALETTECHANGED: NoteBannerPaletteChanged(); break;
    case WM_DDE_ACK:
        if (Handlers.ddeAcknowledge) Handlers.ddeAcknowledge(wParam, lParam);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
