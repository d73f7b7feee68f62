#include <gtest/gtest.h>

#include <string>

#include "exact_buffer.h"
#include "tables/bounded_text.h"
#include "window/default_destination.h"
#include "window/layout.h"

static void ExpectRect(LayoutRect r, int x, int y, int w, int h) {
    EXPECT_EQ(x, r.x);
    EXPECT_EQ(y, r.y);
    EXPECT_EQ(w, r.width);
    EXPECT_EQ(h, r.height);
}

TEST(Layout, TestScreen1024x738) {
    WindowGeometry g = GeometryFor(1024, 738, 96);
    SetupLayout l = ComputeLayout(g, 18);
    EXPECT_EQ(492, g.panelLeft);
    EXPECT_EQ(381, g.panelTop);
    ExpectRect(l.destinationEdit, 515, 419, 187, 17);
    ExpectRect(l.pushButtons[0], 515, 449, 102, 26);
    ExpectRect(l.pushButtons[1], 636, 449, 102, 26);
    ExpectRect(l.pushButtons[2], 757, 449, 102, 26);
    ExpectRect(l.browseMoved, 703, 418, 35, 20);
    const int xs[3] = {516, 592, 668}, ys[3] = {608, 638, 668};
    for (int i = 0; i < 8; ++i) ExpectRect(l.languageButtons[i], xs[i % 3], ys[i / 3], 70, 21);
}

