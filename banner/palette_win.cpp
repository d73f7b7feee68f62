// The 222-entry blue palette, the window-wide drawing context and the
// off-screen copy of the banner.
#include "banner/banner.h"
#include "banner/gradient.h"  // PaletteSize
#include "banner/surfaces_win.h"

HWND BannerWindow;
const WindowGeometry* BannerGeometry;
void (*ControlsToRedraw)(int languageButtonsToo);
HDC BannerDC = NULL;
HDC BannerBuffer = NULL;
HPALETTE BannerPalette = NULL;

static LOGPALETTE* PaletteBlock = NULL;
static HPALETTE SavedDCPalette = NULL;
static HPALETTE SavedBufferPalette = NULL;  // none until the first rebuild
static HBITMAP BufferBitmap = NULL;
static HGDIOBJ BufferKeptBitmap = NULL;
static int PaletteChanged;  // set by every palette-change notification

enum { PaletteBlockSize = 4 + 4 * PaletteSize };

static void FillPaletteBlock(LOGPALETTE* block) {
    block->palVersion = 0x300;
    block->palNumEntries = PaletteSize;
    for (int i = 0; i < PaletteSize; ++i) block->palPalEntry[i].peBlue = (BYTE)i;
}

// Selects the palette and realises it, returning the one it replaced.
static HPALETTE SelectAndRealise(HDC dc, HPALETTE palette) {
    HPALETTE replaced = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);  // a failed realisation leaves the nearest colours
    return replaced;
}

// Puts the kept palettes back so that BannerPalette is selected nowhere.
static void RestoreSavedPalettes(void) {
    if (SavedDCPalette) SelectPalette(BannerDC, SavedDCPalette, FALSE);
    if (SavedBufferPalette) SelectPalette(BannerBuffer, SavedBufferPalette, FALSE);
    SavedDCPalette = NULL;
    SavedBufferPalette = NULL;
}

static void DeleteBannerPalette(void) {
    if (BannerPalette) DeleteObject(BannerPalette);
    BannerPalette = NULL;
}

void CreateBannerPalette(void) {
    PaletteBlock = (LOGPALETTE*)GlobalAlloc(GPTR, PaletteBlockSize);
    if (!PaletteBlock) return;  // no palette: the banner takes the nearest colours
    FillPaletteBlock(PaletteBlock);
    BannerPalette = CreatePalette(PaletteBlock);
    if (BannerPalette) SavedDCPalette = SelectAndRealise(BannerDC, BannerPalette);
}

static void CreateBufferBitmap(void) {
    BufferBitmap = CreateCompatibleBitmap(BannerDC, BannerGeometry->width, BannerGeometry->height);
    // Without a buffer every later paint copies nothing; the window still works.
    if (BannerBuffer && BufferBitmap) BufferKeptBitmap = SelectObject(BannerBuffer, BufferBitmap);
}

static void DeleteBufferBitmap(void) {
    if (BufferKeptBitmap) SelectObject(BannerBuffer, BufferKeptBitmap);
    if (BufferBitmap) DeleteObject(BufferBitmap);
    BufferKeptBitmap = NULL;
    BufferBitmap = NULL;
}

void SetUpBanner(HWND window, const WindowGeometry* geometry,
                 void (*controlsToRedraw)(int languageButtonsToo)) {
    BannerWindow = window;
    BannerGeometry = geometry;
    ControlsToRedraw = controlsToRedraw;
    PaletteChanged = 0;  // each window hears of its own changes
    BannerDirty = 1;     // and paints all of itself first
    BannerDC = GetWindowDC(BannerWindow);
    CreateBannerPalette();
    BannerBuffer = CreateCompatibleDC(BannerDC);
    CreateBufferBitmap();
}

void MoveBanner(void) {
    DeleteBufferBitmap();
    CreateBufferBitmap();
    InvalidateBanner();
}

static void RebuildBannerPalette(void) {
    RestoreSavedPalettes();
    DeleteBannerPalette();
    if (!PaletteBlock) return;
    BannerPalette = CreatePalette(PaletteBlock);
    if (!BannerPalette) return;
    SavedDCPalette = SelectAndRealise(BannerDC, BannerPalette);
    if (BannerBuffer) SavedBufferPalette = SelectAndRealise(BannerBuffer, BannerPalette);
}

void NoteBannerPaletteChanged(void) { PaletteChanged = 1; }

// Once the system's palette has changed, every focus gain takes ours afresh.
void RealiseBannerPalette(void) {
    if (PaletteChanged) RebuildBannerPalette();
}

void CleanUpBanner(void) {
    RestoreSavedPalettes();
    DeleteBannerPalette();
    if (PaletteBlock) GlobalFree(PaletteBlock);
    PaletteBlock = NULL;
    DeleteBufferBitmap();
    if (BannerBuffer) DeleteDC(BannerBuffer);
    BannerBuffer = NULL;
    if (BannerDC) ReleaseDC(BannerWindow, BannerDC);
    BannerDC = NULL;
}
