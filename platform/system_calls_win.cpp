// The one table of system procedures looked up at run time, the calls made
// through it, COM for the run, and the start-up hardening.
#include <shlobj.h>
#include <oleacc.h>

#include "platform/system_calls.h"
#include "tables/bounded_text.h"
#include "tables/geometry.h"
#include "tables/tables.h"

enum SystemLibrary { Ole32, Shell32, OleAut32, User32, Kernel32, RstrtMgr, SystemLibraryCount };

// Lists of texts (TextInList) and bytes: no pointers to store and relocate.
static constexpr char LibraryFiles[] =
    "ole32.dll\0shell32.dll\0oleaut32.dll\0user32.dll\0kernel32.dll\0rstrtmgr.dll";
static_assert(TextsIn(LibraryFiles) == SystemLibraryCount, "one file for every SystemLibrary");

// By SystemCall: each procedure's library, and its name.
static const unsigned char CallLibraries[] = {
    Ole32,  Ole32,  Ole32,  Ole32,  Shell32, Shell32,  Shell32,  OleAut32, OleAut32, User32,
    User32, User32, User32, User32, User32,  Kernel32, RstrtMgr, RstrtMgr, RstrtMgr, RstrtMgr,
};
static_assert(sizeof CallLibraries == SystemCallCount, "a library for every SystemCall");

// clang-format off
static constexpr char ProcedureNames[] =
    "CoInitialize\0"
    "CoUninitialize\0"
    "CoCreateInstance\0"
    "CoTaskMemFree\0"
    "SHGetFolderPathA\0"
    "SHBrowseForFolderW\0"
    "SHGetPathFromIDListA\0"
    "SysAllocString\0"
    "SysFreeString\0"
    "ShutdownBlockReasonCreate\0"
    "ShutdownBlockReasonDestroy\0"
    "GetDpiForWindow\0"
    "GetSystemMetricsForDpi\0"
    "ChangeWindowMessageFilterEx\0"
    "ChangeWindowMessageFilter\0"
    "SetDefaultDllDirectories\0"
    "RmStartSession\0"
    "RmRegisterResources\0"
    "RmGetList\0"
    "RmEndSession";
// clang-format on
static_assert(TextsIn(ProcedureNames) == SystemCallCount, "a name for every SystemCall");

// What was looked up: each library and procedure once, found or not.
static struct {
    int tried;
    HMODULE module;
} Libraries[SystemLibraryCount];
static struct {
    int tried;
    FARPROC found;
} Procedures[SystemCallCount];

// A library file named like a system library may lie beside setup.exe in a
// download folder: the full path reaches the system's own. NULL when the
// path does not fit or the library is missing.
static HMODULE LoadSystemLibrary(const char* library) {
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, sizeof path);
    if (n == 0 || n >= sizeof path || !AppendText(path, sizeof path, "\\") ||
        !AppendText(path, sizeof path, library))
        return NULL;
    // Stays loaded for the rest of the run: its procedures are kept by callers.
    return LoadLibraryA(path);
}

FARPROC SystemLibraryProcedure(const char* library, const char* procedure) {
    HMODULE module = LoadSystemLibrary(library);
    return module ? GetProcAddress(module, procedure) : NULL;
}

static HMODULE SystemLibraryModule(SystemLibrary library) {
    if (!Libraries[library].tried) {
        Libraries[library].tried = 1;
        Libraries[library].module = LoadSystemLibrary(TextInList(LibraryFiles, library));
    }
    return Libraries[library].module;
}

FARPROC SystemProcedure(SystemCall call) {
    if (call < 0 || call >= SystemCallCount) return NULL;
    if (!Procedures[call].tried) {
        Procedures[call].tried = 1;
        HMODULE module = SystemLibraryModule((SystemLibrary)CallLibraries[call]);
        Procedures[call].found =
            module ? GetProcAddress(module, TextInList(ProcedureNames, call)) : NULL;
    }
    return Procedures[call].found;
}

HRESULT LateCoCreateInstance(REFCLSID type, DWORD context, REFIID face, void** object) {
    HRESULT(WINAPI * create)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    *object = NULL;
    if (!FindSystemProcedure(&create, CallCoCreateInstance)) return E_NOTIMPL;
    return create(type, NULL, context, face, object);
}

