// descblock: checks the description texts, writes the table of their distances
// from the end of setup.exe, and appends them to a linked setup.exe (behind
// its seal, when it has one: the seal step may come before or after).
//
//   descblock check   <german> <english> <french> <spanish> <italian> <portuguese>
//   descblock offsets <header to write> <the six texts>
//   descblock append  <setup.exe> <the six texts>
//
// Any text that breaks a rule stops the build with the file, line and byte.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "banner/description_block.h"
#include "install/seal.h"
#include "tools/tool_files.h"

const char* ToolName = "descblock";

namespace {

struct Texts {
    std::string content[DescriptionTextCount];
    long sizes[DescriptionTextCount];
    const char* pointers[DescriptionTextCount];
};

int CheckText(const char* path, const std::string& text) {
    if (text.size() > (size_t)(1L << 30)) return Fail("far too large for a description", path);
    TextCheck check = CheckDescriptionText(text.data(), (long)text.size());
    if (check.problem == TextFine) return 1;
    fprintf(stderr,
            "descblock: %s: line %ld, byte %ld: %s (description texts are code page 1252 "
            "text with CR LF line ends, no tabs, no other control characters)\n",
            path, check.line, check.offset, DescribeTextProblem(check.problem));
    return 0;
}

// Reads and checks all six, reporting every text that breaks a rule.
int ReadTexts(char** paths, Texts* texts) {
    int fine = 1;
    for (int i = 0; i < DescriptionTextCount; ++i) {
        if (!ReadWholeFile(paths[i], &texts->content[i]) || !CheckText(paths[i], texts->content[i]))
            fine = 0;
        texts->sizes[i] = (long)texts->content[i].size();
        texts->pointers[i] = texts->content[i].data();
    }
    return fine;
}

std::string OffsetsHeader(const long offsets[DescriptionOffsetRows]) {
    std::string header =
        "// Made by descblock from the description texts; do not edit.\n"
        "// Distances from the end of setup.exe to each language's text.\n"
        "#pragma once\n\n"
        "static const long DescriptionOffsets[7] = {";
    for (int i = 0; i < DescriptionOffsetRows; ++i) {
        char number[24];
        snprintf(number, sizeof number, "%s%ld", i ? ", " : "", offsets[i]);
        header += number;
    }
    return header + "};\n";
}

// Leaves an unchanged header alone so nothing recompiles for nothing.
int WriteOffsets(const char* path, const Texts& texts) {
    long offsets[DescriptionOffsetRows];
    if (!ComputeDescriptionOffsets(texts.sizes, offsets)) return Fail("texts too large", path);
    std::string header = OffsetsHeader(offsets), old;
    FILE* existing = fopen(path, "rb");
    if (existing) {
        fclose(existing);
        if (ReadWholeFile(path, &old) && old == header) return 1;
    }
    return WriteWholeFile(path, header);
}

// A block already at the end (a second run on the same file) is replaced, not
// appended again; a seal in front of it stays, the zero bytes behind the seal
// go. Zero bytes in front of the block make the file end on the certificate
// table's alignment, so that signing puts the table right behind.
int AppendBlock(const char* path, const Texts& texts) {
    std::string program;
    if (!ReadWholeFile(path, &program)) return 0;
    if (program.size() > (size_t)(1L << 30)) return Fail("far too large for a program", path);
    if (IsSigned(program))
        return Fail(
            "already signed: the description block goes onto a freshly built "
            "setup.exe, before signing",
            path);
    std::vector<char> block((size_t)DescriptionBlockSize(texts.sizes));
    long made =
        BuildDescriptionBlock(texts.pointers, texts.sizes, block.data(), (long)block.size());
    if (made < 0) return Fail("cannot build the description block", path);
    AppendedBlocks blocks;
    FindAppendedBlocks((const unsigned char*)program.data(), (long)program.size(), &blocks);
    long keep = blocks.sealEnd > blocks.sealStart ? blocks.sealEnd : blocks.descriptionStart;
    program.resize((size_t)keep);
    program.append((size_t)PaddingBeforeBlock(keep, made), '\0');
    program.append(block.data(), (size_t)made);
    return WriteWholeFile(path, program);
}

int Usage(void) {
    fprintf(stderr,
            "usage: descblock check <six texts>\n"
            "       descblock offsets <header> <six texts>\n"
            "       descblock append <setup.exe> <six texts>\n"
            "The texts in block order: German, English, French, Spanish, Italian, "
            "Portuguese.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* command = argv[1];
    int checkOnly = strcmp(command, "check") == 0;
    int textsAt = checkOnly ? 2 : 3;
    if (argc != textsAt + DescriptionTextCount) return Usage();
    if (!checkOnly && strcmp(command, "offsets") != 0 && strcmp(command, "append") != 0)
        return Usage();

    Texts texts;
    if (!ReadTexts(argv + textsAt, &texts)) return 1;
    if (checkOnly) return 0;
    if (strcmp(command, "offsets") == 0) return WriteOffsets(argv[2], texts) ? 0 : 1;
    return AppendBlock(argv[2], texts) ? 0 : 1;
}
