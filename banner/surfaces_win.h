// The banner's drawing surfaces, shared by the palette and the painter.
#pragma once
#include <windows.h>

extern HDC BannerDC;            // the whole window, frame included
extern HDC BannerBuffer;        // memory copy of the last full repaint
extern HPALETTE BannerPalette;  // 222 blues, one at a time

void CreateBannerPalette(void);
