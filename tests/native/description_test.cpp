#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "banner/description_block.h"
#include "description_offsets.h"  // made by the build from the shipped texts
#include "exact_buffer.h"

namespace {

const char* const TextNames[DescriptionTextCount] = {"german",  "english", "french",
                                                     "spanish", "italian", "portuguese"};

std::string ReadFile(const std::string& path) {
    std::string content;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return content;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
    fclose(file);
    return content;
}

bool WriteFile(const std::string& path, const std::string& content) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = fwrite(content.data(), 1, content.size(), file) == content.size();
    return fclose(file) == 0 && written;
}

std::string ShippedText(int i) {
    return ReadFile(std::string(DESCRIPTION_TEXTS_DIR) + TextNames[i] + ".txt");
}

struct Block {
    std::string texts[DescriptionTextCount];
    long sizes[DescriptionTextCount];
    const char* pointers[DescriptionTextCount];
    std::vector<char> bytes;
};

void MakeBlock(Block* block) {
    for (int i = 0; i < DescriptionTextCount; ++i) {
        block->sizes[i] = (long)block->texts[i].size();
        block->pointers[i] = block->texts[i].data();
    }
    block->bytes.resize((size_t)DescriptionBlockSize(block->sizes));
    ASSERT_EQ((long)block->bytes.size(),
              BuildDescriptionBlock(block->pointers, block->sizes, block->bytes.data(),
                                    (long)block->bytes.size()));
}

}  // namespace

// The build's distances read against a program that the build's own tool has
// appended the shipped texts to: each language shows its own text (Chinese
// and Japanese the English one), cut at the read size, and the marker lies
// in front of the German text, as setup.exe reads them.
TEST(DescriptionBlock, BuiltDistancesFindEachShippedTextBehindTheTool) {
    std::string program = testing::TempDir() + "descblock-program.exe";
    ASSERT_TRUE(WriteFile(program, std::string(1000, 'P')));
    std::string command = std::string(DESCBLOCK_TOOL) + " append " + program;
    for (const char* name : TextNames)
        command += std::string(" ") + DESCRIPTION_TEXTS_DIR + name + ".txt";
    ASSERT_EQ(0, system(command.c_str())) << command;
    std::string file = ReadFile(program);
    const long size = (long)file.size();
    ASSERT_GT(size, 1000);
    const int textOfLanguage[8] = {0, 1, 2, 3, 4, 5, 1, 1};
    for (int language = 0; language < 8; ++language) {
        SCOPED_TRACE(language);
        long distance = DescriptionOffsets[DescriptionOffsetRow(language)];
        ASSERT_TRUE(distance > 0 && distance <= size);
        // What the program reads into its zero-filled buffer, shown up to a zero.
        std::string read = file.substr((size_t)(size - distance), DescriptionReadSize);
        std::string shown(read.c_str());
        std::string text = ShippedText(textOfLanguage[language]);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(TextFine, CheckDescriptionText(text.data(), (long)text.size()).problem);
        EXPECT_EQ(text.substr(0, DescriptionReadSize), shown);
    }
    long marker = DescriptionMarkerStart(size, DescriptionOffsets[0]);
    ASSERT_GE(marker, 1000);
    EXPECT_EQ(1, IsDescriptionMarker(file.data() + marker, DescriptionMarkerSize));
    remove(program.c_str());
}

TEST(DescriptionBlock, ShippedTextsFollowTheLayout) {
    for (int i = 0; i < DescriptionTextCount; ++i) {
        std::string text = ShippedText(i);
        SCOPED_TRACE(TextNames[i]);
        size_t firstBreak = text.find("\r\n");
        ASSERT_NE(std::string::npos, firstBreak);
        EXPECT_EQ("\r\n\r\n*  ", text.substr(firstBreak, 7));  // intro, empty line, a feature
        size_t lastBreak = text.rfind("\r\n\r\n");
        ASSERT_NE(std::string::npos, lastBreak);
        EXPECT_NE(std::string::npos, text.find(" 6 M", lastBreak));  // the disk space line
        EXPECT_NE('\n', text.back());                                // the text ends with it
    }
    // The German cut at 1750 bytes drops exactly the line break, the empty line
    // and the closing line.
    std::string german = ShippedText(0);
    EXPECT_EQ(german.size() - 42, german.rfind("\r\n\r\n"));
}

