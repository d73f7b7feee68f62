#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "exact_buffer.h"
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

// The argument holds AddItemArgumentSize - 1 characters: quotes, comma and
// space take 4. Every program path the plan holds (254 characters) fits with
// either product's name; at the buffer's edge, a path one character longer
// is refused, and neither the argument nor the command is written then.
TEST(DdeCommand, ArgumentBoundaryPerEdition) {
    struct Case {
        int edition, pathLength, fits;
    } cases[] = {
        {0, PathBufferSize - 1, 1},
        {1, PathBufferSize - 1, 1},
        {0, AddItemArgumentSize - 1 - 4 - 6, 1},
        {0, AddItemArgumentSize - 4 - 6, 0},
        {1, AddItemArgumentSize - 1 - 4 - 16, 1},
        {1, AddItemArgumentSize - 4 - 16, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.edition) + " " + std::to_string(c.pathLength));
        const char* name = ProductString(ProductName, c.edition);
        HeapBlock path = ExactText("C:\\" + std::string(c.pathLength - 3, 'a'));
        HeapBlock argument = PatternBuffer(AddItemArgumentSize);
        EXPECT_EQ(c.fits,
                  ComposeAddItemArgument(argument.get(), AddItemArgumentSize, path.get(), name));
        if (c.fits) {
            EXPECT_EQ("\"" + std::string(path.get()) + "\", " + name, argument.get());
        } else {
            EXPECT_TRUE(Untouched(argument.get(), AddItemArgumentSize + 1));
        }
        HeapBlock command = PatternBuffer(DdeCommandSize);
        EXPECT_EQ(c.fits, ComposeAddItemCommand(command.get(), DdeCommandSize, path.get(), name));
        if (c.fits) {
            EXPECT_EQ(size_t(c.pathLength + 4 + strlen(name) + 11), strlen(command.get()));
        } else {
            EXPECT_TRUE(Untouched(command.get(), DdeCommandSize + 1));
        }
    }
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
    // Folders up to one longer than the buffer: the composition stays inside it.
    struct Case {
        int folderLength, fits;
    } cases[] = {{259 - 1 - 6 - 4, 1}, {259 - 6 - 4, 0}, {258, 0}, {259, 0}, {260, 0}};
    for (const Case& c : cases) {
        HeapBlock folder = ExactText(std::string(c.folderLength, 'f'));
        HeapBlock link = PatternBuffer(ShortcutPathSize);
        EXPECT_EQ(c.fits, ShortcutPath(folder.get(), "Vestra", link.get(), ShortcutPathSize))
            << c.folderLength;
        if (c.fits) {
            EXPECT_EQ(std::string(folder.get()) + "\\Vestra.lnk", link.get());
        } else {
            EXPECT_TRUE(Untouched(link.get(), ShortcutPathSize + 1)) << c.folderLength;
        }
    }
    EXPECT_FALSE(ShortcutPath("C:\\P", "Vestra", out, 10));
}
