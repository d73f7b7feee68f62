// Process entry: the command-line step and the WinMain-shaped main procedure.
#include <stdlib.h>

#include "install/install.h"
#include "platform/system_calls.h"
#include "startup/command_line.h"
#include "startup/startup.h"
#include "tables/tables.h"
#include "window/window.h"

static int SetupMain(HINSTANCE instance, HINSTANCE, const char*, int) {
    // Copying from a cut-off folder name would install the wrong files. The
    // names on the disk, a search each, are checked once the window shows.
    if (!FillSourceDirectory(instance) || !SourceDirectoryAcceptable(SourceDirectory, Edition, 0)) {
        RefuseSourceDirectory();
        return 1;
    }
    if (!CreateSetupWindow(instance)) return 0;
    int exitCode = RunMessageLoop();
    EndCom();
    return exitCode;
}

static int CommandLineStep(void) {
    // The tail is found and ignored: the program has no options.
    const char* tail = FindCommandTail(GetCommandLineA());
    return SetupMain(GetModuleHandleA(NULL), NULL, tail, SW_SHOWNORMAL);
}

int main(void) {
    // Before anything else can load a library.
    RestrictDllSearch();
    exit(CommandLineStep());
}
