// The client side of the Program Manager conversation, in raw DDE messages.
#include "progman/progman.h"

#include <dde.h>

#include "platform/message_pump.h"
#include "platform/system_calls.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"

static_assert(DdeInitiateMessage == WM_DDE_INITIATE && DdeExecuteMessage == WM_DDE_EXECUTE,
              "the acknowledgement rule knows the messages by these numbers");

HWND DdeServerWindow;
UINT PendingDdeMessage;
int ExecuteAccepted;
static HWND DdeClientWindow;   // ours, named in every message to the server
static HGLOBAL PostedCommand;  // ours until the server acknowledges it

static const char ProgramManagerService[8] = "PROGMAN";

// One hung window must not hold the install: each window gets a short time,
// the whole broadcast a few seconds. Then the execute acknowledgement.
enum {
    InitiatePerWindow = 500,
    InitiateTotal = 3000,
    WaitPumpInterval = 10,
    WaitRounds = 500,
};

struct InitiateBroadcast {
    DWORD start;
    LPARAM atoms;
};

static BOOL CALLBACK SendInitiate(HWND window, LPARAM lParam) {
    const InitiateBroadcast* broadcast = (const InitiateBroadcast*)lParam;
    UINT timeout =
        InitiateWindowTimeout(GetTickCount() - broadcast->start, InitiatePerWindow, InitiateTotal);
    if (timeout == 0) return FALSE;
    DWORD_PTR result;
    // A window that does not take it in time is passed over, as is a hung one.
    SendMessageTimeoutA(window, WM_DDE_INITIATE, (WPARAM)DdeClientWindow, broadcast->atoms,
                        SMTO_ABORTIFHUNG, timeout, &result);
    return TRUE;
}

// An elevated setup runs above the shell's integrity level, and the window
// manager drops the shell's answers to us unless they are let through. Older
// systems have only the process-wide call, the oldest neither and no filter.
static void AllowDdeReplies(void) {
    static const UINT replies[] = {WM_DDE_ACK, WM_DDE_TERMINATE};
    BOOL(WINAPI * windowFilter)(HWND, UINT, DWORD, void*);
    BOOL(WINAPI * processFilter)(UINT, DWORD);
    if (!RunningElevated()) return;
    int haveWindowFilter = FindSystemProcedure(&windowFilter, CallChangeWindowMessageFilterEx);
    int haveProcessFilter = FindSystemProcedure(&processFilter, CallChangeWindowMessageFilter);
    for (UINT i = 0; i < sizeof replies / sizeof replies[0]; ++i) {
        // A refused change leaves the filter as it was: the answer may then
        // not come, and the shortcut is made without the server.
        if (haveWindowFilter)
            windowFilter(DdeClientWindow, replies[i], 1 /* MSGFLT_ALLOW */, NULL);
        else if (haveProcessFilter)
            processFilter(replies[i], 1 /* MSGFLT_ADD */);
    }
}

int ConnectProgramManager(HWND client) {
    DdeClientWindow = client;
    AllowDdeReplies();
    ATOM application = GlobalAddAtomA(ProgramManagerService);
    ATOM topic = GlobalAddAtomA(ProgramManagerService);
    // A zero atom would ask every server of every topic to answer: go no further.
    if (application != 0 && topic != 0) {
        PendingDdeMessage = WM_DDE_INITIATE;
        // Servers answer with WM_DDE_ACK sent to us while the sends run.
        InitiateBroadcast broadcast = {GetTickCount(), MAKELPARAM(application, topic)};
        EnumWindows(SendInitiate, (LPARAM)&broadcast);
        PendingDdeMessage = 0;
    }
    if (application != 0) GlobalDeleteAtom(application);
    if (topic != 0) GlobalDeleteAtom(topic);
    return DdeServerWindow != NULL;
}

