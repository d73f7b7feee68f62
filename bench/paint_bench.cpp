// Times the banner's paints inside a real setup window: a full repaint (the
// gradient, the texts and the copy into the buffer) and a copy-back of the
// whole window, each run many times; prints the median and the fastest.
// Usage: paint_bench [runs]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "banner/banner.h"
#include "window/window.h"

static void Pump(void) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// One paint of the main window alone; the controls redraw afterwards,
// outside the time.
static double TimePaint(int full) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    if (full) InvalidateBanner();  // else the last paint left a copy-back
    RedrawWindow(MainWindow, NULL, NULL, RDW_INVALIDATE | RDW_NOCHILDREN);
    QueryPerformanceCounter(&start);
    RedrawWindow(MainWindow, NULL, NULL, RDW_UPDATENOW | RDW_NOCHILDREN);
    GdiFlush();
    QueryPerformanceCounter(&end);
    Pump();
    return (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

static void Report(const char* name, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    printf("%-12s %4dx%-4d  median %8.3f ms  fastest %8.3f ms  (%d runs)\n", name,
           Geometry.window.width, Geometry.window.height, times[times.size() / 2], times[0],
           (int)times.size());
}

int main(int argc, char** argv) {
    int runs = argc > 1 ? atoi(argv[1]) : 200;
    if (runs < 1) runs = 1;
    if (!CreateSetupWindow(GetModuleHandleA(NULL))) return 1;
    UpdateWindow(MainWindow);
    Pump();
    std::vector<double> full, copyBack;
    for (int i = 0; i < runs; ++i) {
        full.push_back(TimePaint(1));
        copyBack.push_back(TimePaint(0));
    }
    Report("full repaint", full);
    Report("copy-back", copyBack);
    fflush(stdout);
    DestroyWindow(MainWindow);
    return 0;
}
