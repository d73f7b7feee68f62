// The seal: the list of every file the install copies from one disk (its
// name, size and SHA-256), written into setup.exe by the vendor's seal step
// (tools/seal) in front of the description block, inside the bytes the
// signature covers. A sealed setup.exe copies only what its seal lists, and
// only as listed; an unsealed one (a development build) copies as it finds.
//
// A program file with both blocks and a signature:
//   program | seal | up to 7 zero bytes | description block | certificate table
// The zero bytes end the description on the certificate table's alignment;
// a seal that ends the content may be followed by those a signature adds.
#pragma once
#include <stdint.h>

#include "platform/sha256.h"

enum {
    SealMarkerSize = 16,
    SealHeadSize = SealMarkerSize + 8,      // the marker, the row count, the format
    SealFootSize = 16,                      // the seal's length, the end marker
    SealRowFixedSize = 8 + Sha256Size + 2,  // size, digest, name length; the name follows
    SealNameSize = 260,                     // a name's bytes and a terminator: DiskNameSize
    SealAlignment = 8,                      // a seal's length is a multiple of it
    SealLargest = 1 << 24,
    SealFormat = 1,
    // Bytes in front of where a seal may end that FindSealBefore reads.
    SealTailSize = SealFootSize + SealAlignment - 1
};

// One listed file. The name is the install's relative name ("viewer\" for the
// viewer's files) in UTF-8, whatever the code page of the system that reads
// it, and is not terminated in a seal.
struct SealRow {
    const char* name;
    int nameLength;
    uint64_t size;
    const unsigned char* digest;  // Sha256Size bytes
};

// Bytes of the seal that lists these rows; -1 when a row is not one a seal
// holds (a name empty or of SealNameSize bytes or more) or the seal would
// be larger than SealLargest.
long SealLength(const struct SealRow* rows, int count);
// Writes the seal into out; its length, or -1 as SealLength or when it does
// not fit capacity (out is then left as it was).
long BuildSeal(const struct SealRow* rows, int count, unsigned char* out, long capacity);

// The seal that ends at most SealAlignment - 1 zero bytes before end in a
// file; tail holds the tailSize bytes in front of end (SealTailSize are
// enough). Its length, with *start set to its offset in the file; 0 when no
// seal's foot is there.
long FindSealBefore(const unsigned char* tail, long tailSize, long end, long* start);
// The row count of a whole, well-formed seal of length bytes; -1 otherwise.
int CheckSeal(const unsigned char* seal, long length);
// The next row of a seal that CheckSeal accepted: *at starts at 0 and is
// moved past the row. 0 after the last.
int NextSealRow(const unsigned char* seal, long length, long* at, struct SealRow* row);

// Whether two names are the same file's: ASCII letters in any case, every
// other byte as is.
int SameSealName(const char* a, int aLength, const char* b, int bLength);
// The row of a name (UTF-8, terminated) in a seal that CheckSeal accepted.
int FindSealRow(const unsigned char* seal, long length, const char* name, struct SealRow* row);

// Where the blocks lie in a program file (offsets; an absent block starts
// and ends where the next part begins).
struct AppendedBlocks {
    long programEnd;  // the program's own bytes and whatever zero bytes padded them
    long sealStart, sealEnd;
    long descriptionStart;  // its marker
    long contentEnd;        // where the certificate table begins, else the file's size
};
void FindAppendedBlocks(const unsigned char* file, long size, struct AppendedBlocks* blocks);

#ifdef _WIN32
// Whether the running program carries a seal; its file is read at the first
// call.
int ProgramIsSealed(void);
// Reads the seal of the program file at path instead (NULL: none).
void ReadSealFrom(const char* path);
// Whether the seal lists a name as the survey keeps it (in the ANSI code
// page, or in UTF-8 when utf8); its size and digest are filled in when it does.
int FindSealedFile(const char* name, int utf8, uint64_t* size, unsigned char digest[Sha256Size]);
#endif
