// Installing the product as a user does: the questions and messages, the files,
// the registry, the marker, the shortcut and the started product.
#include <gtest/gtest.h>

#include "install_robot.h"
#include "progman_robot.h"

using namespace robot;

namespace {

using Install = InstallSession;

const char* const MainExecutables[2] = {"Vestra.exe", "kminspector.exe"};

unsigned long long FolderBytes(const std::string& folder) {
    unsigned long long bytes = 0;
    for (const std::string& name : FilesOf(folder)) {
        std::string content;
        if (ReadWholeFile(folder + "\\" + name, &content)) bytes += content.size();
    }
    return bytes;
}

// Every value of the entry, after an install into a fresh destination (given
// without its final backslash), so that its files are the ones copied.
void ExpectUninstallEntry(int edition, const std::string& destination) {
    const char* key = UninstallKeys[edition];
    std::string program = destination + "\\" + MainExecutables[edition];
    auto text = [&](const char* name) {
        std::string value = "<none>";
        ReadRegistryText(HKEY_LOCAL_MACHINE, key, name, &value);
        return value;
    };
    auto number = [&](const char* name) {
        DWORD value = 0xDEADu;
        ReadRegistryNumber(HKEY_LOCAL_MACHINE, key, name, &value);
        return value;
    };
    EXPECT_EQ(ProductNames[edition], text("DisplayName"));
    EXPECT_EQ("\"" + program + "\" uninst", text("UninstallString"));
    EXPECT_EQ("14.3", text("DisplayVersion"));
    EXPECT_EQ("Kellum Software Technology AG", text("Publisher"));
    EXPECT_EQ(program, text("DisplayIcon"));
    EXPECT_EQ(destination + "\\", text("InstallLocation"));
    unsigned long long copied = FolderBytes(destination) + FolderBytes(destination + "\\viewer");
    EXPECT_GT(copied, 1024u);
    EXPECT_EQ((DWORD)((copied + 1023) / 1024), number("EstimatedSize")) << copied << " bytes";
    EXPECT_EQ(1u, number("NoModify"));
    EXPECT_EQ(1u, number("NoRepair"));
}

// Setup's own shortcut, in the all-users Programs folder.
std::string OwnShortcut(int edition) {
    return CommonProgramsFolder() + "\\" + ProductNames[edition] + ".lnk";
}
std::string StandInShortcut(int edition) {
    return ProgramsFolder() + "\\" + ProductNames[edition] + ".lnk";
}

// Folders named like both Programs folders' shortcuts: no shortcut can be
// saved there, so the only way left to a shortcut fails too.
struct BlockedShortcuts {
    std::string paths[2];
    explicit BlockedShortcuts(int edition) : paths{OwnShortcut(edition), StandInShortcut(edition)} {
        for (const std::string& path : paths) {
            DeleteFileA(path.c_str());
            CreateDirectoryA(path.c_str(), NULL);
        }
    }
    ~BlockedShortcuts() {
        for (const std::string& path : paths) EXPECT_TRUE(RemoveDirectoryA(path.c_str())) << path;
    }
};

void ExpectOwnShortcut(int edition, const std::string& destination) {
    Shortcut link = ReadShortcut(OwnShortcut(edition));
    std::string program = destination + "\\" + MainExecutables[edition];
    EXPECT_TRUE(EqualPaths(program, link.target)) << link.target;
    EXPECT_TRUE(EqualPaths(destination + "\\", link.workingFolder) ||
                EqualPaths(destination, link.workingFolder))
        << link.workingFolder;
    EXPECT_TRUE(EqualPaths(program, link.icon)) << link.icon;
}

// A top-level window whose thread has stopped taking messages, as a hung
// program's does, until the value goes out of scope.
struct HungWindow {
    HANDLE created = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE release = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE thread = NULL;
    HWND window = NULL;

