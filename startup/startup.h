// The top of the program: what only the process entry does.
#pragma once

// Tells the user why the setup program's folder cannot be read from, in a
// system-modal box: the install message of that kind (SourceTooLongMessage,
// SourceOutsideCodePageMessage) in the current language.
void RefuseSourceDirectory(int messageKind);

// The one message loop; returns the exit code carried by WM_QUIT.
int RunMessageLoop(void);
