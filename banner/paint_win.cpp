// The banner painter: one full repaint after start-up and after every
// language switch, a block copy from the off-screen buffer otherwise.
#include "banner/banner.h"
#include "banner/banner_texts.h"
#include "banner/description_block.h"
#include "banner/surfaces_win.h"
#include "platform/shown_text.h"
#include "tables/geometry.h"
#include "tables/notice.h"
#include "tables/tables.h"

int BannerDirty;  // set by SetUpBanner: a value here would cost a data section

HFONT PlainFontFor(const WindowGeometry& geometry) {
    HFONT stock = (HFONT)GetStockObject(ANSI_VAR_FONT);
    if (geometry.dpi == BaseDpi) return stock;
    LOGFONTA font;
    if (GetObjectA(stock, sizeof font, &font) != sizeof font) return stock;
    font.lfHeight = Scaled(geometry, font.lfHeight);
    font.lfWidth = Scaled(geometry, font.lfWidth);
    HFONT scaled = CreateFontIndirectA(&font);
    return scaled ? scaled : stock;  // small texts are better than none
}

void ReleasePlainFont(HFONT font) {
    if (font && font != (HFONT)GetStockObject(ANSI_VAR_FONT)) DeleteObject(font);
}

static HFONT CreateBannerFont(int height, int weight) {
    return CreateFontA(height, 0, 0, 0, weight, TRUE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_CHARACTER_PRECIS, PROOF_QUALITY,
                       FF_ROMAN | DEFAULT_PITCH, "Times New Roman");
}

// The made font goes back out of BannerDC and is deleted, exactly once.
static void ReleaseBannerFont(HFONT font, HGDIOBJ kept) {
    SelectObject(BannerDC, kept);
    if (font) DeleteObject(font);
}

// Room for the longest banner text, the description.
enum { BannerTextSize = DescriptionReadSize + 1 };

// The banner's texts are all the tables' (code page 1252), the description
// too; drawn wide, they read alike on every system. One that cannot be
// converted is not drawn.
static void DrawTextAt(const char* text, TextPoint at) {
    WCHAR wide[BannerTextSize];
    if (WidenText(TableText(text), wide, BannerTextSize))
        TextOutW(BannerDC, at.x, at.y, wide, lstrlenW(wide));
}

static void DrawTextIn(const char* text, BannerRect box, UINT flags) {
    WCHAR wide[BannerTextSize];
    RECT r = {box.left, box.top, box.right, box.bottom};
    if (WidenText(TableText(text), wide, BannerTextSize))
        DrawTextW(BannerDC, wide, lstrlenW(wide), &r, flags);
}

static void DrawTitle(const BannerColours& colours) {
    TitleStyle t = TitleFor(Edition, *BannerGeometry);
    HFONT font = CreateBannerFont(t.height, t.weight);
    HGDIOBJ kept = SelectObject(BannerDC, font);
    if (colours.shadows) {
        SetTextColor(BannerDC, colours.shadow);
        DrawTextAt(t.title, t.shadow);
    }
    SetTextColor(BannerDC, colours.face);
    DrawTextAt(t.title, t.face);
    ReleaseBannerFont(font, kept);
    if (!t.version) return;
    font = CreateBannerFont(t.versionHeight, t.versionWeight);
    kept = SelectObject(BannerDC, font);
    SetTextColor(BannerDC, colours.version);
    DrawTextAt(t.version, t.versionAt);
    ReleaseBannerFont(font, kept);
}

static void DrawMakerLine(const BannerTextLayout& layout, const BannerColours& colours) {
    const UINT flags = DT_RIGHT | DT_WORDBREAK | DT_NOPREFIX;
    HFONT font = CreateBannerFont(layout.makerHeight, 500);
    HGDIOBJ kept = SelectObject(BannerDC, font);
    if (colours.shadows) {
        SetTextColor(BannerDC, colours.shadow);
        DrawTextIn(MakerLine, layout.makerShadow, flags);
    }
    SetTextColor(BannerDC, colours.face);
    DrawTextIn(MakerLine, layout.maker, flags);
    ReleaseBannerFont(font, kept);
}

// The plain font's texts; the text colour is still the face's for the description.
static void DrawPlainTexts(const BannerTextLayout& layout, const BannerColours& colours) {
    if (DescriptionText)
        DrawTextIn(DescriptionText, layout.description, DT_WORDBREAK | DT_NOPREFIX);
    SetTextColor(BannerDC, colours.folderLabel);
    DrawTextAt(FolderLabelFor(LanguageIndex), layout.folderLabel);
    SetTextColor(BannerDC, colours.notice);
    DrawTextIn(NOTICE_LINE, layout.notice, DT_CENTER | DT_NOPREFIX);
    const char* note = HelpNoteFor(LanguageIndex);
    if (note) DrawTextIn(note, layout.helpNote, DT_CENTER | DT_NOPREFIX);
}

// Asked at every full repaint: the user may switch it at any time.
static int HighContrastOn(void) {
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof contrast;
    // A system that cannot tell is taken as one without it.
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// Under high contrast one fill of the window colour replaces the gradient.
static void FillBackground(COLORREF colour) {
    RECT all = {0, 0, BannerGeometry->width, BannerGeometry->height};
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return;  // the texts still show, on what was there
    FillRect(BannerDC, &all, brush);
    DeleteObject(brush);
}

// The background is drawn on every full repaint, not only when the system
// asked for erasing: after a language switch the new texts would otherwise
// land on top of the old ones.
static void DrawWholeBanner(void) {
    const WindowGeometry& g = *BannerGeometry;
    BannerTextLayout layout = ComputeTextLayout(g);
    BannerColours colours = ChooseBannerColours(HighContrastOn(), GetSysColor(COLOR_WINDOWTEXT),
                                                GetSysColor(COLOR_WINDOW));
    if (colours.gradient)
        FillGradient();
    else
        FillBackground(colours.background);
    SetBkMode(BannerDC, TRANSPARENT);
    DrawTitle(colours);
    DrawMakerLine(layout, colours);
    HFONT plain = PlainFontFor(g);
    HGDIOBJ kept = SelectObject(BannerDC, plain);
    DrawPlainTexts(layout, colours);
    SelectObject(BannerDC, kept);
    ReleasePlainFont(plain);
    // Two rows beyond the bitmap's height fall outside it and are dropped.
    BitBlt(BannerBuffer, 0, 0, g.width, g.height + 2, BannerDC, 0, 0, SRCCOPY);
    BannerDirty = 0;
}

static void CopyBack(const RECT& paint) {
    BannerRect block = CopyBackBlock(BannerRect{paint.left, paint.top, paint.right, paint.bottom},
                                     *BannerGeometry);
    BitBlt(BannerDC, block.left, block.top, block.right - block.left, block.bottom - block.top,
           BannerBuffer, block.left, block.top, SRCCOPY);
}

void PaintBanner(void) {
    PAINTSTRUCT ps;
    BeginPaint(BannerWindow, &ps);  // only the paint rectangle is used
    int full = BannerDirty;
    if (full)
        DrawWholeBanner();
    else
        CopyBack(ps.rcPaint);
    EndPaint(BannerWindow, &ps);
    // The banner is drawn over the children, so they draw themselves again;
    // after a full repaint the language buttons too, which the gradient covered.
    if (ControlsToRedraw) ControlsToRedraw(full);
}

void InvalidateBanner(void) {
    BannerDirty = 1;
    InvalidateRect(BannerWindow, NULL, FALSE);
}
