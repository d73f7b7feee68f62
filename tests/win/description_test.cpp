// LoadDescription on files that carry the block the build appends, on files
// that do not, and on the disks' setup.exe; the seal read from the same files.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>

#include "banner/description_block.h"
#include "install/seal.h"
#include "robot.h"
#include "tables/tables.h"
#include "window/window.h"

using namespace robot;

namespace {

const char* const TextNames[6] = {"german",  "english", "french",
                                  "spanish", "italian", "portuguese"};
const size_t BlockWithMarker = 8055 + 16;

std::string ShippedText(int text) {
    std::string source = __FILE__;
    std::string path = source.substr(0, source.rfind("tests/win/")) + "banner/descriptions/" +
                       TextNames[text] + ".txt";
    std::string content;
    EXPECT_TRUE(ReadWholeFile(WindowsPath(path), &content)) << path;
    return content;
}

std::string BuiltSetup(int edition) {
    const char* build = getenv("SETUP_BUILD_DIR");
    return WindowsPath(build ? build : ".") + (edition ? "\\edition1" : "\\edition0") +
           "\\setup.exe";
}

std::string OwnProgram() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

std::string Shown() { return DescriptionText ? std::string(DescriptionText) : "(no buffer)"; }

class Description : public ::testing::Test {
protected:
    void SetUp() override { folder_ = ScratchFolder("description"); }
    void TearDown() override { SetLanguage(English); }

    // A file of the given content in the scratch folder.
    std::string FileWith(const char* name, const std::string& content) {
        std::string path = folder_ + "\\" + name;
        EXPECT_TRUE(WriteWholeFile(path, content));
        return path;
    }
    std::string ShownFor(const std::string& path, int language) {
        SetLanguage(language);
        LoadDescriptionFromFile(path.c_str());
        return Shown();
    }
    std::string folder_;
};

// Each language shows its own text and nothing of its neighbours; German is
// cut after 1750 bytes; Portuguese runs to the end of the file.
void ExpectEveryLanguage(const std::string& path) {
    struct Case {
        int language, text;
        size_t length;
    } cases[] = {
        {German, German, 1750},   {English, English, 1527},  {French, French, 1540},
        {Spanish, Spanish, 1094}, {Italian, Italian, 1046},  {Portuguese, Portuguese, 1051},
        {Chinese, English, 1527}, {Japanese, English, 1527},
    };
    for (const auto& c : cases) {
        SetLanguage(c.language);
        LoadDescriptionFromFile(path.c_str());
        ASSERT_TRUE(DescriptionText != NULL);
        std::string expected = ShippedText(c.text).substr(0, c.length);
        EXPECT_EQ(expected, std::string(DescriptionText)) << "language " << c.language;
    }
}

// The program with a certificate table of tableSize bytes (not a real
// signature: the reader only needs to know where it begins) appended and,
// when describe is set, named by the security directory.
std::string WithCertificateTable(std::string program, unsigned long tableSize, bool describe) {
    size_t pe = *(const unsigned*)&program[0x3C];
    size_t optional = pe + 24;
    bool plus = *(const unsigned short*)&program[optional] == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    size_t entry = optional + (plus ? 112 : 96) + IMAGE_DIRECTORY_ENTRY_SECURITY * 8;
    unsigned long at = (unsigned long)program.size();
    if (describe) {
        memcpy(&program[entry], &at, 4);
        memcpy(&program[entry + 4], &tableSize, 4);
    }
    // Bytes the Portuguese text must not run into.
    program.append(tableSize, 'S');
    return program;
}

}  // namespace

TEST_F(Description, SignedProgramReadsUpToItsCertificateTable) {
    std::string setup;
    ASSERT_TRUE(ReadWholeFile(BuiltSetup(0), &setup));
    // The build leaves the block ending where a signing tool puts the table.
    ASSERT_EQ(0u, setup.size() % 8);
    ExpectEveryLanguage(FileWith("signed.exe", WithCertificateTable(setup, 1504, true)));
}

