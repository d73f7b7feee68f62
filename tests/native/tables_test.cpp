#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "banner/description_block.h"
#include "banner/banner_texts.h"
#include "exact_buffer.h"
#include "install/plan.h"
#include "install/registration.h"
#include "install/start_product.h"
#include "install/install_tables.h"
#include "progman/progman.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/browse.h"

static const int StrayValues[] = {-1, 8, 100, INT_MIN, INT_MAX};

TEST(Tables, ProductStringsByEdition) {
    EXPECT_STREQ("Vestra", ProductString(ProductName, 0));
    EXPECT_STREQ("Kellum Inspector", ProductString(ProductName, 1));
    EXPECT_EQ(ProductNameSize - 1, (int)strlen(ProductString(ProductName, 1)));  // the longer
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
    for (int language : {-1, (int)LanguageCount, 1000})
        EXPECT_STREQ("Error", ErrorCaption(language));
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
    EXPECT_STREQ("", LanguageButtonLabel(-1));
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
    EXPECT_STREQ(
        "&Fran\xE7"
        "ais",
        LanguageButtonLabel(2));
    EXPECT_STREQ("E&spa\xF1ol", LanguageButtonLabel(3));
    EXPECT_STREQ("&Portugues", LanguageButtonLabel(5));
}

// A question composes alike in bytes and in wide characters (the parts
// converted for the system), cut at the same places.
TEST(BoundedText, QuestionsComposeAlikeInWideCharacters) {
    struct Case {
        const char *format, *insert;
        int size;
        const char* expected;  // nullptr: refused
    } cases[] = {{"In \"%s\"?", "D:\\Apps", 64, "In \"D:\\Apps\"?"},
                 {"no insert", "x", 64, "no insert"},
                 {"A%sB", "xxxxx", 8, "AxxxxxB"},
                 {"A%sB", "xxxxxx", 8, "Axx...B"},
                 {"A%sB", "x", 5, nullptr}};
    for (const Case& c : cases) {
        std::wstring format(c.format, c.format + strlen(c.format));
        std::wstring insert(c.insert, c.insert + strlen(c.insert));
        std::vector<wchar_t> wide((size_t)c.size + 1, L'#');
        ASSERT_EQ(c.expected != nullptr,
                  FormatQuestion(format.c_str(), insert.c_str(), wide.data(), c.size));
        EXPECT_EQ(L'#', wide[(size_t)c.size]) << c.format;
        if (c.expected) {
            EXPECT_EQ(std::wstring(c.expected, c.expected + strlen(c.expected)), wide.data());
        }
    }
}

