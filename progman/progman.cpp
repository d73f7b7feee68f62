#include "progman/progman.h"

#include "tables/bounded_text.h"

int ComposeAddItemArgument(char* argument, int size, const char* programPath,
                           const char* productName) {
    char text[AddItemArgumentSize];
    int fits = CopyText(text, sizeof text, "\"") && AppendText(text, sizeof text, programPath) &&
               AppendText(text, sizeof text, "\", ") && AppendText(text, sizeof text, productName);
    return fits && CopyText(argument, size, text);
}

int ComposeAddItemCommand(char* command, int size, const char* programPath,
                          const char* productName) {
    char argument[AddItemArgumentSize];
    if (!ComposeAddItemArgument(argument, sizeof argument, programPath, productName)) return 0;
    char text[DdeCommandSize];
    int fits = CopyText(text, sizeof text, "[AddItem(") &&
               AppendText(text, sizeof text, argument) && AppendText(text, sizeof text, ")]");
    return fits && CopyText(command, size, text);
}

DdeAckAction DecideAckAction(unsigned pendingMessage, int serverRecorded) {
    switch (pendingMessage) {
    case DdeInitiateMessage: return serverRecorded ? TerminateServer : RecordServer;
    case DdeExecuteMessage: return ReleaseCommand;
    default: return IgnoreAck;
    }
}

unsigned InitiateWindowTimeout(unsigned elapsed, unsigned perWindow, unsigned total) {
    if (elapsed >= total) return 0;
    unsigned left = total - elapsed;
    return left < perWindow ? left : perWindow;
}

int ExecuteAcknowledgedPositively(unsigned status) { return (status & 0x8000) != 0; }  // fAck

int ShortcutPath(const char* folder, const char* productName, char* out, int size) {
    char text[ShortcutPathSize];
    int fits = CopyText(text, sizeof text, folder) && AppendText(text, sizeof text, "\\") &&
               AppendText(text, sizeof text, productName) && AppendText(text, sizeof text, ".lnk");
    return fits && CopyText(out, size, text);
}
