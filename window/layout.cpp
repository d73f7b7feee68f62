#include "window/layout.h"

int PanelLeftFor(int workAreaWidth, int dpi) { return workAreaWidth / 2 - ScaleForDpi(20, dpi); }
int PanelTopFor(int workAreaHeight, int dpi) { return workAreaHeight / 2 + ScaleForDpi(12, dpi); }

// A 96-DPI rectangle at an offset from (left, top), scaled as a whole: each
// edge lies within half a pixel of its exact place.
static LayoutRect ScaledRect(int left, int top, int x, int y, int width, int height, int dpi) {
    return {left + ScaleForDpi(x, dpi), top + ScaleForDpi(y, dpi), ScaleForDpi(width, dpi),
            ScaleForDpi(height, dpi)};
}

SetupLayout ComputeLayout(int workAreaWidth, int workAreaHeight, int captionHeight, int dpi) {
    SetupLayout l;
    l.panelLeft = PanelLeftFor(workAreaWidth, dpi);
    l.panelTop = PanelTopFor(workAreaHeight, dpi);
    const int left = l.panelLeft, top = l.panelTop + captionHeight;
    l.destinationEdit = ScaledRect(left, top, 23, 20, 187, 17, dpi);
    for (int id = 1; id <= 3; ++id)
        l.pushButtons[id - 1] = ScaledRect(left, top, 23 + 121 * (id - 1), 50, 102, 26, dpi);
    l.browseMoved = ScaledRect(left, top, 211, 19, 35, 20, dpi);
    for (int i = 0; i < 8; ++i)
        l.languageButtons[i] =
            ScaledRect(left, workAreaHeight, 24 + 76 * (i % 3), -130 + 30 * (i / 3), 70, 21, dpi);
    const int gap = ScaleForDpi(14, dpi), boxHeight = ScaleForDpi(40, dpi);
    LayoutRect ok = l.pushButtons[0], cancel = l.pushButtons[1];
    l.progressBox = {ok.x, ok.y + ok.height + gap, cancel.x + cancel.width - ok.x, boxHeight};
    if (l.progressBox.y + boxHeight + gap > l.languageButtons[0].y) l.progressBox = {0, 0, 0, 0};
    return l;
}

ProgressBoxInside ProgressBoxInsideFor(int dpi) {
    ProgressBoxInside inside;
    inside.margin = ScaleForDpi(4, dpi);
    inside.lineHeight = ScaleForDpi(16, dpi);
    inside.barTop = inside.margin + inside.lineHeight + ScaleForDpi(2, dpi);
    return inside;
}
