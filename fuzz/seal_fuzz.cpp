// The seal: any bytes read as a seal are either refused or give rows that lie
// inside it and build the same bytes again; a foot is found only where it
// ends the bytes given; the blocks of any file lie in order inside it; and a
// seal built from the fuzzer's names finds each file's first row again, in
// any ASCII case, behind a program and in front of a description block.
#include "banner/description_block.h"
#include "fuzz/fuzz_check.h"
#include "install/seal.h"

static void CheckAnySeal(const FuzzInput& in) {
    const unsigned char* seal = (const unsigned char*)ExactCopy(in.data, in.size);
    long length = (long)in.size;
    int count = CheckSeal(seal, length);
    if (count >= 0) {
        SealRow* rows = (SealRow*)malloc(sizeof(SealRow) * (size_t)(count + 1));
        long at = 0;
        int n = 0;
        while (NextSealRow(seal, length, &at, &rows[n])) {
            FUZZ_CHECK(n < count);
            FUZZ_CHECK((const unsigned char*)rows[n].name + rows[n].nameLength <= seal + length);
            ++n;
        }
        FUZZ_CHECK(n == count);
        unsigned char* again = (unsigned char*)malloc((size_t)length);
        FUZZ_CHECK(BuildSeal(rows, count, again, length) == length);
        FUZZ_CHECK(memcmp(again, seal, (size_t)length) == 0);
        free(again);
        free(rows);
    }
    free((void*)seal);
}

static void CheckAnyTail(const FuzzInput& in) {
    const unsigned char* tail = (const unsigned char*)ExactCopy(in.data, in.size);
    long size = (long)in.size, end = size + (size ? in.data[0] : 0), start = -1;
    long length = FindSealBefore(tail, size, end, &start);
    if (length) {
        FUZZ_CHECK(start >= 0 && length % SealAlignment == 0 && start + length <= end);
        FUZZ_CHECK(end - (start + length) < SealAlignment);
        for (long at = size - (end - (start + length)); at < size; ++at) FUZZ_CHECK(tail[at] == 0);
    }
    AppendedBlocks blocks;
    FindAppendedBlocks(tail, size, &blocks);
    FUZZ_CHECK(0 <= blocks.programEnd && blocks.programEnd == blocks.sealStart);
    FUZZ_CHECK(blocks.sealStart <= blocks.sealEnd && blocks.sealEnd <= blocks.descriptionStart);
    FUZZ_CHECK(blocks.descriptionStart <= blocks.contentEnd && blocks.contentEnd <= size);
    free((void*)tail);
}

static char* CaseFlipped(const char* name) {
    char* flipped = ExactCopy(name, strlen(name) + 1);
    for (char* c = flipped; *c; ++c)
        if ((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z')) *c ^= 0x20;
    return flipped;
}

// Rows named by the fuzzer's texts, sealed and placed behind a program and
// in front of a description block of one-letter texts.
static void CheckBuiltSeal(FuzzInput* in) {
    enum { MostRows = 8 };
    char* names[MostRows];
    SealRow rows[MostRows];
    unsigned char digests[MostRows][Sha256Size];
    int count = TakeByte(in) % MostRows;
    for (int i = 0; i < count; ++i) {
        names[i] = TakeText(in);
        memset(digests[i], i, Sha256Size);
        rows[i] = {names[i], (int)strlen(names[i]), (uint64_t)TakeByte(in) << (i * 5), digests[i]};
    }
    long length = SealLength(rows, count);
    int holdable = 1;
    for (int i = 0; i < count; ++i)
        holdable &= rows[i].nameLength > 0 && rows[i].nameLength < SealNameSize;
    FUZZ_CHECK((length > 0) == (holdable == 1));
    if (length > 0) {
        char* program = TakeText(in);
        long programSize = (long)strlen(program), descriptionSize = DescriptionMarkerSize + 11;
        long padding = PaddingBeforeBlock(programSize + length, descriptionSize);
        long size = programSize + length + padding + descriptionSize;
        unsigned char* file = (unsigned char*)malloc((size_t)size);
        memcpy(file, program, (size_t)programSize);
        FUZZ_CHECK(BuildSeal(rows, count, file + programSize, length) == length);
        unsigned char* seal = file + programSize;
        FUZZ_CHECK(CheckSeal(seal, length) == count);
        char* small = PatternBuffer((size_t)length - 1);  // one byte short: nothing written
        FUZZ_CHECK(BuildSeal(rows, count, (unsigned char*)small, length - 1) == -1);
        FUZZ_CHECK(StillPattern(small, (size_t)length - 1));
        free(small);
        memset(file + programSize + length, 0, (size_t)padding);
        unsigned char* description = file + programSize + length + padding;
        memcpy(description, DescriptionMarker, DescriptionMarkerSize);
        memcpy(description + DescriptionMarkerSize, "a\0b\0c\0d\0e\0f", 11);
        AppendedBlocks blocks;
        FindAppendedBlocks(file, size, &blocks);
        FUZZ_CHECK(blocks.sealStart == programSize && blocks.sealEnd == programSize + length);
        FUZZ_CHECK(blocks.descriptionStart == size - descriptionSize && blocks.contentEnd == size);
        for (int i = 0; i < count; ++i) {
            // The first row of the name answers, which may be an earlier one.
            int first = 0;
            while (
                !SameSealName(names[first], rows[first].nameLength, names[i], rows[i].nameLength))
                ++first;
            char* flipped = CaseFlipped(names[i]);
            SealRow row;
            FUZZ_CHECK(FindSealRow(seal, length, flipped, &row));
            FUZZ_CHECK(row.digest[0] == first && row.size == rows[first].size);
            FUZZ_CHECK(SameSealName(row.name, row.nameLength, names[i], rows[i].nameLength));
            free(flipped);
        }
        free(file);
        free(program);
    }
    for (int i = 0; i < count; ++i) free(names[i]);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    CheckAnySeal(in);
    CheckAnyTail(in);
    CheckBuiltSeal(&in);
    return 0;
}
