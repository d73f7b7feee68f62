// The painted banner: palette, gradient, texts and the off-screen copy.
#pragma once
#include <windows.h>

#include "tables/geometry.h"

extern int BannerDirty;  // 1: the next paint draws everything anew

// On window creation: the banner draws on the window by its geometry, which
// the window keeps (the banner reads it, never copies it). The banner is
// drawn over the window's controls, so after every paint controlsToRedraw is
// asked to have them draw themselves again, the language buttons too when
// languageButtonsToo is nonzero.
void SetUpBanner(HWND window, const WindowGeometry* geometry,
                 void (*controlsToRedraw)(int languageButtonsToo));
void CleanUpBanner(void);             // on window destruction
void NoteBannerPaletteChanged(void);  // on every palette-change notification
void RealiseBannerPalette(void);      // on focus gain: rebuilt after a noted change
void PaintBanner(void);               // on every paint
void InvalidateBanner(void);          // the next paint draws everything anew
// After a DPI change, once the geometry has the window's new size and DPI:
// the banner makes its off-screen copy anew and draws everything at the next paint.
void MoveBanner(void);

// The font of the banner's plain texts and of the window's controls at the
// geometry's DPI: the stock ANSI_VAR_FONT at 96 DPI, else a font of its face
// scaled (the stock font where none can be made). ReleasePlainFont deletes a
// made one.
HFONT PlainFontFor(const WindowGeometry& geometry);
void ReleasePlainFont(HFONT font);
