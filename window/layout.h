// Window layout: every control's place follows from the window's geometry
// and the caption height, in client coordinates of the main window; computed
// once for each geometry. The fixed amounts are 96-DPI pixels, scaled.
#pragma once
#include "tables/geometry.h"

struct LayoutRect {
    int x, y, width, height;
};

// The copy's progress box inside: its margin, its text line and where its
// bar starts, from the top.
struct ProgressBoxInside {
    int margin, lineHeight, barTop;
};

struct SetupLayout {
    LayoutRect destinationEdit;
    LayoutRect pushButtons[3];  // ids 1, 2, 3 at creation
    LayoutRect browseMoved;     // the browse button after the move
    LayoutRect languageButtons[8];
    // The copy's progress box in the free band between the push buttons and
    // the language buttons, under the field and the OK and Cancel buttons;
    // width and height 0 where the band has no room for it.
    LayoutRect progressBox;
    ProgressBoxInside progressInside;
};

SetupLayout ComputeLayout(const WindowGeometry& geometry, int captionHeight);
