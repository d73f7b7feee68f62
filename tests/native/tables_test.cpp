#include <gtest/gtest.h>

#include <string.h>

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

TEST(Tables, ErrorCaptionsSitInSevenByteSlots) {
    const char* expected[8] = {"Fehler", "Error", "Erreur", "Error", "Errore", "Erro", "", "Error"};
    for (int row = 0; row < 8; ++row) {
        EXPECT_STREQ(expected[row], &ErrorCaptions[7 * row]);
        EXPECT_STREQ(expected[row], ErrorCaption(row));
        // Shorter captions are padded with zero bytes to the slot's end.
        for (int i = (int)strlen(expected[row]); i < 7; ++i) EXPECT_EQ(0, ErrorCaptions[7 * row + i]);
    }
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
    EXPECT_STREQ("&Fran\xE7" "ais", LanguageButtonLabels[2]);
    EXPECT_STREQ("E&spa\xF1ol", LanguageButtonLabels[3]);
    EXPECT_STREQ("&Portugues", LanguageButtonLabels[5]);
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
