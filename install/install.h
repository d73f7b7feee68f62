// The install procedure run by the OK command, and its folder and file helpers.
#pragma once
#include <windows.h>

void RunInstallProcedure(void);

// Pumps and dispatches messages for the interval (milliseconds).
void TimedMessagePump(DWORD interval);
const char* FindCharacterForward(const char* text, char character);
// Fills MessageText with the system's text for the error code.
void SystemErrorText(DWORD code);
// Creates the folder path level by level and leaves it current; 1 on success.
int CreateFolderPath(const char* path);
// Copies every plain file SourceDirectory + pattern into the folder.
void CopyMatchingFiles(const char* pattern, const char* destinationFolder);
