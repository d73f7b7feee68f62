#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "progman/progman.h"
#include "tables/tables.h"

static std::string Command(const std::string& path, int edition) {
    char command[DdeCommandSize];
    if (!ComposeAddItemCommand(command, sizeof command, path.c_str(),
                               ProductString(ProductName, edition)))
        return "<refused>";
    return command;
}

TEST(DdeCommand, AddItemTextForBothEditions) {
    EXPECT_EQ("[AddItem(\"C:\\Vestra\\Vestra.exe\", Vestra)]",
              Command("C:\\Vestra\\Vestra.exe", 0));
    EXPECT_EQ("[AddItem(\"D:\\Tools\\kminspector.exe\", Kellum Inspector)]",
              Command("D:\\Tools\\kminspector.exe", 1));
    // Spaces in the path stay inside the quotes.
    EXPECT_EQ("[AddItem(\"C:\\Program Files\\Vestra\\Vestra.exe\", Vestra)]",
              Command("C:\\Program Files\\Vestra\\Vestra.exe", 0));
}

// The argument buffer holds 269 characters: quotes, comma and space take 4, so
// the longest path is 269 - 4 - length of the product name.
TEST(DdeCommand, ArgumentBoundaryPerEdition) {
    struct Case {
        int edition;
        int longestPath;
    } cases[] = {{0, 269 - 4 - 6}, {1, 269 - 4 - 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edition);
        std::string fits = "C:\\" + std::string(c.longestPath - 3, 'a');
        std::string tooLong = fits + "a";
        std::string command = Command(fits, c.edition);
        ASSERT_NE("<refused>", command);
        EXPECT_EQ(size_t(c.longestPath + 4 + strlen(ProductString(ProductName, c.edition)) + 11),
                  command.size());
        EXPECT_EQ("<refused>", Command(tooLong, c.edition));
    }
    // A full 255-character path fits Edition 0 but not Edition 1.
    std::string longest = "C:\\" + std::string(252, 'b');
    EXPECT_NE("<refused>", Command(longest, 0));
    EXPECT_EQ("<refused>", Command(longest, 1));
}

TEST(DdeCommand, RefusalLeavesBuffersUntouched) {
    char argument[AddItemArgumentSize];
    memset(argument, 'x', sizeof argument);
    std::string tooLong(300, 'p');
    EXPECT_EQ(0, ComposeAddItemArgument(argument, sizeof argument, tooLong.c_str(), "Vestra"));
    EXPECT_EQ('x', argument[0]);

    // A caller's buffer that is too small refuses the command as well.
    char small[20];
    memset(small, 'y', sizeof small);
    EXPECT_EQ(0, ComposeAddItemCommand(small, sizeof small, "C:\\Vestra\\Vestra.exe", "Vestra"));
    EXPECT_EQ('y', small[0]);
    EXPECT_EQ('y', small[sizeof small - 1]);
}

TEST(DdeCommand, AcknowledgementDecisions) {
    struct Case {
        unsigned pending;
        int serverRecorded;
        DdeAckAction action;
    } cases[] = {
        {DdeInitiateMessage, 0, RecordServer},
        {DdeInitiateMessage, 1, TerminateServer},
        {DdeExecuteMessage, 0, ReleaseCommand},
        {DdeExecuteMessage, 1, ReleaseCommand},
        {0, 0, IgnoreAck},
        {0, 1, IgnoreAck},
        {0x3E1, 1, IgnoreAck},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.action, DecideAckAction(c.pending, c.serverRecorded))
            << c.pending << " " << c.serverRecorded;
}

TEST(DdeConversation, InitiateTimeBoundedPerWindowAndInAll) {
    struct Case {
        unsigned elapsed, timeout;
    } cases[] = {{0, 500}, {2499, 500}, {2600, 400}, {2999, 1}, {3000, 0}, {0xFFFFFFF0u, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(c.timeout, InitiateWindowTimeout(c.elapsed, 500, 3000)) << c.elapsed;
}

TEST(DdeConversation, ExecuteAcceptedOnlyWithTheAckBit) {
    EXPECT_EQ(1, ExecuteAcknowledgedPositively(0x8000));
    EXPECT_EQ(1, ExecuteAcknowledgedPositively(0xC0FF));
    EXPECT_EQ(0, ExecuteAcknowledgedPositively(0x4000));  // busy
    EXPECT_EQ(0, ExecuteAcknowledgedPositively(0x00FF));
}

TEST(DdeConversation, ShortcutPathRefusesWhatDoesNotFit) {
    char out[ShortcutPathSize];
    ASSERT_TRUE(ShortcutPath("C:\\Programs", "Kellum Inspector", out, sizeof out));
    EXPECT_STREQ("C:\\Programs\\Kellum Inspector.lnk", out);
    // 259 characters at most: the folder, a backslash, the name and ".lnk".
    std::string folder(259 - 1 - 6 - 4, 'f');
    ASSERT_TRUE(ShortcutPath(folder.c_str(), "Vestra", out, sizeof out));
    EXPECT_EQ(259u, strlen(out));
    memset(out, 'x', sizeof out);
    EXPECT_FALSE(ShortcutPath((folder + "f").c_str(), "Vestra", out, sizeof out));
    EXPECT_EQ('x', out[0]);
    EXPECT_FALSE(ShortcutPath("C:\\P", "Vestra", out, 10));
}
