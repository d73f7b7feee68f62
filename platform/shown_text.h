// Texts as the system shows them. The tables are code page 1252 (the Chinese
// button labels 936) whatever the system's code page, while paths, the field
// and the system's own texts are in the system's code page: each part is
// converted from its own code page where it is shown, and shown through the
// wide calls, so that "Verfügbar" reads the same on a Japanese system.
#pragma once
#include <windows.h>

// A text and the code page of its bytes.
struct TextPart {
    const char* text;
    UINT codePage;
};
// A text of the tables (tables/tables.h: TableCodePage).
TextPart TableText(const char* text);
// Push button id's label in a language, in its code page (ButtonLabelCodePage).
TextPart ButtonText(int language, int id);
// A path, the field's text or a text the system gave: the system's code page.
TextPart SystemText(const char* text);

// Wide characters enough for any message: a question with a whole path, the
// longest table text, a system's error text.
enum { ShownTextSize = 512 };

// The text converted into out (size wide characters, terminator included).
// Returns 1; 0 when it does not fit or its code page is missing (every
// system from Vista on has 1252 and 936), out then empty.
int WidenText(TextPart part, WCHAR* out, int size);

// format (one %s) with insert, each converted from its own code page, into
// out as FormatQuestion composes it; 0 as FormatQuestion or WidenText refuse.
int WidenQuestion(TextPart format, TextPart insert, WCHAR* out, int size);

// The window's text (a control's label); a text that cannot be converted
// leaves the window's as it was.
void ShowText(HWND window, TextPart text);

// A message box of a text and a caption, each from its own code page.
int ShowMessage(HWND owner, TextPart text, TextPart caption, UINT style);
// The same for a text already converted (WidenQuestion).
int ShowWideMessage(HWND owner, const WCHAR* text, TextPart caption, UINT style);