static void OnInitiateAcknowledge(HWND server, LPARAM lParam) {
    if (DecideAckAction(PendingDdeMessage, DdeServerWindow != NULL) == RecordServer)
        DdeServerWindow = server;
    else  // only the first server stays; a failed post is passed over
        PostMessageA(server, WM_DDE_TERMINATE, (WPARAM)DdeClientWindow, 0);
    // The answer to an initiate carries the server's atoms unpacked.
    GlobalDeleteAtom(LOWORD(lParam));
    GlobalDeleteAtom(HIWORD(lParam));
}

// In 32-bit Windows the execute acknowledgement arrives packed: the command
// memory is the high part, and the pack itself must be freed too.
static void OnExecuteAcknowledge(LPARAM lParam) {
    UINT_PTR status = 0, command = 0;
    if (UnpackDDElParam(WM_DDE_ACK, lParam, &status, &command)) {
        FreeDDElParam(WM_DDE_ACK, lParam);
        ExecuteAccepted = ExecuteAcknowledgedPositively((unsigned)status);
        // Accepted after we stopped waiting: the server's item is there, ours
        // would be a second.
        if (ExecuteAccepted) TakeBackOwnShortcut();
    }
    // The command memory handed back is the one posted: free ours, so that it
    // goes even when the pack cannot be opened.
    if (PostedCommand != NULL) GlobalFree(PostedCommand);
    PostedCommand = NULL;
    PendingDdeMessage = 0;
    SetFocus(DdeClientWindow);
}

void OnDdeAcknowledge(WPARAM wParam, LPARAM lParam) {
    switch (DecideAckAction(PendingDdeMessage, DdeServerWindow != NULL)) {
    case RecordServer:
    case TerminateServer: OnInitiateAcknowledge((HWND)wParam, lParam); break;
    case ReleaseCommand: OnExecuteAcknowledge(lParam); break;
    case IgnoreAck: break;
    }
}

int ProgramManagerReady(void) { return DdeServerWindow != NULL && PendingDdeMessage == 0; }

int ProgramManagerIdle(void) { return PendingDdeMessage == 0; }

int WaitForProgramManager(void) {
    // A quit ends the wait at once: the main loop is to see it soon.
    int rounds = 0;
    PumpResult pumped;
    do {
        pumped = PumpMessages(NULL, WaitPumpInterval);
    } while (!ProgramManagerReady() && pumped != PumpQuit && ++rounds < WaitRounds);
    return ProgramManagerReady();
}

int AddProgramItem(const char* programPath) {
    // Composed first, so that a path too long for the command allocates nothing.
    char command[DdeCommandSize];
    return ComposeAddItemCommand(command, sizeof command, programPath,
                                 ProductString(ProductName, Edition)) &&
           PostProgramCommand(command);
}

int PostProgramCommand(const char* command) {
    if (!ProgramManagerReady()) return 0;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, DdeCommandSize);
    if (memory == NULL) return 0;
    char* text = (char*)GlobalLock(memory);
    if (text == NULL || !CopyText(text, DdeCommandSize, command)) {
        if (text) GlobalUnlock(memory);
        GlobalFree(memory);
        return 0;
    }
    GlobalUnlock(memory);
    if (!PostMessageA(DdeServerWindow, WM_DDE_EXECUTE, (WPARAM)DdeClientWindow, (LPARAM)memory)) {
        GlobalFree(memory);
        return 0;
    }
    PostedCommand = memory;
    PendingDdeMessage = WM_DDE_EXECUTE;
    ExecuteAccepted = 0;
    return 1;
}

int WaitForExecuteAcknowledge(void) {
    for (int round = 0; round < WaitRounds; ++round) {
        if (PendingDdeMessage != WM_DDE_EXECUTE) break;
        if (PumpMessages(NULL, WaitPumpInterval) == PumpQuit) break;
    }
    return PendingDdeMessage == 0 && ExecuteAccepted;
}

void DisconnectProgramManager(void) {
    HWND server = DdeServerWindow;
    DdeServerWindow = NULL;
    if (server != NULL && IsWindow(server))
        PostMessageA(server, WM_DDE_TERMINATE, (WPARAM)DdeClientWindow, 0);  // failure passed over
}

void ForgetProgramManager(void) {
    DdeServerWindow = NULL;
    PendingDdeMessage = 0;
}
