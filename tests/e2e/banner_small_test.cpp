// The banner on a work area of 1024 x 200, lower than the palette has
// entries: it starts, paints and closes. A program of its own, as the Wine
// virtual desktop it needs changes the display for this process for good.
#include <gtest/gtest.h>

#include "robot.h"

using namespace robot;

namespace {

struct DesktopSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindSetupWindow(HWND window, LPARAM param) {
    DesktopSearch* search = (DesktopSearch*)param;
    DWORD pid = 0;
    char cls[16] = "";
    GetWindowThreadProcessId(window, &pid);
    GetClassNameA(window, cls, sizeof cls);
    if (pid == search->pid && lstrcmpA(cls, "Setup") == 0) search->found = window;
    return search->found == NULL;
}

const char* const DesktopsKey = "Software\\Wine\\Explorer\\Desktops";
const char* const SmallDesktop = "banner200";

// A Wine virtual desktop publishes its size as the display's for the whole
// session; this puts the display's own mode back for the programs after us,
// however the test ends.
struct DisplayRestorer {
    DEVMODEA saved = {};
    DisplayRestorer() {
        saved.dmSize = sizeof saved;
        EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &saved);
    }
    ~DisplayRestorer() {
        saved.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        EXPECT_EQ(DISP_CHANGE_SUCCESSFUL,
                  ChangeDisplaySettingsExA(NULL, &saved, NULL, CDS_UPDATEREGISTRY, NULL));
        HKEY key;
        if (RegOpenKeyA(HKEY_CURRENT_USER, DesktopsKey, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, SmallDesktop);
            RegCloseKey(key);
        }
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_EQ(saved.dmPelsHeight, (DWORD)(work.bottom - work.top));
    }
};

struct SmallShot {
    HDESK desktop;
    HWND window;
    Screenshot shot;
};

DWORD WINAPI TakeSmallShot(void* param) {
    SmallShot* small = (SmallShot*)param;
    if (SetThreadDesktop(small->desktop)) small->shot = CaptureWindow(small->window);
    return 0;
}

// A work area of 1024 x 200, lower than the palette has entries: a Wine
// virtual desktop of that size (Wine's per-desktop size setting) holds the
// program.
TEST(BannerSmallWorkArea, StartsPaintsAndCloses) {
    DisplayRestorer restorer;
    ASSERT_TRUE(SetRegistryText(HKEY_CURRENT_USER, DesktopsKey, SmallDesktop, "1024x200"));
    std::string disk = CopyDisk(0, "banner-small");
    ASSERT_FALSE(disk.empty());
    std::string exe = disk + "\\setup.exe";
    HDESK desktop = CreateDesktopA(SmallDesktop, NULL, NULL, 0, GENERIC_ALL, NULL);
    ASSERT_TRUE(desktop != NULL);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.lpDesktop = (char*)SmallDesktop;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(
        CreateProcessA(exe.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, disk.c_str(), &si, &pi));
    Running run;
    run.process.handle = pi.hProcess;
    run.process.pid = pi.dwProcessId;
    CloseHandle(pi.hThread);

    DesktopSearch search = {pi.dwProcessId, NULL};
    for (int i = 0; i < 150 && !search.found; ++i) {
        EnumDesktopWindows(desktop, FindSetupWindow, (LPARAM)&search);
        if (!search.found) Sleep(100);
    }
    HWND window = search.found;
    ASSERT_TRUE(window != NULL);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(1024, r.right - r.left);
    EXPECT_GT(r.bottom - r.top, 100);
    EXPECT_LE(r.bottom - r.top, 200);

    // A program stuck in the gradient's loop answers nothing and keeps its
    // window invalid.
    DWORD_PTR answer;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
    Sleep(300);
    EXPECT_FALSE(GetUpdateRect(window, NULL, FALSE));

    // The picture, taken by a thread of its own on that desktop: the gradient
    // from its brightest entries down, and the title over it.
    SmallShot small = {desktop, window, {}};
    HANDLE thread = CreateThread(NULL, 0, TakeSmallShot, &small, 0, NULL);
    ASSERT_TRUE(thread != NULL);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    const Screenshot& shot = small.shot;
    ASSERT_EQ(r.bottom - r.top, shot.height);
    shot.SaveBmp(ScratchFolder("banner-small-shot") + "\\small-work-area.bmp");
    EXPECT_EQ(0u, shot.At(5, 1) & 0xFFFF00);
    EXPECT_GE((int)(shot.At(5, 1) & 0xFF), 215);
    EXPECT_LT((int)(shot.At(5, shot.height - 3) & 0xFF), 10);
    int white = 0;
    for (int y = 21; y < 100 && y < shot.height; ++y)
        for (int x = 24; x < 400; ++x) white += shot.At(x, y) == Rgb(255, 255, 255);
    EXPECT_GT(white, 500);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, WaitForExit(run.process));
    CloseDesktop(desktop);
}

}  // namespace
