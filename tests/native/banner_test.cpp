// Band geometry, the panel mirror, the banner texts and their places.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "banner/gradient.h"
#include "banner/banner_texts.h"

namespace {

TEST(BandGeometry, BandHeightHasAFloorOfOne) {
    struct Case {
        int height, band;
    } cases[] = {{738, 3},  {770, 3}, {887, 3}, {888, 4}, {994, 4}, {1040, 4}, {1109, 4},
                 {1110, 5}, {222, 1}, {221, 1}, {200, 1}, {1, 1},   {0, 1},    {60000, 270}};
    for (const Case& c : cases) EXPECT_EQ(c.band, BandHeight(c.height)) << c.height;
}

TEST(BandGeometry, BandColourClampsNegativeIndices) {
    struct Case {
        int index;
        unsigned colour;
    } cases[] = {{-5, 0x01000000u}, {-1, 0x01000000u},  {0, 0x01000000u},
                 {1, 0x01000001u},  {220, 0x010000DCu}, {221, 0x01000000u + 221}};
    for (const Case& c : cases) EXPECT_EQ(c.colour, BandColour(c.index)) << c.index;
}

// The test screen: 1024 x 738, three rows per band, 247 bands.
TEST(BandGeometry, TestScreen1024x738) {
    const int h = 738, b = BandHeight(h);
    const WindowGeometry g = GeometryFor(1024, h, 96);
    EXPECT_EQ(247, BandCount(g));
    struct Case {
        int k, top, bottom, index;
    } cases[] = {{1, 1, 4, 221}, {2, 4, 7, 220}, {3, 7, 10, 219}, {247, 739, 742, 0}};
    for (const Case& c : cases) {
        BannerRect r = BandRectangle(c.k, g);
        EXPECT_EQ(0, r.left);
        EXPECT_EQ(1026, r.right);
        EXPECT_EQ(c.top, r.top) << c.k;
        EXPECT_EQ(c.bottom, r.bottom) << c.k;
        EXPECT_EQ(c.index, BandIndex(c.k * b, h)) << c.k;
    }
}

// Over the whole fill: the first band is the brightest entry, the bands
// touch without gaps, the index never rises, never falls by more than one
// per band, never reaches 222, and the last band lies below the window.
TEST(BandGeometry, FillCoversTheWindowFromTheFirstBandDown) {
    const int heights[] = {200, 221, 222, 500, 738, 770, 888, 994, 1040, 1080, 1200, 1600};
    for (int h : heights) {
        SCOPED_TRACE(h);
        const WindowGeometry g = GeometryFor(640, h, 96);
        int b = BandHeight(h), bands = BandCount(g);
        // Below 222 rows the floor of one row per band starts a little darker.
        EXPECT_EQ(h >= 222 ? 221 : (h - 1) * 222 / h, BandIndex(b, h));
        int previousIndex = 222, previousBottom = b - 2;
        for (int k = 1; k <= bands; ++k) {
            BannerRect r = BandRectangle(k, g);
            EXPECT_EQ(previousBottom, r.top);
            previousBottom = r.bottom;
            int n = BandIndex(k * b, h);
            EXPECT_LE(n, previousIndex);
            EXPECT_GE(n, previousIndex - 2);  // 221 bands or more over 222 entries
            previousIndex = n;
        }
        EXPECT_GE(previousBottom - b + 2, h + 2);  // the last start reached the test's end
        EXPECT_LT((bands - 1) * b, h + 2);         // and the band before did not
        EXPECT_GE(previousBottom, h);              // every row of the window is filled
    }
}

TEST(BandGeometry, RowsAboveTheFirstBandAreLeftAlone) {
    struct Case {
        int height, firstRow;
    } cases[] = {{738, 1}, {994, 2}, {1040, 2}, {1110, 3}, {200, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(c.firstRow, BandRectangle(1, GeometryFor(1024, c.height, 96)).top) << c.height;
}

TEST(BandGeometry, IndexBelowTheWindowIsNegativeThenClamped) {
    // 770: b = 3, the last band starts at 774 and has the index -1.
    const int h = 770, bands = BandCount(GeometryFor(1024, h, 96));
    EXPECT_EQ(258, bands);
    EXPECT_EQ(-1, BandIndex(bands * BandHeight(h), h));
    EXPECT_EQ(0x01000000u, BandColour(BandIndex(bands * BandHeight(h), h)));
}

// A work area without rows (none is expected, but the rule must not divide by it).
TEST(BandGeometry, NoRowsGiveOneBandOfTheFirstEntry) {
    for (int h : {0, -1, -2, -3, -500, INT_MIN}) {
        EXPECT_EQ(1, BandHeight(h)) << h;
        // The fill runs to two rows below.
        EXPECT_EQ(h == 0 ? 2 : 1, BandCount(GeometryFor(1024, h, 96))) << h;
        EXPECT_EQ(0, BandIndex(1, h)) << h;
    }
}

TEST(BandGeometry, TallWorkAreaDoesNotOverflowTheIndex) {
    const int h = 20000000;  // the product with 222 passes 2^31
    EXPECT_EQ(221, BandIndex(BandHeight(h), h));
    EXPECT_EQ(0, BandIndex(h, h));
}

TEST(PanelMirror, TestScreen1024x738) {
    MirrorBlock m = PanelMirror(GeometryFor(1024, 738, 96));
    EXPECT_EQ(492, m.x);
    EXPECT_EQ(381, m.y);
    EXPECT_EQ(270, m.width);
    EXPECT_EQ(354, m.height);  // rows 381 to 734
    EXPECT_EQ(735, m.sourceY);
    EXPECT_EQ(-354, m.sourceHeight);
    EXPECT_EQ(m.y + m.height, m.sourceY + m.sourceHeight + m.height);
}

TEST(BannerTexts, PlacesOnTheTestScreen1024x738) {
    BannerTextLayout t = ComputeTextLayout(GeometryFor(1024, 738, 96));
    struct Case {
        const char* name;
        BannerRect got, expected;
    } cases[] = {
        {"maker shadow", t.makerShadow, {512, 30, 999, 706}},
        {"maker", t.maker, {509, 27, 996, 703}},
        {"description", t.description, {32, 135, 992, 706}},
        {"notice", t.notice, {492, 718, 762, 738}},
        {"help note", t.helpNote, {492, 588, 762, 608}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected.left, c.got.left);
        EXPECT_EQ(c.expected.top, c.got.top);
        EXPECT_EQ(c.expected.right, c.got.right);
        EXPECT_EQ(c.expected.bottom, c.got.bottom);
    }
    EXPECT_EQ(516, t.folderLabel.x);
    EXPECT_EQ(393, t.folderLabel.y);
}

TEST(BannerTexts, HelpNoteAndFolderLabelByLanguage) {
    struct Case {
        int language;
        const char* note;  // nullptr: none drawn
        const char* label;
    } cases[] = {
        {0, nullptr, "Zielordner:"},
        {1, nullptr, "Destination Folder:"},
        {2, "L'aide est en anglais.", "Dossier Cible:"},
        {3, "Program help in English.", "Carpeta de destino:"},
        {4, "L'aiuto \xE8 in inglese.", "Cartella destinazione:"},
        {5, "A ajuda est\xE1 em ingl\xEAs.", "Pasta destino:"},
        {6, "Program help in English.", "Destination Folder:"},
        {7, nullptr, "Destination Folder:"},
        {-1, nullptr, "Destination Folder:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        const char* note = HelpNoteFor(c.language);
        if (c.note)
            EXPECT_STREQ(c.note, note);
        else
            EXPECT_EQ(nullptr, note);
        EXPECT_STREQ(c.label, FolderLabelFor(c.language));
    }
}

// The shadow lies six pixels right of and below the face; only Edition 1
// draws the version apart from the title. Fonts and places are the banner's.
TEST(BannerTexts, TitleShadowAndVersionByEdition) {
    struct Case {
        int edition;
        const char* title;
        int height, weight, faceX, faceY;
        const char* version;
        int versionHeight, versionWeight, versionX, versionY;
    } cases[] = {{0, "Vestra 14.3", 82, 550, 24, 21, nullptr, 0, 0, 0, 0},
                 {1, "Kellum Inspector", 70, 500, 34, 21, "14.3", 40, 550, 495, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edition);
        TitleStyle t = TitleFor(c.edition, GeometryFor(1024, 738, 96));
        EXPECT_STREQ(c.title, t.title);
        EXPECT_EQ(c.height, t.height);
        EXPECT_EQ(c.weight, t.weight);
        EXPECT_EQ(c.faceX, t.face.x);
        EXPECT_EQ(c.faceY, t.face.y);
        EXPECT_EQ(6, t.shadow.x - t.face.x);
        EXPECT_EQ(6, t.shadow.y - t.face.y);
        EXPECT_STREQ(c.version, t.version);  // both null: none apart
        EXPECT_EQ(c.versionHeight, t.versionHeight);
        EXPECT_EQ(c.versionWeight, t.versionWeight);
        EXPECT_EQ(c.versionX, t.versionAt.x);
        EXPECT_EQ(c.versionY, t.versionAt.y);
    }
}

// The test screen scaled to four DPIs, its panel where the layout puts it:
// texts, fonts, the bands' fixed two pixels, the mirror's three, the panel's
// width and the copy-back margins scale; the band height follows the height.
TEST(BannerTexts, ScaleWithTheDpi) {
    // Rows laid out by hand: place, texts, fonts, title places, geometry.
    // clang-format off
    struct Case {
        int dpi, width, height, panelLeft, panelTop;
        BannerRect makerShadow, maker, description, notice, helpNote;
        TextPoint folderLabel;
        int makerHeight, titleHeight, inspectorHeight, versionHeight;
        TextPoint face, shadow, versionAt;
        BannerRect firstBand;
        int bands, mirrorHeight, panelWidth, copyBackRight, copyBackBottom;
    } cases[] = {
        {96, 1024, 738, 492, 381,
         {512, 30, 999, 706}, {509, 27, 996, 703}, {32, 135, 992, 706}, {492, 718, 762, 738},
         {492, 588, 762, 608}, {516, 393},
         24, 82, 70, 40, {24, 21}, {30, 27}, {495, 60},
         {0, 1, 1026, 4}, 247, 354, 270, 111, 72},
        {120, 1280, 922, 615, 476,
         {640, 38, 1249, 882}, {636, 34, 1245, 878}, {40, 169, 1240, 882}, {615, 897, 953, 922},
         {615, 734, 953, 759}, {645, 491},
         30, 103, 88, 50, {30, 26}, {38, 34}, {619, 75},
         {0, 1, 1283, 5}, 232, 442, 338, 111, 73},
        {144, 1536, 1107, 738, 571,
         {768, 45, 1498, 1059}, {763, 40, 1493, 1054}, {48, 203, 1488, 1059},
         {738, 1077, 1143, 1107}, {738, 882, 1143, 912}, {774, 589},
         36, 123, 105, 60, {36, 32}, {45, 41}, {743, 90},
         {0, 1, 1539, 5}, 278, 531, 405, 112, 73},
        {192, 2048, 1476, 984, 762,
         {1024, 60, 1998, 1412}, {1018, 54, 1992, 1406}, {64, 270, 1984, 1412},
         {984, 1436, 1524, 1476}, {984, 1176, 1524, 1216}, {1032, 786},
         48, 164, 140, 80, {48, 42}, {60, 54}, {990, 120},
         {0, 2, 2052, 8}, 247, 708, 540, 112, 74},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const WindowGeometry g = GeometryFor(c.width, c.height, c.dpi);
        EXPECT_EQ(c.panelLeft, g.panelLeft);
        EXPECT_EQ(c.panelTop, g.panelTop);
        BannerTextLayout t = ComputeTextLayout(g);
        TitleStyle vestra = TitleFor(0, g), inspector = TitleFor(1, g);
        MirrorBlock m = PanelMirror(g);
        const BannerRect rects[][2] = {
            {c.makerShadow, t.makerShadow},
            {c.maker, t.maker},
            {c.description, t.description},
            {c.notice, t.notice},
            {c.helpNote, t.helpNote},
            {c.firstBand, BandRectangle(1, g)},
            {{10, 20, c.copyBackRight, c.copyBackBottom}, CopyBackBlock({10, 20, 110, 70}, g)},
        };
        for (const auto& r : rects)
            EXPECT_TRUE(r[0].left == r[1].left && r[0].top == r[1].top &&
                        r[0].right == r[1].right && r[0].bottom == r[1].bottom)
                << r[1].left << "," << r[1].top << "," << r[1].right << "," << r[1].bottom;
        const TextPoint points[][2] = {{c.folderLabel, t.folderLabel},
                                       {c.face, vestra.face},
                                       {c.shadow, vestra.shadow},
                                       {c.versionAt, inspector.versionAt}};
        for (const auto& p : points)
            EXPECT_TRUE(p[0].x == p[1].x && p[0].y == p[1].y) << p[1].x << "," << p[1].y;
        // Font weights stay as they are.
        const int numbers[][2] = {{c.makerHeight, t.makerHeight},
                                  {c.titleHeight, vestra.height},
                                  {c.inspectorHeight, inspector.height},
                                  {c.versionHeight, inspector.versionHeight},
                                  {550, vestra.weight},
                                  {500, inspector.weight},
                                  {c.bands, BandCount(g)},
                                  {c.mirrorHeight, m.height},
                                  {c.panelTop + c.mirrorHeight, m.sourceY},
                                  {c.panelWidth, m.width}};
        for (const auto& n : numbers) EXPECT_EQ(n[0], n[1]) << &n - numbers;
    }
}

// Relative luminance of a 0x00BBGGRR colour, 0 to 1.
double Luminance(unsigned c) {
    auto channel = [](unsigned v) { return std::pow((v & 0xFF) / 255.0, 2.2); };
    return 0.2126 * channel(c) + 0.7152 * channel(c >> 8) + 0.0722 * channel(c >> 16);
}

// The gradient's colour at a pixel as FillGradient leaves it: the band of its
// row, or of the row the panel's mirror shows there (palette entry i is blue i).
unsigned GradientAt(const WindowGeometry& g, int x, int y) {
    MirrorBlock m = PanelMirror(g);
    if (x >= m.x && x < m.x + m.width && y >= m.y && y < m.y + m.height)
        y = m.sourceY - 1 - (y - m.y);
    for (int k = 1, bands = BandCount(g); k <= bands; ++k) {
        BannerRect r = BandRectangle(k, g);
        if (y >= r.top && y < r.bottom) {
            int index = BandIndex(k * BandHeight(g.height), g.height);
            return (unsigned)(index < 0 ? 0 : index) << 16;
        }
    }
    return 0;
}

// The banner's own colours on its own gradient: every text is lighter than
// each band it is drawn on (the panel's texts on the mirror), every shadow
// darker than its face, and each colour a grey or a blue as the system reads
// 0x00BBGGRR (a colour written as 0xRRGGBB turns red or yellow).
TEST(BannerColours, EveryTextIsLighterThanTheGradientBehindIt) {
    const BannerColours own = ChooseBannerColours(0, 0x123456, 0xABCDEF);
    EXPECT_EQ(1, own.gradient);
    EXPECT_EQ(1, own.shadows);
    for (unsigned c : {own.shadow, own.face, own.version, own.folderLabel, own.notice}) {
        unsigned red = c & 0xFF, green = c >> 8 & 0xFF, blue = c >> 16 & 0xFF;
        EXPECT_TRUE(red == green && green <= blue && c <= 0xFFFFFF) << std::hex << c;
    }
    EXPECT_LT(Luminance(own.shadow), Luminance(own.face));
    for (int dpi : {96, 144}) {
        const WindowGeometry g = GeometryFor(1024 * dpi / 96, 738 * dpi / 96, dpi);
        const BannerTextLayout t = ComputeTextLayout(g);
        const TitleStyle vestra = TitleFor(0, g), inspector = TitleFor(1, g);
        const int plainHeight = Scaled(g, 12);  // the stock font's cell
        struct Text {
            const char* name;
            unsigned colour;
            int left, top, right, bottom;  // the rows and columns it may cover
        } texts[] = {
            {"title", own.face, vestra.face.x, vestra.face.y, g.width / 2,
             vestra.face.y + vestra.height},
            {"version", own.version, inspector.versionAt.x, inspector.versionAt.y,
             inspector.versionAt.x + inspector.versionHeight,
             inspector.versionAt.y + inspector.versionHeight},
            {"maker", own.face, t.maker.left, t.maker.top, t.maker.right,
             t.maker.top + t.makerHeight},
            {"description", own.face, t.description.left, t.description.top, t.description.right,
             t.description.bottom},
            {"folder label", own.folderLabel, t.folderLabel.x, t.folderLabel.y,
             t.folderLabel.x + Scaled(g, 100), t.folderLabel.y + plainHeight},
            {"notice", own.notice, t.notice.left, t.notice.top, t.notice.right, t.notice.bottom},
            {"help note", own.notice, t.helpNote.left, t.helpNote.top, t.helpNote.right,
             t.helpNote.bottom},
        };
        for (const Text& text : texts)
            for (int y = text.top; y < text.bottom && y < g.height; ++y)
                for (int x : {text.left, (text.left + text.right) / 2, text.right - 1}) {
                    unsigned behind = GradientAt(g, x, y);
                    ASSERT_GT(Luminance(text.colour), Luminance(behind))
                        << text.name << " at " << dpi << " DPI, " << x << "," << y;
                    ASSERT_LT(Luminance(own.shadow), Luminance(behind) + 1e-9) << text.name;
                }
    }
}

// Under high contrast: the system's colours, no gradient, no shadows.
TEST(BannerColours, HighContrastTakesTheSystemsColours) {
    BannerColours contrast = ChooseBannerColours(1, 0x123456, 0xABCDEF);
    EXPECT_EQ(0, contrast.gradient + contrast.shadows);
    EXPECT_EQ(0xABCDEFu, contrast.background);
    for (unsigned text : {contrast.face, contrast.version, contrast.folderLabel, contrast.notice})
        EXPECT_EQ(0x123456u, text);
}

TEST(CopyBack, BlockIsOneWiderAndTwoTaller) {
    BannerRect b = CopyBackBlock(BannerRect{10, 20, 110, 70}, GeometryFor(1024, 738, 96));
    EXPECT_EQ(10, b.left);
    EXPECT_EQ(20, b.top);
    EXPECT_EQ(101, b.right - b.left);
    EXPECT_EQ(52, b.bottom - b.top);
}

}  // namespace
