// Folder and file helpers on real folders, and the message pump.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install/copy.h"
#include "install/install_tables.h"
#include "install/plan.h"
#include "install/seal.h"
#include "install_robot.h"
#include "platform/message_pump.h"
#include "platform/sha256.h"
#include "platform/source_directory.h"
#include "platform/system_error.h"
#include "robot.h"
#include "tests/native/sha256_vectors.h"
#include "tables/tables.h"

using namespace robot;

namespace {

std::wstring Wide(const std::string& text) {
    wchar_t wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH);
    return wide;
}

std::string CurrentFolder() {
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

class CreateFolderPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = ScratchFolder("helpers-folders");
        ASSERT_TRUE(FolderExists(root_));
    }
    std::string root_;
};

TEST_F(CreateFolderPathTest, DriveRootAloneSucceedsAndBecomesCurrent) {
    ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
    EXPECT_EQ(1, CreateFolderPath("Z:\\"));
    EXPECT_EQ("Z:\\", CurrentFolder());
}

TEST_F(CreateFolderPathTest, MissingDriveCreatesNothing) {
    DWORD drives = GetLogicalDrives();
    char letter = 0;
    for (char c = 'Y'; c > 'D'; --c)
        if (!(drives & (1u << (c - 'A')))) letter = c;
    ASSERT_NE(0, letter);
    std::string path = std::string(1, letter) + ":\\Vestra\\";
    EXPECT_EQ(0, CreateFolderPath(path.c_str()));
    EXPECT_FALSE(FolderExists(path));
}

TEST_F(CreateFolderPathTest, LevelThatIsAFileFails) {
    ASSERT_TRUE(WriteWholeFile(root_ + "\\A", "file"));
    EXPECT_EQ(0, CreateFolderPath((root_ + "\\A\\B\\").c_str()));
    EXPECT_TRUE(FileExists(root_ + "\\A"));
    EXPECT_FALSE(FolderExists(root_ + "\\A\\B"));
}

TEST_F(CreateFolderPathTest, CreatesMissingLevelsAndLeavesTheLastCurrent) {
    ASSERT_TRUE(CreateDirectoryA((root_ + "\\A").c_str(), NULL));
    EXPECT_EQ(1, CreateFolderPath((root_ + "\\A\\B\\C\\").c_str()));
    EXPECT_TRUE(FolderExists(root_ + "\\A\\B\\C"));
    EXPECT_EQ(root_ + "\\A\\B\\C", CurrentFolder());
    // Existing levels are entered, not created again.
    EXPECT_EQ(1, CreateFolderPath((root_ + "\\A\\B\\").c_str()));
    EXPECT_EQ(root_ + "\\A\\B", CurrentFolder());
}

TEST_F(CreateFolderPathTest, PathLongerThanTheBufferIsRefusedBeforeCreating) {
    std::string path = root_ + "\\" + std::string(255 - root_.size() - 2, 'n') + "\\";
    ASSERT_EQ(255u, path.size());
    EXPECT_EQ(0, CreateFolderPath(path.c_str()));
    EXPECT_FALSE(FolderExists(path.substr(0, path.size() - 1)));
}

class CopyMatchingFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        source_ = ScratchFolder("helpers-source");
        destination_ = ScratchFolder("helpers-destination");
        ASSERT_TRUE(WriteWholeFile(source_ + "\\a.txt", "alpha"));
        ASSERT_TRUE(WriteWholeFile(source_ + "\\b.txt", "beta"));
        ASSERT_TRUE(WriteWholeFile(source_ + "\\c.whs", "gamma"));
        ASSERT_TRUE(CreateDirectoryA((source_ + "\\sub.txt").c_str(), NULL));
        lstrcpyA(SourceDirectory, (source_ + "\\").c_str());
        QuitRequested = 0;  // a quit would stop the copy after its first file
    }
    std::string Read(const std::string& name) {
        std::string content;
        ReadWholeFile(destination_ + "\\" + name, &content);
        return content;
    }
    std::string source_, destination_;
};

