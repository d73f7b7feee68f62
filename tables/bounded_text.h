// Bounded text helpers: they refuse rather than truncate, so a path that does
// not fit never turns silently into a different path.
#pragma once

int TextLength(const char* text);

// Copies src into dst of size bytes. Returns 1 on success; 0 when src does not
// fit, leaving dst unchanged.
int CopyText(char* dst, int size, const char* src);

// Appends src to the text in dst of size bytes. Returns 1 on success; 0 when
// the result would not fit, leaving dst unchanged.
int AppendText(char* dst, int size, const char* src);

// Case-insensitive comparison of ASCII letters, other bytes compared as is.
int EqualIgnoringCase(const char* a, const char* b);
