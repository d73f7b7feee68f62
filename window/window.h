// The setup window: its state, construction and window procedure.
#pragma once
#include <windows.h>

extern HINSTANCE ModuleInstance;
extern HWND MainWindow;
extern int WorkAreaWidth, WorkAreaHeight;
extern int PanelLeft, PanelTop;
extern HWND DestinationEdit, OkButton, CancelButton, BrowseButton;
extern HWND LanguageButtons[8];

enum { BrowseCommand = 3 };

// Returns 1 when the main window exists, 0 when its creation failed. Its
// icon and controls come after its first paint, by CompleteSetupWindow.
int CreateSetupWindow(HINSTANCE instance);

// The window's icon, the destination field, the push buttons and the
// language buttons; the field takes the focus.
void CompleteSetupWindow(void);

LRESULT CALLBACK SetupWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void SwitchLanguage(int language);

// Asks the panel's controls to draw themselves again, and the language
// buttons as well when languageButtonsToo is nonzero.
void InvalidateControls(int languageButtonsToo);
