// The Program Manager stand-in, started for tests: it answers the "PROGMAN"
// initiate and turns AddItem requests into shortcuts in the Programs folder.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "robot.h"

namespace robot {

// The stand-in's program in the Windows build folder (SETUP_BUILD_DIR).
std::string ProgramManagerStandInPath();
// Starts it with the options ("--log <file>", "--vanish", "--silent",
// "--lifetime <ms>") and waits until its window exists; handle NULL on failure.
Process StartProgramManagerStandIn(const std::string& options = "");
// Its window (class "ProgmanStandIn"); NULL when it has none.
HWND ProgramManagerStandInWindow(const Process& standIn);
// Asks it to close and waits; kills it if it does not.
void StopProgramManagerStandIn(Process& standIn);

// The lines of its --log file (the execute commands it received, in order).
std::vector<std::string> ReadStandInLog(const std::string& logPath);

// Counts the DDE initiates broadcast on the desktop while it lives, answering
// none: a hidden top-level window on a thread of its own.
class InitiateCounter {
public:
    InitiateCounter();
    ~InitiateCounter();
    int Count() const { return count_; }

private:
    static DWORD WINAPI Run(void* self);
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HANDLE thread_ = NULL, ready_ = NULL;
    HWND window_ = NULL;
    volatile LONG count_ = 0;
};

// The user's Programs folder, where the stand-in's shortcuts go.
std::string ProgramsFolder();
// The all-users Programs folder, where setup's own shortcut goes first.
std::string CommonProgramsFolder();
// What a shortcut file holds; all empty when it cannot be read.
struct Shortcut {
    std::string target, workingFolder, icon;
};
Shortcut ReadShortcut(const std::string& linkPath);
std::string ShortcutTarget(const std::string& linkPath);

}  // namespace robot
