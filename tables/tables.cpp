#include "tables/tables.h"

int LanguageIndex = EnglishLanguage;
char MessageText[MessageTextSize];

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

static int ClampLanguage(int language) {
    return (language >= 0 && language < LanguageCount) ? language : EnglishLanguage;
}

const char* ProductString(int kind, int edition) {
    return ProductStrings[2 * kind + (edition ? 1 : 0)];
}

const char* ErrorCaption(int language) {
    return &ErrorCaptions[ErrorCaptionSlot * ClampLanguage(language)];
}

const char* ButtonLabel(int language, int buttonId) {
    if (buttonId < 0 || buttonId > 3) return "";
    return ButtonLabels[ClampLanguage(language) * 4 + buttonId];
}

const char* LanguageButtonLabel(int index) {
    return index >= 0 && index < 8 ? LanguageButtonLabels[index] : "";
}

int LanguageForButton(int buttonId) {
    switch (buttonId) {
    case 100: return 1;
    case 101: return 0;
    case 102: case 103: case 104: case 105: case 106: case 107:
        return buttonId - 100;
    default: return -1;
    }
}

int LanguageButtonCount(int edition) { return edition == 0 ? 6 : 8; }