TEST(DescriptionBlock, OffsetsCountEachTextAndTheZerosAfterIt) {
    struct Case {
        long sizes[DescriptionTextCount];
        long offsets[DescriptionOffsetRows];
    } cases[] = {
        {{1, 1, 1, 1, 1, 1}, {11, 9, 7, 5, 3, 1, 9}},
        {{10, 20, 30, 40, 50, 60}, {215, 204, 183, 152, 111, 60, 204}},
    };
    for (const Case& c : cases) {
        long offsets[DescriptionOffsetRows];
        ASSERT_EQ(1, ComputeDescriptionOffsets(c.sizes, offsets));
        for (int i = 0; i < DescriptionOffsetRows; ++i) EXPECT_EQ(c.offsets[i], offsets[i]) << i;
    }
    const long empty[DescriptionTextCount] = {5, 5, 0, 5, 5, 5};
    const long huge[DescriptionTextCount] = {1L << 29, 1L << 29, 1L << 29, 1, 1, 1};
    long offsets[DescriptionOffsetRows];
    EXPECT_EQ(0, ComputeDescriptionOffsets(empty, offsets));
    EXPECT_EQ(0, ComputeDescriptionOffsets(huge, offsets));
    // The largest block: 2^30 bytes of texts and zeros, and one more than that.
    const long largest[DescriptionTextCount] = {(1L << 30) - 9, 1, 1, 1, 1, 1};
    const long larger[DescriptionTextCount] = {(1L << 30) - 8, 1, 1, 1, 1, 1};
    ASSERT_EQ(1, ComputeDescriptionOffsets(largest, offsets));
    EXPECT_EQ((1L << 30) + 1, offsets[0]);
    EXPECT_EQ(0, ComputeDescriptionOffsets(larger, offsets));
}

TEST(DescriptionBlock, BuiltBlockPlacesEachTextAtItsDistance) {
    Block block;
    const char* words[DescriptionTextCount] = {"Deutsch", "English", "Fr", "Es", "Italiano", "Pt"};
    for (int i = 0; i < DescriptionTextCount; ++i) block.texts[i] = words[i];
    MakeBlock(&block);
    long offsets[DescriptionOffsetRows];
    ASSERT_EQ(1, ComputeDescriptionOffsets(block.sizes, offsets));

    // In front of a program of any size, each text starts at its distance from
    // the end and is followed by a zero byte, except the last.
    std::string file = std::string(100, 'P') + std::string(block.bytes.begin(), block.bytes.end());
    long size = (long)file.size();
    for (int i = 0; i < DescriptionTextCount; ++i) {
        const char* text = file.data() + size - offsets[i];
        EXPECT_EQ(block.texts[i], std::string(text, block.texts[i].size()));
        if (i < DescriptionTextCount - 1) {
            EXPECT_EQ(0, text[block.texts[i].size()]);
        }
    }
    EXPECT_EQ('t', file.back());
    long markerStart = DescriptionMarkerStart(size, offsets[0]);
    ASSERT_EQ(100, markerStart);
    EXPECT_EQ(1, IsDescriptionMarker(file.data() + markerStart, DescriptionMarkerSize));

    std::vector<char> small(block.bytes.size() - 1);
    EXPECT_EQ(-1,
              BuildDescriptionBlock(block.pointers, block.sizes, small.data(), (long)small.size()));
}

