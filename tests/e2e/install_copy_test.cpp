// The copy when files are missing, unreadable or in the way, when the
// destination's drive is full, and a long copy: the window keeps answering
// and shows its progress. A sealed, signed disk whose files were changed.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <set>

#include "accessible_robot.h"
#include "install_robot.h"

using namespace robot;

namespace {

using Install = InstallSession;

const ULONGLONG LargeSize = 256ull << 20;

// Zeros of LargeSize bytes, without writing them: the copy writes them all.
bool MakeLargeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end;
    end.QuadPart = (LONGLONG)LargeSize;
    bool made = SetFilePointerEx(file, end, NULL, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return made;
}
bool MakeLargeFile(const std::string& path) { return MakeLargeFile(WideOf(path)); }

ULONGLONG SizeOf(const std::string& path) { return FileSize(WideOf(path)); }

unsigned SystemColour(int index) {
    COLORREF c = GetSysColor(index);
    return Rgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The copy on its way: the largest file in the folder (the demo's own files
// are far smaller), under its own name or, where it replaces a file, in a
// "~stp*.tmp" of setup's. Read from the search: a file the system is to
// delete unless whole may not be opened meanwhile.
ULONGLONG GrowingCopySize(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    ULONGLONG largest = 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            largest = std::max(largest, (ULONGLONG)entry.nFileSizeHigh << 32 | entry.nFileSizeLow);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return largest;
}

// What the robot saw while setup.exe copied the large file into `folder`.
struct CopyWatch {
    int unanswered = 0;       // WM_NULL not answered within a second
    int answeredMidCopy = 0;  // answered while the copy was still growing
    std::wstring text;        // the progress box's text meanwhile
    std::string name;         // and its name, as a screen reader says it
    bool drawn = false;       // its background and bar frame on the screen
    std::set<int> fills;      // the bar's filled widths seen
    RECT box = {};
};

// Pixels of the bar's row filled with the highlight colour.
int BarFill(const Screenshot& shot) {
    int fill = 0;
    for (int x = 5; x < shot.width - 5; ++x)
        fill += shot.At(x, 30) == SystemColour(COLOR_HIGHLIGHT);
    return fill;
}

void Poll(HWND window, const std::string& folder, CopyWatch* watch) {
    DWORD_PTR result;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result)) {
        ++watch->unanswered;
        return;
    }
    // The demo's own files are far smaller: a copy this large is the large file's.
    ULONGLONG copied = GrowingCopySize(folder);
    if (copied < LargeSize / 16 || copied >= LargeSize) return;
    ++watch->answeredMidCopy;
    HWND box = FindWindowExA(window, NULL, "SetupProgress", NULL);
    if (!box || !IsWindowVisible(box)) return;
    // The large file is the last: its copy may end, and the box go, between
    // two reads. Only a box still there after both is believed.
    std::wstring text = WideTextOf(box);
    std::string name = AccessibleName(box);
    if (!IsWindow(box)) return;
    watch->text = text;
    watch->name = name;
    GetWindowRect(box, &watch->box);
    Screenshot shot = CaptureWindow(box);
    // Inside the frame, and the bar's own frame under the text line.
    watch->drawn |= shot.width > 8 && shot.height > 30 &&
                    shot.At(2, 2) == SystemColour(COLOR_BTNFACE) &&
                    shot.At(4, 30) == SystemColour(COLOR_BTNSHADOW);
    if (shot.height > 30) watch->fills.insert(BarFill(shot));
}

bool SameRect(const Screenshot& a, const Screenshot& b, const RECT& r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (a.At(x, y) != b.At(x, y)) return false;
    return true;
}

// A pattern file of 256 MiB, the last the run copies (no other "*.tpl", no
// viewer folder), named outside code page 1252: the window answers
// throughout, the box names the file as it is with its exact count while it
// is copied, its bar moves within the file, and it leaves the banner as it
// was once the copy is done.
TEST_F(Install, LongCopyAnswersShowsItsProgressAndClearsIt) {
    PrepareDisk(0, "long-copy");
    for (const std::string& name : FilesOf(disk_))
        if (name.size() > 4 && name.substr(name.size() - 4) == ".tpl") {
            ASSERT_TRUE(DeleteFileA((disk_ + "\\" + name).c_str()));
        }
    ASSERT_TRUE(DeleteTree(disk_ + "\\viewer"));
    const std::wstring large = L"large-\u65E5\u672C.tpl";
    ASSERT_TRUE(MakeLargeFile(WideOf(disk_) + L"\\" + large));
    std::string files = std::to_string(FilesOf(disk_).size() - 1);  // setup.exe aside
    StartSetup();
    Settle(window_);
    Screenshot before = CaptureScreen();
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    CopyWatch watch;
    DWORD start = GetTickCount();
    while (TopLevelWindows(setup_, "#32770").empty() && GetTickCount() - start < 120000) {
        Poll(window_, destination, &watch);
        Sleep(5);
    }
    EXPECT_EQ(0, watch.unanswered);
    EXPECT_GT(watch.answeredMidCopy, 0);
    EXPECT_TRUE(watch.text == large + L"  " + WideOf(files + " / " + files));
    EXPECT_EQ(0u, watch.name.find("large-")) << watch.name;
    EXPECT_GE(watch.fills.size(), 2u) << "the bar stood still within the file";
    EXPECT_TRUE(watch.drawn);

    // At the shortcut question: no box, and its place painted over.
    EXPECT_TRUE(FindWindowExA(window_, NULL, "SetupProgress", NULL) == NULL);
    bool cleared = false;
    for (int wait = 0; wait < 100 && !cleared; ++wait, Sleep(20))
        cleared = SameRect(before, CaptureScreen(), watch.box);
    EXPECT_TRUE(cleared);
    FinishWithoutExtras();
    EXPECT_EQ(LargeSize, FileSize(WideOf(destination) + L"\\" + large));
    DeleteTree(disk_);
    DeleteTree(destination);
}

// A product with 2,000 more pattern and viewer files, every seventh named
// outside code page 1252: all arrive byte for byte under their own names, the
// progress box counts them against the one right total, and the uninstall
// entry's size is theirs.
TEST_F(Install, TwoThousandMoreFilesArriveAndAreCounted) {
    PrepareDisk(0, "many");
    const std::wstring disk = WideOf(disk_);
    const wchar_t* const suffixes[] = {L".whs", L".txt", L".tpl"};
    for (int i = 0; i < 2000; ++i) {
        std::wstring name =
            (i % 7 ? L"file-" : L"\u65E5\u672C\u0414\u0438\u0441\u043A-") + std::to_wstring(i);
        name = i % 4 == 3 ? L"\\viewer\\" + name + L".dat" : L"\\" + name + suffixes[i % 4];
        ASSERT_TRUE(WriteWholeFile(disk + name, std::string(i * 37 % 3000, (char)('a' + i % 26))));
    }
    StartSetup();
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    int total = -1, totals = 0, last = 0, backwards = 0;
    DWORD start = GetTickCount();
    while (TopLevelWindows(setup_, "#32770").empty() && GetTickCount() - start < 200000) {
        HWND box = FindWindowExA(window_, NULL, "SetupProgress", NULL);
        int number = 0, shownTotal = 0;
        if (box && ReadCopyCount(TextOf(box), &number, &shownTotal)) {
            if (shownTotal != total) ++totals, total = shownTotal;
            if (number < last) ++backwards;
            last = number;
        }
        Sleep(5);
    }
    FinishWithoutExtras();
    unsigned long long bytes = 0;
    size_t files = ExpectSameFilesByWideName(disk, WideOf(destination), &bytes);
    EXPECT_EQ(34u + 2000, files);
    EXPECT_EQ((int)files, total);
    EXPECT_EQ(1, totals);
    EXPECT_EQ(0, backwards);
    EXPECT_GT(last, 34);
    DWORD size = 0;
    EXPECT_TRUE(ReadRegistryNumber(HKEY_LOCAL_MACHINE, UninstallKeys[0], "EstimatedSize", &size));
    EXPECT_EQ((bytes + 1023) / 1024, size);
    DeleteTree(disk_);
    DeleteTree(destination);
}

// A stop during a long manifest copy: a close with a second OK, Escape (as
// Cancel) or a quit. No second question; the program ends with 2 once that
// file is copied, before the next row, and records nothing.
TEST_F(Install, StopsDuringALongCopyTakeEffectAfterThatFile) {
    enum Stop { CloseAndOk, Escape, Quit };
    for (Stop stop : {CloseAndOk, Escape, Quit}) {
        SCOPED_TRACE(stop);
        PrepareDisk(0, "long-stop-" + std::to_string(stop));
        ASSERT_TRUE(MakeLargeFile(disk_ + "\\vstsampl.dat"));
        StartSetup();
        std::string destination = target_ + "\\Vestra";
        PressOk(destination);
        AnswerQuestion(destination, Yes);
        CopyWatch watch;
        DWORD start = GetTickCount();
        while (!watch.answeredMidCopy && TopLevelWindows(setup_, "#32770").empty() &&
               GetTickCount() - start < 120000) {
            Poll(window_, destination, &watch);
            Sleep(5);
        }
        ASSERT_GT(watch.answeredMidCopy, 0);
        if (stop == CloseAndOk) {
            PostMessageA(window_, WM_COMMAND, IDOK, 0);
            PostMessageA(window_, WM_CLOSE, 0, 0);
        } else if (stop == Escape) {
            PressKey(Field(), VK_ESCAPE);
        } else {
            PostThreadMessageA(GetWindowThreadProcessId(window_, NULL), WM_QUIT, 0, 0);
        }
        if (stop != Quit) {
            // Held: the window goes only once the file is in place.
            Settle(window_);
            EXPECT_TRUE(IsWindow(window_) || SizeOf(destination + "\\vstsampl.dat") == LargeSize);
        }
        EXPECT_TRUE(TopLevelWindows(setup_, "#32770").empty());
        EXPECT_EQ(2, WaitForExit(setup_, 120000));  // stopped: not a finished install
        EXPECT_EQ(LargeSize, SizeOf(destination + "\\vstsampl.dat"));
        EXPECT_FALSE(FileExists(destination + "\\Vestra.hlp"));
        EXPECT_EQ("<none>", Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "DisplayName"));
        EXPECT_EQ("<none>", Registry(HKEY_CURRENT_USER, PerUserKeys[0], "Path"));
        DeleteTree(disk_);
        DeleteTree(destination);
    }
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

TEST_F(Install, ReadOnlyFilesInTheWayAreReplaced) {
    Begin(0, "readonly");
    std::string destination = target_ + "\\Vestra";
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((destination + "\\viewer").c_str(), NULL));
    std::string program = destination + "\\Vestra.exe";
    for (const char* name : {"Vestra.exe", "readme.txt", "viewer\\vview.txt"}) {
        std::string old = destination + "\\" + name;
        ASSERT_TRUE(WriteWholeFile(old, "old"));
        ASSERT_TRUE(
            SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    }
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    FinishWithoutExtras();
    ExpectSameFiles(disk_, destination, 31);
    ExpectSameFiles(disk_ + "\\viewer", destination + "\\viewer", 3);
    // A manifest file is left with the archive attribute alone.
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(program.c_str()));
}

