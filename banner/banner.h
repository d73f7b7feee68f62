// The painted banner: palette, gradient, texts and the off-screen copy.
#pragma once
#include <windows.h>

// What the banner draws on: a window of the work area's size with the panel
// at its place, in that window's coordinates, and the window's DPI.
struct BannerPlace {
    HWND window;
    int workAreaWidth, workAreaHeight;
    int panelLeft, panelTop;
    int dpi;
};

extern int BannerDirty;  // 1: the next paint draws everything anew

// On window creation. The banner is drawn over the window's controls, so
// after every paint controlsToRedraw is asked to have them draw themselves
// again, the language buttons too when languageButtonsToo is nonzero.
void SetUpBanner(const BannerPlace* place, void (*controlsToRedraw)(int languageButtonsToo));
void CleanUpBanner(void);             // on window destruction
void NoteBannerPaletteChanged(void);  // on every palette-change notification
void RealiseBannerPalette(void);      // on focus gain: rebuilt after a noted change
void PaintBanner(void);               // on every paint
void InvalidateBanner(void);          // the next paint draws everything anew
// After a DPI change, once the window has its new size: the banner takes the
// new place, makes its off-screen copy anew and draws everything at the next paint.
void MoveBanner(const BannerPlace* place);

// The font of the banner's plain texts and of the window's controls at a DPI:
// the stock ANSI_VAR_FONT at 96 DPI, else a font of its face scaled (the
// stock font where none can be made). ReleasePlainFont deletes a made one.
HFONT PlainFontFor(int dpi);
void ReleasePlainFont(HFONT font);
