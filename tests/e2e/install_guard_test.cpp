// Enter starts the installation; a second OK or a close request while it runs
// neither starts another nor destroys the window under it.
#include <gtest/gtest.h>

#include "install_robot.h"

using namespace robot;

// What a stopped copy ends with (the README names it).
const int InterruptedExitCode = 2;

namespace {

using Install = InstallSession;

TEST_F(Install, EnterInTheFieldAsksTheInstallQuestion) {
    Begin(0, "enter");
    std::string destination = target_ + "\\Vestra";
    SetText(Field(), destination);
    PressKey(Field(), VK_RETURN);
    AnswerQuestion(destination, No);
    ExpectWindowOpenWithFocusInField();
}

// Second OK and a close request while the question is up: no second question,
// the window outlives the box and closes once the procedure has returned.
TEST_F(Install, OkAndCloseWhileTheQuestionIsUp) {
    Begin(0, "guard-question");
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    MessageBoxInfo box = ExpectBox("Setup", "Install into \"" + destination + "\"?", {Yes, No});
    PostMessageA(window_, WM_COMMAND, IDOK, 0);
    PostMessageA(window_, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(window_, WM_CLOSE, 0, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(1u, TopLevelWindows(setup_, "#32770").size());
    Answer(box, Yes);
    EXPECT_EQ(0, WaitForExit(setup_));
    EXPECT_FALSE(FolderExists(destination));  // the held close stopped it first
}

// The same while files are being copied (the failed-copy box of row 4 is up,
// the manifest copy half done): the copy stops after that row.
TEST_F(Install, OkAndCloseWhileCopying) {
    PrepareDisk(0, "guard-copy");
    ASSERT_TRUE(DeleteFileA((disk_ + "\\vstcore.dll").c_str()));
    StartSetup();
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    MessageBoxInfo box = ExpectBox(disk_ + "\\vstcore.dll", SystemText(ERROR_FILE_NOT_FOUND),
                                   {Abort, Retry, Ignore});
    // (The system menu's close does nothing while the box disables the window.)
    PostMessageA(window_, WM_COMMAND, IDOK, 0);
    PostMessageA(window_, WM_COMMAND, IDCANCEL, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(1u, TopLevelWindows(setup_, "#32770").size());
    Answer(box, Ignore);
    EXPECT_EQ(InterruptedExitCode, WaitForExit(setup_));
    EXPECT_TRUE(FileExists(destination + "\\vstsym.dat"));
    EXPECT_FALSE(FileExists(destination + "\\vstgrx.dll"));
}

// The session's end is refused only while installing; when it ends all the
// same, the copy stops after the file at hand as on a close.
TEST_F(Install, SessionEndRefusedWhileCopying) {
    PrepareDisk(0, "session-end");
    ASSERT_TRUE(DeleteFileA((disk_ + "\\vstcore.dll").c_str()));
    StartSetup();
    auto queryEnd = [&] {
        DWORD_PTR result = 99;
        EXPECT_TRUE(
            SendMessageTimeoutA(window_, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &result));
        return result;
    };
    EXPECT_NE(0u, queryEnd());
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    MessageBoxInfo box = ExpectBox(disk_ + "\\vstcore.dll", SystemText(ERROR_FILE_NOT_FOUND),
                                   {Abort, Retry, Ignore});
    EXPECT_EQ(0u, queryEnd());
    DWORD_PTR ignored;
    EXPECT_TRUE(SendMessageTimeoutA(window_, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &ignored));
    Answer(box, Ignore);
    EXPECT_EQ(InterruptedExitCode, WaitForExit(setup_));
    EXPECT_TRUE(FileExists(destination + "\\vstsym.dat"));
    EXPECT_FALSE(FileExists(destination + "\\vstgrx.dll"));
}

// Posted while the manifest rows are being copied: the pumps dispatch them.
TEST_F(Install, CloseDuringTheCopyPumps) {
    Begin(0, "guard-pump");
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    DWORD start = GetTickCount();
    while (!FileExists(destination + "\\Vestra.exe") && GetTickCount() - start < 10000) Sleep(1);
    PostMessageA(window_, WM_COMMAND, IDOK, 0);
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(InterruptedExitCode, WaitForExit(setup_));
    EXPECT_TRUE(FileExists(destination + "\\Vestra.exe"));
    EXPECT_FALSE(FileExists(destination + "\\Vestra-d.cnt"));
}

}  // namespace