// An unreadable source is named in the caption, not the destination, and an
// optional file that is there but fails is asked about like a mandatory one.
// A name outside code page 1252 is named as it is.
TEST_F(Install, SourceHeldOpenIsNamedAndAskedAbout) {
    for (const wchar_t* name : {L"vstzip.dll", L"\u65E5\u672C.txt"}) {
        PrepareDisk(0, "held-source");
        std::wstring held = WideOf(disk_) + L"\\" + name;  // the second made here, empty
        HANDLE file = CreateFileW(held.c_str(), GENERIC_READ, 0, NULL, OPEN_ALWAYS, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        StartSetup();
        std::string destination = target_ + "\\Vestra";
        PressOk(destination);
        AnswerQuestion(destination, Yes);
        MessageBoxInfo box;
        ASSERT_TRUE(WaitForMessageBox(setup_, &box));
        EXPECT_TRUE(box.wideCaption == held);
        EXPECT_EQ(SystemText(ERROR_SHARING_VIOLATION), box.text);
        EXPECT_EQ((std::vector<int>{Abort, Retry, Ignore}), box.buttons);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
                  GetFileAttributesW((WideOf(destination) + L"\\" + name).c_str()));
        CloseHandle(file);
        Answer(box, Retry);
        FinishWithoutExtras();
        unsigned long long bytes = 0;
        EXPECT_EQ(34u + (name[0] != L'v'),
                  ExpectSameFilesByWideName(WideOf(disk_), WideOf(destination), &bytes));
    }
}

