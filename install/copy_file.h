// One file copy that leaves the window answering.
#pragma once
#include <windows.h>

// Copies exactly as CopyFileA(source, destination, FALSE) does (same result,
// the same attributes on the copy, the same error for GetLastError), while
// this thread keeps dispatching its messages until the copy has ended. A
// WM_QUIT met meanwhile sets QuitRequested and is handed on to the main loop.
BOOL CopyFileWhilePumping(const char* source, const char* destination);
