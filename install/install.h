// The install procedure run by the OK command: question, plan, copy,
// shortcut, registration, start of the product, close.
#pragma once

// The program's exit codes beside 0 (installed, or closed before the copy)
// and 1 (could not start): a close, the session's end or a quit stopped the
// copy; the copy ended without the program, so nothing was installed.
enum { InterruptedExitCode = 2, NothingInstalledExitCode = 3 };

#ifdef _WIN32
// Runs the installation to its end; a call while one runs is ignored.
void RunInstallProcedure(void);

// Nonzero while the install procedure runs. A close request that arrives then
// is held (HoldCloseRequest returns 1): the procedure stops copying at its next
// step and the window closes when it has returned.
extern int InstallRunning;
int HoldCloseRequest(void);

// While installing, the session's end is refused and the system is told why
// ("Installing <product>") where it asks for a reason.
void BlockSessionEnd(void);
void UnblockSessionEnd(void);
#endif
