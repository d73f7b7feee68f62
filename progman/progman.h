// The Program Manager link: a raw DDE client conversation with "PROGMAN".
// Its texts and decisions are free of the platform; the conversation itself
// is Win32.
#pragma once

#include "tables/limits.h"

// Builds "\"path\", product" in argument (size bytes). 1 on success; 0 when it
// would not fit, leaving argument unchanged.
int ComposeAddItemArgument(char* argument, int size, const char* programPath,
                           const char* productName);

// Builds "[AddItem(argument)]" in command (size bytes), the argument composed in
// its own AddItemArgumentSize buffer. 1 on success; 0 when either would not fit.
int ComposeAddItemCommand(char* command, int size, const char* programPath,
                          const char* productName);

// What an acknowledgement means, given the message in progress and whether a
// server is already recorded.
enum DdeAckAction {
    IgnoreAck = 0,
    RecordServer,     // first answer to the initiate
    TerminateServer,  // a later answer to the initiate
    ReleaseCommand,   // the execute acknowledgement
};
enum { DdeInitiateMessage = 0x3E0, DdeExecuteMessage = 0x3E8 };
DdeAckAction DecideAckAction(unsigned pendingMessage, int serverRecorded);

// The initiate goes to one top-level window after another. Each may take
// perWindow milliseconds, all of them together total: the time left for the
// next window after elapsed milliseconds, 0 when the broadcast is to stop.
unsigned InitiateWindowTimeout(unsigned elapsed, unsigned perWindow, unsigned total);

// Whether an execute acknowledgement's status (a DDEACK) accepts the command.
int ExecuteAcknowledgedPositively(unsigned status);

// "<folder>\<product name>.lnk" in out (size bytes); 0 when it would not fit.
int ShortcutPath(const char* folder, const char* productName, char* out, int size);

#ifdef _WIN32
#include <windows.h>
#include <dde.h>

// The server that answered (NULL when none) and the DDE message in progress
// (0 idle, WM_DDE_INITIATE during the broadcast, WM_DDE_EXECUTE until acked).
// Read them freely; they change only through the procedures below.
extern HWND DdeServerWindow;
extern UINT PendingDdeMessage;
// Whether the last execute acknowledgement accepted the command.
extern int ExecuteAccepted;

// Broadcasts the initiate on behalf of client, the window that receives the
// server's messages and names itself in ours until the next connect; nonzero
// when a server answered.
int ConnectProgramManager(HWND client);
// Handles every WM_DDE_ACK that reaches the client window.
void OnDdeAcknowledge(WPARAM wParam, LPARAM lParam);
// 1 when a server is recorded and no message of ours awaits its answer.
int ProgramManagerReady(void);
// 1 when no message of ours awaits its answer, whether or not a server is
// still recorded (the execute acknowledgement may come after a disconnect).
int ProgramManagerIdle(void);
// Pumps messages until the server is ready, a quit request arrives or about
// five seconds have passed; returns ProgramManagerReady().
int WaitForProgramManager(void);
// Posts [AddItem("path", product)]; 1 when the request was handed over.
int AddProgramItem(const char* programPath);
// Posts a composed command (at most DdeCommandSize bytes with its
// terminator); 1 when the request was handed over.
int PostProgramCommand(const char* command);
// Pumps messages until the execute is acknowledged, a few seconds at most;
// 1 when the server accepted it.
int WaitForExecuteAcknowledge(void);
// Ends the conversation with the recorded server, if it is still there.
void DisconnectProgramManager(void);
// Drops the link without a word to the server, back to the state of a fresh
// start; for tests that run one conversation after another.
void ForgetProgramManager(void);

// The shortcut made without a server: "<product name>.lnk" in the all-users
// Programs folder, else the user's, running programPath in workingFolder with
// its icon. 1 when one was saved, or when a link in either Programs folder
// starts programPath already (a server's item made after we stopped waiting).
int CreateOwnShortcut(const char* programPath, const char* workingFolder);
// Removes the link CreateOwnShortcut saved, unless it has been written since:
// for a server's acceptance that comes after it.
void TakeBackOwnShortcut(void);
#endif