// A setup folder the program cannot read every file from is refused at start,
// before a file could be missed, with exit code 1 and nothing recorded: one
// that leaves no room for a name on its disk, and one whose name the ANSI
// code page cannot hold.
TEST_F(Install, SetupFolderItCannotReadFromIsRefused) {
    std::string scratch = ScratchFolder("source-refused");
    const std::wstring outsideCodePage = L"\u0414\u0438\u0441\u043A \u65E5\u672C";
    BOOL lossy = FALSE;
    char ansi[64];
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, outsideCodePage.c_str(), -1, ansi,
                        sizeof ansi, NULL, &lossy);
    ASSERT_TRUE(lossy) << "the system code page " << GetACP() << " holds the folder's name";
    struct Case {
        std::wstring folder;
        bool longName;  // a name on the disk that the folder leaves no room for
        const char* text;
    } cases[] = {
        {std::wstring(229 - scratch.size(), L'd'), true,  // with "\\": 230
         "The setup program's folder path is too long."},
        {outsideCodePage, false,
         "The setup program's folder name holds characters outside the system's code page. "
         "Copy the setup files into a folder with another name."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string copy = scratch + "\\copy";
        ASSERT_TRUE(CopyTree(DiskFolder(0), copy));
        if (c.longName) {
            ASSERT_TRUE(WriteWholeFile(copy + "\\" + std::string(26 - 4, 'n') + ".txt", "x"));
        }
        std::wstring disk = std::wstring(scratch.begin(), scratch.end()) + L"\\" + c.folder;
        ASSERT_TRUE(MoveFileW(std::wstring(copy.begin(), copy.end()).c_str(), disk.c_str()));
        setup_ = Start(disk + L"\\setup.exe");
        ASSERT_TRUE(setup_.handle != NULL);
        AnswerBox("Error", c.text, {IDOK}, IDOK, MB_ICONERROR);
        EXPECT_EQ(1, WaitForExit(setup_));
        EXPECT_EQ("<none>", Registry(HKEY_CURRENT_USER, PerUserKeys[0], "Path"));
    }
}

