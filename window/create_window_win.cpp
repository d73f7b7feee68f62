#include "banner/banner.h"
#include "banner/banner_texts.h"
#include "banner/description_block.h"
#include "platform/shown_text.h"
#include "platform/system_calls.h"
#include "tables/tables.h"
#include "window/browse.h"
#include "window/default_destination.h"
#include "window/layout.h"
#include "window/window.h"

HINSTANCE ModuleInstance;
HWND MainWindow;
static SetupGeometry Shown;
const SetupGeometry& Geometry = Shown;
HWND DestinationEdit, OkButton, CancelButton, BrowseButton;
HWND LanguageButtons[8];
HWND FolderLabel;

// The field's first text, found before the first paint; the field follows it.
static char DefaultDestination[DefaultDestinationSize];

static const DWORD FieldStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
static const DWORD PushStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
static const DWORD LanguageStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHLIKE | BS_AUTORADIOBUTTON;
// Never visible and without a tab stop: it draws nothing and takes no focus.
static const DWORD LabelStyle = WS_CHILD | SS_LEFT;
enum { LabelId = -1 };  // a label's usual id: nothing addresses it by its id

static HWND CreateControl(DWORD exStyle, const char* className, const char* text, DWORD style,
                          LayoutRect r, int id) {
    HWND control = CreateWindowExA(exStyle, className, text, style, r.x, r.y, r.width, r.height,
                                   MainWindow, (HMENU)(INT_PTR)id, ModuleInstance, NULL);
    SendMessageA(control, WM_SETFONT, (WPARAM)Shown.controlFont, 0);
    return control;
}

// A control labelled by the program's texts, made with its label through the
// wide call so that it reads alike on every code page (one that cannot be
// converted is made without a label). Set afterwards, the label would draw
// the control at once, before it has its place.
static HWND CreateLabelledControl(const WCHAR* className, TextPart label, DWORD style, LayoutRect r,
                                  int id) {
    WCHAR text[ShownTextSize];
    WidenText(label, text, ShownTextSize);
    HWND control = CreateWindowExW(0, className, text, style, r.x, r.y, r.width, r.height,
                                   MainWindow, (HMENU)(INT_PTR)id, ModuleInstance, NULL);
    SendMessageA(control, WM_SETFONT, (WPARAM)Shown.controlFont, 0);
    return control;
}

HFONT TakeGeometry(int width, int height, int dpi) {
    Shown.window = GeometryFor(width, height, dpi);
    Shown.layout = ComputeLayout(Shown.window, SystemMetricForDpi(SM_CYCAPTION, dpi));
    HFONT replaced = Shown.controlFont;
    Shown.controlFont = PlainFontFor(Shown.window);
    return replaced;
}

void ReleaseControlFont(void) {
    ReleasePlainFont(Shown.controlFont);
    Shown.controlFont = NULL;
}

int CreateSetupWindow(HINSTANCE instance) {
    ModuleInstance = instance;
    SetLanguage(English);

    // The window covers the work area; its DPI is known once it exists.
    RECT work;
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        Shown.window = GeometryFor(work.right - work.left, work.bottom - work.top, BaseDpi);
    else
        Shown.window =
            GeometryFor(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), BaseDpi);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = SetupWindowProc;
    wc.hInstance = ModuleInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = "Setup";
    RegisterClassA(&wc);  // a failure shows as a failed creation below

    MainWindow = CreateWindowExA(
        0, "Setup", "Kellum Setup", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_SYSMENU, 0, 0,
        Shown.window.width, Shown.window.height, NULL, NULL, ModuleInstance, NULL);
    if (!MainWindow) {
        ShowMessage(NULL, TableText(ErrorCaption(English)), TableText(""), MB_OK | MB_SYSTEMMODAL);
        return 0;
    }

    LoadDescription();  // in place before the first paint
    FindDefaultDestination(DefaultDestination, sizeof DefaultDestination);
    return 1;
}

