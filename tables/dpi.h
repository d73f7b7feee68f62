// Pixel amounts of the layout and painting are written for 96 DPI; a screen
// of another DPI gets them scaled.
#pragma once

enum { BaseDpi = 96 };

// amount * dpi / 96 rounded as MulDiv rounds (halves away from zero); a DPI
// of 0 or less (none known) leaves the amount as it is.
int ScaleForDpi(int amount, int dpi);
