// Process entry: the command-line step, the WinMain-shaped main procedure,
// and the handlers that join the window to the install below it.
#include "install/install.h"
#include "install/install_tables.h"
#include "install/plan.h"
#include "platform/shown_text.h"
#include "platform/source_directory.h"
#include "platform/system_calls.h"
#include "progman/progman.h"
#include "startup/command_line.h"
#include "startup/startup.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

void RefuseSourceDirectory(int messageKind) {
    ShowMessage(NULL, TableText(InstallMessage(messageKind, LanguageIndex)),
                TableText(ErrorCaption(LanguageIndex)), MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
}

// Copying from a cut-off or garbled folder name would install the wrong files,
// or none. The names on the disk, a search each, are checked once the window
// shows.
static int TakeSourceDirectory(HINSTANCE instance) {
    enum SourceDirectoryOutcome source = FillSourceDirectory(instance);
    if (source == SourceDirectoryNamed && SourceDirectoryAcceptable(SourceDirectory, Edition, 0))
        return 1;
    RefuseSourceDirectory(source == SourceDirectoryOutsideCodePage ? SourceOutsideCodePageMessage
                                                                   : SourceTooLongMessage);
    return 0;
}

static int InstallIsRunning(void) { return InstallRunning; }

static void OnSessionEnding(WPARAM ending) {
    // The session ends all the same: stop at the next file, as a close does.
    if (ending) HoldCloseRequest();
}

static int SourceHoldsDiskNames(void) {
    if (SourceDirectoryHoldsDiskNames()) return 1;
    // Hidden before the box, destroyed after it: the quit posted by the
    // destruction would end the box at once.
    ShowWindow(MainWindow, SW_HIDE);
    RefuseSourceDirectory(SourceTooLongMessage);
    return 0;
}

static const WindowHandlers SetupHandlers = {
    RunInstallProcedure,   // okCommand
    HoldCloseRequest,      // holdCloseRequest
    InstallIsRunning,      // installRunning
    OnSessionEnding,       // sessionEnding
    OnDdeAcknowledge,      // ddeAcknowledge
    SourceHoldsDiskNames,  // checkAfterFirstPaint
};

// One setup of an edition at a time on the machine, other sessions' too: two
// would copy over each other with the same temporary names. The mutex is
// kept until the process ends.
static int AnotherSetupRuns(void) {
    char name[64];
    if (!JoinTexts(name, sizeof name, "Global\\Kellum Setup ", ProductString(ProductName, Edition)))
        return 0;
    HANDLE mutex = CreateMutexA(NULL, FALSE, name);
    DWORD error = GetLastError();
    // One made by an elevated setup may be closed to us: it runs all the same.
    if (!mutex) return error == ERROR_ACCESS_DENIED;
    return error == ERROR_ALREADY_EXISTS;
}

static int SetupMain(HINSTANCE instance, HINSTANCE, const char*, int) {
    SetLanguage(English);  // the refusals below come before the window
    if (AnotherSetupRuns()) {
        ShowOtherSetupWindow();
        return 0;
    }
    if (!TakeSourceDirectory(instance)) return 1;
    SetWindowHandlers(&SetupHandlers);
    if (!CreateSetupWindow(instance)) return 1;  // could not start
    int exitCode = RunMessageLoop();
    EndCom();
    return exitCode;
}

static int CommandLineStep(void) {
    // The tail is found and ignored: the program has no options.
    const char* tail = FindCommandTail(GetCommandLineA());
    return SetupMain(GetModuleHandleA(NULL), NULL, tail, SW_SHOWNORMAL);
}

// The process starts here, not in the C runtime's start-up, which this program
// needs nothing of: no static constructors or destructors, no thread-local
// data, no arguments but the command line. The linker names it the entry
// (cmake/windows.cmake).
extern "C" void WINAPI SetupStart(void) {
    // Before anything else can load a library.
    RestrictDllSearch();
    ExitProcess(CommandLineStep());
}
