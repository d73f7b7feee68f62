// The system's text for an error code.
#pragma once
#include <windows.h>

// Fills MessageText with the system's text for the error code.
void SystemErrorText(DWORD code);
