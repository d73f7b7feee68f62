#include "banner/banner.h"
#include "banner/description_block.h"
#include "install/install.h"
#include "progman/progman.h"
#include "tables/tables.h"
#include "window/browse.h"
#include "window/window.h"

static void OnCreate(HWND window) {
    MainWindow = window;
    SetUpBanner();
}

static void OnDestroy(void) {
    CleanUpBanner();
    PostQuitMessage(0);
}

static void OnSetFocus(void) {
    SetFocus(DestinationEdit);
    if (PaletteChanged) RebuildBannerPalette();
}

static void OnCommand(WPARAM wParam) {
    if (HIWORD(wParam) != 0) return;  // field notifications and the like
    int id = LOWORD(wParam);
    switch (id) {
    case IDOK: RunInstallProcedure(); break;
    case IDCANCEL: SendMessageA(MainWindow, WM_CLOSE, 0, 0); break;
    case BrowseCommand: BrowseDestination(); break;
    default: {
        int language = LanguageForButton(id);
        if (language >= 0) SwitchLanguage(language);
        break;
    }
    }
}

void SwitchLanguage(int language) {
    LanguageIndex = language;
    LoadDescription();
    InvalidateBanner();
    SetWindowTextA(CancelButton, ButtonLabel(language, IDCANCEL));
}

LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_SETFOCUS: OnSetFocus(); break;
    case WM_PAINT: PaintBanner(); break;
    case WM_COMMAND: OnCommand(wParam); break;
    case WM_CLOSE:
        // The window must outlive a running installation; it closes after it.
        if (HoldCloseRequest()) return 0;
        break;
    case WM_QUERYENDSESSION:
        // An install cut off by the session's end would leave a broken product.
        if (InstallRunning) return FALSE;
        break;
    case WM_ENDSESSION:
        // The session ends all the same: stop at the next file, as a close does.
        if (wParam) HoldCloseRequest();
        break;
    case WM_PALETTECHANGED: PaletteChanged = 1; break;
    case WM_DDE_ACK: OnDdeAcknowledge(wParam, lParam); break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
