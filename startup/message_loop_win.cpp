#include "startup/startup.h"
#include "window/window.h"

int RunMessageLoop(void) {
    enum { LoopFailedExitCode = 1 };
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0) {
        if (got == -1) return LoopFailedExitCode;  // msg holds nothing then
        // Tab, Enter (IDOK) and Escape (IDCANCEL) as in a dialog.
        if (IsDialogMessageA(MainWindow, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
