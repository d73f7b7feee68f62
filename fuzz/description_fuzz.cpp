// The description block: offsets computed from the text sizes find every
// text again in a program file with the block appended, the marker sits where
// the German distance says, and the block is found (and only once) at the end.
#include "banner/description_block.h"
#include "fuzz/fuzz_check.h"

// What the program shows for a row: up to DescriptionReadSize bytes from the
// text's distance before the end, into a zero-filled buffer, up to a zero.
static void CheckShownText(const char* file, long fileSize, long distance, const char* text) {
    char shown[DescriptionReadSize + 1] = {0};
    FUZZ_CHECK(distance > 0 && distance <= fileSize);
    long available = distance < DescriptionReadSize ? distance : DescriptionReadSize;
    memcpy(shown, file + fileSize - distance, (size_t)available);
    size_t expected = strlen(text) < DescriptionReadSize ? strlen(text) : DescriptionReadSize;
    FUZZ_CHECK(strlen(shown) == expected && memcmp(shown, text, expected) == 0);
}

static void CheckTextCheck(const char* terminated, long size) {
    char* text = ExactCopy(terminated, (size_t)size);
    TextCheck check = CheckDescriptionText(text, size);
    if (check.problem == TextFine) {
        FUZZ_CHECK(size > 0 && check.offset == 0 && check.line == 0);
        for (long i = 0; i < size; ++i) {
            unsigned char c = (unsigned char)text[i];
            FUZZ_CHECK(c != 0 && c != '\t' && c != 0x7F);
            if (c == '\r') FUZZ_CHECK(i + 1 < size && text[i + 1] == '\n');
            if (c == '\n') FUZZ_CHECK(i > 0 && text[i - 1] == '\r');
            if (c < 0x20) FUZZ_CHECK(c == '\r' || c == '\n');
        }
    } else if (check.problem != TextEmpty) {
        FUZZ_CHECK(check.offset >= 0 && check.offset < size && check.line >= 1);
        long lines = 1;
        for (long i = 0; i < check.offset; ++i) lines += text[i] == '\n';
        FUZZ_CHECK(check.line == lines);
        // Everything in front of the offending byte passes.
        if (check.offset > 0) FUZZ_CHECK(CheckDescriptionText(text, check.offset).problem == TextFine);
    }
    FUZZ_CHECK(DescribeTextProblem(check.problem) != NULL);
    free(text);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckTextCheck((const char*)data, (long)size);  // zero bytes included
    FuzzInput in = {data, size};
    char* program = TakeText(&in);
    const char* texts[DescriptionTextCount];
    long sizes[DescriptionTextCount];
    int allPresent = 1;
    for (int i = 0; i < DescriptionTextCount; ++i) {
        texts[i] = TakeText(&in);
        sizes[i] = (long)strlen(texts[i]);
        CheckTextCheck(texts[i], sizes[i]);
        allPresent &= sizes[i] > 0;
    }
    long offsets[DescriptionOffsetRows];
    int computed = ComputeDescriptionOffsets(sizes, offsets);
    FUZZ_CHECK(computed == allPresent);
    long blockSize = DescriptionBlockSize(sizes);
    long programSize = (long)strlen(program);

    // Too small a buffer is refused; the exact size is enough.
    char* block = PatternBuffer((size_t)blockSize);
    FUZZ_CHECK(BuildDescriptionBlock(texts, sizes, block, blockSize - 1) == -1);
    FUZZ_CHECK(StillPattern(block, (size_t)blockSize));
    FUZZ_CHECK(BuildDescriptionBlock(texts, sizes, block, blockSize) == blockSize);
    FUZZ_CHECK(IsDescriptionMarker(block, DescriptionMarkerSize));

    long fileSize = programSize + blockSize;
    char* file = (char*)malloc((size_t)fileSize);
    memcpy(file, program, (size_t)programSize);
    memcpy(file + programSize, block, (size_t)blockSize);
    FUZZ_CHECK(ProgramSizeBeforeBlock(file, fileSize, blockSize) == programSize);
    // A program shorter than the block cannot end with one.
    if (programSize < blockSize) FUZZ_CHECK(ProgramSizeBeforeBlock(file, programSize, blockSize) == programSize);

    if (computed) {
        for (int i = 1; i < DescriptionTextCount; ++i) FUZZ_CHECK(offsets[i] < offsets[i - 1]);
        FUZZ_CHECK(offsets[DescriptionTextCount - 1] == sizes[DescriptionTextCount - 1]);
        long markerStart = DescriptionMarkerStart(fileSize, offsets[0]);
        FUZZ_CHECK(markerStart == programSize);
        FUZZ_CHECK(IsDescriptionMarker(file + markerStart, DescriptionMarkerSize));
        for (int language = -2; language < 10; ++language) {
            int row = DescriptionOffsetRow(language);
            FUZZ_CHECK(row >= 0 && row < DescriptionOffsetRows);
            int textIndex = row < DescriptionTextCount ? row : 1;  // Chinese reads English
            CheckShownText(file, fileSize, offsets[row], texts[textIndex]);
        }
        // The program alone is too short for the marker, or holds none there.
        long bare = DescriptionMarkerStart(programSize, offsets[0]);
        FUZZ_CHECK(bare < 0 || bare + DescriptionMarkerSize <= programSize);
    }
    free(file);
    free(block);
    for (int i = 0; i < DescriptionTextCount; ++i) free((void*)texts[i]);
    free(program);
    return 0;
}
