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

TitleStyle TitleFor(int edition) {
    if (edition == 1) {
        TitleStyle t = {"Kellum Inspector", 70, 500, {40, 27}, {34, 21}, "14.3", 40, 550,
                        {495, 60}};
        return t;
    }
    TitleStyle t = {"Vestra 14.3", 82, 550, {30, 27}, {24, 21}, 0, 0, 0, {0, 0}};
    return t;
}

static BannerRect Offset(BannerRect r, int dx, int dy) {
    BannerRect o = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    return o;
}

BannerTextLayout ComputeTextLayout(int w, int h, int panelLeft, int panelTop) {
    BannerTextLayout t;
    t.makerShadow = BannerRect{w / 2, 30, w - 25, h - 32};
    t.maker = Offset(t.makerShadow, -3, -3);
    t.description = BannerRect{32, 135, w - 32, h - 32};
    t.folderLabel = TextPoint{panelLeft + 24, panelTop + 12};
    t.notice = BannerRect{panelLeft, h - 20, panelLeft + PanelWidth, h};
    t.helpNote = Offset(t.notice, 0, -130);
    return t;
}

BannerRect CopyBackBlock(BannerRect paint) {
    BannerRect b = {paint.left, paint.top, paint.right + 1, paint.bottom + 2};
    return b;
}