// Copies the planned pattern files into destination whose names end in
// suffix, as the install does; 0 when one was aborted, -1 without a plan.
int CopyPlannedFiles(const std::string& destination, const std::string& suffix) {
    InstallPlan plan;
    if (MakeInstallPlan(destination.c_str(), &plan) != PlanReady) return -1;
    int goOn = 1;
    for (int i = 0; goOn && i < plan.fileCount; ++i) {
        PlannedFile& f = plan.files[i];
        std::string name = f.destination;
        if (f.manifestRow >= 0 || name.size() < suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        goOn = CopyFileAsking(&f) != CopyAborted;
    }
    return goOn;
}

// The plan's rows are the survey's own search: the manifest's rows (none on
// this disk), then the plain files of each pattern in turn and the viewer's;
// no folder, no other suffix. Each row copies as its action says.
TEST_F(CopyMatchingFilesTest, CopiesOnlyThePlainFilesThatMatch) {
    ASSERT_TRUE(WriteWholeFile(source_ + "\\d.tpl", "delta"));
    ASSERT_TRUE(WriteWholeFile(source_ + "\\e.doc", "epsilon"));
    ASSERT_TRUE(WriteWholeFile(source_ + "\\txt", "no suffix"));
    ASSERT_TRUE(CreateDirectoryA((source_ + "\\viewer").c_str(), NULL));
    ASSERT_TRUE(WriteWholeFile(source_ + "\\viewer\\v.bin", "viewer file"));
    ASSERT_TRUE(CreateDirectoryA((source_ + "\\viewer\\sub").c_str(), NULL));
    InstallPlan plan;
    ASSERT_EQ(PlanReady, MakeInstallPlan(destination_.c_str(), &plan));
    ASSERT_EQ(FileManifestRows + 5, plan.fileCount);
    for (int row = 0; row < FileManifestRows; ++row)
        EXPECT_EQ(row < MandatoryRowCount ? AskRow : PassOverRow, plan.files[row].action) << row;
    struct Found {
        std::string name, content;
    } found[] = {{"c.whs", "gamma"},
                 {"?.txt", ""},
                 {"?.txt", ""},
                 {"d.tpl", "delta"},
                 {"viewer\\v.bin", "viewer file"}};
    std::vector<std::string> texts;
    for (int i = 0; i < 5; ++i) {
        PlannedFile& f = plan.files[FileManifestRows + i];
        std::string name = f.destination + f.destinationNameAt;
        if (found[i].name == "?.txt")
            texts.push_back(name);
        else
            EXPECT_EQ(found[i].name, name);
        EXPECT_EQ(CopyRow, f.action) << name;
        ASSERT_EQ(FileCopied, CopyFileAsking(&f)) << name;
        EXPECT_EQ(FileCopied, f.outcome) << name;
        EXPECT_EQ(Read(name).size(), f.size) << name;
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), texts);
    EXPECT_EQ(5u + 5 + 4 + 5 + 11, PlanCopiedBytes(&plan));
    EXPECT_EQ("alpha", Read("a.txt"));
    EXPECT_EQ("beta", Read("b.txt"));
    EXPECT_EQ("gamma", Read("c.whs"));
    EXPECT_EQ("viewer file", Read("viewer\\v.bin"));
    EXPECT_EQ(4u, FilesOf(destination_).size());
    EXPECT_FALSE(FolderExists(destination_ + "\\sub.txt"));
    EXPECT_FALSE(FolderExists(destination_ + "\\viewer\\sub"));
}

// Answers the next message box of this process from a thread of its own.
struct OwnBox {
    int answer;
    bool seen;
    MessageBoxInfo box;
};
DWORD WINAPI AnswerOwnBox(void* context) {
    OwnBox* own = (OwnBox*)context;
    Process self;
    self.handle = GetCurrentProcess();
    self.pid = GetCurrentProcessId();
    own->seen = WaitForMessageBox(self, &own->box);
    if (own->seen) Answer(own->box, own->answer);
    return 0;
}

