#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "tables/bounded_text.h"
#include "tables/tables.h"

TEST(Tables, ProductStringsByEdition) {
    EXPECT_STREQ("Vestra", ProductString(ProductName, 0));
    EXPECT_STREQ("Kellum Inspector", ProductString(ProductName, 1));
    EXPECT_STREQ("Software\\Kellum AG\\Vestra", ProductString(PerUserKey, 0));
    EXPECT_STREQ("Software\\Kellum AG\\Kellum Inspector", ProductString(PerUserKey, 1));
    EXPECT_STREQ("\\Kellum Inspector", ProductString(DefaultSubFolder, 1));
    EXPECT_STREQ("C:\\Vestra", ProductString(FallbackFolder, 0));
}

// Each caption ends inside its slot; a caption that ran into the next slot
// would read as a different, longer caption.
TEST(Tables, ErrorCaptionsFitTheirSlotsAndFallBackToEnglish) {
    const char* expected[8] = {"Fehler", "Error", "Erreur", "Error", "Errore", "Erro", "", "Error"};
    for (int row = 0; row < LanguageCount; ++row) {
        EXPECT_STREQ(expected[row], ErrorCaption(row));
        EXPECT_LT(strlen(ErrorCaption(row)), (size_t)ErrorCaptionSlot) << row;
        // Consecutive slots, not a text and its tail.
        if (row > 0) {
            EXPECT_EQ(ErrorCaptionSlot, ErrorCaption(row) - ErrorCaption(row - 1));
        }
    }
    for (int language : {-1, (int)LanguageCount, 1000}) EXPECT_STREQ("Error", ErrorCaption(language));
}

// The position of the one '&' that marks an accelerator, -1 when there is
// none or more than one, or when it marks nothing.
static int AcceleratorAt(const char* label) {
    int at = -1;
    for (int i = 0; label[i]; ++i) {
        if (label[i] != '&') continue;
        if (at >= 0 || !label[i + 1]) return -1;
        at = i;
    }
    return at;
}

static char FoldedAccelerator(const char* label) {
    int at = AcceleratorAt(label);
    char c = at < 0 ? 0 : label[at + 1];
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

// Every label a keyboard reaches has one accelerator, and the keys of one
// screen do not collide.
TEST(Tables, EveryLabelHasItsOwnAccelerator) {
    for (int language = 0; language < LanguageCount; ++language) {
        SCOPED_TRACE(language);
        EXPECT_GE(AcceleratorAt(ButtonLabel(language, 1)), 0) << ButtonLabel(language, 1);
        EXPECT_GE(AcceleratorAt(ButtonLabel(language, 2)), 0) << ButtonLabel(language, 2);
        EXPECT_NE(FoldedAccelerator(ButtonLabel(language, 1)),
                  FoldedAccelerator(ButtonLabel(language, 2)));
    }
    std::string keys;
    for (int i = 0; i < LanguageButtonCount(1); ++i) {
        EXPECT_GE(AcceleratorAt(LanguageButtonLabel(i)), 0) << LanguageButtonLabel(i);
        char key = FoldedAccelerator(LanguageButtonLabel(i));
        EXPECT_EQ(std::string::npos, keys.find(key)) << LanguageButtonLabel(i);
        keys += key;
    }
    EXPECT_STREQ("", LanguageButtonLabel(LanguageButtonCount(1)));
    EXPECT_STREQ("", ButtonLabel(1, 4));
}

TEST(Tables, ButtonLabelsBytes) {
    EXPECT_STREQ("&Abbrechen", ButtonLabel(0, 2));
    EXPECT_STREQ("C&ancel", ButtonLabel(1, 2));
    EXPECT_STREQ("&Aceptar", ButtonLabel(3, 1));
    EXPECT_STREQ("C&ancelar", ButtonLabel(5, 2));
    EXPECT_STREQ("\xC8\xA1\xCF\xFB(&a)", ButtonLabel(6, 2));
    EXPECT_EQ(8u, strlen(ButtonLabel(6, 2)));
    for (int row = 0; row < 8; ++row) {
        EXPECT_STREQ("", ButtonLabel(row, 0));
        EXPECT_STREQ("...", ButtonLabel(row, 3));
    }
    EXPECT_STREQ("&Fran\xE7" "ais", LanguageButtonLabel(2));
    EXPECT_STREQ("E&spa\xF1ol", LanguageButtonLabel(3));
    EXPECT_STREQ("&Portugues", LanguageButtonLabel(5));
}

TEST(Tables, LanguageButtonsMapToLanguages) {
    EXPECT_EQ(1, LanguageForButton(100));
    EXPECT_EQ(0, LanguageForButton(101));
    for (int id = 102; id <= 107; ++id) EXPECT_EQ(id - 100, LanguageForButton(id));
    EXPECT_EQ(-1, LanguageForButton(99));
    EXPECT_EQ(-1, LanguageForButton(108));
    EXPECT_EQ(6, LanguageButtonCount(0));
    EXPECT_EQ(8, LanguageButtonCount(1));
}

TEST(BoundedText, RefusesRatherThanTruncates) {
    char buffer[8] = "abc";
    EXPECT_EQ(1, AppendText(buffer, sizeof buffer, "defg"));  // 7 characters fit
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_EQ(0, AppendText(buffer, sizeof buffer, "h"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_EQ(0, CopyText(buffer, sizeof buffer, "12345678"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_EQ(1, CopyText(buffer, sizeof buffer, ""));
    EXPECT_STREQ("", buffer);
    EXPECT_TRUE(EqualIgnoringCase("c:\\program files\\VESTRA", "C:\\Program Files\\Vestra"));
    EXPECT_FALSE(EqualIgnoringCase("Vestra", "Vestr"));
}
