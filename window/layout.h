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
    // The copy's progress box in the free band between the push buttons and
    // the language buttons, under the field and the OK and Cancel buttons;
    // width and height 0 where the band has no room for it.
    LayoutRect progressBox;
};

int PanelLeftFor(int workAreaWidth);
int PanelTopFor(int workAreaHeight);
SetupLayout ComputeLayout(int workAreaWidth, int workAreaHeight, int captionHeight);
