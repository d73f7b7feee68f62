// The system procedures reached late, from one table; COM for the whole run;
// the library-search hardening and the elevation test.
#pragma once
#include <windows.h>

#include "platform/shown_text.h"

// Every procedure the program looks up at run time rather than importing: the
// shell and COM (most runs never need them, and the window shows before any
// of them is loaded) and calls that older systems lack.
enum SystemCall {
    CallCoInitialize,
    CallCoUninitialize,
    CallCoCreateInstance,
    CallCoTaskMemFree,
    CallSHGetFolderPathA,
    CallSHBrowseForFolderW,
    CallSHGetPathFromIDListA,
    CallSysAllocString,
    CallSysFreeString,
    CallShutdownBlockReasonCreate,
    CallShutdownBlockReasonDestroy,
    CallGetDpiForWindow,
    CallGetSystemMetricsForDpi,
    CallChangeWindowMessageFilterEx,
    CallChangeWindowMessageFilter,
    CallSetDefaultDllDirectories,
    CallRmStartSession,  // the Restart Manager: who holds a file
    CallRmRegisterResources,
    CallRmGetList,
    CallRmEndSession,
    SystemCallCount
};

// A procedure of the table, its library loaded from the system folder by its
// full path at the first call; both are kept for the rest of the run. NULL
// when either is missing.
FARPROC SystemProcedure(SystemCall call);

// The same into a typed pointer; 1 when found.
template <typename Call>
int FindSystemProcedure(Call* call, SystemCall which) {
    FARPROC found = SystemProcedure(which);
    *call = reinterpret_cast<Call>(reinterpret_cast<void (*)(void)>(found));
    return found != NULL;
}

// The lookup under the table: library (a file name) loaded from the system
// folder by its full path. The program names its calls in the table; the
// release test reaches other libraries with it.
FARPROC SystemLibraryProcedure(const char* library, const char* procedure);

// Shell and COM calls through the table. Each fails like the call itself
// when its library or entry is missing.
HRESULT LateCoCreateInstance(REFCLSID type, DWORD context, REFIID face, void** object);
// A special folder (CSIDL_*) in path, MAX_PATH bytes.
HRESULT LateGetFolderPath(int folder, char* path);
BSTR LateSysAllocString(const OLECHAR* text);
void LateSysFreeString(BSTR text);

// The DPI a window is shown at: GetDpiForWindow where the system has it, else
// the screen's, which older systems use for every window.
int WindowDpiOf(HWND window);
// A system metric (SM_*) at a DPI where the system can say, else at the
// system's DPI, which is then the window's.
int SystemMetricForDpi(int index, int dpi);

// Gives a control the accessible name a screen reader says for it through
// the accessibility annotation service where the system offers it; fails
// like the service, or with E_NOTIMPL without it.
HRESULT SetAccessibleName(HWND control, TextPart text);

// COM on the calling thread, initialised (apartment-threaded) at the first
// call and kept; 1 when COM is usable there.
int UseCom(void);
// Ends what UseCom began, once, at the end of the program.
void EndCom(void);

// Restricts the search for libraries loaded from now on to the system folder.
void RestrictDllSearch(void);

// Whether the process runs with an elevated token; 0 on systems without elevation.
int RunningElevated(void);
