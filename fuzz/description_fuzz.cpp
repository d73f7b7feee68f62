// The description block: offsets computed from the text sizes find every
// text again in a program file with the block appended, the marker sits where
// the German distance says, and the block is found (and only once) at the end.
// Signed, the same file shows the same texts; a certificate directory that
// does not describe the file's last bytes counts for nothing; header bytes of
// any kind are read only where given.
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
        if (check.offset > 0)
            FUZZ_CHECK(CheckDescriptionText(text, check.offset).problem == TextFine);
    }
    FUZZ_CHECK(DescribeTextProblem(check.problem) != NULL);
    free(text);
}

enum { HeaderSize = 512, PeAt = 0x40, OptionalAt = PeAt + 24 };

static void Put(unsigned char* at, unsigned long value, int width) {
    for (int i = 0; i < width; ++i) at[i] = (unsigned char)(value >> (8 * i));
}

// The fuzzer's bytes as a header, with the fields the reader looks at set so
// that the security directory names start and size.
static void MakePeHeader(unsigned char* h, const FuzzInput& filler, int plus, unsigned long start,
                         unsigned long size) {
    memset(h, 0, HeaderSize);
    if (filler.size) memcpy(h, filler.data, filler.size < HeaderSize ? filler.size : HeaderSize);
    unsigned directoriesAt = plus ? 112 : 96;
    h[0] = 'M';
    h[1] = 'Z';
    Put(h + 0x3C, PeAt, 4);
    memcpy(h + PeAt, "PE\0\0", 4);
    Put(h + PeAt + 6, 2, 2);                        // sections, ending at 408
    Put(h + PeAt + 20, directoriesAt + 16 * 8, 2);  // optional header size
    Put(h + OptionalAt, plus ? 0x20B : 0x10B, 2);
    Put(h + OptionalAt + 60, HeaderSize, 4);  // SizeOfHeaders
    Put(h + OptionalAt + directoriesAt - 4, 5 + filler.size % 12, 4);
    Put(h + OptionalAt + directoriesAt + 32, start, 4);
    Put(h + OptionalAt + directoriesAt + 36, size, 4);
}

// The file signed: a header, the program, the block and a certificate table
// behind it. The content ends where the table begins, and every language
// shows its text as in the unsigned file; a directory a few bytes off, or a
// header cut before the directory, leaves the whole file.
static void CheckSigned(const char* program, const char* block, long blockSize,
                        const long offsets[DescriptionOffsetRows],
                        const char* const texts[DescriptionTextCount], FuzzInput* in) {
    uint8_t shape = TakeByte(in);
    int plus = shape & 1;
    long tableSize = 8 * (1 + (shape >> 1));
    long programSize = HeaderSize + (long)strlen(program);
    long padding = PaddingBeforeBlock(programSize, blockSize);
    long contentEnd = programSize + padding + blockSize;
    FUZZ_CHECK(padding >= 0 && padding < PeCertificateAlignment);
    FUZZ_CHECK(contentEnd % PeCertificateAlignment == 0);
    long fileSize = contentEnd + tableSize;
    unsigned char* file = (unsigned char*)malloc((size_t)fileSize);
    MakePeHeader(file, *in, plus, (unsigned long)contentEnd, (unsigned long)tableSize);
    memcpy(file + HeaderSize, program, strlen(program));
    memset(file + programSize, 0, (size_t)padding);
    memcpy(file + programSize + padding, block, (size_t)blockSize);
    memset(file + contentEnd, 'S', (size_t)tableSize);  // nothing of it may be shown

    FUZZ_CHECK(ContentEnd(file, HeaderSize, fileSize) == contentEnd);
    for (int row = 0; row < DescriptionOffsetRows; ++row)
        CheckShownText((const char*)file, contentEnd, offsets[row],
                       texts[row < DescriptionTextCount ? row : 1]);

    long cut = TakeByte(in) % (OptionalAt + (plus ? 112 : 96) + 40);
    unsigned char* shortHeader = (unsigned char*)malloc((size_t)cut + 1);
    memcpy(shortHeader, file, (size_t)cut);
    FUZZ_CHECK(ContentEnd(shortHeader, cut, fileSize) == fileSize);
    long off = 1 + TakeByte(in) % 7;
    FUZZ_CHECK(ContentEnd(file, HeaderSize, fileSize + off) == fileSize + off);
    FUZZ_CHECK(ContentEnd(file, HeaderSize, fileSize - off) == fileSize - off);
    free(shortHeader);
    free(file);
}

// Any bytes at all as a header, in a block of exactly their size.
static void CheckAnyHeader(const FuzzInput& in) {
    unsigned char* header = (unsigned char*)malloc(in.size + 1);
    if (in.size) memcpy(header, in.data, in.size);
    long fileSize = (long)in.size + (in.size ? in.data[0] * 1000L : 0);
    long end = ContentEnd(header, (long)in.size, fileSize);
    FUZZ_CHECK(end == fileSize || (end >= 0 && end < fileSize));
    free(header);
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
    if (programSize < blockSize)
        FUZZ_CHECK(ProgramSizeBeforeBlock(file, programSize, blockSize) == programSize);

    if (computed) {
        for (int i = 1; i < DescriptionTextCount; ++i) FUZZ_CHECK(offsets[i] < offsets[i - 1]);
        FUZZ_CHECK(offsets[DescriptionTextCount - 1] == sizes[DescriptionTextCount - 1]);
        long markerStart = DescriptionMarkerStart(fileSize, offsets[0]);
        FUZZ_CHECK(markerStart == programSize);
        FUZZ_CHECK(FindDescriptionBlock(file, fileSize) == programSize);
        FUZZ_CHECK(FindDescriptionBlock(file, fileSize - 1) == (sizes[5] > 1 ? programSize : -1));
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
        CheckSigned(program, block, blockSize, offsets, texts, &in);
    }
    CheckAnyHeader(in);
    free(file);
    free(block);
    for (int i = 0; i < DescriptionTextCount; ++i) free((void*)texts[i]);
    free(program);
    return 0;
}
