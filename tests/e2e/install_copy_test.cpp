// The manifest copy when files are missing or in the way, and a long copy:
// the window keeps answering and shows its progress.
#include <gtest/gtest.h>

#include "install_robot.h"

using namespace robot;

namespace {

using Install = InstallSession;

const ULONGLONG LargeSize = 256ull << 20;

// Zeros of LargeSize bytes, without writing them: the copy writes them all.
bool MakeLargeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end;
    end.QuadPart = (LONGLONG)LargeSize;
    bool made = SetFilePointerEx(file, end, NULL, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return made;
}

ULONGLONG SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (ULONGLONG)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}

unsigned SystemColour(int index) {
    COLORREF c = GetSysColor(index);
    return Rgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// What the robot saw while setup.exe copied the large file to `copy`.
struct CopyWatch {
    int unanswered = 0;       // WM_NULL not answered within a second
    int answeredMidCopy = 0;  // answered while the copy was still growing
    std::string text;         // the progress box's text meanwhile
    bool drawn = false;       // its background and bar frame on the screen
    RECT box = {};
};

void Poll(HWND window, const std::string& copy, CopyWatch* watch) {
    DWORD_PTR result;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) {
        ++watch->unanswered;
        return;
    }
    ULONGLONG copied = SizeOf(copy);
    if (copied == 0 || copied >= LargeSize) return;
    ++watch->answeredMidCopy;
    HWND box = FindWindowExA(window, NULL, "SetupProgress", NULL);
    if (!box || !IsWindowVisible(box)) return;
    watch->text = TextOf(box);
    GetWindowRect(box, &watch->box);
    Screenshot shot = CaptureWindow(box);
    // Inside the frame, and the bar's own frame under the text line.
    watch->drawn |= shot.width > 8 && shot.height > 30 &&
                    shot.At(2, 2) == SystemColour(COLOR_BTNFACE) &&
                    shot.At(4, 30) == SystemColour(COLOR_BTNSHADOW);
}

bool SameRect(const Screenshot& a, const Screenshot& b, const RECT& r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (a.At(x, y) != b.At(x, y)) return false;
    return true;
}

// A pattern file of 256 MiB: the window answers throughout, the box names the
// file while it is copied and leaves the banner as it was once the copy is done.
TEST_F(Install, LongCopyAnswersShowsItsProgressAndClearsIt) {
    PrepareDisk(0, "long-copy");
    ASSERT_TRUE(MakeLargeFile(disk_ + "\\large.txt"));
    StartSetup();
    Settle(window_);
    Screenshot before = CaptureScreen();
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    CopyWatch watch;
    DWORD start = GetTickCount();
    while (TopLevelWindows(setup_, "#32770").empty() && GetTickCount() - start < 120000) {
        Poll(window_, destination + "\\large.txt", &watch);
        Sleep(5);
    }
    EXPECT_EQ(0, watch.unanswered);
    EXPECT_GT(watch.answeredMidCopy, 0);
    EXPECT_EQ(0u, watch.text.find("large.txt  ")) << watch.text;
    EXPECT_NE(std::string::npos, watch.text.find(" / ")) << watch.text;
    EXPECT_TRUE(watch.drawn);

    // At the shortcut question: no box, and its place painted over.
    EXPECT_TRUE(FindWindowExA(window_, NULL, "SetupProgress", NULL) == NULL);
    bool cleared = false;
    for (int wait = 0; wait < 100 && !cleared; ++wait, Sleep(20))
        cleared = SameRect(before, CaptureScreen(), watch.box);
    EXPECT_TRUE(cleared);
    FinishWithoutExtras();
    EXPECT_EQ(LargeSize, SizeOf(destination + "\\large.txt"));
    DeleteTree(disk_);
    DeleteTree(destination);
}

// A close and a second OK during a long manifest copy: no second question,
// and the window closes once that file is copied, before the next row.
TEST_F(Install, CloseAndOkDuringALongCopyTakeEffectAfterThatFile) {
    PrepareDisk(0, "long-close");
    ASSERT_TRUE(MakeLargeFile(disk_ + "\\vstsampl.dat"));
    StartSetup();
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    CopyWatch watch;
    DWORD start = GetTickCount();
    while (!watch.answeredMidCopy && TopLevelWindows(setup_, "#32770").empty() &&
           GetTickCount() - start < 120000) {
        Poll(window_, destination + "\\vstsampl.dat", &watch);
        Sleep(5);
    }
    ASSERT_GT(watch.answeredMidCopy, 0);
    PostMessageA(window_, WM_COMMAND, IDOK, 0);
    PostMessageA(window_, WM_CLOSE, 0, 0);
    Settle(window_);
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_TRUE(TopLevelWindows(setup_, "#32770").empty());
    EXPECT_EQ(0, WaitForExit(setup_, 120000));
    EXPECT_EQ(LargeSize, SizeOf(destination + "\\vstsampl.dat"));
    EXPECT_FALSE(FileExists(destination + "\\Vestra.hlp"));
    DeleteTree(disk_);
    DeleteTree(destination);
}

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
              Abort);
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
    AnswerBox("Setup", "Unable to execute program file.", {IDOK}, IDOK);
    EXPECT_EQ(0, WaitForExit(setup_));
    EXPECT_TRUE(FindWindowA("KellumProduct", NULL) == NULL);
}

}  // namespace
