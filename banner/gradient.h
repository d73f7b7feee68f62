// The banner's blue gradient and the panel mirror: band geometry as plain
// arithmetic over the work-area size and the DPI (its fixed amounts are
// 96-DPI pixels), and the procedure that draws it.
#pragma once
#include "tables/dpi.h"

enum { PaletteSize = 222, PanelWidth = 270 };  // the panel's width at 96 DPI

int PanelWidthFor(int dpi);

struct BannerRect {
    int left, top, right, bottom;  // right and bottom exclusive
};

// Rows per band: the work-area height over the palette size, at least 1 so
// that a work area lower than the palette still fills and the loop ends.
int BandHeight(int workAreaHeight);

// Palette entry of the band that starts s rows down (may be negative below
// the window); 0 for a work area without rows.
int BandIndex(int s, int workAreaHeight);

// The colour value of a band: a palette-relative entry, negatives clamped.
unsigned BandColour(int index);

// Rectangle of band k (k = 1, 2, ...): rows k*b - 2 up to (k+1)*b - 2,
// across the full width and one pixel beyond; each 2 scaled to the DPI.
BannerRect BandRectangle(int k, int bandHeight, int workAreaWidth, int dpi = BaseDpi);

// Number of bands the fill draws: it continues while the band's start lies
// above the window's bottom plus two (scaled), so the last one lies below it.
int BandCount(int workAreaHeight, int dpi = BaseDpi);

// The panel strip replaced by its own upside-down image: destination from
// (x, y) of width by height; the source is the same strip named by its lower
// edge (sourceY) and a negative height.
struct MirrorBlock {
    int x, y, width, height;
    int sourceY, sourceHeight;
};
MirrorBlock PanelMirror(int workAreaHeight, int panelLeft, int panelTop, int dpi = BaseDpi);

// Draws the bands and the panel mirror into the banner's drawing context.
void FillGradient(void);