    static DWORD WINAPI Hang(void* parameter) {
        HungWindow* hung = (HungWindow*)parameter;
        hung->window =
            CreateWindowA("STATIC", "Hung", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        SetEvent(hung->created);
        WaitForSingleObject(hung->release, INFINITE);
        if (hung->window) DestroyWindow(hung->window);
        return 0;
    }
    HungWindow() {
        thread = CreateThread(NULL, 0, Hang, this, 0, NULL);
        if (thread) WaitForSingleObject(created, 10000);
    }
    ~HungWindow() {
        SetEvent(release);
        if (thread) WaitForSingleObject(thread, 10000);
        for (HANDLE h : {thread, created, release})
            if (h) CloseHandle(h);
    }
};

TEST_F(Install, EnglishIntoANewTwoLevelFolderWithSpaces) {
    Begin(0, "english");
    std::string destination = target_ + "\\Two Levels\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    FinishWithoutExtras();

    ExpectSameFiles(disk_, destination, 31);
    ExpectSameFiles(disk_ + "\\viewer", destination + "\\viewer", 3);
    ExpectUninstallEntry(0, destination);
    EXPECT_EQ(destination, Registry(HKEY_CURRENT_USER, PerUserKeys[0], "Path"));
    for (const char* marker : Markers) EXPECT_FALSE(FileExists(destination + "\\" + marker));
}

TEST_F(Install, StartedProductRunsInTheDestination) {
    Begin(0, "run");
    std::string destination = target_ + "\\Program Files\\Vestra\\";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    AnswerShortcutAndRun(No, Yes);
    Product product = WaitForProduct();
    ASSERT_TRUE(product.window != NULL);
    EXPECT_EQ(destination, product.Line("Program folder: "));
    EXPECT_EQ(destination.substr(0, destination.size() - 1), product.Line("Current folder: "));
    EXPECT_EQ("none", product.Line("Language marker: "));
    // The shell may leave a space behind the quoted path; Wine starts it here.
    std::string commandLine = product.Line("Command line: ");
    commandLine.erase(commandLine.find_last_not_of(' ') + 1);
    EXPECT_EQ("\"" + destination + "Vestra.exe\"", commandLine);
    // No second backslash was added to a text that ends in one.
    EXPECT_EQ(destination.substr(0, destination.size() - 1),
              Registry(HKEY_CURRENT_USER, PerUserKeys[0], "Path"));
    EXPECT_EQ(1, ProductWindowCount());
}

TEST_F(Install, GermanTextsCaptionsAndMarker) {
    Begin(0, "german");
    ClickAndWait(GetDlgItem(window_, 101));
    PressOk("x");
    AnswerBox("Setup", "In den Ordner \xBBx\xAB installieren?", {Yes, No}, Yes);
    AnswerBox("Fehler", "Ung\xFCltiger Zielordner", {IDOK}, IDOK, MB_ICONERROR);
    ExpectWindowOpenWithFocusInField();

    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerBox("Setup", "In den Ordner \xBB" + destination + "\xAB installieren?", {Yes, No}, Yes);
    AnswerBox("Vestra", "Ins Startmen\xFC eintragen?", {Yes, No}, No);
    AnswerBox("Vestra", "Setup abgeschlossen. Programm starten?", {Yes, No}, No);
    EXPECT_EQ(0, WaitForExit(setup_));
    std::string marker;
    ASSERT_TRUE(ReadWholeFile(destination + "\\Vestra.ger", &marker));
    EXPECT_EQ("", marker);
    EXPECT_EQ(std::vector<std::string>{"Vestra.ger"}, [&] {
        std::vector<std::string> found;
        for (const char* m : Markers)
            if (FileExists(destination + "\\" + m)) found.push_back(m);
        return found;
    }());
}

// Runs into one folder in turn: each leaves its own language's marker and no
// other, so the product starts in the language chosen last. A read-only
// marker of an older install goes too.
TEST_F(Install, EachRunLeavesOnlyItsOwnLanguagesMarker) {
    PrepareDisk(0, "markers");
    std::string destination = target_ + "\\Vestra";
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), NULL));
    ASSERT_TRUE(WriteWholeFile(destination + "\\Vestra.ita", ""));
    SetFileAttributesA((destination + "\\Vestra.ita").c_str(), FILE_ATTRIBUTE_READONLY);
    struct Run {
        int languageButton;
        std::vector<std::string> markers;  // afterwards
    } runs[] = {
        {101, {"Vestra.ger"}},  // Deutsch
        {102, {"Vestra.fr"}},   // Francais
        {100, {}},              // English
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.languageButton);
        StartSetup();
        ClickAndWait(GetDlgItem(window_, run.languageButton));
        PressOk(destination);
        for (int answer : {Yes, No, No}) {  // install, shortcut, run
            MessageBoxInfo box;
            ASSERT_TRUE(WaitForMessageBox(setup_, &box));
            Answer(box, answer);
        }
        EXPECT_EQ(0, WaitForExit(setup_));
        std::vector<std::string> found;
        for (const char* marker : Markers)
            if (FileExists(destination + "\\" + marker)) found.push_back(marker);
        EXPECT_EQ(run.markers, found);
    }
}

