// The browse button with the shell's real folder browser: title, position,
// prompt, the folder it opens on, and what OK, Cancel and an over-long
// destination do to the destination field.
#include <gtest/gtest.h>

#include "browse_robot.h"
#include "robot.h"

using namespace robot;

namespace {

const char* const EnglishPrompt = "Select parent folder for the installation:";
const char* const GermanPrompt =
    "\xDC"
    "bergeordneten Ordner f\xFC"
    "r die Installation ausw\xE4hlen:";

// Wine's browser finds the folder it opens on level by level, each level by
// its name and times as read when the browser starts, then compared with the
// times read again as it fills its tree: a level changed or first read in
// between leaves the browser with no selection at all. So the folders lie where
// no other program changes anything, and each level is read before it opens.

// Puts text into the field and presses "...", then reads the browser.
void OpenBrowser(Running& run, const std::string& field, FolderBrowser* browser) {
    SetText(run.field, field);
    ReadFolderLevels(field);
    Click(GetDlgItem(run.window, 3));
    ASSERT_TRUE(WaitForFolderBrowser(run.process, browser));
}

std::string LastName(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

// The browser opened with this folder selected (its name and its parent's).
void ExpectSelected(const FolderBrowser& browser, const std::string& folder) {
    std::vector<std::string> chain = SelectedFolderChain(browser.tree);
    ASSERT_GE(chain.size(), 2u);
    EXPECT_EQ(LastName(folder), chain[0]);
    EXPECT_EQ(LastName(folder.substr(0, folder.rfind('\\'))), chain[1]);
}

// The first opening in a process, cancelled: the field stays exactly as it
// was, even when the copy was trimmed.
void FirstOpeningCancelled(Running& run, const std::string& field, const std::string& opensOn) {
    FolderBrowser browser;
    OpenBrowser(run, field, &browser);
    ExpectSelected(browser, opensOn);
    ASSERT_TRUE(AnswerFolderBrowser(browser, IDCANCEL));
    Settle(run.window);
    EXPECT_EQ(field, TextOf(run.field));
}

bool HasText(const FolderBrowser& browser, const std::string& text) {
    for (const std::string& t : browser.texts)
        if (t == text) return true;
    return false;
}

TEST(Browse, OpensOnTheParentAndComposesTheDestination) {
    std::string temp = QuietFolder("browse-folders");
    std::string apps = temp + "\\apps";
    ASSERT_TRUE(CreateDirectoryA(apps.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((apps + "\\Vestra").c_str(), NULL));
    Running run;
    StartSetup(0, "browse-edition0", &run);
    FirstOpeningCancelled(run, apps + "\\Vestra", apps);

    struct Case {
        std::string field;
        std::string opensOn;
        int answer;
        std::string result;
    } cases[] = {
        {apps + "\\Vestra", apps, IDOK, apps + "\\Vestra"},
        {apps, apps, IDOK, apps + "\\Vestra"},
        {apps + "\\VESTRA", apps, IDCANCEL, apps + "\\VESTRA"},  // kept exactly on Cancel
        {apps + "\\Vestra\\vestra", apps + "\\Vestra", IDOK, apps + "\\Vestra"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        FolderBrowser browser;
        OpenBrowser(run, c.field, &browser);
        EXPECT_EQ("Setup", browser.title);
        EXPECT_TRUE(HasText(browser, EnglishPrompt));
        // Centred across the 1024 x 738 work area, 20 pixels above its middle.
        int w = browser.rect.right - browser.rect.left;
        int h = browser.rect.bottom - browser.rect.top;
        EXPECT_EQ(512 - w / 2, browser.rect.left);
        EXPECT_EQ(369 - h / 2 - 20, browser.rect.top);
        ExpectSelected(browser, c.opensOn);
        // Owned by the setup window, which waits for it.
        EXPECT_EQ(run.window, GetWindow(browser.hwnd, GW_OWNER));
        ASSERT_TRUE(AnswerFolderBrowser(browser, c.answer));
        Settle(run.window);
        EXPECT_EQ(c.result, TextOf(run.field));
    }
}

TEST(Browse, GermanPromptAndEdition1ProductFolder) {
    std::string apps = QuietFolder("browse-edition1") + "\\apps";
    ASSERT_TRUE(CreateDirectoryA(apps.c_str(), NULL));
    Running run;
    StartSetup(1, "browse-edition1-disk", &run);
    FirstOpeningCancelled(run, apps + "\\Kellum Inspector", apps);
    ClickAndWait(GetDlgItem(run.window, 101));  // "&Deutsch"

    FolderBrowser browser;
    OpenBrowser(run, apps + "\\Kellum Inspector", &browser);
    EXPECT_EQ("Setup", browser.title);
    EXPECT_TRUE(HasText(browser, GermanPrompt));
    EXPECT_FALSE(HasText(browser, EnglishPrompt));
    ExpectSelected(browser, apps);
    ASSERT_TRUE(AnswerFolderBrowser(browser, IDOK));
    Settle(run.window);
    EXPECT_EQ(apps + "\\Kellum Inspector", TextOf(run.field));

    // Back in English (via Chinese, which reads English too) the prompt follows.
    ClickAndWait(GetDlgItem(run.window, 106));
    OpenBrowser(run, apps, &browser);
    EXPECT_TRUE(HasText(browser, EnglishPrompt));
    ASSERT_TRUE(AnswerFolderBrowser(browser, IDCANCEL));
    Settle(run.window);
    EXPECT_EQ(apps, TextOf(run.field));
}

TEST(Browse, RefusesADestinationLongerThanTheFieldIsRead) {
    std::string temp = QuietFolder("browse-long");
    // 248 characters: the browser returns it, but with "\Vestra" it is 255.
    std::string folder = temp + "\\" + std::string(248 - temp.size() - 1, 'n');
    ASSERT_EQ(248u, folder.size());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    // One character shorter fits exactly.
    std::string shorter = folder.substr(0, folder.size() - 1);
    ASSERT_TRUE(CreateDirectoryA(shorter.c_str(), NULL));
    Running run;
    StartSetup(0, "browse-long-disk", &run);
    FirstOpeningCancelled(run, folder, folder);

    FolderBrowser browser;
    OpenBrowser(run, folder, &browser);
    ExpectSelected(browser, folder);
    ASSERT_TRUE(AnswerFolderBrowser(browser, IDOK));
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(run.process, &box));
    EXPECT_EQ("Error", box.caption);
    EXPECT_EQ(
        "The destination folder can be at most 254 characters long. Please choose a "
        "folder with a shorter path.",
        box.text);
    EXPECT_EQ(MB_ICONEXCLAMATION, box.icon);
    EXPECT_EQ(run.window, GetWindow(box.hwnd, GW_OWNER));
    Answer(box, IDOK);
    Settle(run.window);
    EXPECT_EQ(folder, TextOf(run.field));  // the field keeps its text

    OpenBrowser(run, shorter, &browser);
    ExpectSelected(browser, shorter);
    ASSERT_TRUE(AnswerFolderBrowser(browser, IDOK));
    Settle(run.window);
    EXPECT_EQ(shorter + "\\Vestra", TextOf(run.field));
    EXPECT_EQ(254u, TextOf(run.field).size());
}

TEST(Browse, NoBrowserWhileTheInstallationRuns) {
    std::string destination = ScratchFolder("browse-install") + "\\Vestra";
    Running run;
    StartSetup(0, "browse-install-disk", &run);
    SetText(run.field, destination);
    Click(GetDlgItem(run.window, 1));
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(run.process, &box));  // "Install into ...?"
    Answer(box, IDYES);
    ASSERT_TRUE(WaitForMessageBox(run.process, &box));  // the shortcut question
    // The question's own loop dispatches what reaches the setup window.
    PostMessageA(run.window, WM_COMMAND, MAKEWPARAM(3, 0), (LPARAM)GetDlgItem(run.window, 3));
    Sleep(1500);
    for (HWND dialog : TopLevelWindows(run.process, "#32770"))
        EXPECT_TRUE(dialog == box.hwnd) << "a second dialog opened: " << TextOf(dialog);
    Answer(box, IDNO);
    ASSERT_TRUE(WaitForMessageBox(run.process, &box));  // "Run program?"
    Answer(box, IDNO);
    EXPECT_EQ(0, WaitForExit(run.process));
}

}  // namespace
