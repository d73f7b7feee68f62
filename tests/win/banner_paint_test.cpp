// The banner's surfaces and painter inside the real window: what a paint
// leaves to redraw, palette rebuilds, language switches, focus, placement,
// and GDI objects over many repaints.
//
// Wine answers GetGuiResources with 0, so GDI objects are counted in the
// process's GDI handle table, which Wine keeps (as Windows does) where the
// process environment block's GdiSharedHandleTable points.
#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>

#include "banner/banner.h"
#include "banner/description_block.h"
#include "banner/surfaces_win.h"
#include "platform/system_calls.h"
#include "tables/tables.h"
#include "window/window.h"

namespace {

struct GdiHandleEntry {  // GDI_HANDLE_ENTRY
    unsigned long long object;
    unsigned long owner;
    unsigned short unique;
    unsigned char type, flags;
    unsigned long long user;
};

// The table has the 64-bit layout in every process. A 32-bit process under
// 64-bit Wine (as under WoW64) finds it in the 64-bit PEB, reached through
// the 64-bit TEB whose address Wine keeps in the 32-bit TEB's GdiBatchCount.
// GCC 12 takes the segment read inside NtCurrentTeb for an array access.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
const GdiHandleEntry* GdiHandleTable() {
    char* teb = (char*)NtCurrentTeb();
#ifdef _WIN64
    char* peb = (char*)((TEB*)teb)->ProcessEnvironmentBlock;
    return *(GdiHandleEntry* const*)(peb + 0xF8);  // PEB.GdiSharedHandleTable
#else
    ULONG teb64 = *(ULONG*)(teb + 0xF70);  // TEB.GdiBatchCount
    if (teb64) {
        ULONG64 peb64 = *(ULONG64*)(ULONG_PTR)(teb64 + 0x60);  // TEB64.Peb
        return (const GdiHandleEntry*)(ULONG_PTR) * (ULONG64*)(ULONG_PTR)(peb64 + 0xF8);
    }
    char* peb = (char*)((TEB*)teb)->ProcessEnvironmentBlock;
    return *(GdiHandleEntry* const*)(peb + 0x94);
#endif
}

int CountGdiObjects() {
    const GdiHandleEntry* table = GdiHandleTable();
    if (!table) return -1;
    int n = 0;
    for (int i = 0; i < 0x10000; ++i)
        if (table[i].type) ++n;
    return n;
}
#pragma GCC diagnostic pop

void Pump(void) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void FullRepaint(void) {
    InvalidateBanner();
    UpdateWindow(MainWindow);
}

bool NeedsPaint(HWND window) { return GetUpdateRect(window, NULL, FALSE) != FALSE; }

// Entry i is blue i without flags, and there are no more.
void ExpectBluePalette(HPALETTE palette) {
    PALETTEENTRY entries[256];
    ASSERT_EQ(222u, GetPaletteEntries(palette, 0, 256, entries));
    for (int i = 0; i < 222; ++i) {
        const PALETTEENTRY& e = entries[i];
        ASSERT_TRUE(e.peRed == 0 && e.peGreen == 0 && e.peBlue == i && e.peFlags == 0) << i;
    }
}

class BannerWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(1, CreateSetupWindow(GetModuleHandleA(NULL)));
        UpdateWindow(MainWindow);
        Pump();
    }
    static void TearDownTestSuite() {
        if (MainWindow) DestroyWindow(MainWindow);
        Pump();
    }
    void SetUp() override {
        ASSERT_TRUE(IsWindow(MainWindow));
        Pump();  // nothing left to paint
    }
};

// The icon and the controls follow the first paint without further input.
TEST_F(BannerWindow, FirstPaintWasFullAndTheWindowIsComplete) {
    EXPECT_TRUE(GetClassLongPtrA(MainWindow, GCLP_HICON) != 0);
    EXPECT_EQ(DestinationEdit, GetFocus());
    EXPECT_TRUE(GetDlgItem(MainWindow, FirstLanguageButtonId + LanguageButtonCount(Edition) - 1));
    EXPECT_EQ(0, BannerDirty);
    EXPECT_TRUE(BannerDC != NULL);
    EXPECT_TRUE(BannerBuffer != NULL);
    EXPECT_EQ(OBJ_PAL, GetObjectType(BannerPalette));
    ExpectBluePalette(BannerPalette);
}

TEST_F(BannerWindow, FocusOnTheWindowGoesToTheField) {
    SetFocus(OkButton);
    ASSERT_EQ(OkButton, GetFocus());
    SetFocus(MainWindow);
    EXPECT_EQ(DestinationEdit, GetFocus());
}

