// The window's geometry: its size, its DPI and the panel's corner. Pixel
// amounts of the layout and painting are written for 96 DPI; Scaled gives
// them at the window's DPI, and nothing scales them any other way.
#pragma once

enum { BaseDpi = 96 };

struct WindowGeometry {
    int width, height;        // the window's size: the work area's at start
    int dpi;                  // the DPI it is shown at
    int panelLeft, panelTop;  // the panel's corner, in the window's coordinates
};

// The panel lies 20 pixels left of the middle and 12 below it, scaled.
WindowGeometry GeometryFor(int width, int height, int dpi);

// amount * dpi / 96 rounded as MulDiv rounds (halves away from zero); a DPI
// of 0 or less (none known) leaves the amount as it is.
int Scaled(const WindowGeometry& geometry, int amount);
