// The blue gradient drawn band by band into BannerDC, mirrored behind the panel.
#include "banner/gradient.h"
#include "banner/surfaces_win.h"
#include "window/window.h"

void FillGradient(void) {
    int b = BandHeight(WorkAreaHeight);
    int bands = BandCount(WorkAreaHeight);
    for (int k = 1; k <= bands; ++k) {
        BannerRect band = BandRectangle(k, b, WorkAreaWidth);
        RECT r = {band.left, band.top, band.right, band.bottom};
        HBRUSH brush = CreateSolidBrush(BandColour(BandIndex(k * b, WorkAreaHeight)));
        if (!brush) continue;  // a band left unpainted is better than none after it
        FillRect(BannerDC, &r, brush);
        DeleteObject(brush);
    }
    MirrorBlock m = PanelMirror(WorkAreaHeight, PanelLeft, PanelTop);
    if (m.height <= 0) return;  // a work area too low to hold the panel
    StretchBlt(BannerDC, m.x, m.y, m.width, m.height, BannerDC, m.x, m.sourceY, m.width,
               m.sourceHeight, SRCCOPY);
}
