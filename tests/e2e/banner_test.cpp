// The painted banner as it reaches the screen: gradient bands, the panel
// mirror, the texts and their colours, the language switch, the copy-back and
// the description of a signed program.
// Every screenshot checked is saved as a BMP under the build tree
// (tmp/banner-shots) for a human to look at.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "robot.h"

using namespace robot;

namespace {

const std::string& ShotFolder() {
    static std::string folder = ScratchFolder("banner-shots");
    return folder;
}

// Waits for the banner and the controls to finish painting, then captures.
Screenshot Shot(HWND window, const std::string& name) {
    Settle(window);
    Sleep(400);
    Settle(window);
    Screenshot shot = CaptureWindow(window);
    shot.SaveBmp(ShotFolder() + "\\" + name + ".bmp");
    return shot;
}

int Blue(unsigned pixel) { return pixel & 0xFF; }
bool IsPureBlue(unsigned pixel) { return (pixel & 0xFFFF00) == 0; }

// Pixels of exactly this colour inside [left, right) x [top, bottom).
int CountColour(const Screenshot& shot, unsigned colour, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom && y < shot.height; ++y)
        for (int x = left; x < right && x < shot.width; ++x)
            if (shot.At(x, y) == colour) ++n;
    return n;
}

// Columns left and right of every text: the gradient as FillGradient drew it.
const int ClearColumn = 5, RightColumn = 1012;

class Banner : public ::testing::Test {
protected:
    void SetUp() override {
        StartSetup(0, "banner", &run_);
        if (HasFatalFailure()) return;
        shot_ = Shot(run_.window, "english");
        ASSERT_EQ(1024, shot_.width);
        ASSERT_EQ(738, shot_.height);
    }
    Running run_;
    Screenshot shot_;
};

TEST_F(Banner, BandsFallByOneEntryDownTheWindow) {
    for (int y = 1; y <= 3; ++y) EXPECT_EQ(Rgb(0, 0, 221), shot_.At(ClearColumn, y)) << y;
    for (int y = 4; y <= 6; ++y) EXPECT_EQ(Rgb(0, 0, 220), shot_.At(ClearColumn, y)) << y;
    // Each three-row band is one colour, and the next is at most one entry
    // darker, down to the bottom of the window.
    int previous = 222;
    for (int top = 1; top + 2 < shot_.height; top += 3) {
        unsigned band = shot_.At(ClearColumn, top);
        ASSERT_TRUE(IsPureBlue(band)) << top;
        EXPECT_EQ(band, shot_.At(ClearColumn, top + 1)) << top;
        EXPECT_EQ(band, shot_.At(ClearColumn, top + 2)) << top;
        EXPECT_EQ(band, shot_.At(RightColumn, top + 1)) << top;  // across the width
        EXPECT_LE(Blue(band), previous) << top;
        EXPECT_GE(Blue(band), previous - 1) << top;
        previous = Blue(band);
    }
    EXPECT_LE(previous, 1);
}

// x 492 to 761, rows 381 to 734: the strip is its own upside-down image. The
// platform counts a negative source extent from the origin row itself, so
// row 381 + j shows row 735 - j.
TEST_F(Banner, PanelStripRunsDarkToBright) {
    const int panelColumn = 495;  // inside the strip, left of the controls
    for (int j = 0; j < 354; ++j)
        ASSERT_EQ(shot_.At(ClearColumn, 735 - j), shot_.At(panelColumn, 381 + j)) << j;
    EXPECT_LT(Blue(shot_.At(panelColumn, 382)), Blue(shot_.At(panelColumn, 730)));
    EXPECT_GT(Blue(shot_.At(ClearColumn, 382)), Blue(shot_.At(ClearColumn, 730)));
    EXPECT_GT(Blue(shot_.At(770, 382)), Blue(shot_.At(770, 730)));  // right of the strip
    // Above the strip and in its last rows the gradient is untouched.
    EXPECT_EQ(shot_.At(ClearColumn, 379), shot_.At(panelColumn, 379));
    EXPECT_EQ(shot_.At(ClearColumn, 736), shot_.At(panelColumn, 736));
}