TEST_F(Description, EachLanguageReadsItsTextFromTheBuiltProgram) {
    std::string copy = FileWith("setup.exe", "");
    ASSERT_TRUE(CopyFileA(BuiltSetup(0).c_str(), copy.c_str(), FALSE));
    ExpectEveryLanguage(copy);
}

TEST_F(Description, DistancesDoNotDependOnTheProgramInFront) {
    std::string setup, own;
    ASSERT_TRUE(ReadWholeFile(BuiltSetup(1), &setup));
    ASSERT_TRUE(ReadWholeFile(OwnProgram(), &own));
    ASSERT_GT(setup.size(), BlockWithMarker);
    std::string block = setup.substr(setup.size() - BlockWithMarker);
    ExpectEveryLanguage(FileWith("other.exe", own + block));
    ExpectEveryLanguage(FileWith("block-only.bin", block));
}

TEST_F(Description, ItalianStopsAtItsZeroByteThoughTheReadGoesOn) {
    std::string copy = FileWith("setup.exe", "");
    ASSERT_TRUE(CopyFileA(BuiltSetup(0).c_str(), copy.c_str(), FALSE));
    ShownFor(copy, Italian);
    // 1046 bytes of Italian, its zero byte, then the first 703 of Portuguese.
    std::string portuguese = ShippedText(Portuguese);
    EXPECT_EQ(0, DescriptionText[1046]);
    EXPECT_EQ(0, memcmp(DescriptionText + 1047, portuguese.data(), 703));
    EXPECT_EQ(0, DescriptionText[1750]);
    EXPECT_EQ(1046u, strlen(DescriptionText));
}

TEST_F(Description, FilesWithoutTheBlockGiveAnEmptyDescription) {
    std::string own;
    ASSERT_TRUE(ReadWholeFile(OwnProgram(), &own));
    std::string setup;
    ASSERT_TRUE(ReadWholeFile(BuiltSetup(0), &setup));
    std::string damagedMarker = setup;
    damagedMarker[setup.size() - BlockWithMarker] ^= 1;
    struct Case {
        const char* name;
        std::string path;
    } cases[] = {
        {"a program without the block", FileWith("plain.exe", own)},
        {"shorter than the Portuguese distance", FileWith("short.bin", std::string(500, 'M'))},
        {"shorter than the German distance", FileWith("mid.bin", std::string(3000, 'M'))},
        {"the block without its marker",
         FileWith("cut.bin", setup.substr(setup.size() - BlockWithMarker + 16))},
        {"a damaged marker", FileWith("damaged.exe", damagedMarker)},
        {"a table the header does not name",
         FileWith("unnamed.exe", WithCertificateTable(setup, 1504, false))},
        {"an empty file", FileWith("empty.bin", "")},
        {"a missing file", folder_ + "\\missing.exe"},
    };
    for (const Case& c : cases) {
        for (int language : {German, Portuguese}) {
            EXPECT_EQ("", ShownFor(c.path, language)) << c.name << ", language " << language;
            // The whole buffer is zero: nothing read is kept.
            for (int i = 0; i <= 1750; ++i) ASSERT_EQ(0, DescriptionText[i]) << c.name << " " << i;
        }
    }
}

TEST_F(Description, LanguageSwitchReloadsFromTheModulePath) {
    // This test program carries no block; setup.exe does (tested above).
    LoadDescription();
    ASSERT_TRUE(DescriptionText != NULL);
    DescriptionText[0] = 'Z';  // a fresh load gives a fresh buffer
    SwitchLanguage(German);
    EXPECT_EQ(German, LanguageIndex);
    EXPECT_EQ("", Shown());
}

TEST_F(Description, ManyLoadsLeaveOneBuffer) {
    std::string copy = FileWith("setup.exe", "");
    ASSERT_TRUE(CopyFileA(BuiltSetup(0).c_str(), copy.c_str(), FALSE));
    std::set<char*> seen;
    for (int i = 0; i < 200; ++i) {
        SetLanguage(i % 8);
        LoadDescriptionFromFile(i % 3 ? copy.c_str() : NULL);
        ASSERT_TRUE(DescriptionText != NULL);
        seen.insert(DescriptionText);
    }
    for (char* buffer : seen) {
        MEMORY_BASIC_INFORMATION info;
        ASSERT_NE(0u, VirtualQuery(buffer, &info, sizeof info));
        if (buffer == DescriptionText) {
            EXPECT_EQ((DWORD)MEM_COMMIT, info.State);
            EXPECT_GE(info.RegionSize, (SIZE_T)1751);
        } else {
            EXPECT_EQ((DWORD)MEM_FREE, info.State) << "an old buffer is still held";
        }
    }
}

