// Install decisions: paths, folder levels, answers, manifest and registry data.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>

#include <string>
#include <vector>

#include "banner/description_block.h"
#include "exact_buffer.h"
#include "install/copy.h"
#include "install/plan.h"
#include "install/registration.h"
#include "install/seal.h"
#include "install/start_product.h"
#include "install/install_tables.h"
#include "tables/tables.h"

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

// A path of exactly length characters, ending in a backslash.
std::string PathOfLength(int length) { return "D:\\" + std::string(length - 4, 'x') + "\\"; }

TEST(DestinationPath, OnlyAPlainAbsoluteFolderIsAccepted) {
    struct Case {
        const char* path;
        int ok;
    } cases[] = {
        {"C:\\", 1},
        {"c:\\", 1},
        {"D:\\Apps\\", 1},
        {"C:\\Program Files\\Vestra\\", 1},
        {"D:\\a.b\\.hidden\\", 1},
        {"C:\\CONSOLE\\", 1},
        {"C:\\COM10\\", 1},
        {"C:\\nul1\\", 1},
        {"C:\\LPT\\", 1},
        {"C:\\-\\", 1},
        {"C:\\COMA\\", 1},
        {"C:\\LPT0\\", 1},
        {"A:\\", 1},
        {"Z:\\", 1},
        {"a:\\", 1},
        {"z:\\", 1},
        // Relative texts, and texts without a drive.
        {"\\", 0},
        {"C\\", 0},
        {"relx\\", 0},
        {"..\\relx\\", 0},
        {"\\relx\\", 0},
        {"C:relx\\", 0},
        {"1:\\", 0},
        {"@:\\", 0},
        {"[:\\", 0},
        {"`:\\", 0},
        {"{:\\", 0},
        {"C:/a/", 0},
        {"\\\\server\\share\\", 0},
        {"\\\\s\\", 0},
        // Levels the system would resolve or trim into another folder.
        {"C:\\..\\..\\", 0},
        {"C:\\a\\.\\b\\", 0},
        {"C:\\a\\..\\", 0},
        {"C:\\a\\\\\\\\b\\", 0},
        {"C:\\\\", 0},
        {"C:\\trail \\", 0},
        {"C:\\dot.\\", 0},
        {"C:\\ \\", 0},
        // Device names, with or without an extension, in any case.
        {"C:\\CON\\", 0},
        {"C:\\con.txt\\", 0},
        {"C:\\a\\Lpt9\\", 0},
        {"C:\\COM1.log\\", 0},
        {"C:\\aux .x\\", 0},
        {"C:\\NUL\\", 0},
        {"C:\\prn.a.b\\", 0},
        {"C:\\conout$\\", 0},
        // Characters no file name holds.
        {"C:\\a<b\\", 0},
        {"C:\\a:b\\", 0},
        {"C:\\a|b\\", 0},
        {"C:\\a?\\", 0},
        {"C:\\a\"\\", 0},
        {"C:\\tab\t\\", 0},
        {"C:\\a*\\", 0},
        {"C:\\<a\\", 0},
        {"C:\\a\x1F\\", 0},
    };
    for (const Case& c : cases)
        for (int edition = 0; edition < 2; ++edition)
            EXPECT_EQ(c.ok, DestinationPathAcceptable(ExactText(c.path).get(), edition, 0))
                << c.path;
    // A name given by its length alone, with nothing readable around it.
    // Every reserved device name, the last of the list too.
    const Case names[] = {{"CON", 0},      {" .x", 1},    {"a", 1},          {"PRN", 0},
                          {"aux.x", 0},    {"CONIN$", 0}, {"conout$ .x", 0}, {"CONOUT", 1},
                          {"CONOUT$$", 1}, {"lpt9", 0},   {"COM0", 1}};
    for (const Case& c : names)
        EXPECT_EQ(c.ok, PlainFolderName(ExactBytes(c.path).get(), (int)strlen(c.path))) << c.path;
}

TEST(DestinationPath, LeavesRoomForEveryComposedPathAndText) {
    struct Case {
        int length, edition, longestDiskName, ok;
    } cases[] = {
        // "viewer\~stp0000.tmp" (19 characters) is the longest name of both
        // editions; the texts composed with the path have room to spare.
        {235, 0, 0, 1},
        {236, 0, 0, 0},
        {235, 1, 0, 1},
        {236, 1, 0, 0},
        // A longer name found on the disk ("viewer\" counted).
        {234, 0, 20, 1},
        {235, 0, 20, 0},
        {214, 1, 40, 1},
        {215, 1, 40, 0},
    };
    for (const Case& c : cases) {
        std::string path = PathOfLength(c.length);
        EXPECT_EQ(c.ok, DestinationPathAcceptable(path.c_str(), c.edition, c.longestDiskName))
            << c.length << " " << c.edition << " " << c.longestDiskName;
    }
}

