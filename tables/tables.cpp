#include "tables/tables.h"

// English from the start of SetupMain on; a value given here would cost the
// program a data section of its own.
int LanguageIndex;
char MessageText[MessageTextSize];

void SetLanguage(int language) { LanguageIndex = language; }

// Tables laid out by hand, a row a line.
// clang-format off
// Lists of texts (TextInList) rather than tables of pointers: each pointer
// would cost its 4 bytes and a relocation.
static constexpr char ProductStrings[] =
    "Vestra\0"
    "Kellum Inspector\0"
    "Software\\Kellum AG\\Vestra\0"
    "Software\\Kellum AG\\Kellum Inspector\0"
    "\\Vestra\0"
    "\\Kellum Inspector\0"
    "C:\\Vestra\0"
    "C:\\Kellum Inspector";

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

// Four rows a language: "", OK, Cancel, browse.
static constexpr char ButtonLabels[] =
    "\0" "&OK\0" "&Abbrechen\0" "...\0"            // German
    "\0" "&OK\0" "C&ancel\0" "...\0"               // English
    "\0" "&OK\0" "&Annuler\0" "...\0"              // French
    "\0" "&Aceptar\0" "&Cancelar\0" "...\0"        // Spanish
    "\0" "&OK\0" "&Abbandona\0" "...\0"            // Italian
    "\0" "&OK\0" "C&ancelar\0" "...\0"             // Portuguese
    "\0" "&OK\0" "\xC8\xA1\xCF\xFB(&a)\0" "...\0"  // Chinese, GB2312
    "\0" "&OK\0" "C&ancel\0" "...";                 // Japanese, English texts

static constexpr char LanguageButtonLabels[] =
    "&English\0" "&Deutsch\0" "&Fran\xE7" "ais\0" "E&spa\xF1ol\0"
    "&Italiano\0" "&Portugues\0" "&Chinese\0" "&Japanese";
// clang-format on

int LanguageRow(int language, int rows) {
    return language >= 0 && language < rows ? language : English;
}

static_assert(TextsIn(ProductStrings) == 8 && TextsIn(ButtonLabels) == LanguageCount * 4 &&
                  TextsIn(LanguageButtonLabels) == 8,
              "every row of the tables above");

const char* TextInList(const char* texts, int row) {
    for (; row > 0; --row)
        while (*texts++) {}
    return texts;
}

const char* ProductString(int kind, int edition) {
    if (kind < ProductName || kind > FallbackFolder) return "";
    return TextInList(ProductStrings, 2 * kind + (edition ? 1 : 0));
}

const char* ErrorCaption(int language) {
    return &ErrorCaptions[ErrorCaptionSlot * LanguageRow(language, LanguageCount)];
}

const char* ButtonLabel(int language, int buttonId) {
    if (buttonId < 0 || buttonId > 3) return "";
    return TextInList(ButtonLabels, LanguageRow(language, LanguageCount) * 4 + buttonId);
}

unsigned ButtonLabelCodePage(int language) {
    return LanguageRow(language, LanguageCount) == Chinese ? ChineseLabelCodePage : TableCodePage;
}

const char* LanguageButtonLabel(int index) {
    return index >= 0 && index < 8 ? TextInList(LanguageButtonLabels, index) : "";
}

int LanguageForButton(int buttonId) {
    static const unsigned char ButtonLanguages[8] = {English, German,     French,  Spanish,
                                                     Italian, Portuguese, Chinese, Japanese};
    if (buttonId < FirstLanguageButtonId) return -1;  // and no subtraction can overflow
    int i = buttonId - FirstLanguageButtonId;
    return i < LANGUAGE_ROWS(ButtonLanguages) ? ButtonLanguages[i] : -1;
}

int LanguageButtonCount(int edition) { return edition == 0 ? Portuguese + 1 : LanguageCount; }
