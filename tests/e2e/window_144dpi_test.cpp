// The setup window at 144 DPI on a 1536x1107 screen, the test screen scaled by
// 1.5, in a Wine session of its own (tests/wine/dpi-session.sh). Screenshots
// are saved under the build tree (tmp/dpi-shots).
#include <gtest/gtest.h>

#include "robot.h"

using namespace robot;

namespace {

int Scaled(int amount) { return (amount * 3 + 1) / 2; }  // 96 to 144 DPI, nearest pixel
RECT Scaled(RECT r) { return {Scaled(r.left), Scaled(r.top), Scaled(r.right), Scaled(r.bottom)}; }

// The bounding box of the pixels of area for which isInk holds; empty if none.
template <typename IsInk>
RECT BoundingBox(const Screenshot& shot, RECT area, IsInk isInk) {
    RECT box = {0, 0, 0, 0};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            RECT dot = {x, y, x + 1, y + 1};
            if (isInk(shot.At(x, y))) UnionRect(&box, &box, &dot);
        }
    return box;
}

// Ink of a text whose colour has more red than its background (blues,
// black): pixels it covers half or more of, smoothed edges alike at any size.
RECT InkOf(const Screenshot& shot, unsigned colour, RECT area) {
    unsigned half = ((colour >> 16) + 1) / 2;
    return BoundingBox(shot, area, [half](unsigned p) { return (p >> 16 & 0xFF) >= half; });
}

// The ink of the text drawn here in the font, white on black, as the screen draws.
RECT RenderedInk(const char* text, HFONT font) {
    HDC screen = GetDC(NULL), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1000, 200);
    ReleaseDC(NULL, screen);
    HGDIOBJ keptBitmap = SelectObject(dc, bitmap), keptFont = SelectObject(dc, font);
    RECT all = {0, 0, 1000, 200};
    FillRect(dc, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 10, 10, text, lstrlenA(text));
    SelectObject(dc, keptFont);
    SelectObject(dc, keptBitmap);
    Screenshot shot;
    shot.width = 1000, shot.height = 200;
    shot.pixels.resize(1000 * 200);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 1000, -200, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    GetDIBits(dc, bitmap, 0, 200, shot.pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return InkOf(shot, Rgb(255, 255, 255), all);
}

Screenshot Shot(const Running& run, const std::string& name) {
    static const std::string folder = ScratchFolder("dpi-shots");
    Settle(run.window);
    Sleep(400);
    Settle(run.window);
    Screenshot shot = CaptureWindow(run.window);
    shot.SaveBmp(folder + "\\" + name + ".bmp");
    return shot;
}

// Controls, painted texts and the buttons' labels of both editions: each
// control is its rectangle on the test screen (as e2e.window_test has it)
// scaled; each text's ink is that of its 96-DPI font drawn here, scaled (a
// pixel or two, 4 % of the width, for the fonts' rounding); each label lies
// whole inside its button's face, not cut off at its edge.
TEST(Window144Dpi, IsTheTestScreenWindowScaledByOneAndAHalf) {
    ASSERT_EQ(1536, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(1107, GetSystemMetrics(SM_CYSCREEN));
    struct Text {
        const char* text;
        int height, weight;  // 0: the controls' stock font
        unsigned colour;
        RECT area96;  // where it lies on the test screen, inside the window's frame
    } texts[2][2] = {
        {{"Vestra 14.3", 82, 550, Rgb(255, 255, 255), {4, 4, 512, 135}},
         {"Destination Folder:", 0, 0, Rgb(100, 100, 255), {492, 381, 762, 415}}},
        {{"Kellum Inspector", 70, 500, Rgb(255, 255, 255), {4, 4, 512, 135}},
         {"14.3", 40, 550, Rgb(120, 120, 255), {490, 40, 700, 135}}},
    };
    const int c = GetSystemMetricsForDpi(SM_CYCAPTION, 96), pl = 492, pt = 381 + c;
    const COLORREF label = GetSysColor(COLOR_BTNTEXT);
    for (int edition : {0, 1}) {
        SCOPED_TRACE(edition);
        Running run;
        StartSetup(edition, "dpi" + std::to_string(edition), &run);
        Screenshot shot = Shot(run, "window-144dpi-edition" + std::to_string(edition));
        std::vector<RECT> at96 = {{pl + 23, pt + 20, pl + 210, pt + 37},  // label, field
                                  {pl + 23, pt + 20, pl + 210, pt + 37},
                                  {pl + 23, pt + 50, pl + 125, pt + 76},
                                  {pl + 144, pt + 50, pl + 246, pt + 76},
                                  {pl + 211, pt + 19, pl + 246, pt + 39}};
        for (int i = 0; i < (edition ? 8 : 6); ++i)
            at96.push_back({pl + 24 + 76 * (i % 3), 608 + 30 * (i / 3), pl + 94 + 76 * (i % 3),
                            629 + 30 * (i / 3)});
        std::vector<Control> controls = ReadControls(run.window);
        ASSERT_EQ(at96.size(), controls.size());
        for (size_t i = 0; i < at96.size(); ++i) {
            RECT want = Scaled(at96[i]), got = controls[i].rect;
            SCOPED_TRACE(controls[i].text);
            EXPECT_LE(abs(want.left - got.left) + abs(want.right - got.right), 2);
            EXPECT_LE(abs(want.top - got.top) + abs(want.bottom - got.bottom), 2);
            if (controls[i].className != "Button") continue;
            const int edge = 4;  // the frame of 3 pixels, one more of the face
            RECT face = {got.left + 1 + edge, got.top + 1 + edge, got.right + 1 - edge,
                         got.bottom + 1 - edge};  // the window's border comes first
            RECT ink = BoundingBox(shot, face, [label](unsigned p) {
                return p == Rgb(GetRValue(label), GetGValue(label), GetBValue(label));
            });
            EXPECT_TRUE(ink.left > face.left && ink.right < face.right && ink.top > face.top &&
                        ink.bottom < face.bottom);
        }
        for (const Text& t : texts[edition]) {
            SCOPED_TRACE(t.text);
            HFONT font = t.height ? CreateFontA(t.height, 0, 0, 0, t.weight, TRUE, 0, 0,
                                                ANSI_CHARSET, 0, CLIP_CHARACTER_PRECIS,
                                                PROOF_QUALITY, FF_ROMAN, "Times New Roman")
                                  : (HFONT)GetStockObject(ANSI_VAR_FONT);
            RECT ink96 = RenderedInk(t.text, font), ink = InkOf(shot, t.colour, Scaled(t.area96));
            if (t.height) DeleteObject(font);
            int width = Scaled(ink96.right - ink96.left);
            EXPECT_NEAR(Scaled(ink96.bottom - ink96.top), ink.bottom - ink.top, 2);
            EXPECT_NEAR(width, ink.right - ink.left, 2 + width / 25);
        }
    }
}

}  // namespace
