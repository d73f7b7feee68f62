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
