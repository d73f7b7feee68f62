#include "startup/startup.h"
#include "window/window.h"

int RunMessageLoop(void) {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0) {
        if (got == -1) break;
        // Tab, Enter (IDOK) and Escape (IDCANCEL) as in a dialog.
        if (IsDialogMessageA(MainWindow, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
