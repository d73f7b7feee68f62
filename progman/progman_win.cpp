// The client side of the Program Manager conversation, in raw DDE messages.
#include "progman/progman.h"

#include <dde.h>

#include "progman/dde_command.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

static_assert(DdeInitiateMessage == WM_DDE_INITIATE && DdeExecuteMessage == WM_DDE_EXECUTE,
              "the acknowledgement rule knows the messages by these numbers");

HWND DdeServerWindow;
UINT PendingDdeMessage;

static const char ProgramManagerService[8] = "PROGMAN";

int ConnectProgramManager(void) {
    ATOM application = GlobalAddAtomA(ProgramManagerService);
    ATOM topic = GlobalAddAtomA(ProgramManagerService);
    // A zero atom would ask every server of every topic to answer: go no further.
    if (application != 0 && topic != 0) {
        PendingDdeMessage = WM_DDE_INITIATE;
        // Servers answer with WM_DDE_ACK sent to us while this send runs.
        SendMessageA(HWND_BROADCAST, WM_DDE_INITIATE, (WPARAM)MainWindow,
                     MAKELPARAM(application, topic));
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
        PostMessageA(server, WM_DDE_TERMINATE, (WPARAM)MainWindow, 0);
    // The answer to an initiate carries the server's atoms unpacked.
    GlobalDeleteAtom(LOWORD(lParam));
    GlobalDeleteAtom(HIWORD(lParam));
}

// In 32-bit Windows the execute acknowledgement arrives packed: the command
// memory is the high part, and the pack itself must be freed too.
static void OnExecuteAcknowledge(LPARAM lParam) {
    UINT_PTR status = 0, command = 0;
    if (UnpackDDElParam(WM_DDE_ACK, lParam, &status, &command)) {
        if (command != 0) GlobalFree((HGLOBAL)command);
        FreeDDElParam(WM_DDE_ACK, lParam);
    }
    PendingDdeMessage = 0;
    SetFocus(MainWindow);
}

void OnDdeAcknowledge(WPARAM wParam, LPARAM lParam) {
    switch (DecideAckAction(PendingDdeMessage, DdeServerWindow != NULL)) {
    case RecordServer:
    case TerminateServer: OnInitiateAcknowledge((HWND)wParam, lParam); break;
    case ReleaseCommand: OnExecuteAcknowledge(lParam); break;
    case IgnoreAck: break;
    }
}

int AddProgramItem(const char* programPath) {
    if (DdeServerWindow == NULL || PendingDdeMessage != 0) return 0;
    // Composed first, so that a path too long for the command allocates nothing.
    char command[DdeCommandSize];
    if (!ComposeAddItemCommand(command, sizeof command, programPath,
                               ProductString(ProductName, Edition)))
        return 0;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, DdeCommandSize);
    if (memory == NULL) return 0;
    char* text = (char*)GlobalLock(memory);
    if (text == NULL) {
        GlobalFree(memory);
        return 0;
    }
    CopyText(text, DdeCommandSize, command);  // fits: composed within the same size
    GlobalUnlock(memory);
    if (!PostMessageA(DdeServerWindow, WM_DDE_EXECUTE, (WPARAM)MainWindow, (LPARAM)memory)) {
        GlobalFree(memory);
        return 0;
    }
    PendingDdeMessage = WM_DDE_EXECUTE;
    return 1;
}

void DisconnectProgramManager(void) {
    HWND server = DdeServerWindow;
    DdeServerWindow = NULL;
    if (server != NULL && IsWindow(server))
        PostMessageA(server, WM_DDE_TERMINATE, (WPARAM)MainWindow, 0);  // failure passed over
}
