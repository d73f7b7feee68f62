// Install decisions: paths, folder levels, answers, manifest and registry data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exact_buffer.h"
#include "install/install_rules.h"
#include "install/install_tables.h"

namespace {

std::string Levels(const char* path) {
    std::string out;
    for (int n = 2; n < 40; ++n) {
        int last = 0;
        int length = FolderLevelLength(ExactText(path).get(), n, &last);
        out += std::string(path, length) + "|";
        if (last) return out;
    }
    return out + "no last level";
}

TEST(FolderLevels, CutBeforeEachBackslashAfterTheFirstCharacter) {
    struct Case {
        const char* path;
        const char* levels;
    } cases[] = {
        {"C:\\", "C:\\|"},
        {"C:\\A\\B\\", "C:\\A|C:\\A\\B|C:\\A\\B\\|"},
        {"D:\\A\\B\\C\\", "D:\\A|D:\\A\\B|D:\\A\\B\\C|D:\\A\\B\\C\\|"},
        {"C:\\A", "C:\\A|"},
        {"", "|"},  // the search must not start behind the terminator
        {"C", "C|"},
        {"\\\\server\\share\\", "\\\\server|\\\\server\\share|\\\\server\\share\\|"},
        {"\\A\\B\\", "\\A\\B|\\A\\B\\|"},  // rooted without a drive
    };
    for (const Case& c : cases) EXPECT_EQ(c.levels, Levels(c.path)) << c.path;
}

TEST(FindCharacterForward, FindsFromTheStartUpToTheTerminator) {
    const char* text = "C:\\A\\";
    EXPECT_EQ(text + 2, FindCharacterForward(text + 1, '\\'));
    EXPECT_EQ(text + 4, FindCharacterForward(text + 3, '\\'));
    EXPECT_EQ(nullptr, FindCharacterForward(text, 'x'));
    EXPECT_EQ(text + 5, FindCharacterForward(text, '\0'));
}

TEST(PumpInterval, ElapsesAcrossTheTickCounterWrap) {
    struct Case {
        uint32_t start, now, interval;
        int elapsed;
    } cases[] = {
        {1000, 1000, 0, 1},      {1000, 1009, 10, 0},          {1000, 1010, 10, 1},
        {0xFFFFFFF8u, 1, 10, 0}, {0xFFFFFFF8u, 2, 10, 1},      {0xFFFFFFFFu, 0xFFFFFFFFu, 10, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.elapsed, IntervalElapsed(c.start, c.now, c.interval)) << c.start << " " << c.now;
}

TEST(SystemText, DropsTheTrailingLineBreakOnly) {
    struct Case {
        const char* text;
        int length;
    } cases[] = {{"Gone.\r\n", 5}, {"A\r\nB.  ", 7}, {"\r\n", 0}, {"", 0}, {"\x1F", 0},
                 {" ", 1}, {"\xE9\n", 1}};
    for (const Case& c : cases)
        EXPECT_EQ(c.length, LengthWithoutTrailingControls(ExactBytes(c.text).get(),
                                                          (int)strlen(c.text))) << c.text;
}

TEST(DestinationPath, AppendsOneBackslashAndRefusesTooLongTexts) {
    struct Case {
        std::string text;
        int ok;
        std::string path;
    } cases[] = {
        {"D:\\Apps", 1, "D:\\Apps\\"},
        {"D:\\Apps\\", 1, "D:\\Apps\\"},
        {"C:", 1, "C:\\"},
        {"\\", 1, "\\"},
        {"", 1, "\\"},
        {std::string(253, 'a'), 1, std::string(253, 'a') + "\\"},
        {std::string(254, 'a'), 0, ""},
        {std::string(253, 'a') + "\\", 1, std::string(253, 'a') + "\\"},
    };
    for (const Case& c : cases) {
        char path[PathBufferSize] = "";
        EXPECT_EQ(c.ok, MakeDestinationPath(ExactText(c.text).get(), path, sizeof path)) << c.text;
        EXPECT_EQ(c.path, path) << c.text;
    }
}

TEST(DestinationPath, AcceptsThreeCharactersAndRoomForEveryName) {
    // "kminspector.exe" (15 characters) is the longest name either edition installs.
    std::string fits = "D:\\" + std::string(235, 'x') + "\\";  // 239 + 15 = 254
    std::string tooLong = "D:\\" + std::string(236, 'x') + "\\";
    struct Case {
        std::string path;
        int edition;
        int ok;
    } cases[] = {
        {"\\", 0, 0},          {"C\\", 0, 0},      {"C:\\", 0, 1},        {"D:\\Apps\\", 1, 1},
        {"\\\\server\\share\\", 0, 0},             {"\\\\s\\", 0, 0},
        {"\\A\\", 0, 1},  // rooted without a drive: not a network path
        {"D\\\\A\\", 0, 1},  // two backslashes, but not in front
        {fits, 1, 1},          {tooLong, 1, 0},    {tooLong, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ok, DestinationPathAcceptable(ExactText(c.path).get(), c.edition)) << c.path;
}

TEST(Answers, DecideWhatFollows) {
    enum { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
    EXPECT_EQ(StopInstalling, ActionAfterCopyAnswer(Abort));
    EXPECT_EQ(RetryCopy, ActionAfterCopyAnswer(Retry));
    EXPECT_EQ(GoOn, ActionAfterCopyAnswer(Ignore));
    EXPECT_EQ(GoOn, ActionAfterCopyAnswer(0));  // a box ended without an answer
    for (int answer : {0, (int)Ok, (int)Cancel, (int)No}) EXPECT_FALSE(AnswerGoesOn(answer)) << answer;
    EXPECT_TRUE(AnswerGoesOn(Yes));
    EXPECT_TRUE(CaptionNamesSource(2));   // file not found: the source is at fault
    EXPECT_FALSE(CaptionNamesSource(3));  // path not found: the destination
    EXPECT_FALSE(CaptionNamesSource(5));
}

TEST(FileManifest, EightMandatoryRowsOfTheSpecifiedKinds) {
    const char* kinds = "edddlldllldddddlelld";  // rows 0..19: exe, dat, dll
    for (int edition = 0; edition < 2; ++edition) {
        for (int row = 0; row < FileManifestRows; ++row) {
            std::string name = ManifestFileName(row, edition);
            EXPECT_EQ(row < 8, ManifestRowIsMandatory(row) != 0) << row;
            if (row < 20) {
                std::string ext = kinds[row] == 'e' ? ".exe" : kinds[row] == 'd' ? ".dat" : ".dll";
                EXPECT_EQ(ext, name.substr(name.size() - 4)) << name;
            }
        }
        EXPECT_EQ(nullptr, ManifestFileName(FileManifestRows, edition));
    }
    EXPECT_STREQ("Vestra.exe", ManifestFileName(0, 0));
    EXPECT_STREQ("kminspector.exe", ManifestFileName(0, 1));
    const char* help[] = {"Vestra.hlp", "Vestra.cnt", "Vestra-d.hlp", "Vestra-d.cnt"};
    for (int i = 0; i < 4; ++i) EXPECT_STREQ(help[i], ManifestFileName(20 + i, 1));
    EXPECT_FALSE(ManifestRowIsMandatory(-1));
}

TEST(LanguageMarker, NoneForEnglishOneForEveryOtherLanguage) {
    EXPECT_STREQ("Vestra.ger", MarkerName(0));
    EXPECT_EQ(nullptr, MarkerName(1));
    EXPECT_STREQ("Vestra.fr", MarkerName(2));
    EXPECT_STREQ("Vestra.esp", MarkerName(3));
    EXPECT_STREQ("Vestra.cn", MarkerName(6));
    EXPECT_STREQ("Vestra.jap", MarkerName(7));
    EXPECT_EQ(nullptr, MarkerName(8));
}

TEST(Messages, ChineseAndUnknownLanguagesReadEnglish) {
    const char* const* tables[] = {InstallQuestions, InvalidFolderMessages, ShortcutQuestions,
                                   ShortcutFailureMessages, RunQuestions, RunFailureMessages};
    for (const char* const* table : tables) {
        EXPECT_STREQ(table[1], InstallMessage(table, 6));
        EXPECT_STREQ(table[1], InstallMessage(table, 7));
        EXPECT_STRNE(table[1], InstallMessage(table, 0));
    }
    EXPECT_STREQ("In den Ordner \xBB%s\xAB installieren?", InstallQuestions[0]);
    EXPECT_STREQ("N\xE3o pude criar um atalho para o programa.", ShortcutFailureMessages[5]);
}

TEST(RegistryData, UninstallKeyAndQuotedCommands) {
    char out[PathBufferSize];
    ASSERT_TRUE(UninstallKeyName(0, out, sizeof out));
    EXPECT_STREQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vestra", out);
    ASSERT_TRUE(UninstallKeyName(1, out, sizeof out));
    EXPECT_STREQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kellum Inspector", out);

    ASSERT_TRUE(UninstallCommand("D:\\Tools\\", "kminspector.exe", out, sizeof out));
    EXPECT_STREQ("\"D:\\Tools\\kminspector.exe\" uninst", out);
    ASSERT_TRUE(ProgramCommandLine("C:\\Program Files\\Vestra\\", "Vestra.exe", out, sizeof out));
    EXPECT_STREQ("\"C:\\Program Files\\Vestra\\Vestra.exe\"", out);

    // Boundary: quotes and " uninst" take 9 characters.
    std::string path(245 - 10, 'p');
    EXPECT_TRUE(UninstallCommand(path.c_str(), "Vestra.exe", out, 255));
    EXPECT_EQ(254u, std::string(out).size());
    EXPECT_FALSE(UninstallCommand((path + "p").c_str(), "Vestra.exe", out, 255));

    struct Case {
        const char* path;
        const char* value;
    } values[] = {{"D:\\Apps\\", "D:\\Apps"}, {"C:\\", "C:"}, {"D:\\Apps", "D:\\Apps"}, {"\\", ""}};
    for (const Case& c : values) {
        ASSERT_TRUE(PerUserPathValue(c.path, out, sizeof out));
        EXPECT_STREQ(c.value, out);
    }
}

TEST(Question, FormatsWithinTheBufferAndCutsOnlyTheInsert) {
    char out[256];
    ASSERT_TRUE(FormatQuestion(InstallQuestions[1], "D:\\Apps", out, sizeof out));
    EXPECT_STREQ("Install into \"D:\\Apps\"?", out);
    ASSERT_TRUE(FormatQuestion("no insert", "D:\\Apps", out, sizeof out));
    EXPECT_STREQ("no insert", out);

    std::string fits(256 - 1 - 16, 'x');  // "Install into \"\"?" is 16 characters
    ASSERT_TRUE(FormatQuestion(InstallQuestions[1], fits.c_str(), out, sizeof out));
    EXPECT_EQ("Install into \"" + fits + "\"?", out);

    std::string longer(254, 'y');
    char guarded[256 + 8];
    memset(guarded, '#', sizeof guarded);
    ASSERT_TRUE(FormatQuestion(InstallQuestions[1], longer.c_str(), guarded, 256));
    std::string got = guarded;
    EXPECT_EQ(255u, got.size());
    EXPECT_EQ("...\"?", got.substr(got.size() - 5));
    EXPECT_EQ('#', guarded[256]);

    char tiny[8];
    EXPECT_FALSE(FormatQuestion(InstallQuestions[1], "x", tiny, sizeof tiny));
}

}  // namespace
