#pragma once
#include <windows.h>

// The setup program's own folder, ending in a backslash.
enum { SourceDirectorySize = 256 };
extern char SourceDirectory[SourceDirectorySize];

// Fills SourceDirectory from the module's path. Returns 0 when the folder
// cannot be named within the buffer, even in its short form.
int FillSourceDirectory(HINSTANCE instance);

// Whether the setup folder leaves room for every name on the disk that the
// install looks for: a folder without it would install only some files.
int SourceDirectoryHoldsDiskNames(void);

// Tells the user the setup folder's path is too long (a system-modal box).
void RefuseSourceDirectory(void);

// The one message loop; returns the exit code carried by WM_QUIT.
int RunMessageLoop(void);

// Restricts the search for libraries loaded from now on to the system folder.
void RestrictDllSearch(void);

// A procedure of a library in the system folder, the library loaded by its full
// path at the first call; NULL when either is missing. Libraries only some runs
// need (the shell, COM) are reached this way so that start-up does not load them.
FARPROC SystemProcedure(const char* library, const char* procedure);

// The same into a typed pointer; 1 when found.
template <typename Call>
int FindSystemProcedure(Call* call, const char* library, const char* procedure) {
    FARPROC found = SystemProcedure(library, procedure);
    *call = reinterpret_cast<Call>(reinterpret_cast<void (*)(void)>(found));
    return found != NULL;
}

// Shell and COM calls, their libraries loaded at first use through
// SystemProcedure. Each fails like the call itself when its
// library or entry is missing.
HRESULT LateCoInitialize(void);
void LateCoUninitialize(void);
HRESULT LateCoCreateInstance(REFCLSID type, DWORD context, REFIID face, void** object);
// A special folder (CSIDL_*) in path, MAX_PATH bytes.
HRESULT LateGetFolderPath(int folder, char* path);
BSTR LateSysAllocString(const OLECHAR* text);
void LateSysFreeString(BSTR text);

// Whether the process runs with an elevated token; 0 on systems without elevation.
int RunningElevated(void);
