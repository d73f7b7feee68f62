// Bounded text helpers: they refuse rather than truncate, so a path that does
// not fit never turns silently into a different path.
#pragma once

#include "tables/limits.h"

int TextLength(const char* text);

// 1 when the size bytes at a and b are alike. setup.exe imports nothing from
// the C library: memcmp would bring in its DLL for this alone.
int SameBytes(const void* a, const void* b, int size);

// Copies src into dst of size bytes. Returns 1 on success; 0 when src does not
// fit, leaving dst unchanged.
int CopyText(char* dst, int size, const char* src);

// Appends src to the text in dst of size bytes. Returns 1 on success; 0 when
// the result would not fit, leaving dst unchanged.
int AppendText(char* dst, int size, const char* src);

// Case-insensitive comparison of ASCII letters, other bytes compared as is.
int EqualIgnoringCase(const char* a, const char* b);

// First position of character at or after the start of text (the terminator
// counts), or 0 when there is none.
const char* FindCharacterForward(const char* text, char character);

// Joins two texts into out of size bytes; 0 when they do not fit.
int JoinTexts(char* out, int size, const char* first, const char* second);

// Formats a text with one %s. An insert too long for the buffer is shown cut
// with "..." so that the format itself stays whole; a format without room
// for itself gives 0.
int FormatQuestion(const char* format, const char* text, char* out, int size);
// The same in wide characters, size counted in them: texts converted for the
// system from parts of different code pages.
int FormatQuestion(const wchar_t* format, const wchar_t* text, wchar_t* out, int size);

// Appends the decimal digits of number (0 for a negative one) when they fit.
void AppendNumber(char* out, int size, int number);
