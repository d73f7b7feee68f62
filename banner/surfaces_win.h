// The banner's drawing surfaces, shared by the palette and the painter.
#pragma once
#include <windows.h>

#include "banner/banner.h"

extern HWND BannerWindow;                                 // what SetUpBanner was given
extern const WindowGeometry* BannerGeometry;              // the window's, read at each use
extern void (*ControlsToRedraw)(int languageButtonsToo);  // NULL: none to ask
extern HDC BannerDC;                                      // the whole window, frame included
extern HDC BannerBuffer;                                  // memory copy of the last full repaint
extern HPALETTE BannerPalette;                            // 222 blues, one at a time

void CreateBannerPalette(void);
