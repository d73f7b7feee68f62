// The setup window as a user meets it: window, controls, default destination,
// language switch and the ways to close it.
#include <gtest/gtest.h>

#include "accessible_robot.h"
#include "robot.h"

using namespace robot;

namespace {

const char* const PerUserKeys[2] = {"Software\\Kellum AG\\Vestra",
                                    "Software\\Kellum AG\\Kellum Inspector"};
const char* const CurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class SetupWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ReadRegistryText(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir",
                                     &programFiles_));
        for (const char* key : PerUserKeys) DeleteRegistryKey(HKEY_CURRENT_USER, key);
    }
    void TearDown() override {
        for (const char* key : PerUserKeys) DeleteRegistryKey(HKEY_CURRENT_USER, key);
        SetRegistryText(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir", programFiles_);
    }
    std::string programFiles_;
};

TEST_F(SetupWindow, CoversTheWorkAreaWithoutCaption) {
    Running run;
    StartSetup(0, "window-frame", &run);
    char cls[32];
    GetClassNameA(run.window, cls, sizeof cls);
    EXPECT_STREQ("Setup", cls);
    EXPECT_EQ("Kellum Setup", TextOf(run.window));
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(0x90880000u, (DWORD)GetWindowLongA(run.window, GWL_STYLE) & ~WS_CLIPSIBLINGS);
    EXPECT_EQ(0u, (DWORD)GetWindowLongA(run.window, GWL_EXSTYLE));
    RECT work, r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(run.window, &r);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(work.right - work.left, r.right);
    EXPECT_EQ(work.bottom - work.top, r.bottom);
    EXPECT_EQ(1024, r.right);
    EXPECT_EQ(738, r.bottom);
}

// Whether a is above b among the top-level windows.
bool Above(HWND a, HWND b) {
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == a) return true;
        if (w == b) return false;
    }
    return false;
}

// One setup of an edition at a time: a second brings the first to the front,
// a question it asks in front of it, and leaves without a window; the other
// edition's setup runs beside it.
TEST_F(SetupWindow, SecondSetupShowsTheFirstAndLeaves) {
    for (bool asking : {false, true}) {
        SCOPED_TRACE(asking ? "asking" : "idle");
        Running first, other;
        StartSetup(0, asking ? "first-asking" : "first-setup", &first);
        MessageBoxInfo question;
        if (asking) {
            SetText(first.field, "C:\\Vestra");
            Click(GetDlgItem(first.window, 1));
            ASSERT_TRUE(WaitForMessageBox(first.process, &question));
        }
        HWND front = asking ? question.hwnd : first.window;
        StartSetup(1, "other-edition", &other);
        Settle(other.window);
        ASSERT_EQ(other.window, GetForegroundWindow()) << "the first is not behind another";
        ASSERT_TRUE(Above(other.window, first.window));
        Process second = Start(DiskFolder(0) + "\\setup.exe");
        EXPECT_EQ(0, WaitForExit(second));
        EXPECT_TRUE(IsWindow(first.window));
        EXPECT_EQ(front, GetForegroundWindow());
        EXPECT_TRUE(Above(front, other.window));
        EXPECT_TRUE(Above(first.window, other.window));
    }
}

TEST(SetupIcon, IsOne32x32ImageIn16Colours) {
    for (int edition = 0; edition < 2; ++edition) {
        std::string exe = DiskFolder(edition) + "\\setup.exe";
        HMODULE module = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module != NULL);
        HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(1), RT_GROUP_ICON);
        ASSERT_TRUE(group != NULL);
        const BYTE* dir = (const BYTE*)LockResource(LoadResource(module, group));
        ASSERT_TRUE(dir != NULL);
        EXPECT_EQ(1, *(const WORD*)(dir + 4));  // one image
        EXPECT_EQ(32, dir[6]);                  // width
        EXPECT_EQ(32, dir[7]);                  // height
        EXPECT_EQ(16, dir[8]);                  // colours
        FreeLibrary(module);
    }
}

struct Expected {
    int id;
    const char* cls;
    const char* text;
    DWORD style;
    DWORD exStyle;
    int x, y, w, h;  // y without the caption height for the panel controls
    bool addCaption;
};