TEST_F(Banner, TextsInTheirColours) {
    // Title, white face over a black shadow; no separate version in Edition 0.
    EXPECT_GT(CountColour(shot_, Rgb(255, 255, 255), 24, 21, 480, 125), 500);
    EXPECT_GT(CountColour(shot_, Rgb(0, 0, 0), 30, 27, 480, 125), 200);
    EXPECT_EQ(0, CountColour(shot_, Rgb(120, 120, 255), 480, 50, 700, 120));
    // Maker line, right-aligned in the right half, white over black.
    EXPECT_GT(CountColour(shot_, Rgb(255, 255, 255), 700, 27, 1000, 60), 50);
    EXPECT_GT(CountColour(shot_, Rgb(0, 0, 0), 700, 30, 1000, 60), 50);
    // Folder label in medium blue over the field; notice in dark blue.
    EXPECT_GT(CountColour(shot_, Rgb(100, 100, 255), 516, 393, 762, 410), 20);
    EXPECT_GT(CountColour(shot_, Rgb(0, 0, 185), 492, 718, 762, 738), 20);
    // No help note in English.
    EXPECT_EQ(0, CountColour(shot_, Rgb(0, 0, 185), 492, 588, 762, 608));
}

// True when most of every control's pixels are not the banner's pure blues.
void ExpectControlsVisible(HWND window, const Screenshot& shot) {
    for (const Control& c : ReadControls(window)) {
        int total = 0, banner = 0;
        for (int y = c.rect.top + 1; y < c.rect.bottom + 1; ++y)
            for (int x = c.rect.left + 1; x < c.rect.right + 1; ++x, ++total)
                if (IsPureBlue(shot.At(x, y)) && shot.At(x, y) != 0) ++banner;
        EXPECT_LT(banner * 5, total) << "control " << c.id << " covered by the banner";
    }
}

// Counts differing pixels of the client area outside the controls (whose
// focus marks move). The one-pixel frame is the system's to draw.
int DifferencesOutside(const std::vector<Control>& controls, const Screenshot& a,
                       const Screenshot& b) {
    int n = 0;
    for (int y = 1; y < a.height - 1; ++y)
        for (int x = 1; x < a.width - 1; ++x) {
            if (a.At(x, y) == b.At(x, y)) continue;
            bool inside = false;
            for (const Control& c : controls)
                if (x >= c.rect.left && x <= c.rect.right + 1 && y >= c.rect.top &&
                    y <= c.rect.bottom + 1)
                    inside = true;
            if (!inside) ++n;
        }
    return n;
}

int DifferencesOutsideControls(HWND window, const Screenshot& a, const Screenshot& b) {
    return DifferencesOutside(ReadControls(window), a, b);
}

TEST_F(Banner, LanguageSwitchShowsOneSetOfTexts) {
    ExpectControlsVisible(run_.window, shot_);
    ClickAndWait(GetDlgItem(run_.window, 101));  // Deutsch
    Screenshot german = Shot(run_.window, "german");
    EXPECT_GT(DifferencesOutsideControls(run_.window, shot_, german), 100);
    ExpectControlsVisible(run_.window, german);
    ClickAndWait(GetDlgItem(run_.window, 100));  // English
    Screenshot back = Shot(run_.window, "english-again");
    EXPECT_EQ(0, DifferencesOutsideControls(run_.window, shot_, back));
    ExpectControlsVisible(run_.window, back);
}

TEST_F(Banner, HelpNoteForFrench) {
    ClickAndWait(GetDlgItem(run_.window, 102));
    Screenshot french = Shot(run_.window, "french");
    EXPECT_GT(CountColour(french, Rgb(0, 0, 185), 492, 588, 762, 608), 20);
    EXPECT_GT(CountColour(french, Rgb(100, 100, 255), 516, 393, 762, 410), 20);
}