TEST(DescriptionBlock, AppendingTwiceKeepsOneBlock) {
    Block first, second;
    for (int i = 0; i < DescriptionTextCount; ++i) {
        first.texts[i] = "old text " + std::to_string(i);
        second.texts[i] = "new text " + std::to_string(i);
    }
    MakeBlock(&first);
    MakeBlock(&second);
    std::string program(300, '\0');
    program[0] = 'M';
    long blockSize = (long)first.bytes.size();

    EXPECT_EQ(300, ProgramSizeBeforeBlock(program.data(), 300, blockSize));
    EXPECT_EQ(10, ProgramSizeBeforeBlock(program.data(), 10, blockSize));  // shorter than a block
    std::string once = program + std::string(first.bytes.begin(), first.bytes.end());
    EXPECT_EQ(300, ProgramSizeBeforeBlock(ExactBytes(once).get(), (long)once.size(), blockSize));
    // A file that is the block alone holds a program of no bytes.
    std::string alone(first.bytes.begin(), first.bytes.end());
    EXPECT_EQ(0, ProgramSizeBeforeBlock(ExactBytes(alone).get(), blockSize, blockSize));
    // Sizes no block can have are never looked for, least of all beyond the file.
    for (long size : {0L, 15L, -1L, (long)once.size() + 1})
        EXPECT_EQ((long)once.size(),
                  ProgramSizeBeforeBlock(ExactBytes(once).get(), (long)once.size(), size));
    // A block of the same size but other texts is replaced as well.
    std::string redone =
        once.substr(0, 300) + std::string(second.bytes.begin(), second.bytes.end());
    EXPECT_EQ(300, ProgramSizeBeforeBlock(redone.data(), (long)redone.size(), blockSize));
}

