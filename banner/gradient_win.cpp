// The blue gradient drawn band by band into BannerDC, mirrored behind the panel.
#include "banner/gradient.h"
#include "banner/surfaces_win.h"

void FillGradient(void) {
    const int height = BannerArea.workAreaHeight;
    int b = BandHeight(height);
    const int dpi = BannerArea.dpi;
    int bands = BandCount(height, dpi);
    for (int k = 1; k <= bands; ++k) {
        BannerRect band = BandRectangle(k, b, BannerArea.workAreaWidth, dpi);
        RECT r = {band.left, band.top, band.right, band.bottom};
        HBRUSH brush = CreateSolidBrush(BandColour(BandIndex(k * b, height)));
        if (!brush) continue;  // a band left unpainted is better than none after it
        FillRect(BannerDC, &r, brush);
        DeleteObject(brush);
    }
    MirrorBlock m = PanelMirror(height, BannerArea.panelLeft, BannerArea.panelTop, dpi);
    if (m.height <= 0) return;  // a work area too low to hold the panel
    StretchBlt(BannerDC, m.x, m.y, m.width, m.height, BannerDC, m.x, m.sourceY, m.width,
               m.sourceHeight, SRCCOPY);
}
