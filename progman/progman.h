// The Program Manager link: a raw DDE client conversation with "PROGMAN".
#pragma once
#include <windows.h>
#include <dde.h>

// The server that answered (NULL when none) and the DDE message in progress
// (0 idle, WM_DDE_INITIATE during the broadcast, WM_DDE_EXECUTE until acked).
extern HWND DdeServerWindow;
extern UINT PendingDdeMessage;
// Whether the last execute acknowledgement accepted the command.
extern int ExecuteAccepted;

// Broadcasts the initiate; nonzero when a server answered.
int ConnectProgramManager(void);
// Handles every WM_DDE_ACK that reaches the main window.
void OnDdeAcknowledge(WPARAM wParam, LPARAM lParam);
// Posts [AddItem("path", product)]; 1 when the request was handed over.
int AddProgramItem(const char* programPath);
// Pumps messages until the execute is acknowledged, a few seconds at most;
// 1 when the server accepted it.
int WaitForExecuteAcknowledge(void);
// Ends the conversation with the recorded server, if it is still there.
void DisconnectProgramManager(void);

// The shortcut made without a server: "<product name>.lnk" in the all-users
// Programs folder, else the user's, running programPath in workingFolder with
// its icon. 1 when one was saved.
int CreateOwnShortcut(const char* programPath, const char* workingFolder);
