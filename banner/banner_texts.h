// What the banner says, where and in which colours: texts by edition and
// language, and the places and font heights of the painted texts in the
// window's coordinates, from its geometry. Fixed amounts are 96-DPI pixels,
// scaled to the window's DPI.
#pragma once
#include "banner/gradient.h"

extern const char MakerLine[];

// The help note for a language, or NULL where none is drawn (and for any
// index outside the table).
const char* HelpNoteFor(int language);
// The folder label for a language; English for any index outside the table.
const char* FolderLabelFor(int language);

struct TextPoint {
    int x, y;
};

// Title, its shadow and the separate version text of an edition.
struct TitleStyle {
    const char* title;
    int height, weight;
    TextPoint shadow, face;
    const char* version;  // NULL: the version is part of the title
    int versionHeight, versionWeight;
    TextPoint versionAt;
};
TitleStyle TitleFor(int edition, const WindowGeometry& geometry);

struct BannerTextLayout {
    BannerRect makerShadow, maker;  // black first, then white 3 pixels up-left
    BannerRect description;
    TextPoint folderLabel;
    BannerRect notice, helpNote;
    int makerHeight;  // the maker line's font height
};
BannerTextLayout ComputeTextLayout(const WindowGeometry& geometry);

// The block a copy-back paint moves from the buffer for a paint rectangle:
// one pixel wider and two taller, which covers the rectangle shifted by the
// window's one-pixel border.
BannerRect CopyBackBlock(BannerRect paint, const WindowGeometry& geometry);

// The banner's colours as 0x00BBGGRR values. Under high contrast the texts
// take the system's window-text colour on its window colour, without the
// gradient and without shadows; otherwise the banner's own colours.
struct BannerColours {
    int gradient;  // 0: the background is one fill of the window colour
    unsigned background;
    int shadows;  // 0: no title or maker shadow
    unsigned shadow, face, version, folderLabel, notice;
};
BannerColours ChooseBannerColours(int highContrast, unsigned windowText, unsigned window);
