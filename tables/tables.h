// Edition and language selectors and the tables several subsystems share.
// Texts are code page 1252 bytes; the one Chinese label is GB2312.
#pragma once

#include "tables/limits.h"

// The code pages of the tables' bytes, whatever the system's code page:
// every text is 1252 but the Chinese button labels, which are GB2312 (936).
enum { TableCodePage = 1252, ChineseLabelCodePage = 936 };

// Fixed when the program is built (one definition per edition executable).
extern const int Edition;

// The user-interface languages, by LanguageIndex. Chinese and Japanese show
// English texts wherever a table has no row of their own.
enum Language { German, English, French, Spanish, Italian, Portuguese, Chinese, Japanese };
enum { LanguageCount = 8 };
// The language the texts are shown in: read it freely, change it with SetLanguage
// (English at the start of setup.exe and of every setup window).
extern int LanguageIndex;
void SetLanguage(int language);

// The row that a table with rows rows (rows 0 and 1 at least) uses for a
// language: the language's own row when the table has it, else English.
int LanguageRow(int language, int rows);
#define LANGUAGE_ROWS(table) ((int)(sizeof(table) / sizeof((table)[0])))
// Row row (from 0) of texts laid end to end, each ended by its NUL; the
// caller knows the rows are there.
const char* TextInList(const char* texts, int row);
// The rows of such a list, for a static_assert beside it.
template <int Size>
constexpr int TextsIn(const char (&texts)[Size]) {
    int rows = 0;
    for (char c : texts) rows += c == 0;
    return rows;
}
// Whether each of such lists has these rows.
template <int... Sizes>
constexpr bool EachHasTexts(int rows, const char (&... lists)[Sizes]) {
    return ((TextsIn(lists) == rows) && ...);
}

// The one shared text buffer: default destination, prompts, questions,
// error texts, registry names and data, the path for Program Manager.
extern char MessageText[MessageTextSize];

// Kinds of product string, one per edition each.
enum ProductStringKind {
    ProductName = 0,
    PerUserKey = 1,
    DefaultSubFolder = 2,
    FallbackFolder = 3,
};

// Error captions sit in fixed slots of this many bytes, terminator included.
enum { ErrorCaptionSlot = 7 };

// Lookups that answer any integer: an unknown kind or button id gives the
// empty text, an unknown edition Edition 1's row, an unknown language English.
const char* ProductString(int kind, int edition);
const char* ErrorCaption(int language);
// The label of push button 1 (OK), 2 (Cancel) or 3 (browse) in a language;
// "" for id 0 and any other id.
const char* ButtonLabel(int language, int buttonId);
// The code page of a language's button labels (ButtonLabel).
unsigned ButtonLabelCodePage(int language);
// The label of language button index (0 English, 1 German, ...); "" outside.
const char* LanguageButtonLabel(int index);

// Language buttons carry ids from FirstLanguageButtonId in the order of
// LanguageButtonLabels: English first, then German, then the others.
enum { FirstLanguageButtonId = 100 };

// Language selected by a language button id; -1 for any other id.
int LanguageForButton(int buttonId);

// Number of language buttons the edition shows.
int LanguageButtonCount(int edition);
