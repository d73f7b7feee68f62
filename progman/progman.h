// The Program Manager link: a raw DDE client conversation with "PROGMAN".
#pragma once
#include <windows.h>
#include <dde.h>

// The server that answered (NULL when none) and the DDE message in progress
// (0 idle, WM_DDE_INITIATE during the broadcast, WM_DDE_EXECUTE until acked).
extern HWND DdeServerWindow;
extern UINT PendingDdeMessage;

// Broadcasts the initiate; nonzero when a server answered.
int ConnectProgramManager(void);
// Handles every WM_DDE_ACK that reaches the main window.
void OnDdeAcknowledge(WPARAM wParam, LPARAM lParam);
// Posts [AddItem("path", product)]; 1 when the request was handed over.
int AddProgramItem(const char* programPath);
// Ends the conversation with the recorded server, if it is still there.
void DisconnectProgramManager(void);