// The small drive X: (8 MB, tests/wine/small-drive.sh) with all but
// leaveFree bytes taken by a file of its own.
class SmallDrive : public InstallSession {
protected:
    void SetUp() override {
        InstallSession::SetUp();
        if (GetFileAttributesA("X:\\") == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no small drive X: (the mount needs root)";
        DeleteTree("X:");  // all it holds; the root stays
    }
    void TearDown() override {
        InstallSession::TearDown();
        DeleteTree("X:");
    }
    static uint64_t FreeBytes() {
        ULARGE_INTEGER available;
        return GetDiskFreeSpaceExA("X:\\", &available, NULL, NULL) ? available.QuadPart : 0;
    }
    void Fill(uint64_t leaveFree) {
        uint64_t available = FreeBytes();
        ASSERT_GT(available, leaveFree);
        ASSERT_TRUE(WriteWholeFile(filler_, std::string((size_t)(available - leaveFree), 'f')));
    }
    // Bytes the disk's files take on the drive, the way the check counts them.
    uint64_t BytesOfDisk() {
        DWORD sectors = 0, bytes = 0, freeClusters, clusters;
        EXPECT_TRUE(GetDiskFreeSpaceA("X:\\", &sectors, &bytes, &freeClusters, &clusters));
        uint64_t cluster = (uint64_t)sectors * bytes, total = 0;
        for (std::string folder : {disk_, disk_ + "\\viewer"})
            for (const std::string& name : FilesOf(folder)) {
                if (name == "setup.exe") continue;
                std::string content;
                EXPECT_TRUE(ReadWholeFile(folder + "\\" + name, &content));
                total += (content.size() + cluster - 1) / cluster * cluster;
            }
        return total;
    }
    std::string filler_ = "X:\\filler";
};

TEST_F(SmallDrive, TooLittleSpaceIsRefusedBeforeAnythingIsCreated) {
    PrepareDisk(0, "full");
    StartSetup();
    Fill(2 << 20);
    uint64_t needed = BytesOfDisk(), available = FreeBytes();
    ASSERT_GT(needed, available);
    std::string destination = "X:\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    AnswerBox(
        "Error",
        "Not enough space on the destination drive: " + std::to_string((needed + 1023) / 1024) +
            " KB needed, " + std::to_string(available / 1024) + " KB free.",
        {IDOK}, IDOK);
    ExpectWindowOpenWithFocusInField();
    EXPECT_FALSE(FolderExists(destination));
}

