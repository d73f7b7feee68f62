// Stand-in for the installed product: a window that shows where it runs from,
// its current folder, the language marker it finds beside it and its command
// line, so that an installation can be checked by eye and by the tests.
#include <windows.h>

#include "install/install_tables.h"
#include "tables/bounded_text.h"

#ifndef PRODUCT_NAME
#define PRODUCT_NAME "Vestra"
#endif

enum { InfoId = 1, InfoSize = 1200 };

static char Info[InfoSize];

static void AppendLine(const char* label, const char* value) {
    // A line that does not fit is left out rather than cut.
    if (TextLength(Info) + TextLength(label) + TextLength(value) + 3 >= InfoSize) return;
    AppendText(Info, InfoSize, label);
    AppendText(Info, InfoSize, value);
    AppendText(Info, InfoSize, "\r\n");
}

static void FindMarker(const char* folder, char* found, int size) {
    CopyText(found, size, "none");
    for (int language = 0; language < MarkerLanguageCount; ++language) {
        const char* name = MarkerName(language);
        char path[MAX_PATH];
        if (!name || !CopyText(path, sizeof path, folder) || !AppendText(path, sizeof path, name))
            continue;
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
            CopyText(found, size, name);
            return;
        }
    }
}

static void CollectInfo(void) {
    char folder[MAX_PATH], current[MAX_PATH], marker[32];
    DWORD n = GetModuleFileNameA(NULL, folder, sizeof folder);
    if (n == 0 || n >= sizeof folder) n = 0;
    folder[n] = 0;
    while (n > 0 && folder[n - 1] != '\\') folder[--n] = 0;
    DWORD c = GetCurrentDirectoryA(sizeof current, current);
    if (c == 0 || c >= sizeof current) current[0] = 0;
    FindMarker(folder, marker, sizeof marker);
    AppendLine("Program folder: ", folder);
    AppendLine("Current folder: ", current);
    AppendLine("Language marker: ", marker);
    AppendLine("Command line: ", GetCommandLineA());
}

static LRESULT CALLBACK ProductWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    CollectInfo();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProductWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "KellumProduct";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowA("KellumProduct", PRODUCT_NAME, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 640, 200, NULL, NULL, instance, NULL);
    if (!window) return 1;
    CreateWindowA("Static", Info, WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 610, 140, window,
                  (HMENU)(INT_PTR)InfoId, instance, NULL);
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
