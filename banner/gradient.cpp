#include "banner/gradient.h"

int BandHeight(int workAreaHeight) {
    int b = workAreaHeight / PaletteSize;
    return b < 1 ? 1 : b;
}

int BandIndex(int s, int workAreaHeight) {
    if (workAreaHeight <= 0) return 0;
    // 64-bit product: a tall work area times 222 must not overflow.
    long long n = ((long long)workAreaHeight - s) * PaletteSize / workAreaHeight;
    return (int)n;
}

unsigned BandColour(int index) { return 0x01000000u | (unsigned)(index < 0 ? 0 : index); }

int PanelWidthFor(int dpi) { return ScaleForDpi(PanelWidth, dpi); }

BannerRect BandRectangle(int k, int bandHeight, int workAreaWidth, int dpi) {
    int s = k * bandHeight, two = ScaleForDpi(2, dpi);
    BannerRect r = {0, s - two, workAreaWidth + two, s + bandHeight - two};
    return r;
}

int BandCount(int workAreaHeight, int dpi) {
    int b = BandHeight(workAreaHeight);
    long long end = (long long)workAreaHeight + ScaleForDpi(2, dpi);
    if (end <= 0) return 1;  // the loop body runs once before its test
    // Smallest k with k * b >= end.
    return (int)((end + b - 1) / b);
}

MirrorBlock PanelMirror(int workAreaHeight, int panelLeft, int panelTop, int dpi) {
    int d = workAreaHeight - panelTop - ScaleForDpi(3, dpi);
    MirrorBlock m = {panelLeft, panelTop, PanelWidthFor(dpi), d, panelTop + d, -d};
    return m;
}
