#include "banner/gradient.h"

int BandHeight(int windowHeight) {
    int b = windowHeight / PaletteSize;
    return b < 1 ? 1 : b;
}

int BandIndex(int s, int windowHeight) {
    if (windowHeight <= 0) return 0;
    // 64-bit product: a tall window times 222 must not overflow.
    long long n = ((long long)windowHeight - s) * PaletteSize / windowHeight;
    return (int)n;
}

unsigned BandColour(int index) { return 0x01000000u | (unsigned)(index < 0 ? 0 : index); }

int PanelWidthFor(const WindowGeometry& g) { return Scaled(g, PanelWidth); }

BannerRect BandRectangle(int k, const WindowGeometry& g) {
    int b = BandHeight(g.height), s = k * b, two = Scaled(g, 2);
    BannerRect r = {0, s - two, g.width + two, s + b - two};
    return r;
}

int BandCount(const WindowGeometry& g) {
    int b = BandHeight(g.height);
    long long end = (long long)g.height + Scaled(g, 2);
    if (end <= 0) return 1;  // the loop body runs once before its test
    // Smallest k with k * b >= end.
    return (int)((end + b - 1) / b);
}

MirrorBlock PanelMirror(const WindowGeometry& g) {
    int d = g.height - g.panelTop - Scaled(g, 3);
    MirrorBlock m = {g.panelLeft, g.panelTop, PanelWidthFor(g), d, g.panelTop + d, -d};
    return m;
}
