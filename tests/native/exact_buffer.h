// Texts and output buffers for the rules' tests, each in a heap block of
// exactly its size, so that AddressSanitizer reports a byte read or written
// just outside (a std::string has a terminator behind its end and its own
// bytes before its start, which hide such reads).
#pragma once
#include <string.h>

#include <memory>
#include <string>

typedef std::unique_ptr<char[]> HeapBlock;

// The bytes alone: nothing behind the last one (for rules that take a length).
inline HeapBlock ExactBytes(const std::string& bytes) {
    HeapBlock block(new char[bytes.size()]);
    memcpy(block.get(), bytes.data(), bytes.size());
    return block;
}

// A zero-terminated text in a block of its length plus one.
inline HeapBlock ExactText(const std::string& text) {
    HeapBlock block(new char[text.size() + 1]);
    memcpy(block.get(), text.c_str(), text.size() + 1);
    return block;
}

enum { Pattern = 0x5A };

// An output buffer of size bytes filled with a pattern, and one canary byte
// behind it that a rule given size must never write.
inline HeapBlock PatternBuffer(int size) {
    HeapBlock block(new char[size + 1]);
    memset(block.get(), Pattern, (size_t)size + 1);
    return block;
}

// Whether the first count bytes still hold the pattern.
inline bool Untouched(const char* buffer, int count) {
    for (int i = 0; i < count; ++i)
        if (buffer[i] != Pattern) return false;
    return true;
}
