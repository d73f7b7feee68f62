// The timed message pump of the install procedure's waits.
#pragma once
#include <windows.h>

// Pumps and dispatches messages for the interval (milliseconds). A WM_QUIT it
// meets is posted again with its exit code and ends the pump: the pump returns
// 1 and QuitRequested stays set from then on. Otherwise it returns 0.
int TimedMessagePump(DWORD interval);
extern int QuitRequested;
// The pump's tick source; tests only replace it.
extern DWORD(WINAPI* PumpTickSource)(void);
