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

BannerRect BandRectangle(int k, int bandHeight, int workAreaWidth) {
    int s = k * bandHeight;
    BannerRect r = {0, s - 2, workAreaWidth + 2, s + bandHeight - 2};
    return r;
}

int BandCount(int workAreaHeight) {
    int b = BandHeight(workAreaHeight);
    long long end = (long long)workAreaHeight + 2;
    if (end <= 0) return 1;  // the loop body runs once before its test
    // Smallest k with k * b >= end.
    return (int)((end + b - 1) / b);
}

MirrorBlock PanelMirror(int workAreaHeight, int panelLeft, int panelTop) {
    int d = workAreaHeight - panelTop - 3;
    MirrorBlock m = {panelLeft, panelTop, PanelWidth, d, panelTop + d, -d};
    return m;
}
