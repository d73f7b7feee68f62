// The system's text for an error code.
#pragma once

// Length of text once the trailing control characters (line breaks) of a
// system message are dropped.
int LengthWithoutTrailingControls(const char* text, int length);

#ifdef _WIN32
#include <windows.h>

// Fills MessageText with the system's text for the error code.
void SystemErrorText(DWORD code);
#endif
