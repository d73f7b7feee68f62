// The pump that keeps the window alive while the program waits for something.
// It sleeps in MsgWaitForMultipleObjectsEx between messages rather than
// polling, so a wait costs no processor time.
#include "platform/message_pump.h"

int QuitRequested;
HWND DialogKeysWindow;
DWORD(WINAPI* PumpTickSource)(void) = GetTickCount;

// Dispatches what is waiting; 0 when a WM_QUIT came. The quit belongs to the
// main loop: it is handed back, and the pump stops.
static int DispatchWaiting(void) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            QuitRequested = 1;
            PostQuitMessage((int)msg.wParam);
            return 0;
        }
        if (DialogKeysWindow && IsDialogMessageA(DialogKeysWindow, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}

static PumpResult WaitWithoutPumping(HANDLE done, DWORD left) {
    if (!done) {
        Sleep(left);
        return PumpTimedOut;
    }
    return WaitForSingleObject(done, left) == WAIT_OBJECT_0 ? PumpSignalled : PumpTimedOut;
}

PumpResult PumpMessages(HANDLE done, DWORD interval) {
    // The quit posted again stays in the queue: dispatching would meet it at
    // once, so after a quit a pump only lets its event end the wait.
    if (QuitRequested) return done ? WaitWithoutPumping(done, interval) : PumpQuit;
    DWORD start = PumpTickSource();
    for (;;) {
        DWORD now = PumpTickSource();
        if (IntervalElapsed(start, now, interval)) return PumpTimedOut;
        DWORD left = interval - (now - start);
        if (!DispatchWaiting()) return PumpQuit;
        DWORD woke = MsgWaitForMultipleObjectsEx(done ? 1 : 0, &done, left, QS_ALLINPUT,
                                                 MWMO_INPUTAVAILABLE);
        if (done && woke == WAIT_OBJECT_0) return PumpSignalled;
        // Not expected; waiting without pumping still ends the wait in time.
        if (woke == WAIT_FAILED) return WaitWithoutPumping(done, left);
    }
}
