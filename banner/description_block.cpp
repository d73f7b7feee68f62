#include "banner/description_block.h"

#include "tables/tables.h"

const char DescriptionMarker[DescriptionMarkerSize + 1] = "Descriptions\x1A\0\0\0";

// Far below what a 32-bit distance can hold, far above any real text.
static const long LargestBlock = 1L << 30;

int ComputeDescriptionOffsets(const long sizes[DescriptionTextCount],
                              long offsets[DescriptionOffsetRows]) {
    long distance = 0;
    for (int i = DescriptionTextCount - 1; i >= 0; --i) {
        if (sizes[i] <= 0 || sizes[i] > LargestBlock - distance) return 0;
        // Every text but the last is followed by its zero byte.
        distance += sizes[i] + (i < DescriptionTextCount - 1 ? 1 : 0);
        offsets[i] = distance;
    }
    offsets[6] = offsets[1];  // Chinese reads English
    return 1;
}

int DescriptionOffsetRow(int language) {
    return LanguageRow(language, DescriptionOffsetRows);
}

long DescriptionBlockSize(const long sizes[DescriptionTextCount]) {
    long size = DescriptionMarkerSize + DescriptionTextCount - 1;
    for (int i = 0; i < DescriptionTextCount; ++i) size += sizes[i];
    return size;
}

long BuildDescriptionBlock(const char* const texts[DescriptionTextCount],
                           const long sizes[DescriptionTextCount], char* out, long capacity) {
    long size = DescriptionBlockSize(sizes);
    if (size > capacity) return -1;
    long at = 0;
    for (int i = 0; i < DescriptionMarkerSize; ++i) out[at++] = DescriptionMarker[i];
    for (int i = 0; i < DescriptionTextCount; ++i) {
        for (long k = 0; k < sizes[i]; ++k) out[at++] = texts[i][k];
        if (i < DescriptionTextCount - 1) out[at++] = 0;
    }
    return at;
}

long DescriptionMarkerStart(long fileSize, long germanDistance) {
    long needed = germanDistance + DescriptionMarkerSize;
    return fileSize >= needed ? fileSize - needed : -1;
}

int IsDescriptionMarker(const char* bytes, long count) {
    if (count != DescriptionMarkerSize) return 0;
    for (int i = 0; i < DescriptionMarkerSize; ++i)
        if (bytes[i] != DescriptionMarker[i]) return 0;
    return 1;
}

long ProgramSizeBeforeBlock(const char* file, long fileSize, long blockSize) {
    // A block shorter than the marker would put the marker's end past the file's.
    if (blockSize < DescriptionMarkerSize || blockSize > fileSize) return fileSize;
    long start = fileSize - blockSize;
    return IsDescriptionMarker(file + start, DescriptionMarkerSize) ? start : fileSize;
}

// Bytes that code page 1252 leaves undefined.
static int IsUndefinedIn1252(unsigned char c) {
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

static int ProblemOfByte(const char* text, long size, long at) {
    unsigned char c = (unsigned char)text[at];
    if (c == 0) return TextZeroByte;
    if (c == '\t') return TextTab;
    if (c == '\r') return at + 1 < size && text[at + 1] == '\n' ? TextFine : TextBareCarriageReturn;
    if (c == '\n') return at > 0 && text[at - 1] == '\r' ? TextFine : TextBareLineFeed;
    if (c < 0x20 || c == 0x7F) return TextControlCharacter;
    if (IsUndefinedIn1252(c)) return TextUndefinedByte;
    return TextFine;
}

TextCheck CheckDescriptionText(const char* text, long size) {
    TextCheck check = {size > 0 ? TextFine : TextEmpty, 0, 1};
    for (long at = 0; at < size && check.problem == TextFine; ++at) {
        check.problem = ProblemOfByte(text, size, at);
        check.offset = at;
        if (check.problem == TextFine && text[at] == '\n') ++check.line;
    }
    if (check.problem == TextFine) check.offset = check.line = 0;  // nothing to point at
    return check;
}

const char* DescribeTextProblem(int problem) {
    switch (problem) {
    case TextFine: return "fine";
    case TextEmpty: return "the text is empty";
    case TextZeroByte: return "zero byte";
    case TextTab: return "tab character";
    case TextControlCharacter: return "control character";
    case TextBareCarriageReturn: return "carriage return without line feed";
    case TextBareLineFeed: return "line feed without carriage return";
    case TextUndefinedByte: return "byte undefined in code page 1252";
    default: return "unknown problem";
    }
}