TEST(Tables, LanguageButtonsMapToLanguages) {
    EXPECT_EQ(English, LanguageForButton(100));
    EXPECT_EQ(German, LanguageForButton(101));
    for (int id = 102; id <= 107; ++id) EXPECT_EQ(id - 100, LanguageForButton(id));
    for (int id : {99, 108, 0, -1, INT_MIN, INT_MAX}) EXPECT_EQ(-1, LanguageForButton(id)) << id;
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

// A table without a row for a language reads the English row; the Chinese
// row, where a table has one, repeats English too.
TEST(LanguageRule, EveryTableReadsEnglishForALanguageItHasNoRowFor) {
    struct Case {
        const char* table;
        std::function<const void*(int)> row;
        int rows;
    } cases[] = {
        {"error captions", [](int l) -> const void* { return ErrorCaption(l); }, 8},
        {"cancel labels", [](int l) -> const void* { return ButtonLabel(l, 2); }, 8},
        {"install questions",
         [](int l) -> const void* { return InstallMessage(InstallQuestion, l); }, 7},
        {"folder labels", [](int l) -> const void* { return FolderLabelFor(l); }, 7},
        {"help notes", [](int l) -> const void* { return HelpNoteFor(l); }, 7},
        {"marker names", [](int l) -> const void* { return MarkerName(l); }, 8},
        {"browse prompts", [](int l) -> const void* { return BrowsePrompt(l); }, 1},
        {"long destination", [](int l) -> const void* { return LongDestinationText(l); }, 6},
        {"description rows",
         [](int l) -> const void* { return (const void*)(long)DescriptionOffsetRow(l); }, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        for (int l = c.rows; l < LanguageCount; ++l) EXPECT_EQ(c.row(English), c.row(l)) << l;
        for (int l : StrayValues) EXPECT_EQ(c.row(English), c.row(l)) << l;
        EXPECT_NE(c.row(English), c.row(c.rows > French ? French : German));  // rows of its own
    }
    EXPECT_EQ(6, DescriptionOffsetRow(Chinese));  // its own row, holding the English distance
    for (int l : StrayValues) EXPECT_EQ(English, LanguageRow(l, 7)) << l;
    for (int rows : {2, 7, 8}) EXPECT_EQ(rows - 1, LanguageRow(rows - 1, rows));
}

TEST(Tables, LookupsAnswerAnyValue) {
    for (int id : {-1, 4, 5, 7, INT_MIN, INT_MAX})
        for (int l = 0; l < LanguageCount; ++l)
            EXPECT_STREQ("", ButtonLabel(l, id)) << l << " " << id;
    for (int kind : {-1, 4, 7, INT_MIN, INT_MAX}) EXPECT_STREQ("", ProductString(kind, 0)) << kind;
    EXPECT_STREQ("Kellum Inspector", ProductString(ProductName, 7));
    for (int edition : {0, 1, 2}) EXPECT_NE(nullptr, MainExecutableName(edition));
    for (int row : {-1, (int)FileManifestRows, INT_MIN})
        EXPECT_EQ(nullptr, ManifestFileName(row, 0));
}

TEST(BoundedText, FoldsExactlyTheAsciiLetters) {
    struct Case {
        const char *a, *b;
        int equal;
    } cases[] = {
        {"Z", "z", 1},       {"A", "a", 1}, {"m", "M", 1}, {"@", "`", 0}, {"[", "{", 0},
        {"\xC4", "\xE4", 0}, {"", "", 1},   {"a", "", 0},  {"", "a", 0},
    };
    for (const Case& c : cases) {
        HeapBlock a = ExactText(c.a), b = ExactText(c.b);
        EXPECT_EQ(c.equal, EqualIgnoringCase(a.get(), b.get())) << c.a << " " << c.b;
    }
}

// Every composing rule, for every buffer size around the one it needs: it
// either composes a text that ends inside the buffer or refuses, leaving the
// buffer as it was; it never writes a byte past the size it was given. Inputs
// live in blocks of exactly their size.
TEST(Composition, RefusesWithoutWritingAndNeverPastTheSize) {
    HeapBlock apps = ExactText("D:\\Apps\\"), bare = ExactText("D:\\Apps"),
              exe = ExactText("Vestra.exe");
    HeapBlock empty = ExactText(""), program = ExactText("C:\\V\\V.exe"),
              vestra = ExactText("Vestra");
    HeapBlock question = ExactText(InstallMessage(InstallQuestion, English));
    struct Case {
        const char* name;
        std::function<int(char*, int)> compose;
        std::string expected;
        int smallest;        // smallest size that composes; 0: expected's length + 1
        const char* before;  // the text already in the buffer; null: none
    } cases[] = {
        {"join", [&](char* o, int n) { return JoinTexts(o, n, apps.get(), exe.get()); },
         "D:\\Apps\\Vestra.exe", 0, nullptr},
        {"destination", [&](char* o, int n) { return MakeDestinationPath(bare.get(), o, n); },
         "D:\\Apps\\", 0, nullptr},
        {"destination with backslash",
         [&](char* o, int n) { return MakeDestinationPath(apps.get(), o, n); }, "D:\\Apps\\", 0,
         nullptr},
        {"empty destination",
         [&](char* o, int n) { return MakeDestinationPath(empty.get(), o, n); }, "\\", 0, nullptr},
        {"uninstall key", [&](char* o, int n) { return UninstallKeyName(1, o, n); },
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kellum Inspector", 0, nullptr},
        {"uninstall command",
         [&](char* o, int n) { return UninstallCommand(apps.get(), exe.get(), o, n); },
         "\"D:\\Apps\\Vestra.exe\" uninst", 0, nullptr},
        {"command line",
         [&](char* o, int n) { return ProgramCommandLine(apps.get(), exe.get(), o, n); },
         "\"D:\\Apps\\Vestra.exe\"", 0, nullptr},
        {"per-user value", [&](char* o, int n) { return PerUserPathValue(apps.get(), o, n); },
         "D:\\Apps", 0, nullptr},
        {"empty per-user value",
         [&](char* o, int n) { return PerUserPathValue(empty.get(), o, n); }, "", 0, nullptr},
        {"question",  // cuts the insert down to "..." rather than refuse
         [&](char* o, int n) { return FormatQuestion(question.get(), bare.get(), o, n); },
         "Install into \"D:\\Apps\"?", 16 + 4, nullptr},
        {"dde argument",
         [&](char* o, int n) { return ComposeAddItemArgument(o, n, program.get(), vestra.get()); },
         "\"C:\\V\\V.exe\", Vestra", 0, nullptr},
        {"dde command",
         [&](char* o, int n) { return ComposeAddItemCommand(o, n, program.get(), vestra.get()); },
         "[AddItem(\"C:\\V\\V.exe\", Vestra)]", 0, nullptr},
        {"copy", [&](char* o, int n) { return CopyText(o, n, bare.get()); }, "D:\\Apps", 0,
         nullptr},
        {"copy of nothing", [&](char* o, int n) { return CopyText(o, n, empty.get()); }, "", 0,
         nullptr},
        {"append of nothing", [&](char* o, int n) { return AppendText(o, n, empty.get()); }, "", 0,
         ""},
        {"append", [&](char* o, int n) { return AppendText(o, n, exe.get()); },
         "D:\\AppsVestra.exe", 0, "D:\\Apps"},
        {"browse composition",
         [&](char* o, int n) { return ComposeDestination(o, n, vestra.get()); }, "D:\\Apps\\Vestra",
         0, "D:\\Apps"},
        {"browse composition of an empty folder",
         [&](char* o, int n) { return ComposeDestination(o, n, vestra.get()); }, "\\Vestra", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int need = (int)c.expected.size() + 1;
        int smallest = c.smallest ? c.smallest : need;
        int before = c.before ? (int)strlen(c.before) + 1 : 0;
        for (int size = before; size <= need + 1; ++size) {
            SCOPED_TRACE(size);
            HeapBlock out = PatternBuffer(size);
            if (c.before) memcpy(out.get(), c.before, (size_t)before);
            int ok = c.compose(out.get(), size);
            EXPECT_EQ(Pattern, out[size]) << "written past the size";
            EXPECT_EQ(size >= smallest ? 1 : 0, ok);
            if (ok) {
                EXPECT_LT(strlen(out.get()), (size_t)size);
                if (size >= need) {
                    EXPECT_EQ(c.expected, out.get());
                }
            } else {
                EXPECT_STREQ(c.before ? c.before : "", c.before ? out.get() : "");
                EXPECT_TRUE(Untouched(out.get() + before, size - before)) << "left a partial text";
            }
        }
    }
}
