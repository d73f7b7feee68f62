#include "banner/banner_texts.h"

#include "tables/tables.h"

// By LanguageIndex; Chinese shows the English label.
// Tables laid out by hand, a row a line.
// clang-format off
static const char* const FolderLabels[7] = {
    "Zielordner:",
    "Destination Folder:",
    "Dossier Cible:",
    "Carpeta de destino:",
    "Cartella destinazione:",
    "Pasta destino:",
    "Destination Folder:",
};

static const char* const HelpNotes[4] = {
    "L'aide est en anglais.",
    "Program help in English.",
    "L'aiuto \xE8 in inglese.",
    "A ajuda est\xE1 em ingl\xEAs.",
};
// clang-format on

const char MakerLine[] = "Kellum Software Technology AG";

const char* HelpNoteFor(int language) {
    // The note of each language's row; none for German and English.
    static const signed char NoteOfLanguage[7] = {-1, -1, 0, 1, 2, 3, 1};
    int note = NoteOfLanguage[LanguageRow(language, LANGUAGE_ROWS(NoteOfLanguage))];
    return note < 0 ? 0 : HelpNotes[note];
}

const char* FolderLabelFor(int language) {
    return FolderLabels[LanguageRow(language, LANGUAGE_ROWS(FolderLabels))];
}

static TextPoint ScaledPoint(TextPoint p, int dpi) {
    TextPoint s = {ScaleForDpi(p.x, dpi), ScaleForDpi(p.y, dpi)};
    return s;
}

TitleStyle TitleFor(int edition, int dpi) {
    TitleStyle t = {"Vestra 14.3", 82, 550, {30, 27}, {24, 21}, 0, 0, 0, {0, 0}};
    if (edition == 1)
        t = {"Kellum Inspector", 70, 500, {40, 27}, {34, 21}, "14.3", 40, 550, {495, 60}};
    t.height = ScaleForDpi(t.height, dpi);
    t.shadow = ScaledPoint(t.shadow, dpi);
    t.face = ScaledPoint(t.face, dpi);
    t.versionHeight = ScaleForDpi(t.versionHeight, dpi);
    t.versionAt = ScaledPoint(t.versionAt, dpi);
    return t;
}

static BannerRect Offset(BannerRect r, int dx, int dy) {
    BannerRect o = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    return o;
}

BannerTextLayout ComputeTextLayout(int w, int h, int panelLeft, int panelTop, int dpi) {
    auto s = [dpi](int amount) { return ScaleForDpi(amount, dpi); };
    BannerTextLayout t;
    t.makerShadow = BannerRect{w / 2, s(30), w - s(25), h - s(32)};
    t.maker = Offset(t.makerShadow, -s(3), -s(3));
    t.description = BannerRect{s(32), s(135), w - s(32), h - s(32)};
    t.folderLabel = TextPoint{panelLeft + s(24), panelTop + s(12)};
    t.notice = BannerRect{panelLeft, h - s(20), panelLeft + PanelWidthFor(dpi), h};
    t.helpNote = Offset(t.notice, 0, -s(130));
    t.makerHeight = s(24);
    return t;
}

BannerRect CopyBackBlock(BannerRect paint, int dpi) {
    BannerRect b = {paint.left, paint.top, paint.right + ScaleForDpi(1, dpi),
                    paint.bottom + ScaleForDpi(2, dpi)};
    return b;
}

// 0x00BBGGRR, as the system takes colours.
enum : unsigned {
    Black = 0x000000,
    White = 0xFFFFFF,
    LightBlue = 0xFF7878,   // red 120, green 120, blue 255
    MediumBlue = 0xFF6464,  // red 100, green 100, blue 255
    DarkBlue = 0xB90000,    // blue 185
};

BannerColours ChooseBannerColours(int highContrast, unsigned windowText, unsigned window) {
    if (highContrast) {
        BannerColours c = {0, window, 0, window, windowText, windowText, windowText, windowText};
        return c;
    }
    BannerColours c = {1, Black, 1, Black, White, LightBlue, MediumBlue, DarkBlue};
    return c;
}
