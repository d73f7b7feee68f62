// The published SHA-256 test vectors, for the build tools' hash (natively)
// and the system's (under Wine); the pieces each is fed in end before, on and
// after the 64-byte blocks.
#pragma once
#include <stddef.h>

#include <string>

struct Sha256Vector {
    std::string message;
    const char* digest;
};

inline const Sha256Vector* Sha256Vectors(size_t* count) {
    static const Sha256Vector vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrl"
         "m"
         "nopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    *count = sizeof vectors / sizeof *vectors;
    return vectors;
}

inline const size_t Sha256Pieces[] = {7, 55, 64, 65};

inline std::string HexOf(const unsigned char* bytes, size_t count) {
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        hex += "0123456789abcdef"[bytes[i] >> 4];
        hex += "0123456789abcdef"[bytes[i] & 15];
    }
    return hex;
}
