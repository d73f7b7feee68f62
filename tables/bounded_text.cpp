#include "tables/bounded_text.h"

int TextLength(const char* text) {
    int n = 0;
    while (text[n]) ++n;
    return n;
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