TEST_F(Banner, UncoveredPartsAreCopiedBack) {
    // A box over the banner and its removal: the copy-back restores it.
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "Static", "", WS_POPUP | WS_VISIBLE, 10, 10, 400,
                                 300, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(cover != NULL);
    Sleep(300);
    DestroyWindow(cover);
    Screenshot after = Shot(run_.window, "uncovered");
    EXPECT_EQ(0, DifferencesOutsideControls(run_.window, shot_, after));
}

TEST(BannerEdition1, VersionInLightBlue) {
    Running run;
    StartSetup(1, "banner-edition1", &run);
    Screenshot shot = Shot(run.window, "edition1");
    EXPECT_GT(CountColour(shot, Rgb(255, 255, 255), 34, 21, 480, 110), 500);
    EXPECT_GT(CountColour(shot, Rgb(0, 0, 0), 40, 27, 490, 110), 200);
    EXPECT_GT(CountColour(shot, Rgb(120, 120, 255), 495, 60, 700, 110), 50);
}

// setup.exe as a vendor ships it: signed, here by the e2e.sign_disks step
// with throw-away keys by each route of scripts/sign.sh, and sealed and
// signed. The signature sits behind the description block, the seal in front
// of it: the block must still be found and painted as in the plain program.
std::string SignedSetup(const std::string& route, int edition) {
    const char* root = getenv("SETUP_SIGNED_ROOT");
    return WindowsPath(root ? root : "") + "\\" + route + (edition ? "\\edition1" : "\\edition0") +
           "\\setup.exe";
}

struct LanguageShots {
    Screenshot english, german;
};

// Starts setup.exe from a fresh disk copy (with the signed program in place
// of the disk's when given), shoots English and German and ends it.
void ShootLanguages(int edition, const std::string& name, const std::string& program,
                    LanguageShots* shots, std::vector<Control>* controls) {
    Running run;
    std::string disk = CopyDisk(edition, name);
    ASSERT_FALSE(disk.empty());
    if (!program.empty()) {
        ASSERT_TRUE(CopyFileA(program.c_str(), (disk + "\\setup.exe").c_str(), FALSE)) << program;
    }
    run.process = Start(disk + "\\setup.exe");
    run.window = WaitForSetupWindow(run.process);
    ASSERT_TRUE(run.window != NULL);
    shots->english = Shot(run.window, name + "-english");
    ClickAndWait(GetDlgItem(run.window, 101));  // Deutsch
    shots->german = Shot(run.window, name + "-german");
    *controls = ReadControls(run.window);
}

// The description's white text, left of the panel.
int DescriptionPixels(const Screenshot& shot) {
    return CountColour(shot, Rgb(255, 255, 255), 32, 135, 480, 380);
}

TEST(SignedBanner, DescriptionPaintedAsInTheUnsignedProgram) {
    for (int edition : {0, 1}) {
        SCOPED_TRACE(edition ? "Edition 1" : "Edition 0");
        std::string suffix = std::to_string(edition);
        LanguageShots plain;
        std::vector<Control> controls;
        ASSERT_NO_FATAL_FAILURE(ShootLanguages(edition, "plain" + suffix, "", &plain, &controls));
        EXPECT_GT(DescriptionPixels(plain.english), 1000);
        EXPECT_GT(DescriptionPixels(plain.german), 1000);
        for (std::string route : {"pkcs12", "pkcs11", "detached", "sealed"}) {
            SCOPED_TRACE(route);
            LanguageShots signed_;
            std::string program = SignedSetup(route, edition);
            ASSERT_TRUE(FileExists(program)) << program;
            std::string name = "signed-" + route + "-" + suffix;
            ASSERT_NO_FATAL_FAILURE(ShootLanguages(edition, name, program, &signed_, &controls));
            EXPECT_EQ(0, DifferencesOutside(controls, plain.english, signed_.english));
            EXPECT_EQ(0, DifferencesOutside(controls, plain.german, signed_.german));
            EXPECT_GT(DifferencesOutside(controls, signed_.english, signed_.german), 100);
        }
    }
}

}  // namespace
