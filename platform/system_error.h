// The system's text for an error code.
#pragma once

// Length of text once the trailing control characters (line breaks) of a
// system message are dropped.
int LengthWithoutTrailingControls(const char* text, int length);

#ifdef _WIN32
#include <windows.h>

// The system's text for the error code in out (size bytes), without its line
// break; empty when the system has none.
void SystemErrorText(DWORD code, char* out, int size);
#endif
