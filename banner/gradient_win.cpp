// The blue gradient drawn band by band into BannerDC, mirrored behind the panel.
#include "banner/gradient.h"
#include "banner/surfaces_win.h"

void FillGradient(void) {
    const WindowGeometry& g = *BannerGeometry;
    int b = BandHeight(g.height), bands = BandCount(g);
    for (int k = 1; k <= bands; ++k) {
        BannerRect band = BandRectangle(k, g);
        RECT r = {band.left, band.top, band.right, band.bottom};
        HBRUSH brush = CreateSolidBrush(BandColour(BandIndex(k * b, g.height)));
        if (!brush) continue;  // a band left unpainted is better than none after it
        FillRect(BannerDC, &r, brush);
        DeleteObject(brush);
    }
    MirrorBlock m = PanelMirror(g);
    if (m.height <= 0) return;  // a window too low to hold the panel
    StretchBlt(BannerDC, m.x, m.y, m.width, m.height, BannerDC, m.x, m.sourceY, m.width,
               m.sourceHeight, SRCCOPY);
}
