// Starting the installed product at the end.
#pragma once

// The WinExec command line: the program path in double quotes.
int ProgramCommandLine(const char* destinationPath, const char* program, char* out, int size);

#ifdef _WIN32
// As the signed-in user through the shell when setup runs elevated; else, or
// where the shell offers no way, started here in the destination folder.
// 0 when it could not be started.
int StartProduct(const char* programPath, const char* programCommand,
                 const char* destinationPath);
#endif