TEST_F(Install, DeclinedQuestionCreatesNothing) {
    Begin(0, "declined");
    std::string destination = target_ + "\\New\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, No);
    ExpectWindowOpenWithFocusInField();
    EXPECT_FALSE(FolderExists(target_ + "\\New"));
}

TEST_F(Install, InvalidDestinationsAfterYesLeaveTheWindowOpen) {
    Begin(0, "invalid");
    std::string tooLong = target_ + "\\" + std::string(300 - target_.size() - 1, 'L');
    ASSERT_EQ(300u, tooLong.size());
    struct Case {
        std::string text;
        std::string shown;  // in the question
        std::string refusal = "Invalid destination folder";
    } cases[] = {
        {"", ""},
        {"Q", "Q"},
        {"\\\\server\\share", "\\\\server\\share"},
        // The field gives at most 254 characters; the question cuts its insert.
        {tooLong, tooLong.substr(0, 255 - 16 - 3) + "...",
         "The destination folder is too long: at most 234 characters."},
        // Relative, or resolved or trimmed by the system into another folder.
        {"..\\relx-e2e", "..\\relx-e2e"},
        {"relx-e2e", "relx-e2e"},
        {target_ + "\\..\\..", target_ + "\\..\\.."},
        {target_ + "\\a\\\\b", target_ + "\\a\\\\b"},
        {target_ + "\\trail ", target_ + "\\trail "},
        {target_ + "\\con.txt", target_ + "\\con.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        PressOk(c.text);
        AnswerQuestion(c.shown, Yes);
        AnswerBox("Error", c.refusal, {IDOK}, IDOK, MB_ICONERROR);
        ExpectWindowOpenWithFocusInField();
    }
    EXPECT_TRUE(FilesOf(target_).empty());
    EXPECT_FALSE(FolderExists(tooLong.substr(0, target_.size() + 10)));
    for (const char* made : {"..\\relx-e2e", "relx-e2e", "C:\\relx-e2e"})
        EXPECT_FALSE(FolderExists(made)) << made;
    for (const char* made : {"\\a", "\\trail", "\\trail "})
        EXPECT_FALSE(FolderExists(target_ + made)) << made;
}

// A destination too long for the viewer's files is refused with its limit
// before anything is made; the longest one accepted gets every file. The
// limit is the same for both products.
TEST_F(Install, LongDestinationIsRefusedOrGetsEveryViewerFile) {
    for (int edition : {0, 1}) {
        SCOPED_TRACE(edition);
        Begin(edition, "long");
        auto pathOf = [&](size_t length) {
            return target_ + "\\" + std::string(length - target_.size() - 1, 'v');
        };
        std::string refused = pathOf(235), longest = pathOf(234);  // 235 with its backslash
        PressOk(refused);
        AnswerQuestion(refused, Yes);
        AnswerBox("Error", "The destination folder is too long: at most 234 characters.", {IDOK},
                  IDOK, MB_ICONERROR);
        ExpectWindowOpenWithFocusInField();
        EXPECT_FALSE(FolderExists(longest));
        PressOk(longest);
        AnswerQuestion(longest, Yes);
        FinishWithoutExtras();
        ExpectSameFiles(disk_, longest, 31);
        ExpectSameFiles(disk_ + "\\viewer", longest + "\\viewer", 3);
        DeleteTree(longest);
    }
}

TEST_F(Install, ShortcutThroughTheProgramManagerStandIn) {
    std::string link = StandInShortcut(0);
    DeleteFileA(link.c_str());
    DeleteFileA(OwnShortcut(0).c_str());
    Process standIn = StartProgramManagerStandIn();
    ASSERT_TRUE(standIn.handle != NULL);
    Begin(0, "shortcut");
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    AnswerShortcutAndRun(Yes, No);  // no warning between the questions
    StopProgramManagerStandIn(standIn);
    ASSERT_TRUE(FileExists(link));
    EXPECT_TRUE(EqualPaths(destination + "\\Vestra.exe", ShortcutTarget(link)))
        << ShortcutTarget(link);
    EXPECT_FALSE(FileExists(OwnShortcut(0)));  // accepted: no second item
    DeleteFileA(link.c_str());
}

// One shortcut whatever the server does: where it makes no item, setup makes
// its own, quietly; where its item comes all the same (unacknowledged, or
// acknowledged after setup stopped waiting), setup's is not made or is taken
// back.
TEST_F(Install, OneShortcutWhateverTheServerAnswers) {
    enum Link { None, StandIns, Setups };
    auto linkAt = [](const std::string& path) {
        Shortcut link = ReadShortcut(path);  // the stand-in gives its links no icon
        if (link.target.empty()) return None;
        return link.icon.empty() ? StandIns : Setups;
    };
    struct Case {
        const char* mode;
        size_t requests;        // the AddItem reached the stand-in, not Wine's own server
        Link users, allUsers;   // in the end, in the Programs folders
        bool itemAfterTheWait;  // made and acknowledged once setup has made its own
    } cases[] = {
        {"--refuse", 1, None, Setups, false},
        {"--no-ack", 1, StandIns, None, false},
        {"--no-ack --all-users", 1, None, StandIns, false},
        {"--ack-delay 8000", 1, StandIns, None, false},
        {"--ack-when-told --late-item", 1, StandIns, None, true},
        {"--vanish", 0, None, Setups, false},
        {"--die", 1, None, Setups, false},  // killed while setup waits for the answer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        DeleteFileA(StandInShortcut(0).c_str());
        DeleteFileA(OwnShortcut(0).c_str());
        std::string name = std::string("shortcut") + (c.mode + 1);
        for (char& ch : name)
            if (ch == ' ') ch = '-';
        std::string log = ScratchFolder(name + "-log") + "\\standin.log";
        Process standIn =
            StartProgramManagerStandIn(std::string(c.mode) + " --log \"" + log + "\"");
        ASSERT_TRUE(standIn.handle != NULL);
        Begin(0, name);
        std::string destination = target_ + "\\Vestra";
        PressOk(destination);
        AnswerQuestion(destination, Yes);
        if (c.itemAfterTheWait) {
            AnswerBox("Vestra", "Create program shortcut?", {Yes, No}, Yes);
            MessageBoxInfo run = ExpectBox("Vestra", "Setup complete. Run program?", {Yes, No});
            EXPECT_EQ(Setups, linkAt(OwnShortcut(0)));
            // Setup has stopped waiting: only now the answer comes, with the item.
            PostMessageA(ProgramManagerStandInWindow(standIn), WM_APP, 0, 0);
            // Until the acknowledgement has been handled, or the bound has passed.
            DWORD start = GetTickCount();
            while (linkAt(OwnShortcut(0)) != None && GetTickCount() - start < 60000) Sleep(20);
            Answer(run, No);
            EXPECT_EQ(0, WaitForExit(setup_));
        } else {
            AnswerShortcutAndRun(Yes, No);
        }
        StopProgramManagerStandIn(standIn);
        EXPECT_EQ(c.requests, ReadStandInLog(log).size());
        EXPECT_EQ(c.users, linkAt(StandInShortcut(0)));
        EXPECT_EQ(c.allUsers, linkAt(OwnShortcut(0)));
        if (c.allUsers == Setups) ExpectOwnShortcut(0, destination);
        DeleteFileA(OwnShortcut(0).c_str());
        DeleteFileA(StandInShortcut(0).c_str());
    }
}

// The warning comes only when setup cannot make its own shortcut either: here
// a folder of the shortcut's name stands in both Programs folders.
TEST_F(Install, ShortcutWithoutAUsableServerWarnsAndGoesOn) {
    BlockedShortcuts blocked(0);
    // It answers the broadcast and is gone before the request is posted.
    Process standIn = StartProgramManagerStandIn("--vanish");
    ASSERT_TRUE(standIn.handle != NULL);
    Begin(0, "shortcut-gone");
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    expectShortcutWarning_ = true;
    AnswerShortcutAndRun(Yes, No);
    StopProgramManagerStandIn(standIn);
    EXPECT_EQ("\"" + destination + "\\Vestra.exe\" uninst",
              Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "UninstallString"));
}

