// The Program Manager link in the program's own window (Edition 0): against
// servers of the test's own, the stand-in, and Wine's real PROGMAN server.
#include <gtest/gtest.h>

#include "dde_test_support.h"
#include "progman_robot.h"

using namespace ddetest;

namespace {

const char VestraPath[] = "C:\\Vestra\\Vestra.exe";
const char VestraCommand[] = "[AddItem(\"C:\\Vestra\\Vestra.exe\", Vestra)]";

class ProgramManagerLink : public ::testing::Test {
protected:
    void SetUp() override {
        InstallCounters();
        ASSERT_TRUE(CreateMainWindow() != NULL);
        Pump(20);  // nothing left over from an earlier test
        ResetLink();
    }
    void TearDown() override {
        StopServer(&first_);
        StopServer(&second_);
        ResetLink();
    }
    // One server of ours, connected.
    void ConnectToFirst() {
        StartServer(&first_, "A");
        ASSERT_NE(0, ConnectProgramManager(MainWindow));
        ASSERT_EQ(first_.window, DdeServerWindow);
        Calls = PlatformCalls();
    }
    TestServer first_, second_;
};

TEST_F(ProgramManagerLink, ConnectRecordsTheAnsweringServerAndDeletesItsAtoms) {
    StartServer(&first_, "A");
    EXPECT_NE(0, ConnectProgramManager(MainWindow));
    EXPECT_EQ(first_.window, DdeServerWindow);
    EXPECT_EQ(0u, PendingDdeMessage);
    ASSERT_EQ(1, first_.Count(WM_DDE_INITIATE));
    EXPECT_EQ(MainWindow, first_.received[0].from);
    // Atom names compare without case; the desktop may have made it "Progman".
    EXPECT_EQ(0, lstrcmpiA("PROGMAN|PROGMAN", first_.received[0].text.c_str()));
    EXPECT_FALSE(AtomExists(first_.applicationName));
    EXPECT_FALSE(AtomExists(first_.topicName));
}

TEST_F(ProgramManagerLink, SecondServerIsToldToTerminate) {
    StartServer(&first_, "A");
    StartServer(&second_, "B");
    EXPECT_NE(0, ConnectProgramManager(MainWindow));
    HWND server = DdeServerWindow;
    ASSERT_TRUE(server == first_.window || server == second_.window);
    TestServer& kept = server == first_.window ? first_ : second_;
    TestServer& other = server == first_.window ? second_ : first_;
    ASSERT_TRUE(PumpUntil([&] { return other.Count(WM_DDE_TERMINATE) == 1; }));
    EXPECT_EQ(MainWindow, other.received.back().from);
    EXPECT_EQ(0, kept.Count(WM_DDE_TERMINATE));
    for (const TestServer* s : {&first_, &second_}) {
        EXPECT_FALSE(AtomExists(s->applicationName));
        EXPECT_FALSE(AtomExists(s->topicName));
    }
}

TEST_F(ProgramManagerLink, NoServerAnsweringGivesZero) {
    first_.answers = false;
    StartServer(&first_, "A");
    Calls.broadcastToOwnWindowsOnly = true;
    EXPECT_EQ(0, ConnectProgramManager(MainWindow));
    EXPECT_EQ(1, first_.Count(WM_DDE_INITIATE));  // the broadcast did reach it
    EXPECT_EQ(nullptr, DdeServerWindow);
    EXPECT_EQ(0u, PendingDdeMessage);
    // Counted since before the connect: the request then allocates and posts nothing.
    EXPECT_EQ(0, AddProgramItem(VestraPath));
    EXPECT_EQ(0, Calls.globalAllocs);
    EXPECT_TRUE(Calls.posted.empty());
}

TEST_F(ProgramManagerLink, ExecuteCarriesTheCommandAndItsAckFreesTheMemory) {
    ConnectToFirst();
    EXPECT_EQ(1, AddProgramItem(VestraPath));
    EXPECT_EQ((UINT)WM_DDE_EXECUTE, PendingDdeMessage);
    EXPECT_EQ(1, Calls.globalAllocs);
    // A second request while the first is unacknowledged is refused.
    EXPECT_EQ(0, AddProgramItem(VestraPath));
    EXPECT_EQ(1, Calls.globalAllocs);

    ASSERT_TRUE(PumpUntil(ProgramManagerIdle));
    ASSERT_EQ(1, first_.Count(WM_DDE_EXECUTE));
    const ReceivedMessage& execute = first_.received.back();
    EXPECT_EQ(MainWindow, execute.from);
    EXPECT_EQ(VestraCommand, execute.text);
    EXPECT_GE(execute.size, (SIZE_T)DdeCommandSize);
    EXPECT_EQ((UINT)GMEM_DDESHARE, execute.flags & GMEM_DDESHARE);
    // The command memory, and nothing else of ours, was freed on the ack.
    EXPECT_EQ(Calls.allocated, Calls.freed);

    DisconnectProgramManager();
    EXPECT_EQ(nullptr, DdeServerWindow);
    ASSERT_TRUE(PumpUntil([&] { return first_.Count(WM_DDE_TERMINATE) == 1; }));
    EXPECT_EQ(MainWindow, first_.received.back().from);
}

// The install procedure disconnects at once; the ack comes later.
TEST_F(ProgramManagerLink, AckAfterDisconnectStillFreesTheCommand) {
    ConnectToFirst();
    ASSERT_EQ(1, AddProgramItem(VestraPath));
    DisconnectProgramManager();
    EXPECT_EQ(nullptr, DdeServerWindow);
    EXPECT_EQ((UINT)WM_DDE_EXECUTE, PendingDdeMessage);
    ASSERT_TRUE(PumpUntil(ProgramManagerIdle));
    ASSERT_EQ(1u, Calls.freed.size());
    EXPECT_EQ(Calls.allocated, Calls.freed);
}

// The install procedure's wait: over as soon as the server is ready, and at a
// quit request, which stays for the main loop.
TEST_F(ProgramManagerLink, WaitEndsWhenReadyOrAtAQuit) {
    ConnectToFirst();
    EXPECT_EQ(1, WaitForProgramManager());
    ASSERT_EQ(1, AddProgramItem(VestraPath));
    EXPECT_EQ(0, ProgramManagerReady());  // until the execute is acknowledged
    EXPECT_EQ(1, WaitForProgramManager());

    ForgetProgramManager();  // no server at all now
    PostQuitMessage(3);
    EXPECT_EQ(0, WaitForProgramManager());
    EXPECT_EQ(1, QuitRequested);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    EXPECT_EQ(3u, msg.wParam);
    QuitRequested = 0;
}

// The install waits for the answer and makes its own shortcut unless it is yes.
TEST_F(ProgramManagerLink, ExecuteAcknowledgementIsAwaitedAndRead) {
    struct Case {
        bool acknowledges;
        WORD status;
        int accepted;
        UINT pendingAfter;
    } cases[] = {
        {true, 0x8000, 1, 0},
        {true, 0x0000, 0, 0},
        {true, 0x4000, 0, 0},  // busy
        {false, 0, 0, WM_DDE_EXECUTE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        ResetLink();
        first_ = TestServer();
        first_.acknowledges = c.acknowledges;
        first_.ackStatus = c.status;
        ConnectToFirst();
        ASSERT_EQ(1, AddProgramItem(VestraPath));
        EXPECT_EQ(c.accepted, WaitForExecuteAcknowledge());
        EXPECT_EQ(c.pendingAfter, PendingDdeMessage);
        EXPECT_EQ(1, first_.Count(WM_DDE_EXECUTE));
        DisconnectProgramManager();
        StopServer(&first_);
    }
}

TEST_F(ProgramManagerLink, OwnShortcutInTheAllUsersFolderElseTheUsers) {
    std::string folder = robot::ScratchFolder("own-shortcut");
    std::string program = folder + "\\Vestra.exe";
    ASSERT_TRUE(robot::WriteWholeFile(program, "MZ"));
    std::string common = robot::CommonProgramsFolder() + "\\Vestra.lnk";
    std::string user = robot::ProgramsFolder() + "\\Vestra.lnk";
    for (const std::string& link : {common, user}) DeleteFileA(link.c_str());

    ASSERT_EQ(1, CreateOwnShortcut(program.c_str(), (folder + "\\").c_str()));
    robot::Shortcut made = robot::ReadShortcut(common);
    EXPECT_EQ(0, lstrcmpiA(program.c_str(), made.target.c_str())) << made.target;
    EXPECT_EQ(0, lstrcmpiA((folder + "\\").c_str(), made.workingFolder.c_str()))
        << made.workingFolder;
    EXPECT_EQ(0, lstrcmpiA(program.c_str(), made.icon.c_str())) << made.icon;
    EXPECT_FALSE(robot::FileExists(user));

    // A folder in the way of the all-users shortcut: the user's gets it.
    ASSERT_TRUE(DeleteFileA(common.c_str()));
    ASSERT_TRUE(CreateDirectoryA(common.c_str(), NULL));
    EXPECT_EQ(1, CreateOwnShortcut(program.c_str(), folder.c_str()));
    EXPECT_EQ(0, lstrcmpiA(program.c_str(), robot::ShortcutTarget(user).c_str()));
    // Neither folder takes it.
    ASSERT_TRUE(DeleteFileA(user.c_str()));
    ASSERT_TRUE(CreateDirectoryA(user.c_str(), NULL));
    EXPECT_EQ(0, CreateOwnShortcut(program.c_str(), folder.c_str()));
    for (const std::string& link : {common, user}) EXPECT_TRUE(RemoveDirectoryA(link.c_str()));
}

TEST_F(ProgramManagerLink, RefusalsAllocateAndPostNothing) {
    // No server recorded.
    EXPECT_EQ(0, AddProgramItem(VestraPath));
    EXPECT_EQ(0, Calls.globalAllocs);
    EXPECT_TRUE(Calls.posted.empty());
    // A path whose command would not fit the argument buffer: with quotes,
    // ", " and "Vestra" its one character too many.
    ConnectToFirst();
    std::string tooLong = "C:\\" + std::string(AddItemArgumentSize - 4 - 6 - 3, 'x');
    EXPECT_EQ(0, AddProgramItem(tooLong.c_str()));
    EXPECT_EQ(0, Calls.globalAllocs);
    EXPECT_TRUE(Calls.posted.empty());
    EXPECT_EQ(0u, PendingDdeMessage);

    std::string longest = tooLong.substr(1);
    ASSERT_EQ(1, AddProgramItem(longest.c_str()));
    ASSERT_TRUE(PumpUntil(ProgramManagerIdle));
    EXPECT_EQ("[AddItem(\"" + longest + "\", Vestra)]", first_.received.back().text);
}

TEST_F(ProgramManagerLink, FailedAllocationGivesZero) {
    ConnectToFirst();
    Calls.failGlobalAlloc = true;
    EXPECT_EQ(0, AddProgramItem(VestraPath));
    EXPECT_EQ(1, Calls.globalAllocs);
    EXPECT_TRUE(Calls.posted.empty());
    EXPECT_EQ(0u, PendingDdeMessage);
}

TEST_F(ProgramManagerLink, FailedPostFreesTheCommand) {
    ConnectToFirst();
    StopServer(&first_);  // the server goes after answering
    EXPECT_EQ(0, AddProgramItem(VestraPath));
    EXPECT_EQ(1, Calls.globalAllocs);
    EXPECT_EQ(Calls.allocated, Calls.freed);
    EXPECT_EQ(0u, PendingDdeMessage);
}

TEST_F(ProgramManagerLink, DisconnectFromAGoneServerPostsNothing) {
    ConnectToFirst();
    StopServer(&first_);
    DisconnectProgramManager();
    EXPECT_TRUE(Calls.posted.empty());
    EXPECT_EQ(nullptr, DdeServerWindow);
}

// Wine's own server answers the broadcast; it is never sent an AddItem, which
// would bring down the desktop of the whole Wine session.
TEST_F(ProgramManagerLink, RealProgramManagerConnectsAndDisconnects) {
    ASSERT_NE(0, ConnectProgramManager(MainWindow));
    DWORD pid = 0;
    GetWindowThreadProcessId(DdeServerWindow, &pid);
    EXPECT_NE(GetCurrentProcessId(), pid);
    HANDLE serverProgram = OpenProcess(SYNCHRONIZE, FALSE, pid);
    ASSERT_TRUE(serverProgram != NULL);
    DisconnectProgramManager();
    EXPECT_EQ(nullptr, DdeServerWindow);
    ASSERT_EQ(1u, Calls.posted.size());
    EXPECT_EQ((UINT)WM_DDE_TERMINATE, Calls.posted[0]);
    Pump(100);  // its terminate reply needs nothing of us
    // The window that answered is the conversation's and closes with it; the
    // program behind it (Wine's desktop) goes on.
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(serverProgram, 0));
    CloseHandle(serverProgram);
}

class StandIn : public ProgramManagerLink {
protected:
    void TearDown() override {
        robot::StopProgramManagerStandIn(standIn_);
        ProgramManagerLink::TearDown();
    }
    // Starts the stand-in and connects; its window, NULL when either failed.
    HWND StartAndConnect(const std::string& options) {
        standIn_ = robot::StartProgramManagerStandIn(options);
        HWND window = robot::ProgramManagerStandInWindow(standIn_);
        if (window == NULL || !ConnectProgramManager(MainWindow)) return NULL;
        return window;
    }
    robot::Process standIn_;
};

TEST_F(StandIn, AnswersFirstAndMakesTheShortcut) {
    std::string scratch = robot::ScratchFolder("progman-standin");
    std::string log = scratch + "\\standin.log", program = scratch + "\\Vestra.exe";
    std::string link = robot::ProgramsFolder() + "\\Vestra.lnk";
    DeleteFileA(link.c_str());
    ASSERT_TRUE(robot::WriteWholeFile(program, "MZ"));
    HWND window = StartAndConnect("--log \"" + log + "\"");
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(window, DdeServerWindow);  // before Wine's own server
    ASSERT_EQ(1, AddProgramItem(program.c_str()));
    DisconnectProgramManager();
    ASSERT_TRUE(PumpUntil(ProgramManagerIdle));
    ASSERT_EQ(1u, Calls.allocated.size());
    EXPECT_EQ(Calls.allocated, Calls.freed);

    std::vector<std::string> lines = robot::ReadStandInLog(log);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("[AddItem(\"" + program + "\", Vestra)]", lines[0]);
    EXPECT_EQ(0, lstrcmpiA(program.c_str(), robot::ShortcutTarget(link).c_str()))
        << robot::ShortcutTarget(link);
    DeleteFileA(link.c_str());
}

TEST_F(StandIn, VanishedServerMakesAddItemFail) {
    HWND window = StartAndConnect("--vanish");
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(window, DdeServerWindow);
    EXPECT_FALSE(IsWindow(window));
    Calls = PlatformCalls();
    EXPECT_EQ(0, AddProgramItem(VestraPath));
    EXPECT_EQ(1, Calls.globalAllocs);
    EXPECT_EQ(Calls.allocated, Calls.freed);
    DisconnectProgramManager();
    EXPECT_EQ(1u, Calls.posted.size());  // only the failed execute
}

// A silent stand-in leaves the answer to the desktop's own server; a short
// lifetime ends it by itself.
TEST_F(StandIn, SilentAndLifetimeOptions) {
    HWND window = StartAndConnect("--silent --lifetime 1500");
    ASSERT_TRUE(window != NULL);
    EXPECT_NE(window, DdeServerWindow);
    DisconnectProgramManager();
    EXPECT_EQ(0, robot::WaitForExit(standIn_, 5000));
}

}  // namespace
