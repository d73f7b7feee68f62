#include "banner/banner_texts.h"

#include "tables/tables.h"

// By LanguageIndex, German to Portuguese; Chinese and Japanese show the
// English label. Lists of texts (TextInList), a row a line.
// clang-format off
enum { FolderLabelRows = 6 };
static constexpr char FolderLabels[] =
    "Zielordner:\0"
    "Destination Folder:\0"
    "Dossier Cible:\0"
    "Carpeta de destino:\0"
    "Cartella destinazione:\0"
    "Pasta destino:";

static constexpr char HelpNotes[] =
    "L'aide est en anglais.\0"
    "Program help in English.\0"
    "L'aiuto \xE8 in inglese.\0"
    "A ajuda est\xE1 em ingl\xEAs.";
// clang-format on
static_assert(TextsIn(FolderLabels) == FolderLabelRows && TextsIn(HelpNotes) == 4, "every row");

const char MakerLine[] = "Kellum Software Technology AG";

const char* HelpNoteFor(int language) {
    // The note of each language's row; none for German and English.
    static const signed char NoteOfLanguage[7] = {-1, -1, 0, 1, 2, 3, 1};
    int note = NoteOfLanguage[LanguageRow(language, LANGUAGE_ROWS(NoteOfLanguage))];
    return note < 0 ? 0 : TextInList(HelpNotes, note);
}

const char* FolderLabelFor(int language) {
    return TextInList(FolderLabels, LanguageRow(language, FolderLabelRows));
}

TitleStyle TitleFor(int edition, const WindowGeometry& g) {
    // Read-only: the compiler would keep a copy of a plain initialiser in the data.
    static const TitleStyle Titles[2] = {
        {"Vestra 14.3", 82, 550, {30, 27}, {24, 21}, 0, 0, 0, {0, 0}},
        {"Kellum Inspector", 70, 500, {40, 27}, {34, 21}, "14.3", 40, 550, {495, 60}},
    };
    TitleStyle t = Titles[edition == 1];
    t.height = Scaled(g, t.height);
    t.versionHeight = Scaled(g, t.versionHeight);
    TextPoint* points[3] = {&t.shadow, &t.face, &t.versionAt};
    for (TextPoint* p : points) *p = {Scaled(g, p->x), Scaled(g, p->y)};
    return t;
}

static BannerRect Offset(BannerRect r, int dx, int dy) {
    BannerRect o = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    return o;
}

BannerTextLayout ComputeTextLayout(const WindowGeometry& g) {
    const int w = g.width, h = g.height, left = g.panelLeft;
    BannerTextLayout t;
    t.makerShadow = BannerRect{w / 2, Scaled(g, 30), w - Scaled(g, 25), h - Scaled(g, 32)};
    t.maker = Offset(t.makerShadow, -Scaled(g, 3), -Scaled(g, 3));
    t.description = BannerRect{Scaled(g, 32), Scaled(g, 135), w - Scaled(g, 32), h - Scaled(g, 32)};
    t.folderLabel = TextPoint{left + Scaled(g, 24), g.panelTop + Scaled(g, 12)};
    t.notice = BannerRect{left, h - Scaled(g, 20), left + PanelWidthFor(g), h};
    t.helpNote = Offset(t.notice, 0, -Scaled(g, 130));
    t.makerHeight = Scaled(g, 24);
    return t;
}

BannerRect CopyBackBlock(BannerRect paint, const WindowGeometry& g) {
    BannerRect b = {paint.left, paint.top, paint.right + Scaled(g, 1), paint.bottom + Scaled(g, 2)};
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
    // Read-only: the compiler would keep a copy of a plain initialiser in the data.
    static const BannerColours Blue = {1, Black, 1, Black, White, LightBlue, MediumBlue, DarkBlue};
    return Blue;
}
