// Edition and language selectors and the tables several subsystems share.
// Texts are code page 1252 bytes; the one Chinese label is GB2312.
#pragma once

// Fixed when the program is built (one definition per edition executable).
extern const int Edition;

// 0 German, 1 English, 2 French, 3 Spanish, 4 Italian, 5 Portuguese,
// 6 Chinese (English texts), 7 Japanese (English texts).
extern int LanguageIndex;

enum { LanguageCount = 8, EnglishLanguage = 1 };

// The one shared text buffer: default destination, prompts, questions,
// error texts, registry names and data, the path for Program Manager.
enum { MessageTextSize = 256 };
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

const char* ProductString(int kind, int edition);
const char* ErrorCaption(int language);
// The label of push button 1 (OK), 2 (Cancel) or 3 (browse) in a language;
// "" for id 0 and any other id.
const char* ButtonLabel(int language, int buttonId);
// The label of language button index (0 English, 1 German, ...); "" outside.
const char* LanguageButtonLabel(int index);

// Language selected by a language button id (100..107); -1 for any other id.
int LanguageForButton(int buttonId);

// Number of language buttons the edition shows.
int LanguageButtonCount(int edition);