// The root of a drive as the destination: the files land in X:\ itself and
// the records name it.
TEST_F(SmallDrive, InstallIntoTheDriveRoot) {
    PrepareDisk(0, "drive-root");
    StartSetup();
    PressOk("X:\\");
    AnswerQuestion("X:\\", Yes);
    FinishWithoutExtras();
    ExpectSameFiles(disk_, "X:", 31);
    ExpectSameFiles(disk_ + "\\viewer", "X:\\viewer", 3);
    EXPECT_EQ("\"X:\\Vestra.exe\" uninst",
              Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "UninstallString"));
    EXPECT_EQ("X:\\", Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "InstallLocation"));
    EXPECT_EQ("X:", Registry(HKEY_CURRENT_USER, PerUserKeys[0], "Path"));
}

// The drive fills after the check (while the box about a missing file is up):
// the copy that breaks off leaves no file, partial or ours, and is asked about.
TEST_F(SmallDrive, CopyThatFillsTheDriveLeavesNoPartialFileAndAsks) {
    PrepareDisk(0, "filled");
    ASSERT_TRUE(DeleteFileA((disk_ + "\\vstcore.dll").c_str()));
    StartSetup();
    std::string destination = "X:\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    MessageBoxInfo missing = ExpectBox(disk_ + "\\vstcore.dll", SystemText(ERROR_FILE_NOT_FOUND),
                                       {Abort, Retry, Ignore});
    Fill(100 << 10);  // vstgrx.dll, next, has 304 KB
    Answer(missing, Ignore);
    MessageBoxInfo full = ExpectBox(destination + "\\vstgrx.dll", SystemText(ERROR_DISK_FULL),
                                    {Abort, Retry, Ignore});
    std::vector<std::string> copied = {"Vestra.exe", "vstmain.dat", "vstfont.dat", "vstsym.dat"};
    std::vector<std::string> present = FilesOf(destination);
    std::sort(copied.begin(), copied.end());
    std::sort(present.begin(), present.end());
    EXPECT_EQ(copied, present);
    ASSERT_TRUE(DeleteFileA(filler_.c_str()));
    Answer(full, Retry);
    runQuestion_ = "Setup complete. Files not copied: 1. Run program?";  // the ignored one
    FinishWithoutExtras();
    ExpectSameFiles(disk_, destination, 30);
    ExpectSameFiles(disk_ + "\\viewer", destination + "\\viewer", 3);
}

// A disk with setup.exe alone, every failure ignored, over the leftovers of a
// run that was cut off (in the destination and its viewer folder) and an old
// program: the end says nothing was installed and names the count, offers no
// Run, records nothing (the old program is not this run's) and exits with 3;
// no temporary file stays.
TEST_F(Install, IgnoredFailuresAreCountedAndNothingIsRecorded) {
    PrepareDisk(0, "ignored");
    for (const std::string& name : FilesOf(disk_))
        if (name != "setup.exe") {
            ASSERT_TRUE(DeleteFileA((disk_ + "\\" + name).c_str()));
        }
    ASSERT_TRUE(DeleteTree(disk_ + "\\viewer"));
    std::string destination = target_ + "\\Vestra";
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), NULL));
    ASSERT_TRUE(WriteWholeFile(destination + "\\~stp0003.tmp", "cut off"));
    ASSERT_TRUE(CreateDirectoryA((destination + "\\viewer").c_str(), NULL));
    ASSERT_TRUE(WriteWholeFile(destination + "\\viewer\\~stpA004.tmp", "cut off"));
    ASSERT_TRUE(WriteWholeFile(destination + "\\Vestra.exe", "an old program"));
    StartSetup();
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    for (const char* name : {"Vestra.exe", "vstmain.dat", "vstfont.dat", "vstsym.dat",
                             "vstcore.dll", "vstgrx.dll", "vstlang.dat", "vstprint.dll"}) {
        MessageBoxInfo box = ExpectBox(disk_ + "\\" + name, SystemText(ERROR_FILE_NOT_FOUND),
                                       {Abort, Retry, Ignore});
        if (!box.hwnd) break;
        EXPECT_EQ(1u, FilesOf(destination).size()) << "the leftover is gone before the copy";
        EXPECT_EQ(0u, FilesOf(destination + "\\viewer").size()) << "and the viewer's";
        Answer(box, Ignore);
    }
    AnswerBox("Vestra",
              "Setup ended. Nothing was installed: the program was not copied. Files not "
              "copied: 8.",
              {IDOK}, IDOK, MB_ICONWARNING);
    EXPECT_EQ(3, WaitForExit(setup_));
    EXPECT_EQ("<none>", Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "DisplayName"));
    EXPECT_EQ("<none>", Registry(HKEY_CURRENT_USER, PerUserKeys[0], "Path"));
    EXPECT_EQ(std::vector<std::string>{"Vestra.exe"}, FilesOf(destination));
}