// A window that takes no messages must not hold the broadcast, and so the
// install: the run question still comes within the robot's bound.
TEST_F(Install, HungWindowDoesNotHoldTheShortcut) {
    DeleteFileA(StandInShortcut(0).c_str());
    Process standIn = StartProgramManagerStandIn();
    ASSERT_TRUE(standIn.handle != NULL);
    HungWindow hung;
    ASSERT_TRUE(hung.window != NULL);
    Begin(0, "shortcut-hung");
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    AnswerShortcutAndRun(Yes, No);
    StopProgramManagerStandIn(standIn);
    EXPECT_TRUE(FileExists(StandInShortcut(0)));
    DeleteFileA(StandInShortcut(0).c_str());
}

TEST_F(Install, Edition1UninstallEntry) {
    Begin(1, "edition1");
    std::string destination = target_ + "\\Tools";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    FinishWithoutExtras();
    EXPECT_TRUE(FileExists(destination + "\\kminspector.exe"));
    EXPECT_FALSE(FileExists(destination + "\\Vestra.exe"));
    ExpectUninstallEntry(1, destination);
    EXPECT_EQ(destination, Registry(HKEY_CURRENT_USER, PerUserKeys[1], "Path"));
    EXPECT_EQ("<none>", Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "DisplayName"));
}

TEST_F(Install, ChineseUsesEnglishTextsAndAnEmptyCaption) {
    BlockedShortcuts blocked(1);  // with the server gone, the shortcut fails
    Process standIn = StartProgramManagerStandIn("--vanish");
    ASSERT_TRUE(standIn.handle != NULL);
    Begin(1, "chinese");
    ClickAndWait(GetDlgItem(window_, 106));
    PressOk("Q");
    AnswerQuestion("Q", Yes);
    AnswerBox("", "Invalid destination folder", {IDOK}, IDOK, MB_ICONERROR);
    std::string destination = target_ + "\\Kellum";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    expectShortcutWarning_ = true;
    errorCaption_ = "";
    AnswerShortcutAndRun(Yes, No);
    StopProgramManagerStandIn(standIn);
    EXPECT_TRUE(FileExists(destination + "\\Vestra.cn"));
}

}  // namespace
