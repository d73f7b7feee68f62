#include "tables/tables.h"

// English from the start of SetupMain on; a value given here would cost the
// program a data section of its own.
int LanguageIndex;
char MessageText[MessageTextSize];

void SetLanguage(int language) { LanguageIndex = language; }

// Tables laid out by hand, a row a line.
// clang-format off
static const char* const ProductStrings[8] = {
    "Vestra",
    "Kellum Inspector",
    "Software\\Kellum AG\\Vestra",
    "Software\\Kellum AG\\Kellum Inspector",
    "\\Vestra",
    "\\Kellum Inspector",
    "C:\\Vestra",
    "C:\\Kellum Inspector",
};

// Fixed 7-byte slots; Chinese has an empty caption, Japanese the English one.
static const char ErrorCaptions[LanguageCount * ErrorCaptionSlot] =
    "Fehler\0"
    "Error\0\0"
    "Erreur\0"
    "Error\0\0"
    "Errore\0"
    "Erro\0\0\0"
    "\0\0\0\0\0\0\0"
    "Error\0";

static const char* const ButtonLabels[LanguageCount * 4] = {
    "", "&OK", "&Abbrechen", "...",             // German
    "", "&OK", "C&ancel", "...",                // English
    "", "&OK", "&Annuler", "...",               // French
    "", "&Aceptar", "&Cancelar", "...",         // Spanish
    "", "&OK", "&Abbandona", "...",             // Italian
    "", "&OK", "C&ancelar", "...",              // Portuguese
    "", "&OK", "\xC8\xA1\xCF\xFB(&a)", "...",   // Chinese, GB2312
    "", "&OK", "C&ancel", "...",                // Japanese, English texts
};

static const char* const LanguageButtonLabels[8] = {
    "&English", "&Deutsch", "&Fran\xE7" "ais", "E&spa\xF1ol",
    "&Italiano", "&Portugues", "&Chinese", "&Japanese",
};
// clang-format on

int LanguageRow(int language, int rows) {
    return language >= 0 && language < rows ? language : English;
}

const char* TextInList(const char* texts, int row) {
    for (; row > 0; --row)
        while (*texts++) {}
    return texts;
}

const char* ProductString(int kind, int edition) {
    if (kind < ProductName || kind > FallbackFolder) return "";
    return ProductStrings[2 * kind + (edition ? 1 : 0)];
}

const char* ErrorCaption(int language) {
    return &ErrorCaptions[ErrorCaptionSlot * LanguageRow(language, LanguageCount)];
}

const char* ButtonLabel(int language, int buttonId) {
    if (buttonId < 0 || buttonId > 3) return "";
    return ButtonLabels[LanguageRow(language, LanguageCount) * 4 + buttonId];
}

unsigned ButtonLabelCodePage(int language) {
    return LanguageRow(language, LanguageCount) == Chinese ? ChineseLabelCodePage : TableCodePage;
}

const char* LanguageButtonLabel(int index) {
    return index >= 0 && index < 8 ? LanguageButtonLabels[index] : "";
}

int LanguageForButton(int buttonId) {
    static const Language ButtonLanguages[8] = {English, German,     French,  Spanish,
                                                Italian, Portuguese, Chinese, Japanese};
    if (buttonId < FirstLanguageButtonId) return -1;  // and no subtraction can overflow
    int i = buttonId - FirstLanguageButtonId;
    return i < LANGUAGE_ROWS(ButtonLanguages) ? ButtonLanguages[i] : -1;
}

int LanguageButtonCount(int edition) { return edition == 0 ? Portuguese + 1 : LanguageCount; }
