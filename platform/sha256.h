// SHA-256: in software for the build tools (sha256.cpp), through the system's
// CryptoAPI in the Windows program (sha256_win.cpp), which so carries no
// hashing code of its own.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum { Sha256Size = 32, Sha256BlockSize = 64 };

struct Sha256 {
    uint32_t state[8];
    uint64_t length;  // bytes added so far
    unsigned char block[Sha256BlockSize];
};

void BeginSha256(struct Sha256* hash);
void AddToSha256(struct Sha256* hash, const void* bytes, size_t size);
void EndSha256(struct Sha256* hash, unsigned char digest[Sha256Size]);

#ifdef _WIN32
#include <windows.h>

// The system's SHA-256 (PROV_RSA_AES, CALG_SHA_256; advapi32 since XP SP3).
struct SystemSha256 {
    HCRYPTHASH hash;
};
// 0 when the system offers no SHA-256 provider.
int BeginSystemSha256(struct SystemSha256* hash);
int AddToSystemSha256(struct SystemSha256* hash, const void* bytes, DWORD size);
// Ends the hash in any case; 0 when the digest could not be had.
int EndSystemSha256(struct SystemSha256* hash, unsigned char digest[Sha256Size]);
#endif
