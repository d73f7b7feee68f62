// The setup window: its state, construction and window procedure.
#pragma once
#include <windows.h>

#include "window/layout.h"

extern HINSTANCE ModuleInstance;
extern HWND MainWindow;

// The window as it is shown now: its size, DPI and panel corner, every
// control's place there and the controls' font at that DPI. Set as the
// window is made and on every DPI change, by the window alone; the banner
// draws by the same geometry.
struct SetupGeometry {
    WindowGeometry window;
    SetupLayout layout;
    HFONT controlFont;  // NULL before the window is made and after it is gone
};
extern const SetupGeometry& Geometry;

extern HWND DestinationEdit, OkButton, CancelButton, BrowseButton;
extern HWND LanguageButtons[8];
// Never shown: the label a screen reader names the field by.
extern HWND FolderLabel;

enum { BrowseCommand = 3 };

// What the window leaves to the program around it: the install and the
// Program Manager conversation. A NULL entry does nothing (nothing is held,
// nothing runs, the program goes on).
struct WindowHandlers {
    void (*okCommand)(void);  // OK or Enter
    // A close request; 1 when it is held, and the window stays for now.
    int (*holdCloseRequest)(void);
    // 1 while an install runs: the session's end is refused and browse does nothing.
    int (*installRunning)(void);
    void (*sessionEnding)(WPARAM ending);                  // WM_ENDSESSION with its wParam
    void (*ddeAcknowledge)(WPARAM wParam, LPARAM lParam);  // every WM_DDE_ACK
    // After the first paint, once the controls are there; 0 when the program
    // cannot go on: the window then closes with exit code 1.
    int (*checkAfterFirstPaint)(void);
};

// Copies the handlers; NULL clears them.
void SetWindowHandlers(const WindowHandlers* handlers);

// Returns 1 when the main window exists, 0 when its creation failed. Its
// icon and controls come after its first paint, by CompleteSetupWindow.
int CreateSetupWindow(HINSTANCE instance);

// The window's icon, the destination field (after its hidden label), the
// push buttons and the language buttons; the field takes the focus.
void CompleteSetupWindow(void);

// The window takes a size and DPI: the panel's corner, the controls' places
// (for the caption height asked for now) and the controls' font follow.
// Returns the font it replaced (NULL at first): the caller releases it once
// no control holds it.
HFONT TakeGeometry(int width, int height, int dpi);
// On the window's destruction: the controls' font is released.
void ReleaseControlFont(void);

// The controls made so far take the geometry's font and places, without
// drawing: after a DPI change.
void PlaceControls(void);
// Called after every DPI change once the window, the banner and the controls
// have followed it (NULL: nothing is): what the program around the window
// placed on it follows too.
void SetRescaleNotice(void (*notice)(void));

// The screen reader's names of the field and the browse button, in the
// current language; the button's only while a screen reader runs.
void NameControlsForScreenReaders(void);

LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void SwitchLanguage(int language);

// Brings the window of another running setup of this edition to the front.
void ShowOtherSetupWindow(void);

// The code the program ends with once the window has closed (0 unless set).
void SetSetupExitCode(int code);

// Asks the panel's controls to draw themselves again, and the language
// buttons as well when languageButtonsToo is nonzero.
void InvalidateControls(int languageButtonsToo);