// A reinstall over the installed product while it runs: one message names
// it before any file changes; Retry once it has ended completes the install.
// Beside it, a pattern file whose name the ANSI code page cannot hold.
TEST_F(Install, RunningProductIsNamedBeforeAnythingChanges) {
    PrepareDisk(0, "running");
    const std::wstring wideName = L"\\\u65E5\u672C.txt";
    std::wstring wideDisk(disk_.begin(), disk_.end());
    HANDLE wide =
        CreateFileW((wideDisk + wideName).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, wide);
    CloseHandle(wide);
    StartSetup();
    std::string destination = target_ + "\\Vestra";
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    FinishWithoutExtras();
    std::wstring wideDestination(destination.begin(), destination.end());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((wideDestination + wideName).c_str()));
    ASSERT_TRUE(DeleteFileW((wideDisk + wideName).c_str()));  // the ANSI comparison below

    Process product = Start(destination + "\\Vestra.exe");
    ASSERT_TRUE(WaitForProduct().window != NULL);
    ASSERT_TRUE(WriteWholeFile(destination + "\\vstmain.dat", "changed"));
    StartSetup();
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    MessageBoxInfo box =
        ExpectBox("Vestra",
                  "Vestra cannot be installed while it is running: " + destination +
                      "\\Vestra.exe is in use. Close "
                      "the program, then choose Retry.",
                  {IDRETRY, IDCANCEL}, MB_ICONWARNING);
    // The progress box is up from the question's Yes: the plan's count, no file yet.
    HWND progress = FindWindowExA(window_, NULL, "SetupProgress", NULL);
    EXPECT_TRUE(progress && IsWindowVisible(progress));
    EXPECT_EQ("  0 / 34", TextOf(progress));
    std::string content;
    EXPECT_TRUE(ReadWholeFile(destination + "\\vstmain.dat", &content) && content == "changed");
    EndProducts();
    WaitForExit(product);
    Answer(box, IDRETRY);
    FinishWithoutExtras();
    ExpectSameFiles(disk_, destination, 31);
}

// A run killed in the middle of a copy leaves no partial file under the
// product's name: a new file is gone with the process; one that replaced an
// older file leaves that file as it was and a temporary file of ours, which
// the next run into the same folder removes.
TEST_F(Install, KilledRunLeavesNothingAfterTheNextRun) {
    for (bool older : {false, true}) {
        SCOPED_TRACE(older ? "over an older file" : "a new file");
        PrepareDisk(0, "killed");
        ASSERT_TRUE(MakeLargeFile(disk_ + "\\vstsampl.dat"));
        std::string destination = target_ + "\\Vestra", large = destination + "\\vstsampl.dat";
        if (older) {
            ASSERT_TRUE(CreateDirectoryA(destination.c_str(), NULL));
            ASSERT_TRUE(WriteWholeFile(large, "older"));
        }
        StartSetup();
        PressOk(destination);
        AnswerQuestion(destination, Yes);
        auto Leftovers = [&] {
            size_t n = 0;
            for (const std::string& name : FilesOf(destination)) n += name.rfind("~stp", 0) == 0;
            return n;
        };
        // Only the large file's copy grows past a megabyte.
        DWORD start = GetTickCount();
        while (GrowingCopySize(destination) <= (1u << 20) && GetTickCount() - start < 120000)
            Sleep(5);
        Kill(setup_);
        ASSERT_EQ(older ? 1u : 0u, Leftovers());
        std::string content = "<none>";
        ReadWholeFile(large, &content);
        EXPECT_EQ(older ? "older" : "<none>", content);
        ASSERT_TRUE(DeleteFileA((disk_ + "\\vstsampl.dat").c_str()));  // optional: passed over
        StartSetup();
        PressOk(destination);
        AnswerQuestion(destination, Yes);
        FinishWithoutExtras();
        EXPECT_EQ(0u, Leftovers());
        DeleteTree(destination);
    }
}

