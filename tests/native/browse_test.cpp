#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "exact_buffer.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/browse.h"

static std::string Trimmed(const char* field, int edition) {
    HeapBlock path = ExactText(field);
    TrimProductFolder(path.get(), ProductString(ProductName, edition));
    return path.get();
}

// The result of composing, or "refused" when the destination does not fit.
static std::string Composed(const std::string& chosen, int edition) {
    HeapBlock path = PatternBuffer(BrowsePathSize);
    EXPECT_TRUE(CopyText(path.get(), BrowsePathSize, chosen.c_str()));
    if (!ComposeDestination(path.get(), BrowsePathSize, ProductString(ProductName, edition))) {
        EXPECT_EQ(chosen, path.get()) << "a refusal leaves the path as it was";
        return "refused";
    }
    return path.get();
}

TEST(BrowseTrim, OpensOnTheParentOfTheProductFolder) {
    struct Case {
        int edition;
        const char* field;
        const char* opensOn;
    } cases[] = {
        {0, "C:\\Program Files\\Vestra", "C:\\Program Files"},
        {0, "C:\\Vestra", "C:\\"},  // a drive root keeps its backslash
        {0, "c:\\program files\\VESTRA", "c:\\program files"},
        {0, "C:\\Program Files\\vEsTrA", "C:\\Program Files"},
        {0, "D:\\Tools", "D:\\Tools"},
        {0, "D:\\MyVestra", "D:\\M"},  // only the last six characters count
        {0, "C:Vestra", "C:Vestra"},   // eight characters or fewer: never trimmed
        {0, "C:\\estra", "C:\\estra"},
        {0, "X\\Vestra", "X\\Vestra"},
        {0, "ab\\Vestra", "ab"},  // nine characters: the shortest text trimmed
        {0, "", ""},
        {0, "Vestra", "Vestra"},
        {0, "C:\\Program Files\\Kellum Inspector", "C:\\Program Files\\Kellum Inspector"},
        {1, "C:\\Kellum Inspector", "C:\\"},
        {1, "C:\\Program Files\\Kellum Inspector", "C:\\Program Files"},
        {1, "c:\\apps\\KELLUM INSPECTOR", "c:\\apps"},
        {1, "C:\\Program Files\\Vestra", "C:\\Program Files\\Vestra"},
        {1, "CKellum Inspector", "CKellum Inspector"},  // 17 characters, not more than 18
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.opensOn, Trimmed(c.field, c.edition)) << c.field << " edition " << c.edition;
}

TEST(BrowseCompose, AppendsTheProductFolderOnce) {
    struct Case {
        int edition;
        const char* chosen;
        const char* destination;
    } cases[] = {
        {0, "D:\\Apps", "D:\\Apps\\Vestra"},
        {0, "D:\\", "D:\\Vestra"},  // no second backslash after a drive root
        {0, "D:\\Tools", "D:\\Tools\\Vestra"},
        {0, "D:\\Old\\Vestra", "D:\\Old\\Vestra"},
        {0, "D:\\Old\\VESTRA", "D:\\Old\\VESTRA"},
        {0, "D:\\MyVestra", "D:\\MyVestra"},
        {0, "\\\\server\\share", "\\\\server\\share\\Vestra"},
        {1, "D:\\", "D:\\Kellum Inspector"},
        {1, "D:\\Apps", "D:\\Apps\\Kellum Inspector"},
        {1, "D:\\Kellum Inspector", "D:\\Kellum Inspector"},
        {1, "D:\\Vestra", "D:\\Vestra\\Kellum Inspector"},
        {0, "", "\\Vestra"},                  // nothing chosen: no character in front to look at
        {0, "C:Vestra", "C:Vestra\\Vestra"},  // too short to be a folder of that name
        {0, "Vestra", "Vestra\\Vestra"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.destination, Composed(c.chosen, c.edition)) << c.chosen;
}

TEST(BrowseCompose, RefusesADestinationTheFieldCannotHold) {
    // Longest destination the field can be read back with is 254 characters.
    std::string root = "D:\\";
    std::string fits = root + std::string(247 - root.size(), 'p');  // 247 + "\\Vestra" = 254
    EXPECT_EQ(fits + "\\Vestra", Composed(fits, 0));
    EXPECT_EQ("refused", Composed(fits + "q", 0));
    EXPECT_EQ("refused", Composed(root + std::string(256, 'p'), 0));  // the browser's longest
    // A chosen folder that ends in a backslash needs no separator.
    std::string withSlash = root + std::string(244, 'p') + "\\";  // 248 characters
    EXPECT_EQ(withSlash + "Vestra", Composed(withSlash, 0));
    // Edition 1 appends 17 characters.
    std::string fits1 = root + std::string(237 - root.size(), 'p');
    EXPECT_EQ(fits1 + "\\Kellum Inspector", Composed(fits1, 1));
    EXPECT_EQ("refused", Composed(fits1 + "q", 1));
    // Taken unchanged, yet still too long for the field.
    std::string ending = root + std::string(249, 'p') + "\\Vestra";  // 259 characters
    EXPECT_EQ("refused", Composed(ending, 0));
    std::string ending254 = root + std::string(244, 'p') + "\\Vestra";
    EXPECT_EQ(ending254, Composed(ending254, 0));
    EXPECT_EQ("refused", Composed(root + std::string(245, 'p') + "\\Vestra", 0));  // 255
    EXPECT_EQ("refused", Composed(root + std::string(235, 'p') + "\\Kellum Inspector", 1));
}

TEST(BrowseCompose, RefusesWhenTheBufferIsTooSmall) {
    char small[12] = "D:\\Apps";  // "D:\\Apps\\Vestra" needs 15 bytes
    EXPECT_EQ(0, ComposeDestination(small, sizeof small, "Vestra"));
    EXPECT_STREQ("D:\\Apps", small);
}

TEST(BrowseTexts, PromptAndRefusalFollowTheLanguage) {
    const std::string english = "Select parent folder for the installation:";
    const std::string german =
        "\xDC"
        "bergeordneten Ordner f\xFC"
        "r die Installation ausw\xE4hlen:";
    EXPECT_EQ(53u, german.size());
    EXPECT_EQ(german, BrowsePrompt(0));
    for (int language = 1; language < LanguageCount; ++language)
        EXPECT_EQ(english, BrowsePrompt(language)) << language;

    // Six languages have their own refusal; Chinese, Japanese and stray values read English.
    for (int a = 0; a < 6; ++a)
        for (int b = a + 1; b < 6; ++b)
            EXPECT_STRNE(LongDestinationText(a), LongDestinationText(b)) << a << " " << b;
    for (int language : {6, 7, -1, 8})
        EXPECT_STREQ(LongDestinationText(1), LongDestinationText(language)) << language;
    for (int language = 0; language < 6; ++language) {
        EXPECT_NE(nullptr, strstr(LongDestinationText(language), "254")) << language;
        EXPECT_LT(TextLength(LongDestinationText(language)), MessageTextSize);
    }
}

TEST(BrowsePosition, CentredAndTwentyAboveTheMiddle) {
    struct Case {
        int workW, workH, w, h, x, y;
    } cases[] = {
        {1024, 738, 320, 360, 352, 169},
        {1023, 741, 321, 359, 351, 171},  // each halving drops its remainder
        {300, 200, 320, 360, -10, -100},  // larger than the work area
    };
    for (const Case& c : cases) {
        int x = 0, y = 0;
        BrowserPosition(c.workW, c.workH, c.w, c.h, &x, &y);
        EXPECT_EQ(c.x, x);
        EXPECT_EQ(c.y, y);
    }
}