// A file the system refuses to replace (held open without sharing) is asked
// about, captioned with the destination; Ignore leaves its old content whole
// and nothing of ours behind.
TEST_F(CopyMatchingFilesTest, ReplacesFilesAndAsksAboutRefusedOnes) {
    ASSERT_TRUE(WriteWholeFile(destination_ + "\\a.txt", "old alpha"));
    ASSERT_TRUE(WriteWholeFile(destination_ + "\\b.txt", "old beta"));
    HANDLE held = CreateFileA((destination_ + "\\b.txt").c_str(), GENERIC_READ, 0, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    OwnBox own = {IDIGNORE, false, {}};
    HANDLE answering = CreateThread(NULL, 0, AnswerOwnBox, &own, 0, NULL);
    ASSERT_TRUE(answering != NULL);
    EXPECT_EQ(1, CopyPlannedFiles(destination_, ".txt"));
    WaitForSingleObject(answering, INFINITE);
    CloseHandle(answering);
    CloseHandle(held);
    ASSERT_TRUE(own.seen);
    EXPECT_EQ(destination_ + "\\b.txt", own.box.caption);
    EXPECT_EQ((std::vector<int>{IDABORT, IDRETRY, IDIGNORE}), own.box.buttons);
    EXPECT_EQ("alpha", Read("a.txt"));
    EXPECT_EQ("old beta", Read("b.txt"));
    EXPECT_EQ(2u, FilesOf(destination_).size()) << "a file of ours was left behind";
}

TEST_F(CopyMatchingFilesTest, ReplacesAReadOnlyFileInTheWay) {
    ASSERT_TRUE(WriteWholeFile(destination_ + "\\b.txt", "old beta"));
    ASSERT_TRUE(SetFileAttributesA((destination_ + "\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(1, CopyPlannedFiles(destination_, ".txt"));
    EXPECT_EQ("beta", Read("b.txt"));
}

TEST_F(CopyMatchingFilesTest, MissingSourceFolderCopiesNothing) {
    lstrcpyA(SourceDirectory, (source_ + "\\missing\\").c_str());
    CopyPlannedFiles(destination_, "");
    EXPECT_FALSE(FileExists(destination_ + "\\a.txt"));
}

// The write time of a file; 0 when it cannot be read.
ULONGLONG WriteTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32 |
           data.ftLastWriteTime.dwLowDateTime;
}

// The worker's copy in chunks beside CopyFileA itself, each into its own
// destination: the same result, error code, attributes, write time and bytes,
// for files of several chunks and of none, over a file or not. A sealed copy
// is kept only when its bytes hash to the seal's digest.
TEST(CopyFileInChunks, ActsAsCopyFileA) {
    std::string root = ScratchFolder("helpers-copy");
    std::string source = root + "\\source", large = root + "\\large", empty = root + "\\empty";
    ASSERT_TRUE(WriteWholeFile(source, "bytes"));
    ASSERT_TRUE(
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    std::string chunks((5 << 19) + 3, 'c');  // two and a half chunks
    for (size_t i = 0; i < chunks.size(); i += 4099) chunks[i] = (char)i;
    ASSERT_TRUE(WriteWholeFile(large, chunks));
    ASSERT_TRUE(WriteWholeFile(empty, ""));
    std::vector<HANDLE> held;
    size_t count;
    const Sha256Vector* vectors = Sha256Vectors(&count);
    ASSERT_TRUE(WriteWholeFile(root + "\\abc", vectors[1].message));
    for (const char* name : {"\\held-a", "\\held-b", "\\held-h"}) {
        ASSERT_TRUE(WriteWholeFile(root + name, "old"));
        held.push_back(
            CreateFileA((root + name).c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
    }
    ASSERT_TRUE(WriteWholeFile(root + "\\there-a", "old") &&
                WriteWholeFile(root + "\\there-b", "old"));
    struct Case {
        std::string source, a, b;
        BOOL failIfExists = FALSE;
    } cases[] = {
        {source, "\\copy-a", "\\copy-b"},
        {source, "\\there-a", "\\there-b", TRUE},
        {large, "\\there-a", "\\there-b"},
        {large, "\\large-a", "\\large-b"},
        {empty, "\\empty-a", "\\empty-b"},
        {root + "\\abc", "\\abc-a", "\\abc-b"},
        {root + "\\missing", "\\none-a", "\\none-b"},
        {source, "\\no\\folder-a", "\\no\\folder-b"},
        {source, "\\held-a", "\\held-b"},
        {root, "\\folder-a", "\\folder-b"},
    };
    for (const Case& c : cases) {
        std::string a = root + c.a, b = root + c.b;
        SetLastError(0);
        BOOL plain = CopyFileA(c.source.c_str(), a.c_str(), c.failIfExists);
        DWORD plainError = GetLastError();
        SetLastError(0);
        LONG64 written = -1;
        BOOL pumped =
            CopyFileInChunks(Wide(c.source).c_str(), Wide(b).c_str(), c.failIfExists, &written);
        DWORD pumpedError = GetLastError();
        if (pumped) {
            EXPECT_EQ(FileSize(WideOf(b)), (ULONGLONG)written) << c.a;
        }
        EXPECT_EQ(plain, pumped) << c.a;
        if (!plain) {
            EXPECT_EQ(plainError, pumpedError) << c.a;
        }
        EXPECT_EQ(GetFileAttributesA(a.c_str()), GetFileAttributesA(b.c_str())) << c.a;
        if (plain) {
            EXPECT_EQ(WriteTimeOf(a), WriteTimeOf(b)) << c.a;  // the source's
        }
        std::string x = "<none>", y = "<none>";
        ReadWholeFile(a, &x);
        ReadWholeFile(b, &y);
        EXPECT_EQ(x, y) << c.a;
    }
    for (HANDLE h : held) CloseHandle(h);
    // Sealed: the right digest keeps the copy (new or over a file), any other
    // leaves no copy and the file in place as it was.
    unsigned char right[Sha256Size], wrong[Sha256Size];
    SystemSha256 once;
    ASSERT_TRUE(BeginSystemSha256(&once) && AddToSystemSha256(&once, "abc", 3) &&
                EndSystemSha256(&once, right));
    EXPECT_EQ(vectors[1].digest, HexOf(right, Sha256Size));
    memcpy(wrong, right, Sha256Size);
    wrong[Sha256Size - 1] ^= 1;
    std::wstring abc = Wide(root + "\\abc"), temp = Wide(root + "\\sealed.tmp");
    for (bool damaged : {true, false})
        for (bool fresh : {true, false}) {
            std::string name = root + (fresh ? "\\sealed-new" : "\\there-b");
            SCOPED_TRACE(name + (damaged ? " damaged" : " whole"));
            std::string before = "<none>", after = "<none>";
            ReadWholeFile(name, &before);
            const unsigned char* digest = damaged ? wrong : right;
            LONG64 written = 0;
            DWORD error = fresh ? CopyFileAsNew(abc.c_str(), Wide(name).c_str(), digest, &written)
                                : CopyFileIntoPlace(abc.c_str(), temp.c_str(), Wide(name).c_str(),
                                                    digest, &written);
            EXPECT_EQ(damaged ? (DWORD)DamagedSourceError : 0u, error);
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(temp.c_str()));
            ReadWholeFile(name, &after);
            EXPECT_EQ(damaged ? before : "abc", after);
        }
}

// The system's SHA-256 against the published vectors, in pieces and whole.
TEST(SystemSha256, PublishedVectorsInPiecesOfAnySize) {
    size_t count;
    const Sha256Vector* vectors = Sha256Vectors(&count);
    for (const Sha256Vector* v = vectors; v < vectors + count; ++v)
        for (size_t piece :
             {Sha256Pieces[0], Sha256Pieces[2], Sha256Pieces[3], v->message.size() + 1}) {
            SystemSha256 hash;
            ASSERT_TRUE(BeginSystemSha256(&hash));
            for (size_t at = 0; at < v->message.size(); at += piece) {
                DWORD n = (DWORD)std::min(piece, v->message.size() - at);
                ASSERT_TRUE(AddToSystemSha256(&hash, v->message.data() + at, n));
            }
            unsigned char digest[Sha256Size];
            ASSERT_TRUE(EndSystemSha256(&hash, digest));
            EXPECT_EQ(v->digest, HexOf(digest, Sha256Size)) << v->message.size() << " by " << piece;
        }
}

TEST(SystemErrorText, GivesTheSystemSentenceWithoutItsLineBreak) {
    char expected[256] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                             ERROR_FILE_NOT_FOUND, 0, expected, 255, NULL);
    ASSERT_GT(n, 2u);
    ASSERT_EQ('\n', expected[n - 1]);
    while (n > 0 && (unsigned char)expected[n - 1] < 32) expected[--n] = 0;

    char text[256];
    SystemErrorText(ERROR_FILE_NOT_FOUND, text, sizeof text);
    EXPECT_STREQ(expected, text);

    SystemErrorText(0x2000FFFFu, text, sizeof text);  // no system text for it
    EXPECT_STREQ("", text);
}

// A window that counts the messages dispatched to it.
int Dispatched;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ++Dispatched;
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD FakeTicks;
DWORD TickCalls;
DWORD WINAPI FakeTickCount(void) {
    ++TickCalls;
    return FakeTicks++;
}

class PumpMessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "PumpTest";
        RegisterClassA(&wc);
        window_ = CreateWindowA("PumpTest", "", 0, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
        ASSERT_TRUE(window_ != NULL);
        Dispatched = 0;
        QuitRequested = 0;
    }
    void TearDown() override {
        PumpTickSource = GetTickCount;
        DestroyWindow(window_);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {}
    }
    HWND window_ = NULL;
};

TEST_F(PumpMessagesTest, IntervalZeroLeavesTheQueueAlone) {
    PostMessageA(window_, WM_APP, 0, 0);
    EXPECT_EQ(PumpTimedOut, PumpMessages(NULL, 0));
    EXPECT_EQ(0, Dispatched);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, window_, WM_APP, WM_APP, PM_NOREMOVE));
}

TEST_F(PumpMessagesTest, DispatchesPostedMessagesWithinTheInterval) {
    PostMessageA(window_, WM_APP, 0, 0);
    PostMessageA(window_, WM_APP, 0, 0);
    EXPECT_EQ(PumpTimedOut, PumpMessages(NULL, 50));
    EXPECT_EQ(2, Dispatched);
}

TEST_F(PumpMessagesTest, EndsAcrossTheTickCounterWrap) {
    PumpTickSource = FakeTickCount;
    FakeTicks = 0xFFFFFFF0u;
    TickCalls = 0;
    EXPECT_EQ(PumpTimedOut, PumpMessages(NULL, 40));
    // The start, then one test per tick until 40 have passed (0x18 - 0xFFFFFFF0).
    EXPECT_EQ(41u, TickCalls);
    EXPECT_EQ(0x19u, FakeTicks);
}

TEST_F(PumpMessagesTest, PassesAQuitRequestOnAndStops) {
    PumpTickSource = FakeTickCount;
    FakeTicks = 0;
    TickCalls = 0;
    PostMessageA(window_, WM_APP, 0, 0);
    PostQuitMessage(7);
    EXPECT_EQ(PumpQuit, PumpMessages(NULL, 100000));
    EXPECT_EQ(1, Dispatched);
    EXPECT_EQ(1, QuitRequested);
    EXPECT_LT(TickCalls, 100u);
    MSG msg;
    ASSERT_EQ(0, GetMessageA(&msg, NULL, 0, 0));  // the main loop still sees the quit
    EXPECT_EQ(7u, msg.wParam);
}

// A set event ends the pump at once; after a quit nothing is dispatched, and
// only an event ends a pump before its time.
TEST_F(PumpMessagesTest, EndsAtItsEventAndDispatchesNothingAfterAQuit) {
    HANDLE done = CreateEventA(NULL, TRUE, TRUE, NULL);
    ASSERT_TRUE(done != NULL);
    EXPECT_EQ(PumpSignalled, PumpMessages(done, 100000));
    QuitRequested = 1;
    PostMessageA(window_, WM_APP, 0, 0);
    EXPECT_EQ(PumpQuit, PumpMessages(NULL, 100000));
    EXPECT_EQ(PumpSignalled, PumpMessages(done, 100000));
    ResetEvent(done);
    EXPECT_EQ(PumpTimedOut, PumpMessages(done, 20));
    EXPECT_EQ(0, Dispatched);
    CloseHandle(done);
}

// Messages waiting when a copy starts are dispatched during it; a quit among
// them is handed on to the main loop afterwards, once.
TEST_F(PumpMessagesTest, CopyDispatchesAndHandsAQuitOn) {
    std::string root = ScratchFolder("helpers-copy-pump");
    ASSERT_TRUE(WriteWholeFile(root + "\\source", std::string(1 << 20, 'x')));
    PlannedFile row = {};
    lstrcpyA(row.source, (root + "\\source").c_str());
    lstrcpyA(row.destination, (root + "\\copy").c_str());
    ASSERT_TRUE(CopyTempPath(row.destination, 0, row.temp, sizeof row.temp));
    row.action = CopyRow;
    row.manifestRow = -1;
    PostMessageA(window_, WM_APP, 0, 0);
    PostQuitMessage(7);
    EXPECT_EQ(FileCopied, CopyFileAsking(&row));
    EXPECT_EQ(std::string(1 << 20, 'x'), [&] {
        std::string copy;
        ReadWholeFile(root + "\\copy", &copy);
        return copy;
    }());
    EXPECT_EQ(1, Dispatched);
    EXPECT_EQ(1, QuitRequested);
    MSG msg;
    ASSERT_EQ(0, GetMessageA(&msg, NULL, 0, 0));
    EXPECT_EQ(7u, msg.wParam);
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
}

}  // namespace
