// The running program's seal, read once from its own file, and what it says
// of each file the survey finds.
#include <windows.h>

#include "banner/description_block.h"
#include "install/seal.h"
#include "tables/bounded_text.h"

static struct {
    int read;  // the program file has been looked at
    int sealed;
    unsigned char* bytes;  // NULL when the seal is not whole: it lists nothing
    long length;
} Seal;

static int ReadAt(HANDLE file, long offset, void* out, long size) {
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD got = 0;
    return SetFilePointerEx(file, at, NULL, FILE_BEGIN) &&
           ReadFile(file, out, (DWORD)size, &got, NULL) && got == (DWORD)size;
}

static void ReadWholeSeal(HANDLE file, long start, long length) {
    unsigned char* bytes = (unsigned char*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)length);
    if (bytes && ReadAt(file, start, bytes, length) && CheckSeal(bytes, length) >= 0) {
        Seal.bytes = bytes;
        Seal.length = length;
    } else if (bytes) {
        HeapFree(GetProcessHeap(), 0, bytes);
    }
}

// A file that cannot be read carries no seal, as it shows no description.
// A seal whose foot is there is one: if the rest cannot be had whole, it
// lists nothing, and nothing is copied.
void ReadSealFrom(const char* path) {
    if (Seal.bytes) HeapFree(GetProcessHeap(), 0, Seal.bytes);
    Seal.bytes = NULL;
    Seal.length = 0;
    Seal.sealed = 0;
    Seal.read = 1;
    long end = path ? DescriptionBlockStartOf(path) : -1;
    if (end < 0) return;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    unsigned char tail[SealTailSize];
    long tailSize = end < SealTailSize ? end : (long)SealTailSize, start = 0, length = 0;
    if (ReadAt(file, end - tailSize, tail, tailSize))
        length = FindSealBefore(tail, tailSize, end, &start);
    if (length) {
        Seal.sealed = 1;
        ReadWholeSeal(file, start, length);
    }
    CloseHandle(file);
}

int ProgramIsSealed(void) {
    if (!Seal.read) {
        char path[PathBufferSize];
        DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
        // A path cut short names another file.
        ReadSealFrom(length > 0 && length < sizeof path ? path : NULL);
    }
    return Seal.sealed;
}

// The seal names files in UTF-8; the survey keeps a name in the ANSI code
// page where it can.
static int Utf8Name(const char* name, int utf8, char* out, int size) {
    if (utf8) return CopyText(out, size, name);
    WCHAR wide[SealNameSize];
    return MultiByteToWideChar(CP_ACP, 0, name, -1, wide, SealNameSize) &&
           WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, size, NULL, NULL);
}

int FindSealedFile(const char* name, int utf8, uint64_t* size, unsigned char digest[Sha256Size]) {
    char listed[SealNameSize];
    struct SealRow row;
    // A name no seal could hold is listed in none.
    if (!Seal.bytes || !Utf8Name(name, utf8, listed, sizeof listed) ||
        !FindSealRow(Seal.bytes, Seal.length, listed, &row))
        return 0;
    *size = row.size;
    CopyMemory(digest, row.digest, Sha256Size);
    return 1;
}
