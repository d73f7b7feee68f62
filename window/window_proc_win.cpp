#include <windows.h>
#include <dde.h>

#include "banner/banner.h"
#include "banner/description_block.h"
#include "platform/shown_text.h"
#include "platform/system_calls.h"
#include "tables/tables.h"
#include "window/browse.h"
#include "window/window.h"

enum { FirstPaintDoneMessage = WM_APP + 1 };
static int FirstPaintDone;
static int ExitCode;
static WindowHandlers Handlers;  // all NULL until SetWindowHandlers
static void (*RescaleNotice)(void);

void SetWindowHandlers(const WindowHandlers* handlers) {
    Handlers = handlers ? *handlers : WindowHandlers();
}

static int InstallRuns(void) { return Handlers.installRunning && Handlers.installRunning(); }

// Names the edition on the window, so that a second setup finds this one.
static const char EditionProperty[] = "KellumSetupEdition";
// What a second setup sends to have this one come to the front: the system
// lets a process take the foreground from its own thread more readily than
// from another process. 0 when it could not be registered.
static const char RaiseMessageName[] = "KellumSetupRaise";
static UINT RaiseMessage;
enum { RaiseTimeout = 5000 };  // the window's thread answers between copies and in boxes

void SetRescaleNotice(void (*notice)(void)) { RescaleNotice = notice; }

static void OnCreate(HWND window) {
    MainWindow = window;
    SetPropA(window, EditionProperty, (HANDLE)(INT_PTR)(Edition + 1));  // unnamed: not found
    RaiseMessage = RegisterWindowMessageA(RaiseMessageName);
    FirstPaintDone = 0;  // each window completes itself after its own first paint
    ExitCode = 0;
    TakeGeometry(Geometry.window.width, Geometry.window.height, WindowDpiOf(window));
    SetUpBanner(window, &Geometry.window, InvalidateControls);
}

static void OnDestroy(void) {
    RemovePropA(MainWindow, EditionProperty);
    CleanUpBanner();
    ReleaseControlFont();  // the controls go next, and draw no more
    PostQuitMessage(ExitCode);
}

// The window takes the system's suggested rectangle, keeping its place on
// the new screen; then everything sized in pixels follows, drawn once.
static void OnDpiChanged(WPARAM wParam, const RECT* suggested) {
    if (!suggested || HIWORD(wParam) == 0) return;  // not the system's: nothing to follow
    int width = suggested->right - suggested->left, height = suggested->bottom - suggested->top;
    // A refused move leaves the window's size as it was; the rest follows that.
    SetWindowPos(MainWindow, NULL, suggested->left, suggested->top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT now;
    if (GetWindowRect(MainWindow, &now)) {
        width = now.right - now.left;
        height = now.bottom - now.top;
    } else {
        width = Geometry.window.width;
        height = Geometry.window.height;
    }
    HFONT replaced = TakeGeometry(width, height, HIWORD(wParam));
    MoveBanner();
    PlaceControls();
    if (RescaleNotice) RescaleNotice();
    ReleasePlainFont(replaced);  // no control holds it any more
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
    // A running installation has read the field already: a browser now would
    // offer a choice that no longer counts.
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

void SetSetupExitCode(int code) { ExitCode = code; }

// Above every other window, with a message box of ours in front of it (its
// owner, disabled, would take no input).
static void RaiseSetupWindow(void) {
    if (IsIconic(MainWindow)) ShowWindow(MainWindow, SW_RESTORE);
    // Activation need not change the order at once: the window goes on top
    // here. A refusal leaves it where it was, which the flash makes up for.
    SetWindowPos(MainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (SetForegroundWindow(GetLastActivePopup(MainWindow))) return;
    // Refused: the taskbar button asks for the user's attention instead.
    FLASHWINFO flash = {sizeof flash, MainWindow, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

static BOOL CALLBACK ShowIfSetupOfThisEdition(HWND window, LPARAM) {
    char name[8];
    if (!GetClassNameA(window, name, sizeof name) || lstrcmpA(name, "Setup") != 0 ||
        GetPropA(window, EditionProperty) != (HANDLE)(INT_PTR)(Edition + 1))
        return TRUE;
    // Our right to the foreground, started by the user, passes to the first
    // setup; a refusal leaves it to flash instead.
    DWORD process = 0;
    if (GetWindowThreadProcessId(window, &process)) AllowSetForegroundWindow(process);
    UINT raise = RegisterWindowMessageA(RaiseMessageName);
    DWORD_PTR result;
    // A first setup that does not answer in time is raised from here, as far
    // as the system lets us.
    if (!raise ||
        !SendMessageTimeoutA(window, raise, 0, 0, SMTO_ABORTIFHUNG, RaiseTimeout, &result)) {
        if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
    }
    return FALSE;
}

void ShowOtherSetupWindow(void) { EnumWindows(ShowIfSetupOfThisEdition, 0); }

void SwitchLanguage(int language) {
    SetLanguage(language);
    LoadDescription();
    InvalidateBanner();
    if (CancelButton) ShowText(CancelButton, ButtonText(language, IDCANCEL));
    NameControlsForScreenReaders();
}

LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RaiseMessage && RaiseMessage != 0) {
        RaiseSetupWindow();
        return 0;
    }
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
    case WM_SYSCOLORCHANGE: InvalidateBanner(); break;  // high contrast switched on or off
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETSCREENREADER) NameControlsForScreenReaders();  // one has started
        break;
    case WM_DPICHANGED: OnDpiChanged(wParam, (const RECT*)lParam); return 0;
    case WM_DDE_ACK:
        if (Handlers.ddeAcknowledge) Handlers.ddeAcknowledge(wParam, lParam);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
