#include "install/seal.h"

#include <string.h>

#include "banner/description_block.h"
#include "tables/bounded_text.h"

static const char SealMarker[SealMarkerSize + 1] = "Sealed files\x1A\0\0\0";
enum { SealEndMarkerSize = SealFootSize - 4 };
static const char SealEndMarker[SealEndMarkerSize + 1] =
    "End of seal\x1A";  // its last byte is not zero

static uint64_t ReadLittle(const unsigned char* p, int width) {
    uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

static void WriteLittle(unsigned char* p, uint64_t value, int width) {
    for (int i = 0; i < width; ++i, value >>= 8) p[i] = (unsigned char)value;
}

static long Padded(long length) {
    return (length + SealAlignment - 1) / SealAlignment * SealAlignment;
}

long SealLength(const struct SealRow* rows, int count) {
    if (count < 0) return -1;
    long length = SealHeadSize + SealFootSize;
    for (int i = 0; i < count; ++i) {
        if (rows[i].nameLength <= 0 || rows[i].nameLength >= SealNameSize) return -1;
        length += SealRowFixedSize + rows[i].nameLength;
        if (length > SealLargest) return -1;
    }
    length = Padded(length);
    return length <= SealLargest ? length : -1;
}

long BuildSeal(const struct SealRow* rows, int count, unsigned char* out, long capacity) {
    long length = SealLength(rows, count);
    if (length < 0 || length > capacity) return -1;
    memset(out, 0, (size_t)length);  // the padding in front of the foot
    memcpy(out, SealMarker, SealMarkerSize);
    WriteLittle(out + SealMarkerSize, (uint64_t)count, 4);
    WriteLittle(out + SealMarkerSize + 4, SealFormat, 4);
    long at = SealHeadSize;
    for (int i = 0; i < count; ++i) {
        WriteLittle(out + at, rows[i].size, 8);
        memcpy(out + at + 8, rows[i].digest, Sha256Size);
        WriteLittle(out + at + 8 + Sha256Size, (uint64_t)rows[i].nameLength, 2);
        memcpy(out + at + SealRowFixedSize, rows[i].name, (size_t)rows[i].nameLength);
        at += SealRowFixedSize + rows[i].nameLength;
    }
    WriteLittle(out + length - SealFootSize, (uint64_t)length, 4);
    memcpy(out + length - SealEndMarkerSize, SealEndMarker, SealEndMarkerSize);
    return length;
}

long FindSealBefore(const unsigned char* tail, long tailSize, long end, long* start) {
    long footEnd = tailSize;
    // The zero bytes that put a block behind the seal on the alignment.
    while (footEnd > 0 && footEnd > tailSize - (SealAlignment - 1) && tail[footEnd - 1] == 0)
        --footEnd;
    if (footEnd < SealFootSize || tailSize > end ||
        !SameBytes(tail + footEnd - SealEndMarkerSize, SealEndMarker, SealEndMarkerSize))
        return 0;
    long length = (long)ReadLittle(tail + footEnd - SealFootSize, 4);
    long sealEnd = end - (tailSize - footEnd);
    if (length < SealHeadSize + SealFootSize || length > SealLargest ||
        length % SealAlignment != 0 || length > sealEnd)
        return 0;
    *start = sealEnd - length;
    return length;
}

// A row that lies wholly before the seal's last byte of rows; 0 otherwise.
static int ReadRow(const unsigned char* seal, long rowsEnd, long at, struct SealRow* row) {
    if (at < SealHeadSize || rowsEnd - at < SealRowFixedSize) return 0;
    row->size = ReadLittle(seal + at, 8);
    row->digest = seal + at + 8;
    row->nameLength = (int)ReadLittle(seal + at + 8 + Sha256Size, 2);
    row->name = (const char*)seal + at + SealRowFixedSize;
    return row->nameLength > 0 && row->nameLength < SealNameSize &&
           rowsEnd - at - SealRowFixedSize >= row->nameLength;
}

int CheckSeal(const unsigned char* seal, long length) {
    if (length < SealHeadSize + SealFootSize || length > SealLargest ||
        length % SealAlignment != 0 || !SameBytes(seal, SealMarker, SealMarkerSize) ||
        ReadLittle(seal + SealMarkerSize + 4, 4) != SealFormat ||
        ReadLittle(seal + length - SealFootSize, 4) != (uint64_t)length ||
        !SameBytes(seal + length - SealEndMarkerSize, SealEndMarker, SealEndMarkerSize))
        return -1;
    uint64_t count = ReadLittle(seal + SealMarkerSize, 4);
    long rowsEnd = length - SealFootSize, at = SealHeadSize;
    struct SealRow row;
    for (uint64_t i = 0; i < count; ++i) {
        if (!ReadRow(seal, rowsEnd, at, &row)) return -1;
        at += SealRowFixedSize + row.nameLength;
    }
    // Only the padding to the alignment follows the rows, and it is zero.
    if (rowsEnd - at >= SealAlignment) return -1;
    for (; at < rowsEnd; ++at)
        if (seal[at] != 0) return -1;
    return (int)count;
}

int NextSealRow(const unsigned char* seal, long length, long* at, struct SealRow* row) {
    if (*at == 0) *at = SealHeadSize;
    long rowsEnd = length - SealFootSize;
    // Behind the last row only padding is left, too short for a row.
    if (!ReadRow(seal, rowsEnd, *at, row)) return 0;
    *at += SealRowFixedSize + row->nameLength;
    return 1;
}

static char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

int SameSealName(const char* a, int aLength, const char* b, int bLength) {
    if (aLength != bLength) return 0;
    for (int i = 0; i < aLength; ++i)
        if (LowerLetter(a[i]) != LowerLetter(b[i])) return 0;
    return 1;
}

int FindSealRow(const unsigned char* seal, long length, const char* name, struct SealRow* row) {
    int nameLength = 0;
    while (nameLength < SealNameSize && name[nameLength]) ++nameLength;
    long at = 0;
    while (NextSealRow(seal, length, &at, row))
        if (SameSealName(row->name, row->nameLength, name, nameLength)) return 1;
    return 0;
}

void FindAppendedBlocks(const unsigned char* file, long size, struct AppendedBlocks* blocks) {
    long headerSize = size < PeHeaderReadSize ? size : (long)PeHeaderReadSize;
    blocks->contentEnd = ContentEnd(file, headerSize, size);
    long description = FindDescriptionBlock((const char*)file, blocks->contentEnd);
    blocks->descriptionStart = description >= 0 ? description : blocks->contentEnd;
    long tailSize =
        blocks->descriptionStart < SealTailSize ? blocks->descriptionStart : (long)SealTailSize;
    long start = 0;
    long length = FindSealBefore(file + blocks->descriptionStart - tailSize, tailSize,
                                 blocks->descriptionStart, &start);
    // Only a whole seal is taken for one: anything else is the program's.
    if (length && CheckSeal(file + start, length) < 0) length = 0;
    blocks->sealStart = length ? start : blocks->descriptionStart;
    blocks->sealEnd = length ? start + length : blocks->descriptionStart;
    blocks->programEnd = blocks->sealStart;
}
