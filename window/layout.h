// Window layout: every position follows from the work-area size, the caption
// height and the window's DPI, in client coordinates of the main window. The
// fixed amounts are 96-DPI pixels, scaled to the DPI.
#pragma once
#include "tables/dpi.h"

struct LayoutRect {
    int x, y, width, height;
};

struct SetupLayout {
    int panelLeft, panelTop;
    LayoutRect destinationEdit;
    LayoutRect pushButtons[3];  // ids 1, 2, 3 at creation
    LayoutRect browseMoved;     // the browse button after the move
    LayoutRect languageButtons[8];
    // The copy's progress box in the free band between the push buttons and
    // the language buttons, under the field and the OK and Cancel buttons;
    // width and height 0 where the band has no room for it.
    LayoutRect progressBox;
};

int PanelLeftFor(int workAreaWidth, int dpi = BaseDpi);
int PanelTopFor(int workAreaHeight, int dpi = BaseDpi);
SetupLayout ComputeLayout(int workAreaWidth, int workAreaHeight, int captionHeight,
                          int dpi = BaseDpi);

// The copy's progress box inside: its margin, its text line and where its
// bar starts, from the top.
struct ProgressBoxInside {
    int margin, lineHeight, barTop;
};
ProgressBoxInside ProgressBoxInsideFor(int dpi);
