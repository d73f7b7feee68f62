// The timed pump that keeps the window alive while the install procedure works.
#include "install/message_pump.h"

int QuitRequested;
DWORD(WINAPI* PumpTickSource)(void) = GetTickCount;

int TimedMessagePump(DWORD interval) {
    DWORD start = PumpTickSource();
    while (!IntervalElapsed(start, PumpTickSource(), interval)) {
        MSG msg;
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) continue;
        if (msg.message == WM_QUIT) {
            // The quit belongs to the main loop: hand it back and stop here.
            QuitRequested = 1;
            PostQuitMessage((int)msg.wParam);
            return 1;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
