// The top of the program: what only the process entry does.
#pragma once

// Tells the user the setup program's folder path is too long (a system-modal box).
void RefuseSourceDirectory(void);

// The one message loop; returns the exit code carried by WM_QUIT.
int RunMessageLoop(void);