HRESULT LateGetFolderPath(int folder, char* path) {
    HRESULT(WINAPI * getFolderPath)(HWND, int, HANDLE, DWORD, LPSTR);
    if (!FindSystemProcedure(&getFolderPath, CallSHGetFolderPathA)) return E_NOTIMPL;
    return getFolderPath(NULL, folder, NULL, 0, path);
}

BSTR LateSysAllocString(const OLECHAR* text) {
    BSTR(WINAPI * allocate)(const OLECHAR*);
    return FindSystemProcedure(&allocate, CallSysAllocString) ? allocate(text) : NULL;
}

void LateSysFreeString(BSTR text) {
    void(WINAPI * release)(BSTR);
    if (text && FindSystemProcedure(&release, CallSysFreeString)) release(text);
}

int WindowDpiOf(HWND window) {
    UINT(WINAPI * dpiForWindow)(HWND);
    if (FindSystemProcedure(&dpiForWindow, CallGetDpiForWindow)) {
        UINT dpi = dpiForWindow(window);
        if (dpi) return (int)dpi;  // 0 answers a handle that is no window
    }
    HDC screen = GetDC(NULL);
    if (!screen) return BaseDpi;
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi > 0 ? dpi : BaseDpi;
}

int SystemMetricForDpi(int index, int dpi) {
    int(WINAPI * metricForDpi)(int, UINT);
    if (FindSystemProcedure(&metricForDpi, CallGetSystemMetricsForDpi))
        return metricForDpi(index, (UINT)dpi);
    return GetSystemMetrics(index);
}

HRESULT SetAccessibleName(HWND control, TextPart text) {
    WCHAR name[ShownTextSize];
    if (!WidenText(text, name, ShownTextSize)) return E_INVALIDARG;
    if (!UseCom()) return E_NOTIMPL;
    IAccPropServices* service = NULL;
    HRESULT result = LateCoCreateInstance(CLSID_AccPropServices, CLSCTX_INPROC_SERVER,
                                          IID_IAccPropServices, (void**)&service);
    if (FAILED(result) || !service) return FAILED(result) ? result : E_NOTIMPL;
    result =
        service->SetHwndPropStr(control, (DWORD)OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name);
    service->Release();
    return result;
}

// COM as UseCom found it on its thread.
static struct {
    int asked;
    int usable;
    int ours;  // initialised by UseCom, to be ended by EndCom
} Com;

int UseCom(void) {
    if (Com.asked) return Com.usable;
    Com.asked = 1;
    HRESULT(WINAPI * initialize)(LPVOID);
    if (!FindSystemProcedure(&initialize, CallCoInitialize)) return 0;
    HRESULT result = initialize(NULL);
    Com.ours = SUCCEEDED(result);
    // An apartment of another kind on the thread serves as well; it is not ours to end.
    Com.usable = Com.ours || result == RPC_E_CHANGED_MODE;
    return Com.usable;
}

void EndCom(void) {
    void(WINAPI * uninitialize)(void);
    if (Com.ours && FindSystemProcedure(&uninitialize, CallCoUninitialize)) uninitialize();
    Com.asked = Com.usable = Com.ours = 0;
}

// A setup program often runs from a download folder that also holds files a
// stranger put there. Libraries loaded late (by the shell's folder browser, for
// example) must come from the system folder, not from beside setup.exe. The
// call is looked up by name because older systems lack it; there the current
// folder at least is taken out of the search. A failure of either leaves the
// ordinary search in place, which is all those systems offer.
void RestrictDllSearch(void) {
    BOOL(WINAPI * setDefault)(DWORD);
    if (FindSystemProcedure(&setDefault, CallSetDefaultDllDirectories) &&
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    SetDllDirectoryA("");
}

int RunningElevated(void) {
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return 0;
    TOKEN_ELEVATION elevation = {0};
    DWORD size = 0;
    // Systems from before elevation refuse the class: not elevated there.
    int elevated =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
        elevation.TokenIsElevated;
    CloseHandle(token);
    return elevated;
}