TEST(SourceDirectory, LeavesRoomForEveryNameReadFromIt) {
    std::string folder(254 - 15, 's');  // "kminspector.exe" is the longest manifest name
    EXPECT_TRUE(SourceDirectoryAcceptable(folder.c_str(), 1, 0));
    EXPECT_FALSE(SourceDirectoryAcceptable((folder + "s").c_str(), 1, 0));
    EXPECT_TRUE(SourceDirectoryAcceptable(folder.c_str(), 1, 15));
    EXPECT_FALSE(SourceDirectoryAcceptable(folder.c_str(), 1, 16));
    std::string shorter(254 - 12, 's');  // "vstspell.dat" and the like
    EXPECT_TRUE(SourceDirectoryAcceptable(shorter.c_str(), 0, 0));
    EXPECT_FALSE(SourceDirectoryAcceptable((shorter + "s").c_str(), 0, 0));
}

TEST(CopyTempPath, BesideTheDestinationAndRefusedWhenTooLong) {
    char out[PathBufferSize];
    ASSERT_TRUE(CopyTempPath("D:\\Apps\\viewer\\vview.exe", 0x1A2B, out, sizeof out));
    EXPECT_STREQ("D:\\Apps\\viewer\\~stp1A2B.tmp", out);
    ASSERT_TRUE(CopyTempPath("D:\\A\\x", 0, out, sizeof out));
    EXPECT_STREQ("D:\\A\\~stp0000.tmp", out);
    ASSERT_TRUE(CopyTempPath("D:\\A\\x", 0x10000, out, 18));  // exactly 17 characters
    EXPECT_STREQ("D:\\A\\~stp0000.tmp", out);
    HeapBlock refused = PatternBuffer(17);
    EXPECT_FALSE(CopyTempPath("D:\\A\\x", 0, refused.get(), 17));
    EXPECT_TRUE(Untouched(refused.get(), 18));
    // No folder, or only the root: nothing is read before the start.
    ASSERT_TRUE(CopyTempPath(ExactText("vview.exe").get(), 0xF, out, sizeof out));
    EXPECT_STREQ("~stp000F.tmp", out);
    ASSERT_TRUE(CopyTempPath(ExactText("\\x").get(), 0, out, sizeof out));
    EXPECT_STREQ("\\~stp0000.tmp", out);
    // Renumbered in place, with a folder or without (the name alone); only
    // our own names are taken for leftovers.
    NumberCopyTemp(out, 0xBEEF);
    EXPECT_STREQ("\\~stpBEEF.tmp", out);
    HeapBlock bare = ExactText("~stp0000.tmp");
    NumberCopyTemp(bare.get(), 0xC0DE);
    EXPECT_STREQ("~stpC0DE.tmp", bare.get());
    for (const char* name : {"~stp0000.tmp", "~STPbeef.TMP", "~stpFFFF.tmp"})
        EXPECT_TRUE(IsCopyTempName(ExactText(name).get())) << name;
    for (const char* name : {"~stp000.tmp", "~stp00000.tmp", "~stp00G0.tmp", "~stp0000.tmpx",
                             "x~stp0000.tmp", "~stp0000.txt", ""})
        EXPECT_FALSE(IsCopyTempName(ExactText(name).get())) << name;
}

TEST(FreeSpace, ClustersAndTheMessageWithBothAmounts) {
    EXPECT_EQ(0u, BytesOnVolume(0, 4096));
    EXPECT_EQ(4096u, BytesOnVolume(1, 4096));
    EXPECT_EQ(8192u, BytesOnVolume(4097, 4096));
    EXPECT_EQ(4097u, BytesOnVolume(4097, 0));

    const uint64_t KB = 1024, MB = KB * KB, GB = MB * KB;
    struct Case {
        uint64_t needed, available;
        const char* text;
    } cases[] = {
        {4613 * KB + 1, 2960 * KB + 1023, "4614 KB needed, 2960 KB free."},
        {9999 * KB, 10000 * KB, "9999 KB needed, 9 MB free."},
        {1, 500 * GB + 5, "1 KB needed, 500 GB free."},
        {0, 20000 * GB, "0 KB needed, 20000 GB free."},
    };
    char out[256];
    for (const Case& c : cases) {
        ASSERT_TRUE(
            FormatSpaceMessage("%s needed, %s free.", c.needed, c.available, out, sizeof out));
        EXPECT_STREQ(c.text, out);
    }
    ASSERT_TRUE(
        FormatSpaceMessage(InstallMessage(NoSpaceMessage, German), 1024, 0, out, sizeof out));
    EXPECT_STREQ(
        "Nicht gen\xFCgend Speicherplatz auf dem Ziellaufwerk: 1 KB ben\xF6tigt, 0 KB frei.", out);
    ASSERT_TRUE(FormatSpaceMessage("%s/%s", 1024, 2048, out, 10));  // "1 KB/2 KB": 9 characters
    EXPECT_STREQ("1 KB/2 KB", out);
    EXPECT_FALSE(FormatSpaceMessage("%s/%s", 1024, 2048, out, 9));
    ASSERT_EQ(1, FormatSpaceMessage("%s %s %s", 1024, 2048, out, sizeof out));
    EXPECT_STREQ("1 KB 2 KB %s", out);
    ASSERT_TRUE(FormatSpaceMessage("", 1024, 2048, out, 1));
    EXPECT_STREQ("", out);
    HeapBlock none = PatternBuffer(0);
    EXPECT_FALSE(FormatSpaceMessage("", 1024, 2048, none.get(), 0));
    EXPECT_TRUE(Untouched(none.get(), 1));
}