void CheckControls(HWND window, int edition, const std::string& destination) {
    const int c = GetSystemMetrics(SM_CYCAPTION);
    const int pl = 492, pt = 381, wh = 738;
    std::vector<Expected> expected = {
        // The field's label for screen readers: never shown, on the field.
        {-1, "Static", "Destination Folder:", 0x40000000, 0, pl + 23, pt + 20, 187, 17, true},
        {0, "Edit", destination.c_str(), 0x50010080, 4, pl + 23, pt + 20, 187, 17, true},
        {1, "Button", "&OK", 0x50010000, 0, pl + 23, pt + 50, 102, 26, true},
        {2, "Button", "C&ancel", 0x50010000, 0, pl + 144, pt + 50, 102, 26, true},
        {3, "Button", "...", 0x50010000, 0, pl + 211, pt + 19, 35, 20, true},
    };
    const char* labels[8] = {"&English",
                             "&Deutsch",
                             "&Fran\xE7"
                             "ais",
                             "E&spa\xF1ol",
                             "&Italiano",
                             "&Portugues",
                             "&Chinese",
                             "&Japanese"};
    int count = edition == 0 ? 6 : 8;
    for (int i = 0; i < count; ++i)
        expected.push_back({100 + i, "Button", labels[i], 0x50011009, 0, pl + 24 + 76 * (i % 3),
                            wh - 130 + 30 * (i / 3), 70, 21, false});

    std::vector<Control> controls = ReadControls(window);
    ASSERT_EQ(expected.size(), controls.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        const Control& got = controls[i];  // creation order
        SCOPED_TRACE(e.text);
        EXPECT_EQ(e.id, got.id);
        EXPECT_STREQ(e.cls, got.className.c_str());
        EXPECT_EQ(e.text, got.text);
        EXPECT_EQ(e.style, got.style & ~(DWORD)(WS_GROUP));
        EXPECT_EQ(0u, got.style & WS_GROUP);
        EXPECT_EQ(e.exStyle, got.exStyle);
        EXPECT_EQ(e.x, got.rect.left);
        EXPECT_EQ(e.y + (e.addCaption ? c : 0), got.rect.top);
        EXPECT_EQ(e.w, got.rect.right - got.rect.left);
        EXPECT_EQ(e.h, got.rect.bottom - got.rect.top);
        EXPECT_EQ(e.id == 100, got.checked);
        EXPECT_EQ(e.id == 0, got.focused);
    }
}

TEST_F(SetupWindow, Edition0ControlsAndProgramFilesDefault) {
    ASSERT_TRUE(SetRegistryText(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir",
                                "C:\\Program Files"));
    Running run;
    StartSetup(0, "window-edition0", &run);
    CheckControls(run.window, 0, "C:\\Program Files\\Vestra");
}

TEST_F(SetupWindow, Edition1ControlsAndProgramFilesDefault) {
    ASSERT_TRUE(SetRegistryText(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir",
                                "C:\\Program Files"));
    Running run;
    StartSetup(1, "window-edition1", &run);
    CheckControls(run.window, 1, "C:\\Program Files\\Kellum Inspector");
}

TEST_F(SetupWindow, DefaultDestinationFromTheRegistry) {
    struct Case {
        int edition;
        const char* perUser;       // nullptr: no value
        const char* programFiles;  // nullptr: value removed
        std::string expected;
        DWORD perUserType = REG_SZ;
        bool wide = false;  // perUser in UTF-8, written as the wide text
    };
    std::string path254 = "D:\\" + std::string(251, 'x');
    std::string path255 = "D:\\" + std::string(252, 'y');
    std::vector<Case> cases = {
        {0, "D:\\Tools\\Vestra", "C:\\Program Files", "D:\\Tools\\Vestra"},
        {1, nullptr, nullptr, "C:\\Kellum Inspector"},
        {0, nullptr, nullptr, "C:\\Vestra"},
        {0, path254.c_str(), "C:\\Program Files", path254},
        {0, path255.c_str(), "C:\\Program Files", "C:\\Program Files\\Vestra"},
        // Only a text names a folder: other types and an empty text fall back.
        {0, "DCBA", "C:\\Program Files", "C:\\Program Files\\Vestra", REG_DWORD},
        {0, "", "C:\\Program Files", "C:\\Program Files\\Vestra"},
        {1, "D:\\Bin", nullptr, "C:\\Kellum Inspector", REG_BINARY},
        {0, "%SystemDrive%\\Tools", nullptr, "C:\\Tools", REG_EXPAND_SZ},
        // What the install would refuse is not offered.
        {0, "%NOPE_UNDEF%\\vx", "C:\\Program Files", "C:\\Program Files\\Vestra", REG_EXPAND_SZ},
        {1, "C:\\\u65E5\u672C\\Kellum", nullptr, "C:\\Kellum Inspector", REG_SZ, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        DeleteRegistryKey(HKEY_CURRENT_USER, PerUserKeys[c.edition]);
        if (c.perUser) {
            HKEY k;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, PerUserKeys[c.edition], &k));
            // REG_DWORD: the text's four bytes, as a stray number would read.
            DWORD size = c.perUserType == REG_DWORD ? 4 : (DWORD)strlen(c.perUser) + 1;
            wchar_t wide[64];
            int wideLength = MultiByteToWideChar(CP_UTF8, 0, c.perUser, -1, wide, 64);
            if (c.wide)
                EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(k, L"Path", 0, REG_SZ, (const BYTE*)wide,
                                                        2 * (DWORD)wideLength));
            else
                EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(k, "Path", 0, c.perUserType,
                                                        (const BYTE*)c.perUser, size));
            RegCloseKey(k);
        }
        if (c.programFiles) {
            ASSERT_TRUE(SetRegistryText(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir",
                                        c.programFiles));
        } else {
            HKEY k;
            ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_LOCAL_MACHINE, CurrentVersionKey, &k));
            RegDeleteValueA(k, "ProgramFilesDir");
            RegCloseKey(k);
        }
        Running run;
        StartSetup(c.edition, ("window-default-" + std::to_string(n++)).c_str(), &run);
        EXPECT_EQ(c.expected, TextOf(GetDlgItem(run.window, 0)));
        SendMessageA(run.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, WaitForExit(run.process));
    }
}

