// SHA-256 by the system's AES provider: setup.exe carries no hashing code.
#include <windows.h>
#include <wincrypt.h>

#include "platform/sha256.h"

// One provider for the whole run, taken at first use (one copy hashes at a
// time); the system releases it at exit.
static HCRYPTPROV Provider;

static int HaveProvider(void) {
    HCRYPTPROV provider = 0;
    if (!Provider && CryptAcquireContextA(&provider, NULL, NULL, PROV_RSA_AES, CRYPT_VERIFYCONTEXT))
        Provider = provider;
    return Provider != 0;
}

int BeginSystemSha256(struct SystemSha256* hash) {
    hash->hash = 0;
    return HaveProvider() && CryptCreateHash(Provider, CALG_SHA_256, 0, 0, &hash->hash);
}

int AddToSystemSha256(struct SystemSha256* hash, const void* bytes, DWORD size) {
    return CryptHashData(hash->hash, (const BYTE*)bytes, size, 0) != 0;
}

int EndSystemSha256(struct SystemSha256* hash, unsigned char digest[Sha256Size]) {
    DWORD size = Sha256Size;
    int ended = CryptGetHashParam(hash->hash, HP_HASHVAL, digest, &size, 0) && size == Sha256Size;
    CryptDestroyHash(hash->hash);  // a hash that cannot be destroyed is the system's to free
    hash->hash = 0;
    return ended;
}