TEST(Answers, DecideWhatFollows) {
    enum { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
    EXPECT_EQ(StopInstalling, ActionAfterCopyAnswer(Abort));
    EXPECT_EQ(RetryCopy, ActionAfterCopyAnswer(Retry));
    EXPECT_EQ(GoOn, ActionAfterCopyAnswer(Ignore));
    EXPECT_EQ(GoOn, ActionAfterCopyAnswer(0));  // a box ended without an answer
    for (int answer : {0, (int)Ok, (int)Cancel, (int)No})
        EXPECT_FALSE(AnswerGoesOn(answer)) << answer;
    EXPECT_TRUE(AnswerGoesOn(Yes));
    // Only an optional file that is not on the disk goes on without a question.
    struct Case {
        int mandatory, sourceFailed;
        uint32_t error;
        int passedOver;
    } failures[] = {
        {0, 1, 2, 1},   {0, 1, 3, 1}, {1, 1, 2, 0}, {0, 1, 5, 0},  // source not readable
        {0, 1, 32, 0},   // source held open without sharing
        {0, 0, 2, 0},    // the destination's folder is gone
        {0, 0, 112, 0},  // disk full
        {0, 0, 5, 0},
    };
    for (const Case& c : failures)
        EXPECT_EQ(c.passedOver, CopyFailurePassedOver(c.mandatory, c.sourceFailed, c.error))
            << c.mandatory << c.sourceFailed << " " << c.error;
}

TEST(FileManifest, EightMandatoryRowsAndTheirFileKinds) {
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

TEST(Messages, EveryKindHasARowPerLanguageAndChineseReadsEnglish) {
    for (int kind = 0; kind < InstallMessageKindCount; ++kind) {
        SCOPED_TRACE(kind);
        for (int language = German; language <= Portuguese; ++language)
            EXPECT_GT(strlen(InstallMessage(kind, language)), 10u) << language;
        EXPECT_STRNE(InstallMessage(kind, English), InstallMessage(kind, German));
        EXPECT_STREQ(InstallMessage(kind, English), InstallMessage(kind, Chinese));
        EXPECT_STREQ(InstallMessage(kind, English), InstallMessage(kind, Japanese));
        EXPECT_STREQ(InstallMessage(kind, English), InstallMessage(kind, -1));
    }
    EXPECT_STREQ("", InstallMessage(InstallMessageKindCount, English));
    EXPECT_STREQ("", InstallMessage(-1, English));
    EXPECT_STREQ("In den Ordner \xBB%s\xAB installieren?", InstallMessage(InstallQuestion, German));
    EXPECT_STREQ("N\xE3o pude criar um atalho para o programa.",
                 InstallMessage(ShortcutFailureMessage, Portuguese));
}

// The entry as written once the run has copied bytes.
std::string UninstallValues(const char* destinationPath, int edition, uint64_t bytes) {
    UninstallEntry entry;
    if (ComposeUninstallEntry(destinationPath, edition, &entry) != 1) return "<refused>";
    EXPECT_EQ(0u, entry.sizeKiB) << "nothing is copied when the plan is made";
    entry.sizeKiB = EstimatedSizeKiB(bytes);
    std::string out = std::string(entry.keyName) + "\n";
    for (const UninstallValue& v : entry.values)
        out += std::string(v.name) + "=" +
               (v.text ? std::string(v.text) : "#" + std::to_string(*v.number)) + "\n";
    return out;
}

TEST(RegistryData, UninstallEntryWholeForBothEditions) {
    EXPECT_EQ(
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vestra\n"
        "DisplayName=Vestra\n"
        "UninstallString=\"C:\\Program Files\\Vestra\\Vestra.exe\" uninst\n"
        "DisplayVersion=14.3\n"
        "Publisher=Kellum Software Technology AG\n"
        "DisplayIcon=C:\\Program Files\\Vestra\\Vestra.exe\n"
        "InstallLocation=C:\\Program Files\\Vestra\\\n"
        "EstimatedSize=#3\n"
        "NoModify=#1\n"
        "NoRepair=#1\n",
        UninstallValues("C:\\Program Files\\Vestra\\", 0, 2049));
    std::string inspector = UninstallValues("D:\\Tools\\", 1, 0);
    EXPECT_NE(std::string::npos, inspector.find("Uninstall\\Kellum Inspector\nDisplayName=Kellum "
                                                "Inspector\nUninstallString=\"D:\\Tools\\"
                                                "kminspector.exe\" uninst\n"))
        << inspector;
    EXPECT_NE(std::string::npos, inspector.find("DisplayIcon=D:\\Tools\\kminspector.exe\n"));
    EXPECT_NE(std::string::npos, inspector.find("EstimatedSize=#0\n"));

    // Every destination the install accepts fits whole; beyond that, nothing.
    std::string folder = "C:\\p";
    while (DestinationPathAcceptable((folder + "p\\").c_str(), 1, 0)) folder += "p";
    EXPECT_NE("<refused>", UninstallValues((folder + "\\").c_str(), 1, 0));
    EXPECT_EQ("<refused>", UninstallValues(("C:\\" + std::string(240, 'p') + "\\").c_str(), 1, 0));
}

TEST(RegistryData, EstimatedSizeInWholeKiBRoundedUp) {
    struct Case {
        uint64_t bytes;
        uint32_t kib;
    } cases[] = {{0, 0},
                 {1, 1},
                 {1024, 1},
                 {1025, 2},
                 {1 << 20, 1024},
                 {0x3FFFFFFFC00ull, 0xFFFFFFFFu},
                 {0x3FFFFFFFC01ull, 0xFFFFFFFFu},
                 {~0ull, 0xFFFFFFFFu}};
    for (const Case& c : cases) EXPECT_EQ(c.kib, EstimatedSizeKiB(c.bytes)) << c.bytes;
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
    ASSERT_TRUE(
        FormatQuestion(InstallMessage(InstallQuestion, English), "D:\\Apps", out, sizeof out));
    EXPECT_STREQ("Install into \"D:\\Apps\"?", out);
    ASSERT_TRUE(FormatQuestion("no insert", "D:\\Apps", out, sizeof out));
    EXPECT_STREQ("no insert", out);

    std::string fits(256 - 1 - 16, 'x');  // "Install into \"\"?" is 16 characters
    ASSERT_TRUE(
        FormatQuestion(InstallMessage(InstallQuestion, English), fits.c_str(), out, sizeof out));
    EXPECT_EQ("Install into \"" + fits + "\"?", out);

    std::string longer(254, 'y');
    char guarded[256 + 8];
    memset(guarded, '#', sizeof guarded);
    ASSERT_TRUE(
        FormatQuestion(InstallMessage(InstallQuestion, English), longer.c_str(), guarded, 256));
    std::string got = guarded;
    EXPECT_EQ(255u, got.size());
    EXPECT_EQ("...\"?", got.substr(got.size() - 5));
    EXPECT_EQ('#', guarded[256]);

    char tiny[8];
    EXPECT_FALSE(FormatQuestion(InstallMessage(InstallQuestion, English), "x", tiny, sizeof tiny));
}

}  // namespace

TEST(CopyProgress, FillCountAndName) {
    struct Fill {
        uint64_t done, total;
        int width, expected;
    } fills[] = {
        {0, 100, 200, 0},
        {50, 100, 200, 100},
        {99, 100, 200, 198},
        {100, 100, 200, 200},
        {150, 100, 200, 200},  // a file grew after the count
        {5, 0, 200, 0},        // nothing to copy
        {1, 2, 0, 0},
        {1ull << 62, 1ull << 63, 215, 107},  // no overflow on huge totals
        {UINT64_MAX - 1, UINT64_MAX, 215, 214},
        {1, 2, -4, 0},
        {1, 2, 0x20000, 0x7FFF},  // no screen is wider than 0xFFFF
        {2, 2, 0x20000, 0x20000},
        {2, 2, 1, 1},
        // Totals at the edge of halving: a third of 2^48 - 1 is exactly one of three.
        {0x555555555555, 0xFFFFFFFFFFFF, 3, 1},
        {UINT64_MAX - 1, UINT64_MAX, 0xFFFF, 0xFFFE},
    };
    for (const Fill& f : fills)
        EXPECT_EQ(f.expected, ProgressFill(f.done, f.total, f.width)) << f.done << "/" << f.total;

    // Each in a buffer of exactly its text and terminator, then one byte short.
    struct Count {
        int number, total;
        const char* text;
    } counts[] = {
        {12, 34, "12 / 34"},   {0, 0, "0 / 0"},
        {-3, -1, "0 / 0"},     {9, 10, "9 / 10"},
        {99, 100, "99 / 100"}, {2147483647, 2147483647, "2147483647 / 2147483647"},
    };
    for (const Count& c : counts) {
        int size = (int)strlen(c.text) + 1;
        HeapBlock out = PatternBuffer(size);
        EXPECT_EQ(1, FormatCopyCount(c.number, c.total, out.get(), size)) << c.text;
        EXPECT_STREQ(c.text, out.get());
        HeapBlock shortOut = PatternBuffer(size - 1);
        EXPECT_EQ(0, FormatCopyCount(c.number, c.total, shortOut.get(), size - 1)) << c.text;
        EXPECT_TRUE(Untouched(shortOut.get(), size)) << c.text;
    }

    EXPECT_STREQ("vstcore.dll", FileNameOf("Z:\\disk\\vstcore.dll"));
    EXPECT_STREQ("vview.exe", FileNameOf("C:\\d\\viewer\\vview.exe"));
    EXPECT_STREQ("", FileNameOf("C:\\d\\"));
    EXPECT_STREQ("plain", FileNameOf("plain"));
}

// A survey of the manifest rows (row missingRow not on the disk) and the
// extras, each extra of 5000 bytes.
std::vector<DiskFile> SurveyOf(int edition, const std::vector<std::string>& extras,
                               int missingRow) {
    std::vector<DiskFile> files;
    for (int row = 0; row < FileManifestRows; ++row)
        files.push_back({"", 100u + (unsigned)row, row != missingRow, row, 0, {}});
    for (int row = 0; row < FileManifestRows; ++row)
        strcpy(files[row].name, ManifestFileName(row, edition));
    for (const std::string& name : extras) {
        files.push_back({"", 5000, 1, -1, 0, {}});
        strcpy(files.back().name, name.c_str());
    }
    return files;
}

// Sizes of the files in place: an old Vestra.exe of 100 bytes, an old
// vstmain.dat of a gigabyte, or nothing.
bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
uint64_t OldProgram(const char* destination) {
    return EndsWith(destination, "\\Vestra.exe") ? 100 : 0;
}
uint64_t OldGigabyte(const char* destination) {
    return EndsWith(destination, "\\vstmain.dat") ? 1u << 30 : 0;
}
uint64_t NothingInPlace(const char*) { return 0; }

// The plan of one run, over a table of destinations and disks: every path and
// text it writes, or one refusal before anything is created.
TEST(InstallPlan, ComposesEveryWriteOrRefusesAsAWhole) {
    const std::string longName(60, 'n');
    struct Case {
        std::string field, source;
        int edition, language;
        std::vector<std::string> extras;
        int missingRow;
        PlanOutcome outcome;
        const char* marker;  // for a ready plan
    } cases[] = {
        {"D:\\Apps\\Vestra",
         "E:\\",
         0,
         German,
         {"a.txt", "viewer\\v.exe"},
         9,
         PlanReady,
         "D:\\Apps\\Vestra\\Vestra.ger"},
        {"D:\\Apps\\Kellum Inspector\\", "E:\\", 1, English, {}, 9, PlanReady, ""},
        {"C:\\", "E:\\", 0, Japanese, {"viewer\\v.exe"}, 9, PlanReady, "C:\\Vestra.jap"},
        {"relx", "E:\\", 0, English, {}, 9, PlanInvalidFolder, 0},
        {"D:\\a\\\\b", "E:\\", 0, English, {}, 9, PlanInvalidFolder, 0},
        {"", "E:\\", 0, English, {}, 9, PlanInvalidFolder, 0},
        {"D:\\" + std::string(200, 'd'), "E:\\", 0, English, {}, 9, PlanReady, ""},
        {"D:\\" + std::string(200, 'd'),
         "E:\\",
         0,
         English,
         {longName},
         9,
         PlanDestinationTooLong,
         0},
        {std::string(254, 'x'), "E:\\", 0, English, {}, 9, PlanDestinationTooLong, 0},
        {"relx" + std::string(240, 'x'), "E:\\", 0, English, {}, 9, PlanDestinationTooLong, 0},
        {"D:\\Apps", std::string(245, 's') + "\\", 0, English, {"a.txt"}, 9, PlanSourceTooLong, 0},
        // The longest destination of each edition (235 with its backslash)
        // holds every text the plan composes; one more is refused.
        {"D:\\" + std::string(231, 'd'), "E:\\", 0, English, {"viewer\\v.exe"}, 9, PlanReady, ""},
        {"D:\\" + std::string(231, 'd'), "E:\\", 1, English, {"viewer\\v.exe"}, 9, PlanReady, ""},
        {"D:\\" + std::string(232, 'd'), "E:\\", 0, English, {}, 9, PlanDestinationTooLong, 0},
        {"D:\\" + std::string(232, 'd'), "E:\\", 1, English, {}, 9, PlanDestinationTooLong, 0},
        // The program (row 0) or an optional row missing; every row there.
        {"D:\\Apps", "E:\\", 0, English, {"a.txt"}, 0, PlanReady, ""},
        {"D:\\Apps", "E:\\", 1, English, {"a.txt"}, 23, PlanReady, ""},
        {"D:\\Apps", "E:\\", 0, English, {"a.txt"}, -1, PlanReady, ""},
    };
    for (Case& c : cases) {
        const std::string& field = c.field;
        std::vector<DiskFile> files = SurveyOf(c.edition, c.extras, c.missingRow);
        DiskSurvey disk = {files.data(), (int)files.size(), 0};
        std::vector<PlannedFile> rows(files.size());
        InstallPlan plan;
        SCOPED_TRACE(field.substr(0, 40) + " from " + c.source.substr(0, 20) + " missing " +
                     std::to_string(c.missingRow));
        ASSERT_EQ(c.outcome, ComposeInstallPlan(field.c_str(), c.source.c_str(), &disk, c.edition,
                                                c.language, rows.data(), (int)rows.size(), &plan));
        // The limit the refusal names: what the longest name leaves of a path.
        int longest = std::max(19, (int)(c.extras.empty() ? 0 : c.extras.back().size()));
        EXPECT_EQ(254 - 1 - longest, plan.destinationLimit);
        if (c.outcome != PlanReady) continue;
        std::string path = plan.destinationPath;
        ASSERT_EQ('\\', path.back());
        std::string program = path + MainExecutableName(c.edition);
        EXPECT_EQ(program, plan.programPath);
        EXPECT_EQ("\"" + program + "\"", plan.programCommand);
        EXPECT_EQ("\"" + program + "\" uninst", plan.uninstall.command);
        EXPECT_EQ(program, plan.uninstall.icon);
        EXPECT_EQ(path + "viewer", plan.viewerFolder);
        EXPECT_STREQ(c.marker, plan.markerPath);
        EXPECT_EQ(path.substr(0, path.size() - 1), plan.perUserPath);
        std::string item =
            "[AddItem(\"" + program + "\", " + ProductString(ProductName, c.edition) + ")]";
        EXPECT_EQ(item, plan.addItemCommand);
        ASSERT_EQ((int)files.size(), plan.fileCount);
        EXPECT_EQ(0, plan.programRow);
        // Each row says what the run does; the count and bytes before it are
        // those of the copied rows alone.
        int copied = 0;
        uint64_t bytes = 0;
        for (int i = 0; i < plan.fileCount; ++i) {
            const PlannedFile& f = plan.files[i];
            std::string name = files[i].name;
            SCOPED_TRACE(name);
            EXPECT_EQ(c.source + name, f.source);
            EXPECT_EQ(path + name, f.destination);
            EXPECT_EQ(c.source.size(), (size_t)f.sourceNameAt);
            EXPECT_EQ(path.size(), (size_t)f.destinationNameAt);
            std::string folder = name.rfind('\\') == std::string::npos ? "" : "viewer\\";
            EXPECT_EQ(path + folder + "~stp0000.tmp", f.temp);
            EXPECT_EQ(folder != "", f.inViewer != 0);
            EXPECT_EQ(i < MandatoryRowCount, f.mandatory != 0);
            RowAction action = i != c.missingRow       ? CopyRow
                               : i < MandatoryRowCount ? AskRow
                                                       : PassOverRow;
            EXPECT_EQ(action, f.action);
            EXPECT_EQ(action == CopyRow ? files[i].size : 0u, f.size);
            EXPECT_EQ(FileNotTried, f.outcome);
            EXPECT_EQ(bytes, f.bytesBefore);
            if (action == CopyRow) bytes += f.size, ++copied;
            EXPECT_EQ(copied, f.copyNumber);
        }
        EXPECT_EQ(copied, plan.copyFiles);
        EXPECT_EQ((int)files.size() - (c.missingRow >= 0), plan.copyFiles);
        EXPECT_EQ(bytes, plan.copyBytes);
        // Whole clusters of the copied rows, less what their files replace;
        // never below nothing.
        // A manifest row takes a cluster, an extra of 5000 bytes two.
        uint64_t clusters = plan.copyFiles + c.extras.size();
        int replaced = c.edition == 0 && c.missingRow != 0;  // an old Vestra.exe in its place
        EXPECT_EQ((clusters - replaced) * 4096, PlanBytesNeeded(&plan, 4096, OldProgram));
        EXPECT_EQ(0u, PlanBytesNeeded(&plan, 4096, OldGigabyte));
        EXPECT_EQ(clusters * 4096, PlanBytesNeeded(&plan, 4096, NothingInPlace));
        EXPECT_EQ(plan.copyBytes, PlanBytesNeeded(&plan, 0, NothingInPlace));
    }
}

// What the run did, read from the outcomes it recorded in the rows.
TEST(InstallPlan, TheEndIsReadFromTheRows) {
    std::vector<DiskFile> files = SurveyOf(0, {"a.txt", "b.tpl", "viewer\\v.exe"}, 9);
    DiskSurvey disk = {files.data(), (int)files.size(), 0};
    std::vector<PlannedFile> rows(files.size());
    InstallPlan plan;
    ASSERT_EQ(PlanReady, ComposeInstallPlan("D:\\Apps", "E:\\", &disk, 0, English, rows.data(),
                                            (int)rows.size(), &plan));
    EXPECT_EQ(0u, PlanCopiedBytes(&plan));
    EXPECT_EQ(0, PlanFilesIgnored(&plan));
    EXPECT_FALSE(PlanProgramCopied(&plan));
    struct Step {
        int row;
        CopyOutcome outcome;
        uint64_t copiedBytes;
        int ignored, programCopied;
    } steps[] = {
        {1, FileCopied, 101, 0, 0},
        {0, FileIgnored, 101, 1, 0},  // the program is not
                                      // installed
        {0, FileCopied, 201, 0, 1},   // a retry of a later run's row: copied after all
        {9, FilePassedOver, 201, 0, 1},
        {24, FileIgnored, 201, 1, 1},
        {26, FileCopied, 5201, 1, 1},
        {2, CopyAborted, 5201, 1, 1},
    };
    for (const Step& s : steps) {
        rows[s.row].outcome = s.outcome;
        EXPECT_EQ(s.copiedBytes, PlanCopiedBytes(&plan)) << s.row;
        EXPECT_EQ(s.ignored, PlanFilesIgnored(&plan)) << s.row;
        EXPECT_EQ(s.programCopied, PlanProgramCopied(&plan)) << s.row;
    }
    // A survey without the program's row has no program to install.
    DiskSurvey extrasOnly = {files.data() + FileManifestRows, 3, 0};
    ASSERT_EQ(PlanReady, ComposeInstallPlan("D:\\Apps", "E:\\", &extrasOnly, 0, English,
                                            rows.data(), 3, &plan));
    EXPECT_EQ(-1, plan.programRow);
    rows[0].outcome = FileCopied;
    EXPECT_FALSE(PlanProgramCopied(&plan));
}

// A disk of 1,200 files, survey and plan each in a heap block of exactly its
// rows: AddressSanitizer sees a row read or written one past either end.
TEST(InstallPlan, AThousandRowsInBlocksOfTheirExactSize) {
    const int count = FileManifestRows + 1200;
    std::unique_ptr<DiskFile[]> survey(new DiskFile[count]);
    for (int i = 0; i < count; ++i) {
        DiskFile& f = survey[i];
        int row = i < FileManifestRows ? i : -1;
        std::string name = row >= 0 ? ManifestFileName(row, 1)
                                    : (i % 3 ? "viewer\\" : "") + std::to_string(i) + ".txt";
        if (i == count - 1) name = "viewer\\" + std::string(40, 'z');  // the last is the longest
        f = {"", (uint64_t)i * 3, row != 5, row, i % 7 == 0, {}};
        strcpy(f.name, name.c_str());
    }
    DiskSurvey disk = {survey.get(), count, 0};
    EXPECT_EQ(47, LongestSurveyName(&disk));
    std::unique_ptr<PlannedFile[]> rows(new PlannedFile[count]);
    InstallPlan plan;
    ASSERT_EQ(PlanReady,
              ComposeInstallPlan("D:\\Apps", "E:\\", &disk, 1, English, rows.get(), count, &plan));
    ASSERT_EQ(count, plan.fileCount);
    EXPECT_EQ(count - 1, plan.copyFiles);
    EXPECT_EQ("D:\\Apps\\viewer\\" + std::string(40, 'z'), plan.files[count - 1].destination);
    EXPECT_EQ(count - 1, plan.files[count - 1].copyNumber);
    EXPECT_EQ(AskRow, plan.files[5].action);
    EXPECT_EQ(1, plan.files[7].utf8Name);
    // One row short: refused, and no row written beyond the block.
    std::unique_ptr<PlannedFile[]> fewer(new PlannedFile[count - 1]);
    EXPECT_EQ(PlanNoMemory, ComposeInstallPlan("D:\\Apps", "E:\\", &disk, 1, English, fewer.get(),
                                               count - 1, &plan));
    // A name one character longer than the destination leaves room for.
    strcpy(survey[count - 1].name, ("viewer\\" + std::string(255 - 8 - 7, 'z')).c_str());
    EXPECT_EQ(PlanDestinationTooLong,
              ComposeInstallPlan("D:\\Apps", "E:\\", &disk, 1, English, rows.get(), count, &plan));
    EXPECT_EQ(6, plan.destinationLimit);  // "D:\\Apps" has 7
}

TEST(InstallPlan, LongestNameOfASurveyReadsNoRowBeyondIt) {
    std::unique_ptr<DiskFile[]> two(new DiskFile[2]);
    two[0] = {"a.txt", 1, 1, -1, 0, {}};
    two[1] = {"viewer\\bb.txt", 1, 1, -1, 0, {}};
    struct Case {
        int count, longest;
    } cases[] = {{0, 0}, {1, 5}, {2, 13}};
    for (const Case& c : cases) {
        DiskSurvey disk = {c.count ? two.get() : nullptr, c.count, 0};
        EXPECT_EQ(c.longest, LongestSurveyName(&disk)) << c.count;
    }
}

// The seal: how a sealed setup.exe finds its list behind either tool's block
// and a file's row in it, and what its plan does with each file. (The seal's
// format itself is the fuzz target's.)
std::string SealOf(const std::vector<std::string>& names) {
    static const unsigned char digest[Sha256Size] = {0xAB};
    std::vector<SealRow> rows;
    for (const std::string& name : names)
        rows.push_back({name.data(), (int)name.size(), name.size(), digest});
    std::string seal((size_t)SealLength(rows.data(), (int)rows.size()), '\0');
    BuildSeal(rows.data(), (int)rows.size(), (unsigned char*)&seal[0], (long)seal.size());
    return seal;
}

TEST(Seal, FoundInEitherOrderAndEachNameWithItsBytes) {
    const std::string longest(SealNameSize - 1, 'n');
    const std::string seal = SealOf({"Vestra.exe", "viewer\\vview.exe",
                                     "\xC3\x9C"
                                     "bersicht.txt",
                                     longest});
    std::string description(DescriptionMarker, DescriptionMarkerSize);
    for (int i = 0; i < DescriptionTextCount; ++i) description += i ? std::string("\0t", 2) : "t";
    const std::string program = "MZ" + std::string(98, 'P'), pad(3, '\0');
    const long p = 100, s = (long)seal.size();
    struct Layout {
        const char* name;
        std::string file;
        long sealStart, sealEnd, descriptionStart;
    } layouts[] = {
        {"program alone", program, p, p, p},
        {"description", program + description, p, p, p},
        {"seal", program + seal, p, p + s, p + s},
        {"seal and a signature's zero bytes", program + seal + std::string(7, '\0'), p, p + s,
         p + s + 7},
        {"eight zero bytes are not a signature's", program + seal + std::string(8, '\0'), p + s + 8,
         p + s + 8, p + s + 8},
        {"seal, zeros, description", program + seal + pad + description, p, p + s, p + s + 3},
        {"a broken seal is the program's", program + seal.substr(1) + description, p + s - 1,
         p + s - 1, p + s - 1},
    };
    for (const Layout& c : layouts) {
        AppendedBlocks found;
        long size = (long)c.file.size();
        FindAppendedBlocks((const unsigned char*)ExactBytes(c.file).get(), size, &found);
        EXPECT_EQ(c.sealStart, found.programEnd) << c.name;
        EXPECT_EQ(c.sealStart, found.sealStart) << c.name;
        EXPECT_EQ(c.sealEnd, found.sealEnd) << c.name;
        EXPECT_EQ(c.descriptionStart, found.descriptionStart) << c.name;
        EXPECT_EQ(size, found.contentEnd) << c.name;
    }
    HeapBlock exact = ExactBytes(seal);
    struct Name {
        std::string name;
        int listed;
    } names[] = {
        {"VESTRA.EXE", 1},  // the system's names have no case
        {"viewer\\VVIEW.exe", 1},
        {"vview.exe", 0},
        {"\xC3\x9C"
         "bersicht.txt",
         1},
        {"\xC3\xBC"
         "bersicht.txt",
         0},  // only ASCII letters have no case
        {"\xDC"
         "bersicht.txt",
         0},  // names are UTF-8
        {"Vestra.ex", 0},
        {longest, 1},
        {longest + "n", 0},
    };
    for (const Name& c : names) {
        SealRow row = {};
        EXPECT_EQ(c.listed, FindSealRow((const unsigned char*)exact.get(), (long)seal.size(),
                                        ExactText(c.name).get(), &row))
            << c.name;
        if (c.listed) {
            EXPECT_EQ(c.name.size(), row.size) << c.name;
        }
    }
}

// A sealed plan leaves an unlisted file on the disk and asks about one of
// another size; the end counts both kinds. (Every row's action against what
// the seal says is the plan fuzz target's.)
TEST(InstallPlan, ASealedPlanCountsTheFilesItLeavesOnTheDisk) {
    std::vector<DiskFile> files = SurveyOf(0, {"extra.txt", "cut.txt"}, -1);
    for (DiskFile& f : files) f.seal = {1, 1, f.size, {}};
    const int extra = FileManifestRows, cut = FileManifestRows + 1;
    files[extra].seal.listed = 0;
    files[cut].seal.size = 0;
    DiskSurvey disk = {files.data(), (int)files.size(), 0};
    std::vector<PlannedFile> rows(files.size());
    InstallPlan plan;
    ASSERT_EQ(PlanReady, ComposeInstallPlan("D:\\Apps", "E:\\", &disk, 0, English, rows.data(),
                                            (int)rows.size(), &plan));
    EXPECT_EQ(NotListedRow, rows[extra].action);
    EXPECT_EQ(DamagedRow, rows[cut].action);
    EXPECT_EQ(FileManifestRows, plan.copyFiles);
    EXPECT_EQ(0, PlanFilesNotListed(&plan));
    rows[extra].outcome = FileNotListed;
    rows[cut].outcome = FileIgnored;
    EXPECT_EQ(1, PlanFilesNotListed(&plan));
    EXPECT_EQ(1, PlanFilesIgnored(&plan));
}
