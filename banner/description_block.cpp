#include "banner/description_block.h"

#include "tables/bounded_text.h"
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

int DescriptionOffsetRow(int language) { return LanguageRow(language, DescriptionOffsetRows); }

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

long FindDescriptionBlock(const char* file, long end) {
    long at = end;
    for (int text = DescriptionTextCount - 1; text >= 0; --text) {
        long textEnd = at;
        while (at > 0 && file[at - 1] != 0) --at;
        if (at == textEnd) return -1;  // no text is empty
        if (text > 0) {
            if (at == 0) return -1;
            --at;  // the zero byte in front of it
        }
    }
    // The marker ends in zero bytes: the German text's walk stopped on its last.
    if (at < DescriptionMarkerSize ||
        !IsDescriptionMarker(file + at - DescriptionMarkerSize, DescriptionMarkerSize))
        return -1;
    return at - DescriptionMarkerSize;
}

long ProgramSizeBeforeBlock(const char* file, long fileSize, long blockSize) {
    // A block shorter than the marker would put the marker's end past the file's.
    if (blockSize < DescriptionMarkerSize || blockSize > fileSize) return fileSize;
    long start = fileSize - blockSize;
    return IsDescriptionMarker(file + start, DescriptionMarkerSize) ? start : fileSize;
}

// The caller has checked that the bytes lie inside the header.
static unsigned long Read16(const unsigned char* p) { return (unsigned long)(p[0] | p[1] << 8); }
static unsigned long Read32(const unsigned char* p) { return Read16(p) | Read16(p + 2) << 16; }

struct CertificateDirectory {
    unsigned long long headersEnd, start, size;
};

// The security directory entry; none (a table of no bytes) when the header is
// not a PE header whose entry lies inside both the optional header and the
// bytes given. 64-bit sums: no field of 32 bits can wrap them.
static CertificateDirectory ReadCertificateDirectory(const unsigned char* h,
                                                     unsigned long long size) {
    const CertificateDirectory none = {};
    if (size < PeOffsetAt + 4 || h[0] != 'M' || h[1] != 'Z') return none;
    unsigned long long pe = Read32(h + PeOffsetAt), optional = pe + PeOptionalHeaderAt;
    if (optional + 2 > size || !SameBytes(h + pe, "PE\0\0", 4)) return none;
    unsigned long magic = Read16(h + optional);
    unsigned long countAt = magic == Pe32Magic       ? Pe32DirectoryCountAt
                            : magic == Pe32PlusMagic ? Pe32PlusDirectoryCountAt
                                                     : 0;
    unsigned long long optionalEnd = optional + Read16(h + pe + PeOptionalSizeAt);
    unsigned long long entry = optional + countAt + 4 + PeSecurityDirectory * PeDirectoryEntrySize;
    if (countAt == 0 || entry + PeDirectoryEntrySize > optionalEnd ||
        entry + PeDirectoryEntrySize > size)
        return none;
    if (Read32(h + optional + countAt) <= PeSecurityDirectory) return none;
    CertificateDirectory d;
    d.headersEnd = optionalEnd + Read16(h + pe + PeSectionCountAt) * PeSectionHeaderSize;
    unsigned long long declared = Read32(h + optional + PeSizeOfHeadersAt);
    if (declared > d.headersEnd) d.headersEnd = declared;
    d.start = Read32(h + entry);  // a file offset, not an address
    d.size = Read32(h + entry + 4);
    return d;
}

// The table must be the last thing in the file: anything else is not a
// signature we can trust to mark the end, and the whole file counts.
long ContentEnd(const unsigned char* header, long headerSize, long fileSize) {
    if (headerSize < 0 || fileSize < 0) return fileSize;
    CertificateDirectory d = ReadCertificateDirectory(header, (unsigned long long)headerSize);
    if (d.size < PeCertificateHeaderSize || d.start + d.size != (unsigned long long)fileSize ||
        d.start < d.headersEnd)
        return fileSize;
    return (long)d.start;
}

long PaddingBeforeBlock(long programSize, long blockSize) {
    long over = (programSize + blockSize) % PeCertificateAlignment;
    return over ? PeCertificateAlignment - over : 0;
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
