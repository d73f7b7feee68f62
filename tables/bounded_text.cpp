#include "tables/bounded_text.h"

int TextLength(const char* text) {
    int n = 0;
    while (text[n]) ++n;
    return n;
}

int SameBytes(const void* a, const void* b, int size) {
    const unsigned char *p = (const unsigned char*)a, *q = (const unsigned char*)b;
    for (int i = 0; i < size; ++i)
        if (p[i] != q[i]) return 0;
    return 1;
}

int CopyText(char* dst, int size, const char* src) {
    int n = TextLength(src);
    if (n >= size) return 0;  // also every size of 0 or less
    for (int i = 0; i <= n; ++i) dst[i] = src[i];
    return 1;
}

int AppendText(char* dst, int size, const char* src) {
    int have = TextLength(dst);
    int add = TextLength(src);
    if (have + add >= size) return 0;
    for (int i = 0; i <= add; ++i) dst[have + i] = src[i];
    return 1;
}

static char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

int EqualIgnoringCase(const char* a, const char* b) {
    while (*a && FoldCase(*a) == FoldCase(*b)) {
        ++a;
        ++b;
    }
    return FoldCase(*a) == FoldCase(*b);
}

const char* FindCharacterForward(const char* text, char character) {
    for (;; ++text) {
        if (*text == character) return text;
        if (*text == 0) return 0;
    }
}

int JoinTexts(char* out, int size, const char* first, const char* second) {
    if (TextLength(first) + TextLength(second) >= size) return 0;
    CopyText(out, size, first);
    return AppendText(out, size, second);
}

template <typename Char>
static int LengthOf(const Char* text) {
    int n = 0;
    while (text[n]) ++n;
    return n;
}

template <typename Char>
static int FormatWithInsert(const Char* format, const Char* text, Char* out, int size) {
    const Char* insert = format;
    while (*insert && !(insert[0] == '%' && insert[1] == 's')) ++insert;
    int before = (int)(insert - format);
    const Char* after = *insert ? insert + 2 : insert;
    int fixed = before + LengthOf(after);
    static const char ellipsis[] = "...";
    if (fixed + (int)sizeof ellipsis > size) return 0;
    int room = size - 1 - fixed;
    int n = LengthOf(text);
    int shown = n <= room ? n : room - (int)(sizeof ellipsis - 1);
    int k = 0;
    for (int i = 0; i < before; ++i) out[k++] = format[i];
    if (*insert) {
        for (int i = 0; i < shown; ++i) out[k++] = text[i];
        if (shown < n)
            for (int i = 0; ellipsis[i]; ++i) out[k++] = (Char)ellipsis[i];
    }
    for (int i = 0; after[i]; ++i) out[k++] = after[i];
    out[k] = 0;
    return 1;
}

int FormatQuestion(const char* format, const char* text, char* out, int size) {
    return FormatWithInsert(format, text, out, size);
}

int FormatQuestion(const wchar_t* format, const wchar_t* text, wchar_t* out, int size) {
    return FormatWithInsert(format, text, out, size);
}

void AppendNumber(char* out, int size, int number) {
    char digits[sizeof "4294967295"];
    int n = sizeof digits - 1;
    digits[n] = 0;
    unsigned value = number < 0 ? 0u : (unsigned)number;
    do {
        digits[--n] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    AppendText(out, size, digits + n);
}
