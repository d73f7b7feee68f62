// The painted banner: palette, gradient, texts and the off-screen copy.
#pragma once

extern int BannerDirty;     // 1: the next paint draws everything anew
extern int PaletteChanged;  // set by every palette-change notification

void SetUpBanner(void);           // on window creation
void CleanUpBanner(void);         // on window destruction
void RebuildBannerPalette(void);  // on focus gain after a palette change
void PaintBanner(void);           // on every paint
void InvalidateBanner(void);      // the next paint draws everything anew