TEST_F(Description, DisksCarryTheBlock) {
    for (int edition : {0, 1}) {
        std::string path = DiskFolder(edition) + "\\setup.exe";
        ASSERT_TRUE(FileExists(path)) << path;
        EXPECT_EQ(ShippedText(English), ShownFor(path, English)) << path;
        EXPECT_EQ(ShippedText(Portuguese), ShownFor(path, Portuguese)) << path;
    }
}

static std::string Utf8(const wchar_t* name) {
    char out[MAX_PATH];
    return WideCharToMultiByte(CP_UTF8, 0, name, -1, out, sizeof out, NULL, NULL) ? out : "";
}

// Wherever the seal step and a signature put it, the seal is read and the
// description still shows; a broken seal lists nothing; no seal, no sealing.
// Names are found as the survey keeps them: ANSI where the code page holds
// them, else UTF-8, as the seal does.
TEST_F(Description, SealIsReadBeforeTheDescriptionAndTheSignature) {
    std::string setup;
    ASSERT_TRUE(ReadWholeFile(BuiltSetup(0), &setup));
    const std::string names[2] = {Utf8(L"\u00DCbersicht.txt"), Utf8(L"viewer\\\u65E5.txt")};
    const unsigned char digest[Sha256Size] = {0xA5};
    SealRow rows[2] = {{names[0].data(), (int)names[0].size(), 1000, digest},
                       {names[1].data(), (int)names[1].size(), 2000, digest}};
    std::string seal((size_t)SealLength(rows, 2), '\0');
    BuildSeal(rows, 2, (unsigned char*)&seal[0], (long)seal.size());
    // program | seal | zero bytes | description block, as the tools leave it.
    auto Sealed = [&](const std::string& seal) {
        std::string sealed = setup.substr(0, setup.size() - BlockWithMarker) + seal;
        sealed.append((8 - (sealed.size() + BlockWithMarker) % 8) % 8, '\0');
        return sealed + setup.substr(setup.size() - BlockWithMarker);
    };
    struct Case {
        const char* name;
        std::string file;
        int isSealed, lists, describes;
    } cases[] = {
        {"built", setup, 0, 0, 1},
        {"sealed and signed", WithCertificateTable(Sealed(seal), 1504, true), 1, 1, 1},
        {"seal and the zero bytes of a signature", setup + seal + std::string(7, '\0'), 1, 1, 0},
        {"a broken seal", Sealed("x" + seal.substr(1)), 1, 0, 1},
        {"a certificate table not named", WithCertificateTable(Sealed(seal), 1504, false), 0, 0, 0},
    };
    char ansi[MAX_PATH];
    BOOL lossy = FALSE;  // the survey's name where the code page holds it
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, L"\u00DCbersicht.txt", -1, ansi, sizeof ansi,
                        NULL, &lossy);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = FileWith("sealed.exe", c.file);
        ReadSealFrom(path.c_str());
        EXPECT_EQ(c.isSealed, ProgramIsSealed());
        unsigned char found[Sha256Size] = {};
        uint64_t size = 0;
        EXPECT_EQ(c.lists, FindSealedFile(names[1].c_str(), 1, &size, found));
        EXPECT_EQ(c.lists ? 2000u : 0u, size);
        EXPECT_EQ(c.lists, memcmp(digest, found, Sha256Size) == 0);
        EXPECT_EQ(c.lists && !lossy, FindSealedFile(ansi, 0, &size, found));
        EXPECT_EQ(0, FindSealedFile(ansi, 1, &size, found));  // not UTF-8
        if (c.describes) ExpectEveryLanguage(path);
    }
    ReadSealFrom(NULL);
    EXPECT_EQ(0, ProgramIsSealed());
}
