#include "platform/message_pump.h"
#include "startup/startup.h"
#include "window/window.h"

int RunMessageLoop(void) {
    enum { LoopFailedExitCode = 1 };
    MSG msg;
    BOOL got;
    // Tab, Enter (IDOK) and Escape (IDCANCEL) as in a dialog, here and in the pumps.
    DialogKeysWindow = MainWindow;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0) {
        if (got == -1) return LoopFailedExitCode;  // msg holds nothing then
        if (IsDialogMessageA(DialogKeysWindow, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
