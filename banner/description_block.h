// The description block at the end of setup.exe: six texts, German to
// Portuguese, each found by its distance from the end of the file; and the
// current language's description read from it.
#pragma once

#include "tables/limits.h"

enum {
    DescriptionTextCount = 6,   // German, English, French, Spanish, Italian, Portuguese
    DescriptionOffsetRows = 7,  // the six and Chinese, which reads English
    DescriptionMarkerSize = 16  // written just before the German text
};

// Bytes the build writes in front of the German text so that the program can
// tell its own block from whatever else a file ends with.
extern const char DescriptionMarker[DescriptionMarkerSize + 1];

// Fills offsets[0..6] with each text's distance from the end of the file, from
// the sizes of the six texts in block order. Returns 1; 0 when a size is not
// positive or the block would not fit a 32-bit distance.
int ComputeDescriptionOffsets(const long sizes[DescriptionTextCount],
                              long offsets[DescriptionOffsetRows]);

// The offsets row a language reads: Chinese has its own row with the English
// distance; the Japanese choice (7) and anything unknown read English.
int DescriptionOffsetRow(int language);

// Bytes appended to the program: the marker, then the texts with one zero byte
// between them and none after the last.
long DescriptionBlockSize(const long sizes[DescriptionTextCount]);

// Writes the appended bytes into out (capacity bytes). Returns their count, or
// -1 when they do not fit.
long BuildDescriptionBlock(const char* const texts[DescriptionTextCount],
                           const long sizes[DescriptionTextCount], char* out, long capacity);

// File offset of the marker for a file of fileSize bytes whose German text
// lies germanDistance bytes before the end; -1 when the file is too short.
long DescriptionMarkerStart(long fileSize, long germanDistance);

// Where the description block that ends at end begins (its marker), found by
// its shape alone, without the distances: six texts free of zero bytes, a
// zero byte between each two, the marker in front. -1 when the first end
// bytes of file do not end with a block.
long FindDescriptionBlock(const char* file, long end);

// 1 when bytes (count of them) are exactly the marker.
int IsDescriptionMarker(const char* bytes, long count);

// The length of the program in front of an appended block of blockSize bytes:
// fileSize when the file does not end with one, so appending stays idempotent.
long ProgramSizeBeforeBlock(const char* file, long fileSize, long blockSize);

// A signed file ends with its certificate table, after our block; the
// distances count from where the table begins. headerSize bytes of the start
// of the file are given; PeHeaderReadSize is enough for any header we build.
enum { PeHeaderReadSize = 4096, PeCertificateAlignment = 8 };

// Places in the PE headers the rule reads, the same in PE32 and PE32+ unless
// named (tied to the platform's names in description_win.cpp).
enum {
    PeOffsetAt = 0x3C,     // in the DOS header
    PeSectionCountAt = 6,  // from the PE signature
    PeOptionalSizeAt = 20,
    PeOptionalHeaderAt = 24,  // behind the signature and the file header
    PeSectionHeaderSize = 40,
    Pe32Magic = 0x10B,
    Pe32PlusMagic = 0x20B,
    PeSizeOfHeadersAt = 60,  // in the optional header
    Pe32DirectoryCountAt = 92,
    Pe32PlusDirectoryCountAt = 108,
    PeSecurityDirectory = 4,
    PeDirectoryEntrySize = 8,
    PeCertificateHeaderSize = 8  // a table holds at least one entry's header
};

// The end of the program's own content in a file of fileSize bytes: where a
// well-formed certificate table begins, else fileSize.
long ContentEnd(const unsigned char* header, long headerSize, long fileSize);

// Zero bytes that go in front of the marker so that the block ends on the
// certificate table's alignment: a signing tool then adds no padding between
// the block and the table.
long PaddingBeforeBlock(long programSize, long blockSize);

// What a description text must be: code page 1252 text, lines ended by CR LF.
enum DescriptionTextProblem {
    TextFine,
    TextEmpty,
    TextZeroByte,
    TextTab,
    TextControlCharacter,
    TextBareCarriageReturn,
    TextBareLineFeed,
    TextUndefinedByte
};

struct TextCheck {
    int problem;  // a DescriptionTextProblem
    long offset;  // of the offending byte; 0 for a fine text
    long line;    // 1-based line of that byte; 0 for a fine text
};

TextCheck CheckDescriptionText(const char* text, long size);
const char* DescribeTextProblem(int problem);

// The current text, zero-terminated; NULL before the first load (and if the
// buffer could not be had).
extern char* DescriptionText;

// Reads the current language's text from the end of our own program file.
void LoadDescription(void);

// LoadDescription on the given file instead of our own; NULL gives an empty
// description.
void LoadDescriptionFromFile(const char* path);

// The offset in the program file at path where its description block begins,
// else where its content ends (before a certificate table); -1 when the file
// cannot be read.
long DescriptionBlockStartOf(const char* path);
