// The Program Manager link in Edition 1: the item is named "Kellum Inspector",
// which leaves ten characters less room for the path.
#include <gtest/gtest.h>

#include "dde_test_support.h"
#include "progman_robot.h"

using namespace ddetest;

namespace {

class ProgramManagerLinkEdition1 : public ::testing::Test {
protected:
    void SetUp() override {
        InstallCounters();
        ASSERT_TRUE(CreateMainWindow() != NULL);
        Pump(20);
        ResetLink();
    }
    void TearDown() override {
        StopServer(&server_);
        robot::StopProgramManagerStandIn(standIn_);
        ResetLink();
    }
    // Connects to a server of ours, asks for the item and returns the command
    // it received ("<refused>" when AddProgramItem gave 0).
    std::string CommandFor(const std::string& path) {
        ResetLink();
        StartServer(&server_, "K");
        if (!ConnectProgramManager(MainWindow) || DdeServerWindow != server_.window)
            return "<no server>";
        std::string received = "<refused>";
        if (AddProgramItem(path.c_str())) {
            if (!PumpUntil(ProgramManagerIdle)) return "<no ack>";
            received = server_.received.back().text;
        }
        DisconnectProgramManager();
        StopServer(&server_);
        return received;
    }
    TestServer server_;
    robot::Process standIn_;
};

TEST_F(ProgramManagerLinkEdition1, CommandNamesTheItemKellumInspector) {
    EXPECT_EQ("[AddItem(\"D:\\Tools\\kminspector.exe\", Kellum Inspector)]",
              CommandFor("D:\\Tools\\kminspector.exe"));
}

// The argument holds quotes, comma, space and the 16 characters of the name
// beside the path: every path of the plan's 254 characters, and no more.
TEST_F(ProgramManagerLinkEdition1, LongestPathIsThePlansLongest) {
    std::string longest = "D:\\" + std::string(AddItemArgumentSize - 1 - 4 - 16 - 3, 'k');
    ASSERT_EQ((size_t)PathBufferSize - 1, longest.size());
    EXPECT_EQ("[AddItem(\"" + longest + "\", Kellum Inspector)]", CommandFor(longest));
    EXPECT_EQ("<refused>", CommandFor(longest + "k"));
    EXPECT_EQ(0, Calls.globalAllocs);  // counted afresh by CommandFor
}

TEST_F(ProgramManagerLinkEdition1, StandInMakesTheShortcutUnderTheProductName) {
    std::string scratch = robot::ScratchFolder("progman-standin-edition1");
    std::string program = scratch + "\\kminspector.exe";
    std::string link = robot::ProgramsFolder() + "\\Kellum Inspector.lnk";
    DeleteFileA(link.c_str());
    ASSERT_TRUE(robot::WriteWholeFile(program, "MZ"));
    standIn_ = robot::StartProgramManagerStandIn();
    ASSERT_TRUE(standIn_.handle != NULL);
    ASSERT_NE(0, ConnectProgramManager(MainWindow));
    ASSERT_EQ(robot::ProgramManagerStandInWindow(standIn_), DdeServerWindow);
    ASSERT_EQ(1, AddProgramItem(program.c_str()));
    DisconnectProgramManager();
    ASSERT_TRUE(PumpUntil(ProgramManagerIdle));
    EXPECT_EQ(0, lstrcmpiA(program.c_str(), robot::ShortcutTarget(link).c_str()))
        << robot::ShortcutTarget(link);
    DeleteFileA(link.c_str());
}

}  // namespace
