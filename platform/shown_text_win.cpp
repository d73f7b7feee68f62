// The one place where texts meet the system's wide calls.
#include "platform/shown_text.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"

TextPart TableText(const char* text) { return TextPart{text, TableCodePage}; }

TextPart ButtonText(int language, int id) {
    return TextPart{ButtonLabel(language, id), ButtonLabelCodePage(language)};
}

TextPart SystemText(const char* text) { return TextPart{text, CP_ACP}; }

int WidenText(TextPart part, WCHAR* out, int size) {
    if (size <= 0) return 0;
    // MB_ERR_INVALID_CHARS is not asked for: a byte the code page leaves
    // undefined shows as the system shows it rather than losing the text.
    if (MultiByteToWideChar(part.codePage, 0, part.text, -1, out, size) > 0) return 1;
    out[0] = 0;
    return 0;
}

int WidenQuestion(TextPart format, TextPart insert, WCHAR* out, int size) {
    WCHAR wideFormat[ShownTextSize], wideInsert[ShownTextSize];
    return WidenText(format, wideFormat, ShownTextSize) &&
           WidenText(insert, wideInsert, ShownTextSize) &&
           FormatQuestion(wideFormat, wideInsert, out, size);
}

void ShowText(HWND window, TextPart text) {
    WCHAR wide[ShownTextSize];
    // A failed call leaves the window's text as it was, as a failed conversion does.
    if (WidenText(text, wide, ShownTextSize)) SetWindowTextW(window, wide);
}

int ShowWideMessage(HWND owner, const WCHAR* text, TextPart caption, UINT style) {
    WCHAR wideCaption[ShownTextSize];
    WidenText(caption, wideCaption, ShownTextSize);  // a caption that cannot be shown is empty
    return MessageBoxW(owner, text, wideCaption, style);
}

int ShowMessage(HWND owner, TextPart text, TextPart caption, UINT style) {
    WCHAR wide[ShownTextSize];
    WidenText(text, wide, ShownTextSize);  // likewise the text
    return ShowWideMessage(owner, wide, caption, style);
}