void CompleteSetupWindow(void) {
    // The system makes a small copy of a class icon as it takes it: that too
    // waits until the banner shows. A failure leaves the default icon.
    HICON icon = LoadIconA(ModuleInstance, MAKEINTRESOURCEA(1));
    if (icon) SetClassLongPtrA(MainWindow, GCLP_HICON, (LONG_PTR)icon);

    const SetupLayout& layout = Shown.layout;
    // Just before the field, which a screen reader names by the label before it.
    // It lies on the field: anything that asks where the label is finds the field.
    FolderLabel = CreateLabelledControl(L"Static", TableText(FolderLabelFor(LanguageIndex)),
                                        LabelStyle, layout.destinationEdit, LabelId);
    // The field holds a path: the system's own code page, through the ANSI calls.
    DestinationEdit = CreateControl(WS_EX_NOPARENTNOTIFY, "Edit", DefaultDestination, FieldStyle,
                                    layout.destinationEdit, 0);
    SetFocus(DestinationEdit);

    HWND* pushButtons[3] = {&OkButton, &CancelButton, &BrowseButton};
    for (int id = 1; id <= 3; ++id)
        *pushButtons[id - 1] = CreateLabelledControl(L"Button", ButtonText(LanguageIndex, id),
                                                     PushStyle, layout.pushButtons[id - 1], id);
    MoveWindow(BrowseButton, layout.browseMoved.x, layout.browseMoved.y, layout.browseMoved.width,
               layout.browseMoved.height, FALSE);

    int count = LanguageButtonCount(Edition);
    for (int i = 0; i < count; ++i)
        LanguageButtons[i] =
            CreateLabelledControl(L"Button", TableText(LanguageButtonLabel(i)), LanguageStyle,
                                  layout.languageButtons[i], FirstLanguageButtonId + i);
    CheckDlgButton(MainWindow, FirstLanguageButtonId, BST_CHECKED);
    NameControlsForScreenReaders();
}

// The annotation service starts COM, tens of milliseconds before the window
// answers again: it is asked only while a screen reader says it runs.
static int ScreenReaderRuns(void) {
    BOOL runs = FALSE;
    return SystemParametersInfoA(SPI_GETSCREENREADER, 0, &runs, 0) && runs;
}

void NameControlsForScreenReaders(void) {
    if (FolderLabel) ShowText(FolderLabel, TableText(FolderLabelFor(LanguageIndex)));
    // Where the system lacks the service (older systems, Wine), the button
    // keeps the name its "..." gives it.
    if (BrowseButton && ScreenReaderRuns())
        SetAccessibleName(BrowseButton, TableText(BrowsePrompt(LanguageIndex)));
}

static void PlaceControl(HWND control, LayoutRect r) {
    if (!control) return;  // not made yet: it is made at its place
    SendMessageA(control, WM_SETFONT, (WPARAM)Shown.controlFont, FALSE);
    MoveWindow(control, r.x, r.y, r.width, r.height, FALSE);
}

void PlaceControls(void) {
    const SetupLayout& layout = Shown.layout;
    PlaceControl(FolderLabel, layout.destinationEdit);
    PlaceControl(DestinationEdit, layout.destinationEdit);
    PlaceControl(OkButton, layout.pushButtons[0]);
    PlaceControl(CancelButton, layout.pushButtons[1]);
    PlaceControl(BrowseButton, layout.browseMoved);
    for (int i = 0; i < 8; ++i) PlaceControl(LanguageButtons[i], layout.languageButtons[i]);
}

void InvalidateControls(int languageButtonsToo) {
    HWND panel[4] = {DestinationEdit, OkButton, CancelButton, BrowseButton};
    for (HWND control : panel)
        if (control) InvalidateRect(control, NULL, FALSE);
    if (!languageButtonsToo) return;
    for (HWND button : LanguageButtons)
        if (button) InvalidateRect(button, NULL, FALSE);
}
