// Window layout: every position follows from the work-area size and the
// caption height, in client coordinates of the main window.
#pragma once

struct LayoutRect {
    int x, y, width, height;
};

struct SetupLayout {
    int panelLeft, panelTop;
    LayoutRect destinationEdit;
    LayoutRect pushButtons[3];  // ids 1, 2, 3 at creation
    LayoutRect browseMoved;     // the browse button after the move
    LayoutRect languageButtons[8];
};

int PanelLeftFor(int workAreaWidth);
int PanelTopFor(int workAreaHeight);
SetupLayout ComputeLayout(int workAreaWidth, int workAreaHeight, int captionHeight);

// Picks the default destination into out (size bytes): the per-user Path when
// it was read, else the Program Files folder with the product sub-folder, else
// the fallback folder. A null value stands for a failed read. A composition
// that would not fit falls to the next rule; out is empty when none fits.
void ChooseDefaultDestination(const char* perUserPath, const char* programFilesDir,
                              int edition, char* out, int size);

// Terminates registry data read into a buffer: cb bytes were returned into a
// buffer that has room for limit bytes plus a terminator. Returns 0 when the
// text does not fit (no terminator within limit bytes of a full read).
int TerminateRegistryText(char* buffer, unsigned long cb, unsigned long limit);
