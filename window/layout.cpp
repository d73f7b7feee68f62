#include "window/layout.h"

// A 96-DPI rectangle at an offset from (left, top), scaled as a whole: each
// edge lies within half a pixel of its exact place.
static LayoutRect ScaledRect(const WindowGeometry& g, int left, int top, int x, int y, int width,
                             int height) {
    return {left + Scaled(g, x), top + Scaled(g, y), Scaled(g, width), Scaled(g, height)};
}

SetupLayout ComputeLayout(const WindowGeometry& g, int captionHeight) {
    SetupLayout l;
    const int left = g.panelLeft, top = g.panelTop + captionHeight;
    l.destinationEdit = ScaledRect(g, left, top, 23, 20, 187, 17);
    for (int id = 1; id <= 3; ++id)
        l.pushButtons[id - 1] = ScaledRect(g, left, top, 23 + 121 * (id - 1), 50, 102, 26);
    l.browseMoved = ScaledRect(g, left, top, 211, 19, 35, 20);
    for (int i = 0; i < 8; ++i)
        l.languageButtons[i] =
            ScaledRect(g, left, g.height, 24 + 76 * (i % 3), -130 + 30 * (i / 3), 70, 21);
    const int gap = Scaled(g, 14), boxHeight = Scaled(g, 40);
    LayoutRect ok = l.pushButtons[0], cancel = l.pushButtons[1];
    l.progressBox = {ok.x, ok.y + ok.height + gap, cancel.x + cancel.width - ok.x, boxHeight};
    if (l.progressBox.y + boxHeight + gap > l.languageButtons[0].y) l.progressBox = {0, 0, 0, 0};
    ProgressBoxInside& in = l.progressInside;
    in.margin = Scaled(g, 4);
    in.lineHeight = Scaled(g, 16);
    in.barTop = in.margin + in.lineHeight + Scaled(g, 2);
    return l;
}
