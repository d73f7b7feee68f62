// Installing the product as a user does: the questions and messages, the files,
// the registry, the marker, the shortcut and the started product.
#include <gtest/gtest.h>

#include "install_robot.h"
#include "progman_robot.h"

using namespace robot;

namespace {

using Install = InstallSession;

TEST_F(Install, EnglishIntoANewTwoLevelFolderWithSpaces) {
    Begin(0, "english");
    std::string destination = target_ + "\\Two Levels\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    FinishWithoutExtras();

    ExpectSameFiles(disk_, destination, 31);
    ExpectSameFiles(disk_ + "\\viewer", destination + "\\viewer", 3);
    EXPECT_EQ("Vestra", Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "DisplayName"));
    EXPECT_EQ("\"" + destination + "\\Vestra.exe\" uninst",
              Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "UninstallString"));
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
    EXPECT_EQ("\"" + destination + "Vestra.exe\"", product.Line("Command line: "));
    // No second backslash was added to a text that ends in one.
    EXPECT_EQ(destination.substr(0, destination.size() - 1),
              Registry(HKEY_CURRENT_USER, PerUserKeys[0], "Path"));
    EXPECT_EQ(1u, ChildProcesses(setup_).size());
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
    EXPECT_EQ(std::vector<std::string>{"Vestra.ger"},
              [&] {
                  std::vector<std::string> found;
                  for (const char* m : Markers)
                      if (FileExists(destination + "\\" + m)) found.push_back(m);
                  return found;
              }());
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
    } cases[] = {
        {"", ""},
        {"Q", "Q"},
        {"\\\\server\\share", "\\\\server\\share"},
        // The field gives at most 254 characters; the question cuts its insert.
        {tooLong, tooLong.substr(0, 255 - 16 - 3) + "..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        PressOk(c.text);
        AnswerQuestion(c.shown, Yes);
        AnswerBox("Error", "Invalid destination folder", {IDOK}, IDOK, MB_ICONERROR);
        ExpectWindowOpenWithFocusInField();
    }
    EXPECT_TRUE(FilesOf(target_).empty());
    EXPECT_FALSE(FolderExists(tooLong.substr(0, target_.size() + 10)));
}

TEST_F(Install, ShortcutThroughTheProgramManagerStandIn) {
    std::string link = ProgramsFolder() + "\\Vestra.lnk";
    DeleteFileA(link.c_str());
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
    DeleteFileA(link.c_str());
}

TEST_F(Install, ShortcutWithoutAUsableServerWarnsAndGoesOn) {
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

TEST_F(Install, Edition1UninstallEntry) {
    Begin(1, "edition1");
    std::string destination = target_ + "\\Tools";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    FinishWithoutExtras();
    EXPECT_TRUE(FileExists(destination + "\\kminspector.exe"));
    EXPECT_FALSE(FileExists(destination + "\\Vestra.exe"));
    EXPECT_EQ("Kellum Inspector", Registry(HKEY_LOCAL_MACHINE, UninstallKeys[1], "DisplayName"));
    EXPECT_EQ("\"" + destination + "\\kminspector.exe\" uninst",
              Registry(HKEY_LOCAL_MACHINE, UninstallKeys[1], "UninstallString"));
    EXPECT_EQ(destination, Registry(HKEY_CURRENT_USER, PerUserKeys[1], "Path"));
    EXPECT_EQ("<none>", Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "DisplayName"));
}

TEST_F(Install, ChineseUsesEnglishTextsAndAnEmptyCaption) {
    Process standIn = StartProgramManagerStandIn("--vanish");  // the shortcut fails
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
