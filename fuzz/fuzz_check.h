// Shared by the fuzz targets: a property check that stops the run with a
// message, and a reader that cuts the fuzzer's bytes into texts, each in a
// heap block of exactly its own size so that AddressSanitizer sees any byte
// read or written beyond it.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define FUZZ_CHECK(condition)                                                                \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                         \
        }                                                                                    \
    } while (0)

struct FuzzInput {
    const uint8_t* data;
    size_t size;
};

// One byte of the input, 0 once it is used up.
inline uint8_t TakeByte(FuzzInput* in) {
    if (in->size == 0) return 0;
    uint8_t b = *in->data++;
    --in->size;
    return b;
}

// The next text: the bytes up to a zero byte (or the end), so that texts hold
// no zero of their own. Returned in a malloc block of length + 1 bytes.
inline char* TakeText(FuzzInput* in) {
    size_t n = 0;
    while (n < in->size && in->data[n] != 0) ++n;
    char* text = (char*)malloc(n + 1);
    memcpy(text, in->data, n);
    text[n] = 0;
    in->data += n < in->size ? n + 1 : n;
    in->size -= n < in->size ? n + 1 : n;
    return text;
}

// A copy of size bytes in a malloc block of exactly that size, with nothing
// behind the last byte, for rules that take a length instead of a terminator.
inline char* ExactCopy(const void* bytes, size_t size) {
    char* copy = (char*)malloc(size ? size : 1);
    if (size) memcpy(copy, bytes, size);
    return copy;
}

// A buffer of exactly size bytes holding text (which must fit), the bytes
// behind its terminator filled with a pattern so that writes can be seen.
inline char* BufferWith(const char* text, size_t size) {
    char* buffer = (char*)malloc(size ? size : 1);
    memset(buffer, 0xA5, size);
    if (size) memcpy(buffer, text, strlen(text) + 1);
    return buffer;
}

// Case-insensitive comparison of ASCII letters, written independently of the
// rules under test.
inline int SameLetters(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = (char)(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = (char)(y - 'A' + 'a');
        if (x != y) return 0;
    }
    return 1;
}

inline int EndsWithLetters(const char* text, const char* tail) {
    size_t n = strlen(text), l = strlen(tail);
    return n >= l && SameLetters(text + n - l, tail, l);
}

// A buffer of exactly size bytes (at least one) filled with a pattern, and
// the test that a refusal left it so.
inline char* PatternBuffer(size_t size) {
    char* buffer = (char*)malloc(size ? size : 1);
    memset(buffer, 0xA5, size ? size : 1);
    return buffer;
}

inline int StillPattern(const char* buffer, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if ((unsigned char)buffer[i] != 0xA5) return 0;
    return 1;
}
