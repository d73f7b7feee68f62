// The banner's blue gradient and the panel mirror: band geometry as plain
// arithmetic over the window's geometry (its fixed amounts are 96-DPI
// pixels), and the procedure that draws it.
#pragma once
#include "tables/geometry.h"

enum { PaletteSize = 222, PanelWidth = 270 };  // the panel's width at 96 DPI

int PanelWidthFor(const WindowGeometry& geometry);

struct BannerRect {
    int left, top, right, bottom;  // right and bottom exclusive
};

// Rows per band: the window's height over the palette size, at least 1 so
// that a window lower than the palette still fills and the loop ends.
int BandHeight(int windowHeight);

// Palette entry of the band that starts s rows down (may be negative below
// the window); 0 for a window without rows.
int BandIndex(int s, int windowHeight);

// The colour value of a band: a palette-relative entry, negatives clamped.
unsigned BandColour(int index);

// Rectangle of band k (k = 1, 2, ...) of BandHeight b: rows k*b - 2 up to
// (k+1)*b - 2, across the full width and two pixels beyond; each 2 scaled.
BannerRect BandRectangle(int k, const WindowGeometry& geometry);

// Number of bands the fill draws: it continues while the band's start lies
// above the window's bottom plus two (scaled), so the last one lies below it.
int BandCount(const WindowGeometry& geometry);

// The panel strip replaced by its own upside-down image: destination from
// (x, y) of width by height; the source is the same strip named by its lower
// edge (sourceY) and a negative height.
struct MirrorBlock {
    int x, y, width, height;
    int sourceY, sourceHeight;
};
MirrorBlock PanelMirror(const WindowGeometry& geometry);

// Draws the bands and the panel mirror into the banner's drawing context.
void FillGradient(void);
