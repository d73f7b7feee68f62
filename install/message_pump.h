// The timed message pump of the install procedure's waits.
#pragma once
#include <stdint.h>

// The pump's time test, in unsigned 32-bit arithmetic so that a tick counter
// wrapping around still ends the interval.
int IntervalElapsed(uint32_t start, uint32_t now, uint32_t interval);

#ifdef _WIN32
#include <windows.h>

// Pumps and dispatches messages for the interval (milliseconds). A WM_QUIT it
// meets is posted again with its exit code and ends the pump: the pump returns
// 1 and QuitRequested stays set from then on. Otherwise it returns 0.
int TimedMessagePump(DWORD interval);
extern int QuitRequested;
// The pump's tick source; tests only replace it.
extern DWORD(WINAPI* PumpTickSource)(void);
#endif
