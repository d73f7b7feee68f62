#include "platform/sha256.h"

#include <string.h>

static const uint32_t RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

static uint32_t RotateRight(uint32_t x, int n) { return x >> n | x << (32 - n); }

static void Compress(uint32_t state[8], const unsigned char* block) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = (uint32_t)block[4 * i] << 24 | (uint32_t)block[4 * i + 1] << 16 |
               (uint32_t)block[4 * i + 2] << 8 | block[4 * i + 3];
    for (int i = 16; i < 64; ++i) {
        uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ w[i - 15] >> 3;
        uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ w[i - 2] >> 10;
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t v[8];
    memcpy(v, state, sizeof v);
    for (int i = 0; i < 64; ++i) {
        uint32_t e = v[4], a = v[0];
        uint32_t t1 = v[7] + (RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25)) +
                      ((e & v[5]) ^ (~e & v[6])) + RoundConstants[i] + w[i];
        uint32_t t2 = (RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22)) +
                      ((a & v[1]) ^ (a & v[2]) ^ (v[1] & v[2]));
        memmove(v + 1, v, 7 * sizeof *v);
        v[4] += t1;
        v[0] = t1 + t2;
    }
    for (int i = 0; i < 8; ++i) state[i] += v[i];
}

void BeginSha256(struct Sha256* hash) {
    static const uint32_t initial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    memcpy(hash->state, initial, sizeof initial);
    hash->length = 0;
}

void AddToSha256(struct Sha256* hash, const void* bytes, size_t size) {
    const unsigned char* p = (const unsigned char*)bytes;
    while (size > 0) {
        size_t used = (size_t)(hash->length % Sha256BlockSize);
        size_t take = Sha256BlockSize - used < size ? Sha256BlockSize - used : size;
        memcpy(hash->block + used, p, take);
        hash->length += take;
        p += take;
        size -= take;
        if (used + take == Sha256BlockSize) Compress(hash->state, hash->block);
    }
}

void EndSha256(struct Sha256* hash, unsigned char digest[Sha256Size]) {
    uint64_t bits = hash->length * 8;
    static const unsigned char one = 0x80, zero = 0;
    AddToSha256(hash, &one, 1);
    // The length goes into the last eight bytes of a block.
    while (hash->length % Sha256BlockSize != Sha256BlockSize - 8) AddToSha256(hash, &zero, 1);
    unsigned char length[8];
    for (int i = 0; i < 8; ++i) length[i] = (unsigned char)(bits >> (56 - 8 * i));
    AddToSha256(hash, length, sizeof length);
    for (int i = 0; i < Sha256Size; ++i)
        digest[i] = (unsigned char)(hash->state[i / 4] >> (24 - 8 * (i % 4)));
}
