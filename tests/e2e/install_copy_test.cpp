// The manifest copy when files are missing or in the way.
#include <gtest/gtest.h>

#include "install_robot.h"

using namespace robot;

namespace {

using Install = InstallSession;

TEST_F(Install, MissingMandatoryFileAsksAndRetryGoesOn) {
    PrepareDisk(0, "mandatory");
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(disk_ + "\\vstcore.dll", &kept));
    ASSERT_TRUE(DeleteFileA((disk_ + "\\vstcore.dll").c_str()));
    StartSetup();
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    MessageBoxInfo box = ExpectBox(disk_ + "\\vstcore.dll", SystemText(ERROR_FILE_NOT_FOUND),
                                   {Abort, Retry, Ignore});
    ASSERT_TRUE(WriteWholeFile(disk_ + "\\vstcore.dll", kept));
    Answer(box, Retry);
    FinishWithoutExtras();
    ExpectSameFiles(disk_, destination, 31);
}

TEST_F(Install, AbortKeepsTheFilesCopiedSoFar) {
    PrepareDisk(0, "abort");
    ASSERT_TRUE(DeleteFileA((disk_ + "\\vstcore.dll").c_str()));
    StartSetup();
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    AnswerBox(disk_ + "\\vstcore.dll", SystemText(ERROR_FILE_NOT_FOUND), {Abort, Retry, Ignore},
              Abort, MB_ICONERROR);
    ExpectWindowOpenWithFocusInField();
    for (const char* name : {"Vestra.exe", "vstmain.dat", "vstfont.dat", "vstsym.dat"})
        EXPECT_TRUE(FileExists(destination + "\\" + name)) << name;
    for (const char* name : {"vstcore.dll", "vstgrx.dll", "readme.txt"})
        EXPECT_FALSE(FileExists(destination + "\\" + name)) << name;
}

TEST_F(Install, MissingOptionalFileAndViewerFolderArePassedOver) {
    PrepareDisk(0, "optional");
    ASSERT_TRUE(DeleteFileA((disk_ + "\\vstzip.dll").c_str()));
    ASSERT_TRUE(DeleteTree(disk_ + "\\viewer"));
    StartSetup();
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    FinishWithoutExtras();  // no box before the shortcut question
    EXPECT_FALSE(FileExists(destination + "\\vstzip.dll"));
    EXPECT_TRUE(FileExists(destination + "\\vstmapi.dll"));
    EXPECT_TRUE(FolderExists(destination + "\\viewer"));
    EXPECT_TRUE(FilesOf(destination + "\\viewer").empty());
}

TEST_F(Install, ReadOnlyFileInTheWayIsReplacedWithArchiveOnly) {
    Begin(0, "readonly");
    std::string destination = target_ + "\\Vestra";
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), NULL));
    std::string program = destination + "\\Vestra.exe";
    ASSERT_TRUE(WriteWholeFile(program, "old"));
    ASSERT_TRUE(SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_READONLY |
                                                        FILE_ATTRIBUTE_HIDDEN));
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    FinishWithoutExtras();
    std::string a, b;
    ASSERT_TRUE(ReadWholeFile(disk_ + "\\Vestra.exe", &a));
    ASSERT_TRUE(ReadWholeFile(program, &b));
    EXPECT_TRUE(a == b);
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(program.c_str()));
}

TEST_F(Install, ProductThatCannotStartIsReportedAndTheWindowCloses) {
    Begin(0, "start-failure");
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    AnswerBox("Vestra", "Create program shortcut?", {Yes, No}, No);
    MessageBoxInfo run = ExpectBox("Vestra", "Setup complete. Run program?", {Yes, No});
    ASSERT_TRUE(DeleteFileA((destination + "\\Vestra.exe").c_str()));
    Answer(run, Yes);
    AnswerBox("Setup", "Unable to execute program file.", {IDOK}, IDOK, MB_ICONERROR);
    EXPECT_EQ(0, WaitForExit(setup_));
    EXPECT_TRUE(FindWindowA("KellumProduct", NULL) == NULL);
}

}  // namespace
