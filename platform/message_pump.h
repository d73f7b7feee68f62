// The one message pump of the program's waits: the install's steps, the copy
// of a file and the Program Manager conversation keep the window answering.
#pragma once
#include <stdint.h>

// The pump's time test, in unsigned 32-bit arithmetic so that a tick counter
// wrapping around still ends the interval.
int IntervalElapsed(uint32_t start, uint32_t now, uint32_t interval);

#ifdef _WIN32
#include <windows.h>

enum PumpResult { PumpTimedOut, PumpSignalled, PumpQuit };
// Dispatches this thread's messages until `done` is signalled (NULL: no event)
// or `interval` milliseconds have passed. A WM_QUIT ends it: QuitRequested is
// set and the quit posted again with its code for the main loop. While
// QuitRequested is set a pump dispatches nothing: with an event it only waits
// for it (up to interval), without one it returns PumpQuit at once.
PumpResult PumpMessages(HANDLE done, DWORD interval);
extern int QuitRequested;
// The window whose keys work as in a dialog (Tab, Enter, Escape), in the
// pumps as in the main loop: Escape during a copy is Cancel there too.
extern HWND DialogKeysWindow;
extern DWORD(WINAPI* PumpTickSource)(void);  // tests replace it
#endif
