// The banner's surfaces and painter inside the real window: what a paint
// leaves to redraw, palette rebuilds, and GDI objects over many repaints.
//
// Wine answers GetGuiResources with 0, so GDI objects are counted in the
// process's GDI handle table, which Wine keeps (as Windows does) where the
// process environment block's GdiSharedHandleTable points.
#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>

#include "banner/banner.h"
#include "banner/surfaces_win.h"
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
        return (const GdiHandleEntry*)(ULONG_PTR)*(ULONG64*)(ULONG_PTR)(peb64 + 0xF8);
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
    BannerDirty = 1;
    InvalidateRect(MainWindow, NULL, FALSE);
    UpdateWindow(MainWindow);
}

bool NeedsPaint(HWND window) { return GetUpdateRect(window, NULL, FALSE) != FALSE; }

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

TEST_F(BannerWindow, FirstPaintWasFull) {
    EXPECT_EQ(0, BannerDirty);
    EXPECT_TRUE(BannerDC != NULL);
    EXPECT_TRUE(BannerBuffer != NULL);
    EXPECT_EQ(OBJ_PAL, GetObjectType(BannerPalette));
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
        BannerDirty = c.full;
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
    PaletteChanged = 0;
    HPALETTE first = BannerPalette;
    SendMessageA(MainWindow, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(first, BannerPalette);  // no change announced yet
    SendMessageA(MainWindow, WM_PALETTECHANGED, (WPARAM)GetDesktopWindow(), 0);
    EXPECT_EQ(1, PaletteChanged);
    for (int i = 0; i < 3; ++i) {
        HPALETTE before = BannerPalette;
        SendMessageA(MainWindow, WM_SETFOCUS, 0, 0);
        EXPECT_NE(before, BannerPalette) << i;
        EXPECT_EQ(0, GetObjectType(before)) << i;  // deleted, not left selected
        EXPECT_EQ(OBJ_PAL, GetObjectType(BannerPalette)) << i;
        EXPECT_EQ(BannerPalette, GetCurrentObject(BannerDC, OBJ_PAL));
        EXPECT_EQ(BannerPalette, GetCurrentObject(BannerBuffer, OBJ_PAL));
    }
    EXPECT_EQ(1, PaletteChanged);
    EXPECT_EQ(0, BannerDirty);  // a rebuild does not repaint
}

TEST_F(BannerWindow, RepaintsAndRebuildsKeepTheGdiObjectCount) {
    ASSERT_GT(CountGdiObjects(), 0);
    PaletteChanged = 1;
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

// After the suite above has closed its window: a window of its own.
TEST(BannerLifetime, DestructionReleasesEverySurface) {
    const int before = CountGdiObjects();
    ASSERT_EQ(1, CreateSetupWindow(GetModuleHandleA(NULL)));
    UpdateWindow(MainWindow);
    Pump();
    HDC buffer = BannerBuffer;
    HGDIOBJ bitmap = GetCurrentObject(BannerBuffer, OBJ_BITMAP);
    SendMessageA(MainWindow, WM_PALETTECHANGED, 0, 0);
    SendMessageA(MainWindow, WM_SETFOCUS, 0, 0);
    HPALETTE palette = BannerPalette;
    DestroyWindow(MainWindow);
    Pump();
    EXPECT_EQ(0, GetObjectType(buffer));
    EXPECT_EQ(0, GetObjectType(palette));
    EXPECT_EQ(0, GetObjectType(bitmap));
    EXPECT_TRUE(BannerDC == NULL);
    // The controls' own objects may stay in the system's caches; the banner's
    // surfaces are three objects and none of them remains.
    EXPECT_LE(CountGdiObjects(), before + 2);
}

}  // namespace