TEST(Layout, ProgressBoxFillsTheFreeBandOrIsLeftOut) {
    struct Case {
        int width, height, caption, x, y, w, h;
    } cases[] = {
        {1024, 738, 18, 515, 489, 223, 40},
        {800, 607, 18, 403, 423, 223, 40},  // the lowest work area with room
        {800, 606, 18, 0, 0, 0, 0},
        {1024, 200, 18, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        ExpectRect(ComputeLayout(GeometryFor(c.width, c.height, 96), c.caption).progressBox, c.x,
                   c.y, c.w, c.h);
    }
}

TEST(Layout, HalvingDropsTheRemainder) {
    WindowGeometry g = GeometryFor(1023, 741, 96);
    EXPECT_EQ(491, g.panelLeft);
    EXPECT_EQ(382, g.panelTop);
    // The browse button starts one pixel right of the field, one pixel above it.
    SetupLayout l = ComputeLayout(g, 23);
    EXPECT_EQ(l.destinationEdit.x + l.destinationEdit.width + 1, l.browseMoved.x);
    EXPECT_EQ(l.destinationEdit.y - 1, l.browseMoved.y);
    EXPECT_EQ(l.destinationEdit.height + 3, l.browseMoved.height);
}

// The test screen and its caption at four DPIs, 1024x738 scaled: every fixed
// amount scaled as a whole offset, halves away from zero. 96 is as ever.
TEST(Layout, ScalesWithTheDpi) {
    // Rows laid out by hand: screen, field, OK, Cancel, "...", first and last
    // language button, progress box and its inside.
    // clang-format off
    struct Case {
        int dpi, width, height, caption;
        LayoutRect edit, ok, cancel, browse, firstLanguage, lastLanguage, box;
        ProgressBoxInside inside;
    } cases[] = {
        {96, 1024, 738, 18, {515, 419, 187, 17}, {515, 449, 102, 26}, {636, 449, 102, 26},
         {703, 418, 35, 20}, {516, 608, 70, 21}, {592, 668, 70, 21}, {515, 489, 223, 40},
         {4, 16, 22}},
        {120, 1280, 922, 23, {644, 524, 234, 21}, {644, 562, 128, 33}, {795, 562, 128, 33},
         {879, 523, 44, 25}, {645, 759, 88, 26}, {740, 834, 88, 26}, {644, 613, 279, 50},
         {5, 20, 28}},
        {144, 1536, 1107, 27, {773, 628, 281, 26}, {773, 673, 153, 39}, {954, 673, 153, 39},
         {1055, 627, 53, 30}, {774, 912, 105, 32}, {888, 1002, 105, 32}, {773, 733, 334, 60},
         {6, 24, 33}},
        {192, 2048, 1476, 36, {1030, 838, 374, 34}, {1030, 898, 204, 52}, {1272, 898, 204, 52},
         {1406, 836, 70, 40}, {1032, 1216, 140, 42}, {1184, 1336, 140, 42}, {1030, 978, 446, 80},
         {8, 32, 44}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        SetupLayout l = ComputeLayout(GeometryFor(c.width, c.height, c.dpi), c.caption);
        const LayoutRect got[] = {l.destinationEdit, l.pushButtons[0],     l.pushButtons[1],
                                  l.browseMoved,     l.languageButtons[0], l.languageButtons[7],
                                  l.progressBox};
        const LayoutRect want[] = {c.edit,          c.ok,           c.cancel, c.browse,
                                   c.firstLanguage, c.lastLanguage, c.box};
        for (int i = 0; i < 7; ++i)
            ExpectRect(got[i], want[i].x, want[i].y, want[i].width, want[i].height);
        ProgressBoxInside in = l.progressInside;
        EXPECT_EQ(c.inside.margin, in.margin);
        EXPECT_EQ(c.inside.lineHeight, in.lineHeight);
        EXPECT_EQ(c.inside.barTop, in.barTop);
    }
    // MulDiv's rounding, and no known DPI leaves the amount alone.
    const int amounts[][3] = {{1, 144, 2},   {-1, 144, -2}, {3, 120, 4},
                              {-3, 144, -5}, {96, 1, 1},    {7, 0, 7}};
    for (const auto& a : amounts)
        EXPECT_EQ(a[2], Scaled(GeometryFor(0, 0, a[1]), a[0])) << a[0] << " " << a[1];
}

TEST(DefaultDestination, FollowsTheThreeRules) {
    struct Case {
        const char* perUser;
        const char* programFiles;
        int edition;
        const char* expected;
    } cases[] = {
        {"D:\\Tools\\Vestra", "C:\\Program Files", 0, "D:\\Tools\\Vestra"},
        {nullptr, "C:\\Program Files", 0, "C:\\Program Files\\Vestra"},
        {nullptr, "C:\\Program Files", 1, "C:\\Program Files\\Kellum Inspector"},
        {nullptr, nullptr, 0, "C:\\Vestra"},
        {nullptr, nullptr, 1, "C:\\Kellum Inspector"},
        // Texts that name no folder fall to the next rule.
        {"", nullptr, 0, "C:\\Vestra"},
        {"", "C:\\Program Files", 0, "C:\\Program Files\\Vestra"},
        {"D:\\Line\r\nBreak", nullptr, 1, "C:\\Kellum Inspector"},
        {"D:\\Tools\\Vestra", "\x7F", 0, "D:\\Tools\\Vestra"},
        {nullptr, "C:\\Tab\there", 0, "C:\\Vestra"},
        // Folders the install would refuse fall to the next rule; a drive root
        // is kept as the install records it.
        {"%NOPE_UNDEF%\\vx", "C:\\Program Files", 0, "C:\\Program Files\\Vestra"},
        {"..\\relx", nullptr, 0, "C:\\Vestra"},
        {"C:\\??\\Vestra", "C:\\Program Files", 1, "C:\\Program Files\\Kellum Inspector"},
        {"\\\\server\\share", nullptr, 0, "C:\\Vestra"},
        {"D:\\Tools\\con\\Vestra", nullptr, 0, "C:\\Vestra"},
        {"D:\\Tools\\", nullptr, 0, "D:\\Tools\\"},
        {"D:", nullptr, 0, "D:"},
        {nullptr, "Programs", 0, "C:\\Vestra"},
        {nullptr, "C:\\Prog. ", 0, "C:\\Vestra"},
    };
    for (const Case& c : cases) {
        char out[256];
        ChooseDefaultDestination(c.perUser, c.programFiles, c.edition, out, sizeof out);
        EXPECT_STREQ(c.expected, out);
    }
    // Control characters and DEL name no folder; any other byte may.
    const struct {
        const char* text;
        int usable;
    } texts[] = {{"C:\\a\x1F", 0}, {"C:\\a\x7F", 0}, {"C:\\ ~\x80\xFF", 1}};
    for (const auto& t : texts)
        EXPECT_EQ(t.usable, UsableFolderText(ExactText(t.text).get())) << t.text;
}

// Each rule needs its own room; what does not fit falls to the next rule, and
// when nothing fits the field starts empty. Nothing is written past the size.
TEST(DefaultDestination, EachSizeGivesTheFirstRuleThatFits) {
    HeapBlock perUser = ExactText("D:\\Tools\\Vestra\\Data"), programFiles = ExactText("C:\\Prog");
    struct Case {
        int size;
        const char* expected;
    } cases[] = {{21, "D:\\Tools\\Vestra\\Data"},
                 {20, "C:\\Prog\\Vestra"},
                 {15, "C:\\Prog\\Vestra"},
                 {14, "C:\\Vestra"},
                 {10, "C:\\Vestra"},
                 {9, ""},
                 {1, ""}};
    for (const Case& c : cases) {
        HeapBlock out = PatternBuffer(c.size);
        ChooseDefaultDestination(perUser.get(), programFiles.get(), 0, out.get(), c.size);
        EXPECT_STREQ(c.expected, out.get()) << c.size;
        EXPECT_EQ(Pattern, out[c.size]) << c.size;
    }
    HeapBlock none = PatternBuffer(0);
    ChooseDefaultDestination(perUser.get(), programFiles.get(), 0, none.get(), 0);
    EXPECT_EQ(Pattern, none[0]);
}

TEST(DefaultDestination, ProgramFilesThatLeavesNoRoomFallsBack) {
    // MessageText holds 255 characters: Program Files plus "\\Vestra" must fit.
    char out[256];
    std::string tooLong = "C:\\" + std::string(246, 'p');  // 249 + 7 = 256 characters
    ChooseDefaultDestination(nullptr, tooLong.c_str(), 0, out, sizeof out);
    EXPECT_STREQ("C:\\Vestra", out);
    std::string exact = "C:\\" + std::string(245, 'p');  // 248 + 7 = 255 characters
    ChooseDefaultDestination(nullptr, exact.c_str(), 0, out, sizeof out);
    EXPECT_EQ(exact + "\\Vestra", out);
}

TEST(RegistryText, IsAlwaysTerminatedAndRefusedWhenFull) {
    HeapBlock block = PatternBuffer(255);  // the limit's 255 bytes and a terminator's room
    char* buffer = block.get();
    // 254 characters and terminator: fits exactly.
    std::string v(254, 'a');
    memcpy(buffer, v.c_str(), 255);
    EXPECT_EQ(1, TerminateRegistryText(buffer, 255, 255));
    EXPECT_EQ(254, TextLength(buffer));
    // Data without terminator that fills the room: does not fit.
    memset(buffer, 'b', 256);
    EXPECT_EQ(0, TerminateRegistryText(buffer, 255, 255));
    buffer[255] = '\0';  // the room behind the data is not part of it
    EXPECT_EQ(0, TerminateRegistryText(buffer, 255, 255));
    buffer[0] = '\0';  // an empty value read in full
    EXPECT_EQ(1, TerminateRegistryText(buffer, 255, 255));
    // Shorter data without terminator gets one.
    memset(buffer, 'c', 256);
    EXPECT_EQ(1, TerminateRegistryText(buffer, 10, 255));
    EXPECT_EQ(10, TextLength(buffer));
    EXPECT_EQ(0, TerminateRegistryText(buffer, 300, 255));
}