// A drive with room but few inodes fills after the space check: one box for
// the full disk, Ignore, and the rest are counted without another box.
TEST_F(SmallDrive, DriveOutOfInodesAsksOnceThenCounts) {
    if (GetFileAttributesA("Y:\\") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no drive Y: (the mount needs root)";
    std::string destination = "Y:\\Vestra";
    DeleteTree(destination);
    PrepareDisk(0, "inodes");
    StartSetup();
    PressOk(destination);
    AnswerQuestion(destination, Yes);
    MessageBoxInfo full;
    ASSERT_TRUE(WaitForMessageBox(setup_, &full));
    EXPECT_EQ(SystemText(ERROR_DISK_FULL), full.text);
    EXPECT_EQ((std::vector<int>{Abort, Retry, Ignore}), full.buttons);
    Answer(full, Ignore);
    AnswerBox("Vestra", "Create program shortcut?", {Yes, No}, No);
    size_t onDisk = FilesOf(disk_).size() - 1 + FilesOf(disk_ + "\\viewer").size();
    size_t copied = FilesOf(destination).size() + FilesOf(destination + "\\viewer").size();
    ASSERT_LT(copied, onDisk - 1);
    AnswerBox(
        "Vestra",
        "Setup complete. Files not copied: " + std::to_string(onDisk - copied) + ". Run program?",
        {Yes, No}, No);
    EXPECT_EQ(0, WaitForExit(setup_));
    DeleteTree(destination);
}

// The installed program gone, or no program at all, when Run is answered:
// whichever way setup starts it, the failure is said.
TEST_F(Install, ProductThatCannotStartIsReportedAndTheWindowCloses) {
    for (bool removed : {true, false}) {
        SCOPED_TRACE(removed ? "removed" : "not a program");
        Begin(0, "start-failure");
        std::string destination = target_ + "\\Vestra";
        PressOk(destination);
        AnswerQuestion(destination, Yes);
        AnswerBox("Vestra", "Create program shortcut?", {Yes, No}, No);
        MessageBoxInfo run = ExpectBox("Vestra", "Setup complete. Run program?", {Yes, No});
        std::string program = destination + "\\Vestra.exe";
        ASSERT_TRUE(removed ? DeleteFileA(program.c_str()) : WriteWholeFile(program, "text"));
        Answer(run, Yes);
        AnswerBox("Setup", "Unable to execute program file.", {IDOK}, IDOK, MB_ICONERROR);
        EXPECT_EQ(0, WaitForExit(setup_));
        EXPECT_TRUE(FindWindowA("KellumProduct", NULL) == NULL);
    }
}

// A disk as the vendor ships it: setup.exe sealed over it and signed, by the
// e2e.sign_disks step with throw-away keys.
std::string SealedDisk() {
    const char* root = getenv("SETUP_SIGNED_ROOT");
    return WindowsPath(root ? root : "") + "\\sealed\\edition0";
}

enum Damage { NoDamage, FlippedByte, CutToNothing, OtherProgram, AddedFiles };

// Changes the disk copy as a damaged download or someone with write access
// to the folder would.
void DoDamage(Damage damage, const std::string& disk) {
    std::string bytes;
    switch (damage) {
    case NoDamage: break;
    case FlippedByte:
        ASSERT_TRUE(ReadWholeFile(disk + "\\vstcore.dll", &bytes));
        bytes[bytes.size() / 2] ^= 0x01;
        ASSERT_TRUE(WriteWholeFile(disk + "\\vstcore.dll", bytes));
        break;
    case CutToNothing: ASSERT_TRUE(WriteWholeFile(disk + "\\Vestra.hlp", "")); break;
    case OtherProgram: {
        // Another program under the product's name, of the very same size:
        // only its digest tells.
        std::string program, other;
        ASSERT_TRUE(ReadWholeFile(disk + "\\Vestra.exe", &program));
        ASSERT_TRUE(ReadWholeFile(ProgramManagerStandInPath(), &other));
        other.resize(program.size(), '\0');
        ASSERT_NE(program, other);
        ASSERT_TRUE(WriteWholeFile(disk + "\\Vestra.exe", other));
        break;
    }
    case AddedFiles:
        ASSERT_TRUE(WriteWholeFile(disk + "\\added.txt", "not sealed"));
        ASSERT_TRUE(WriteWholeFile(disk + "\\viewer\\added.dll", "not sealed"));
        break;
    }
}

// Each change gives its message, nothing damaged or unlisted is installed,
// and a Retry once the file is back installs it. Every file that arrives is
// the vendor's, byte for byte; nothing is recorded without the program.
TEST_F(Install, SealedDiskInstallsOnlyWhatItsSealLists) {
    const std::string damaged = "The setup disk is damaged: ";
    const std::string sealed =
        " is not the file the vendor sealed. Restore the file from the "
        "original, then choose Retry.";
    struct Case {
        const char* name;
        Damage damage;
        const char* file;  // named in the damaged-disk box; NULL: none comes
        int answer;        // to it; Retry restores the file first
        const char* closing;
        std::vector<std::string> notInstalled;
    } cases[] = {
        {"clean", NoDamage, NULL, 0, "Setup complete. Run program?", {}},
        {"one flipped byte", FlippedByte, "vstcore.dll", Retry, "Setup complete. Run program?", {}},
        {"cut to nothing",
         CutToNothing,
         "Vestra.hlp",
         Ignore,
         "Setup complete. Files not copied: 1. Run program?",
         {"Vestra.hlp"}},
        {"another program",
         OtherProgram,
         "Vestra.exe",
         Ignore,
         "Setup ended. Nothing was installed: the program was not copied. Files not copied: 1.",
         {"Vestra.exe"}},
        {"added files",
         AddedFiles,
         NULL,
         0,
         "Setup complete. Files not copied: 2. Run program?",
         {"added.txt", "viewer\\added.dll"}},
    };
    const std::string vendor = SealedDisk();
    ASSERT_TRUE(FileExists(vendor + "\\setup.exe")) << vendor;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        disk_ = ScratchFolder(std::string("sealed-") + c.name) + "\\disk";
        target_ = ScratchFolder(std::string("sealed-") + c.name + "-target");
        ASSERT_TRUE(CopyTree(vendor, disk_));
        ASSERT_NO_FATAL_FAILURE(DoDamage(c.damage, disk_));
        StartSetup();
        std::string destination = target_ + "\\Vestra";
        PressOk(destination);
        AnswerQuestion(destination, Yes);
        if (c.file) {
            std::string name = c.file;
            MessageBoxInfo box = ExpectBox(disk_ + "\\" + name, damaged + name + sealed,
                                           {Abort, Retry, Ignore}, MB_ICONERROR);
            EXPECT_FALSE(FileExists(destination + "\\" + name)) << "written before the box";
            if (c.answer == Retry) {
                ASSERT_TRUE(CopyFileA((vendor + "\\" + name).c_str(), (disk_ + "\\" + name).c_str(),
                                      FALSE));
            }
            Answer(box, c.answer);
        }
        bool program = c.damage != OtherProgram;
        if (program) {
            runQuestion_ = c.closing;
            FinishWithoutExtras();
            EXPECT_EQ(ProductNames[0],
                      Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "DisplayName"));
        } else {
            AnswerBox("Vestra", c.closing, {IDOK}, IDOK, MB_ICONWARNING);
            EXPECT_EQ(3, WaitForExit(setup_));  // nothing installed
            EXPECT_EQ("<none>", Registry(HKEY_LOCAL_MACHINE, UninstallKeys[0], "DisplayName"));
        }
        // What arrived is the vendor's; what did not is named in the case.
        size_t installed = 0;
        for (const std::string& folder : {std::string(), std::string("viewer\\")})
            for (const std::string& name : FilesOf(vendor + "\\" + folder)) {
                if (name == "setup.exe") continue;
                std::string want, got;
                ASSERT_TRUE(ReadWholeFile(vendor + "\\" + folder + name, &want));
                bool expected = std::find(c.notInstalled.begin(), c.notInstalled.end(),
                                          folder + name) == c.notInstalled.end();
                bool there = ReadWholeFile(destination + "\\" + folder + name, &got);
                EXPECT_EQ(expected, there) << folder + name;
                if (there) {
                    EXPECT_TRUE(got == want) << folder + name << " is not the vendor's";
                }
                installed += there;
            }
        EXPECT_GE(installed, 30u);
        for (const std::string& name : c.notInstalled)
            EXPECT_FALSE(FileExists(destination + "\\" + name)) << name;
        for (const std::string& folder : {destination, destination + "\\viewer"})
            for (const std::string& name : FilesOf(folder))
                EXPECT_NE(0u, name.find("~stp")) << folder << "\\" << name << " left behind";
        CleanRegistry();
    }
}

}  // namespace