// Found by its shape alone, as the seal step must find it in any program;
// behind a program of any size it is the description fuzz target's.
TEST(DescriptionBlock, FoundWithoutItsDistances) {
    Block block;
    for (int i = 0; i < DescriptionTextCount; ++i) block.texts[i] = "text " + std::to_string(i);
    MakeBlock(&block);
    const std::string bytes(block.bytes.begin(), block.bytes.end());
    std::string emptyText = bytes, twoZeros = bytes, noMarker = bytes;
    emptyText.erase(emptyText.size() - block.texts[5].size());
    twoZeros.insert(DescriptionMarkerSize + block.texts[0].size(), 1, '\0');
    noMarker[3] ^= 1;
    struct Case {
        const char* name;
        std::string file;
        long start;
    } cases[] = {
        {"alone", bytes, 0},
        {"an empty text", "P" + emptyText, -1},
        {"seven texts", twoZeros, -1},
        {"marker changed", noMarker, -1},
        {"marker cut", bytes.substr(1), -1},
        {"nothing", "", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.start, FindDescriptionBlock(ExactBytes(c.file).get(), (long)c.file.size()))
            << c.name;
}

TEST(DescriptionBlock, TextChecksRejectBadBytes) {
    struct Case {
        std::string text;
        int problem;
        long offset;
        long line;
    } cases[] = {
        {"Intro\r\n\r\n*  Feature\r\n\r\nNeeds 6 MB.", TextFine, 0, 0},
        {"M\xFC"
         "ller \x80 \xE9t\xE9 \xFF",
         TextFine, 0, 0},
        {"", TextEmpty, 0, 1},
        {"x", TextFine, 0, 0},
        {"\r\nends with a line break\r\n", TextFine, 0, 0},
        {std::string("ab\0cd", 5), TextZeroByte, 2, 1},
        {"a\r\nb\tc", TextTab, 4, 2},
        {"a\r\nb\r\nc\x1B", TextControlCharacter, 7, 3},
        {"del\x7F", TextControlCharacter, 3, 1},
        {"a\rb", TextBareCarriageReturn, 1, 1},
        {"ends with CR\r", TextBareCarriageReturn, 12, 1},
        {"a\r\nb\nc", TextBareLineFeed, 4, 2},
        {"\nstarts with LF", TextBareLineFeed, 0, 1},
        {"x\x81", TextUndefinedByte, 1, 1},
        {"x\x8D", TextUndefinedByte, 1, 1},
        {"x\x8F", TextUndefinedByte, 1, 1},
        {"x\x90", TextUndefinedByte, 1, 1},
        {"x\x9D", TextUndefinedByte, 1, 1},
    };
    for (const Case& c : cases) {
        TextCheck check = CheckDescriptionText(ExactBytes(c.text).get(), (long)c.text.size());
        EXPECT_EQ(c.problem, check.problem) << c.text;
        EXPECT_EQ(c.offset, check.offset) << c.text;
        EXPECT_EQ(c.line, check.line) << c.text;
        EXPECT_STRNE("unknown problem", DescribeTextProblem(check.problem));
    }
}

namespace {

// The start of a PE file: DOS header, signature, file header, an optional
// header of either kind with its data directories, three section headers.
struct PeHeader {
    unsigned magic;             // 0x10B PE32, 0x20B PE32+
    unsigned long directories;  // NumberOfRvaAndSizes
    unsigned long tableStart, tableSize;
    unsigned optionalShortBy;  // bytes cut from SizeOfOptionalHeader
    unsigned long sizeOfHeaders;
};

const long PeAt = 0x80;

void Put(std::string* bytes, size_t at, unsigned long value, int width) {
    for (int i = 0; i < width; ++i) (*bytes)[at + i] = (char)(value >> (8 * i) & 0xFF);
}

std::string MakeHeader(const PeHeader& pe) {
    std::string h(1024, '\0');
    h[0] = 'M';
    h[1] = 'Z';
    Put(&h, 0x3C, PeAt, 4);
    h.replace(PeAt, 4, "PE\0\0", 4);
    bool plus = pe.magic == 0x20B;
    unsigned directoriesAt = plus ? 112 : 96;
    Put(&h, PeAt + 4, plus ? 0x8664 : 0x14C, 2);  // machine, right behind the signature
    Put(&h, PeAt + 6, 3, 2);                      // sections
    Put(&h, PeAt + 20, directoriesAt + 16 * 8 - pe.optionalShortBy, 2);
    size_t optional = PeAt + 24;
    Put(&h, optional, pe.magic, 2);
    Put(&h, optional + 60, pe.sizeOfHeaders, 4);
    Put(&h, optional + directoriesAt - 4, pe.directories, 4);
    Put(&h, optional + directoriesAt + 4 * 8, pe.tableStart, 4);
    Put(&h, optional + directoriesAt + 4 * 8 + 4, pe.tableSize, 4);
    return h;
}

long ContentEndOf(const std::string& header, long fileSize) {
    // An exact copy, so that the sanitizer sees any read beyond it.
    std::vector<unsigned char> bytes(header.begin(), header.end());
    return ContentEnd(bytes.data(), (long)bytes.size(), fileSize);
}

}  // namespace

// A file of 5000 bytes whose headers end at 1024 (SizeOfHeaders; the section
// table ends at 496 or 512).
TEST(DescriptionBlock, ContentEndsWhereAWellFormedCertificateTableBegins) {
    struct Case {
        const char* name;
        PeHeader pe;
        long end;
    } cases[] = {
        {"unsigned", {0x10B, 16, 0, 0, 0, 1024}, 5000},
        {"signed PE32", {0x10B, 16, 4000, 1000, 0, 1024}, 4000},
        {"signed PE32+", {0x20B, 16, 4000, 1000, 0, 1024}, 4000},
        {"table right behind the headers", {0x10B, 16, 1024, 3976, 0, 1024}, 1024},
        {"smallest table", {0x20B, 16, 4992, 8, 0, 1024}, 4992},
        {"table past the end", {0x10B, 16, 4000, 1008, 0, 1024}, 5000},
        {"table short of the end", {0x10B, 16, 4000, 992, 0, 1024}, 5000},
        {"table beyond the file", {0x10B, 16, 6000, 1000, 0, 1024}, 5000},
        {"table over the headers", {0x10B, 16, 1000, 4000, 0, 1024}, 5000},
        {"table over the section headers", {0x10B, 16, 400, 4600, 0, 0}, 5000},
        {"table too small for an entry", {0x10B, 16, 4996, 4, 0, 1024}, 5000},
        {"sum wraps to the file size", {0x10B, 16, 0xFFFFFF00, 5256, 0, 1024}, 5000},
        {"size wraps", {0x20B, 16, 4000, 0xFFFFFFFF, 0, 1024}, 5000},
        {"size larger than the file", {0x10B, 16, 0, 0xFFFFF000, 0, 1024}, 5000},
        {"four directories", {0x10B, 4, 4000, 1000, 0, 1024}, 5000},
        {"five directories", {0x10B, 5, 4000, 1000, 0, 1024}, 4000},
        {"optional header ends inside the entry", {0x20B, 16, 4000, 1000, 11 * 8 + 1, 1024}, 5000},
        {"optional header ends with the entry", {0x20B, 16, 4000, 1000, 11 * 8, 1024}, 4000},
        {"ROM image", {0x107, 16, 4000, 1000, 0, 1024}, 5000},
    };
    for (const Case& c : cases) EXPECT_EQ(c.end, ContentEndOf(MakeHeader(c.pe), 5000)) << c.name;

    std::string signed32 = MakeHeader({0x10B, 16, 4000, 1000, 0, 1024});
    std::string notDos = signed32, notPe = signed32, farPe = signed32;
    notDos[1] = 'Y';
    notPe[PeAt + 2] = 'X';
    Put(&farPe, 0x3C, 0xFFFFFFF0, 4);
    EXPECT_EQ(5000, ContentEndOf(notDos, 5000));
    EXPECT_EQ(5000, ContentEndOf(notPe, 5000));
    notPe = signed32;
    notPe[PeAt + 3] = 'X';
    EXPECT_EQ(5000, ContentEndOf(notPe, 5000));
    // Fields read in full: a table beyond 64 KiB.
    EXPECT_EQ(0x1F000, ContentEndOf(MakeHeader({0x10B, 16, 0x1F000, 0x1000, 0, 1024}), 0x20000));
    // An unknown magic with a table where a wrong reader might look for one.
    for (size_t at : {36, 37}) {
        std::string rom = MakeHeader({0x107, 16, 0, 0, 0, 1024});
        rom[PeAt + 24 + 2] = 14;  // a linker version
        Put(&rom, PeAt + 24 + at, 4000, 4);
        Put(&rom, PeAt + 24 + at + 4, 1000, 4);
        EXPECT_EQ(5000, ContentEndOf(rom, 5000)) << at;
    }
    EXPECT_EQ(5000, ContentEndOf(farPe, 5000));
    EXPECT_EQ(-1, ContentEnd(nullptr, -1, -1));
    EXPECT_EQ(5000, ContentEnd((const unsigned char*)signed32.data(), -1, 5000));
    // Header bytes cut anywhere before the end of the entry count as unsigned.
    const size_t entryEnd = PeAt + 24 + 96 + 5 * 8;
    for (size_t cut = 0; cut < entryEnd; ++cut)
        ASSERT_EQ(5000, ContentEndOf(signed32.substr(0, cut), 5000)) << cut;
    EXPECT_EQ(4000, ContentEndOf(signed32.substr(0, entryEnd), 5000));
}

TEST(DescriptionBlock, PaddingMakesTheBlockEndAligned) {
    for (long program : {0L, 1L, 512L, 1023L})
        for (long block : {1L, 8071L, 8072L}) {
            long padding = PaddingBeforeBlock(program, block);
            EXPECT_TRUE(padding >= 0 && padding < PeCertificateAlignment)
                << program << " " << block;
            EXPECT_EQ(0, (program + padding + block) % PeCertificateAlignment) << program;
        }
}

TEST(DescriptionBlock, MarkerIsAllSixteenBytesWhereTheFileHasRoom) {
    std::string marker(DescriptionMarker, DescriptionMarkerSize);
    EXPECT_EQ(1, IsDescriptionMarker(ExactBytes(marker).get(), DescriptionMarkerSize));
    for (int i : {0, 7, DescriptionMarkerSize - 1}) {
        std::string changed = marker;
        changed[i] ^= 1;
        EXPECT_EQ(0, IsDescriptionMarker(ExactBytes(changed).get(), DescriptionMarkerSize)) << i;
    }
    EXPECT_EQ(0, IsDescriptionMarker(ExactBytes(marker).get(), DescriptionMarkerSize - 1));
    EXPECT_EQ(0, IsDescriptionMarker(ExactBytes(marker + "x").get(), DescriptionMarkerSize + 1));
    EXPECT_EQ(1, ProgramSizeBeforeBlock(ExactBytes("P" + marker).get(), 17, DescriptionMarkerSize));
    struct Case {
        long fileSize, germanDistance, start;
    } cases[] = {{116, 100, 0}, {115, 100, -1}, {200, 100, 84}, {0, 0, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(c.start, DescriptionMarkerStart(c.fileSize, c.germanDistance)) << c.fileSize;
}
