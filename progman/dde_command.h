// Texts and decisions of the Program Manager conversation, free of the platform.
#pragma once

enum {
    AddItemArgumentSize = 270,  // quote, path, quote, comma, space, product name
    DdeCommandSize = 600,       // the global memory handed to the server
    ShortcutPathSize = 260,     // the system's longest path, terminator included
};

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