TEST_F(SetupWindow, LanguageButtonsRelabelOnlyCancel) {
    Running run;
    StartSetup(1, "window-language", &run);
    // Read as the user reads them: the Chinese label is its two characters
    // on this code page 1252 system too.
    struct Case {
        int id;
        const wchar_t* cancel;
    } cases[] = {
        {101, L"&Abbrechen"},       {103, L"&Cancelar"}, {104, L"&Abbandona"}, {105, L"C&ancelar"},
        {106, L"\u53D6\u6D88(&a)"}, {107, L"C&ancel"},   {102, L"&Annuler"},   {100, L"C&ancel"},
    };
    for (const Case& c : cases) {
        ClickAndWait(GetDlgItem(run.window, c.id));
        EXPECT_TRUE(c.cancel == WideTextOf(GetDlgItem(run.window, 2))) << c.id;
        EXPECT_EQ("&OK", TextOf(GetDlgItem(run.window, 1)));
        EXPECT_EQ("...", TextOf(GetDlgItem(run.window, 3)));
        for (int id = 100; id <= 107; ++id)
            EXPECT_EQ(id == c.id, FindControl(run.window, id).checked) << id;
    }
}

// A screen reader names the field by the folder label of the language shown,
// through the hidden label just before it. With the screen-reader flag set
// setup asks the annotation service to name the browse button by the prompt;
// Wine's answers E_NOTIMPL and the button keeps its "...".
TEST_F(SetupWindow, FieldIsNamedByTheFolderLabelOfTheLanguage) {
    SystemParametersInfoA(SPI_SETSCREENREADER, TRUE, NULL, SPIF_UPDATEINIFILE);
    {
        Running run;
        StartSetup(0, "window-accessible", &run);
        const struct {
            int button;  // 0: as started
            const char* name;
        } cases[] = {{0, "Destination Folder:"},
                     {101, "Zielordner:"},
                     {102, "Dossier Cible:"},
                     {103, "Carpeta de destino:"},
                     {100, "Destination Folder:"}};
        for (const auto& c : cases) {
            if (c.button) ClickAndWait(GetDlgItem(run.window, c.button));
            EXPECT_EQ(c.name, AccessibleName(GetDlgItem(run.window, 0)));
        }
        std::string browse = AccessibleName(GetDlgItem(run.window, 3));
        EXPECT_TRUE(browse == "..." || browse == "Select parent folder for the installation:")
            << browse;
    }
    SystemParametersInfoA(SPI_SETSCREENREADER, FALSE, NULL, SPIF_UPDATEINIFILE);
}

TEST_F(SetupWindow, CancelEscapeAndCloseEndWithZero) {
    {
        Running run;
        StartSetup(0, "window-cancel", &run);
        Click(GetDlgItem(run.window, 2));
        EXPECT_EQ(0, WaitForExit(run.process));
    }
    {
        Running run;
        StartSetup(0, "window-escape", &run);
        PressKey(GetDlgItem(run.window, 0), VK_ESCAPE);
        EXPECT_EQ(0, WaitForExit(run.process));
    }
    {
        Running run;
        StartSetup(0, "window-close", &run);
        PostMessageA(run.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, WaitForExit(run.process));
    }
}

// A notification code with the OK or Cancel id (a control's EN_CHANGE, an
// accelerator's 1) is no command: no install question, no close. The same
// ids with code 0 are, and the question box they bring is answered No.
TEST_F(SetupWindow, NotificationsWithCommandIdsAreIgnored) {
    Running run;
    StartSetup(0, "window-notify", &run);
    struct Case {
        int id, code;
        bool asks;
    } cases[] = {{IDOK, EN_CHANGE, false}, {IDOK, 1, false}, {IDCANCEL, EN_CHANGE, false},
                 {IDCANCEL, 1, false},     {IDOK, 0, true},  {IDOK, EN_SETFOCUS, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " " << c.code);
        // Posted: a question box would hold a sent message until answered.
        PostMessageA(run.window, WM_COMMAND, MAKEWPARAM(c.id, c.code), 0);
        Settle(run.window);
        std::vector<HWND> boxes = TopLevelWindows(run.process, "#32770");
        ASSERT_EQ(c.asks ? 1u : 0u, boxes.size());
        if (c.asks) {
            MessageBoxInfo box;
            ASSERT_TRUE(WaitForMessageBox(run.process, &box));
            EXPECT_EQ("Install into \"" + TextOf(run.field) + "\"?", box.text);
            Answer(box, IDNO);
            Settle(run.window);
        }
        EXPECT_TRUE(IsWindow(run.window));
    }
    SendMessageA(run.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_EQ(0, WaitForExit(run.process));
}

}  // namespace