// The checked button switches again: a fresh description, a full repaint.
TEST_F(BannerWindow, ClickOnTheCheckedLanguageSwitchesAgain) {
    ASSERT_EQ(English, LanguageIndex);
    ASSERT_EQ(BST_CHECKED, SendMessageA(LanguageButtons[0], BM_GETCHECK, 0, 0));
    ASSERT_TRUE(DescriptionText != NULL);
    DescriptionText[0] = 'Z';  // this program carries no description: a reload clears it
    SendMessageA(LanguageButtons[0], BM_CLICK, 0, 0);
    EXPECT_EQ(0, DescriptionText[0]);
    EXPECT_EQ(1, BannerDirty);
    RECT update, client;
    GetClientRect(MainWindow, &client);
    EXPECT_TRUE(GetUpdateRect(MainWindow, &update, FALSE));
    EXPECT_TRUE(EqualRect(&client, &update));
    Pump();
    EXPECT_EQ(0, BannerDirty);
}

// The panel's four controls draw themselves again after every paint; the
// language buttons after a full repaint only, which covered them too.
TEST_F(BannerWindow, PaintsLeaveTheControlsToRedraw) {
    struct Case {
        const char* name;
        int full;
    } cases[] = {{"full", 1}, {"copy-back", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RedrawWindow(MainWindow, NULL, NULL, RDW_VALIDATE | RDW_ALLCHILDREN);
        if (c.full) InvalidateBanner();  // else the last paint left a copy-back
        RedrawWindow(MainWindow, NULL, NULL, RDW_INVALIDATE | RDW_NOCHILDREN);
        SendMessageA(MainWindow, WM_PAINT, 0, 0);
        EXPECT_EQ(0, BannerDirty);
        for (HWND control : {DestinationEdit, OkButton, CancelButton, BrowseButton})
            EXPECT_TRUE(NeedsPaint(control));
        for (int i = 0; i < 6; ++i) EXPECT_EQ(c.full != 0, NeedsPaint(LanguageButtons[i])) << i;
        EXPECT_FALSE(NeedsPaint(MainWindow));
    }
}

TEST_F(BannerWindow, EveryFocusGainAfterAPaletteChangeRebuilds) {
    HPALETTE first = BannerPalette;
    SendMessageA(MainWindow, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(first, BannerPalette);  // no change announced yet
    SendMessageA(MainWindow, WM_PALETTECHANGED, (WPARAM)GetDesktopWindow(), 0);
    // Noted once, the change holds for every later focus gain.
    for (int i = 0; i < 3; ++i) {
        HPALETTE before = BannerPalette;
        SendMessageA(MainWindow, WM_SETFOCUS, 0, 0);
        EXPECT_NE(before, BannerPalette) << i;
        EXPECT_EQ(0, GetObjectType(before)) << i;  // deleted, not left selected
        EXPECT_EQ(OBJ_PAL, GetObjectType(BannerPalette)) << i;
        EXPECT_EQ(BannerPalette, GetCurrentObject(BannerDC, OBJ_PAL));
        EXPECT_EQ(BannerPalette, GetCurrentObject(BannerBuffer, OBJ_PAL));
        ExpectBluePalette(BannerPalette);
    }
    EXPECT_EQ(0, BannerDirty);  // a rebuild does not repaint
}

TEST_F(BannerWindow, RepaintsAndRebuildsKeepTheGdiObjectCount) {
    ASSERT_GT(CountGdiObjects(), 0);
    NoteBannerPaletteChanged();
    FullRepaint();
    SendMessageA(MainWindow, WM_SETFOCUS, 0, 0);
    Pump();
    const int before = CountGdiObjects();
    HGDIOBJ font = GetCurrentObject(BannerDC, OBJ_FONT);
    for (int i = 0; i < 100; ++i) {
        FullRepaint();
        InvalidateRect(MainWindow, NULL, FALSE);  // a copy-back
        UpdateWindow(MainWindow);
        SendMessageA(MainWindow, WM_SETFOCUS, 0, 0);
        Pump();
    }
    EXPECT_EQ(before, CountGdiObjects());
    EXPECT_EQ(font, GetCurrentObject(BannerDC, OBJ_FONT));  // every made font went back out
}

int RescaleNotices;
void CountRescaleNotice(void) { ++RescaleNotices; }

// A move to screens of other DPIs and back: the window takes each suggested
// rectangle, the banner's buffer, the controls' places and font follow, one
// full repaint is pending, and the text typed and the language chosen stay;
// back at 96 DPI no made font or buffer is left.
TEST_F(BannerWindow, DpiChangeRescalesAndKeepsWhatTheUserDid) {
    RECT start, now, update;
    GetWindowRect(MainWindow, &start);
    SetWindowTextA(DestinationEdit, "D:\\Kept");
    SendMessageA(LanguageButtons[2], BM_CLICK, 0, 0);  // French
    Pump();
    const int objects = CountGdiObjects();
    SetRescaleNotice(CountRescaleNotice);
    struct Case {
        int dpi;
        RECT suggested;
        int fontHeight;  // the stock font's 12 at 96 DPI
    } cases[] = {{144, {8, 6, 1000, 720}, 18}, {120, {0, 0, 900, 650}, 15}, {96, start, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        SendMessageA(MainWindow, WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), (LPARAM)&c.suggested);
        GetWindowRect(MainWindow, &now);
        EXPECT_TRUE(EqualRect(&c.suggested, &now));
        EXPECT_EQ(1, BannerDirty);
        EXPECT_TRUE(GetUpdateRect(MainWindow, &update, FALSE));
        BITMAP buffer = {};
        GetObjectA(GetCurrentObject(BannerBuffer, OBJ_BITMAP), sizeof buffer, &buffer);
        EXPECT_EQ(now.right - now.left, buffer.bmWidth);
        EXPECT_EQ(now.bottom - now.top, buffer.bmHeight);
        // The window's own geometry is the window's new size, not the work area's.
        WindowGeometry g = GeometryFor(now.right - now.left, now.bottom - now.top, c.dpi);
        EXPECT_EQ(g.width, Geometry.window.width);
        EXPECT_EQ(g.height, Geometry.window.height);
        EXPECT_EQ(g.panelTop, Geometry.window.panelTop);
        SetupLayout l = ComputeLayout(g, SystemMetricForDpi(SM_CYCAPTION, c.dpi));
        const LayoutRect at[] = {l.destinationEdit, l.destinationEdit, l.pushButtons[0],
                                 l.browseMoved, l.languageButtons[5]};
        const HWND controls[] = {FolderLabel, DestinationEdit, OkButton, BrowseButton,
                                 LanguageButtons[5]};
        for (int i = 0; i < 5; ++i) {
            RECT r, want = {at[i].x, at[i].y, at[i].x + at[i].width, at[i].y + at[i].height};
            GetWindowRect(controls[i], &r);
            MapWindowPoints(NULL, MainWindow, (POINT*)&r, 2);
            EXPECT_TRUE(EqualRect(&want, &r)) << i;
            LOGFONTA font = {};
            HGDIOBJ made = (HGDIOBJ)SendMessageA(controls[i], WM_GETFONT, 0, 0);
            EXPECT_EQ(c.dpi == 96, made == GetStockObject(ANSI_VAR_FONT)) << i;
            GetObjectA(made, sizeof font, &font);
            EXPECT_EQ(c.fontHeight, font.lfHeight) << i;
        }
        char text[32];
        GetWindowTextA(DestinationEdit, text, sizeof text);
        EXPECT_STREQ("D:\\Kept", text);
        EXPECT_EQ(French, LanguageIndex);
        Pump();
        EXPECT_EQ(0, BannerDirty);
    }
    EXPECT_EQ(3, RescaleNotices);
    SetRescaleNotice(NULL);
    EXPECT_EQ(objects, CountGdiObjects());
    SendMessageA(LanguageButtons[0], BM_CLICK, 0, 0);  // English for the tests after
    Pump();
}

// After the suite above has closed its window: windows of their own.
TEST(BannerLifetime, DestructionReleasesEverySurface) {
    for (bool paletteChange : {false, true}) {
        SCOPED_TRACE(paletteChange ? "after a palette change" : "without a palette change");
        // Each window starts without a noted palette change, as in a fresh process.
        const int before = CountGdiObjects();
        ASSERT_EQ(1, CreateSetupWindow(GetModuleHandleA(NULL)));
        UpdateWindow(MainWindow);
        Pump();
        EXPECT_TRUE(GetDlgItem(MainWindow, FirstLanguageButtonId) != NULL);  // a later window too
        HDC buffer = BannerBuffer;
        HGDIOBJ bitmap = GetCurrentObject(BannerBuffer, OBJ_BITMAP);
        if (paletteChange) {
            SendMessageA(MainWindow, WM_PALETTECHANGED, 0, 0);
            SendMessageA(MainWindow, WM_SETFOCUS, 0, 0);
        }
        HPALETTE palette = BannerPalette;
        DestroyWindow(MainWindow);
        Pump();
        EXPECT_EQ(0, GetObjectType(buffer));
        EXPECT_EQ(0, GetObjectType(palette));
        EXPECT_EQ(0, GetObjectType(bitmap));
        EXPECT_TRUE(BannerDC == NULL);
        // The controls' own objects may stay in the system's caches; the
        // banner's surfaces are three objects and none of them remains.
        EXPECT_LE(CountGdiObjects(), before + 2);
    }
}

// A task bar at the top or left moves the work area's corner; the window keeps
// the screen's corner and takes the work area's size. Wine keeps each
// process's work area apart, so the window is made in the test's own process.
TEST(WindowPlacement, ScreenCornerWhereverTheWorkAreaStarts) {
    RECT saved;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &saved, 0));
    RECT shifted = {saved.left + 30, saved.top + 20, saved.right, saved.bottom};
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &shifted, 0));
    RECT seen;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &seen, 0);
    int created = CreateSetupWindow(GetModuleHandleA(NULL));
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0);
    ASSERT_TRUE(EqualRect(&shifted, &seen)) << "the work area did not move";
    ASSERT_EQ(1, created);
    RECT r;
    GetWindowRect(MainWindow, &r);
    DestroyWindow(MainWindow);
    Pump();
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(shifted.right - shifted.left, r.right);
    EXPECT_EQ(shifted.bottom - shifted.top, r.bottom);
}

}  // namespace
