// Calls into the shell and COM libraries, looked up when first needed: most
// runs never make a shortcut or start the product through the shell, and the
// window is painted before any of these libraries is loaded.
#include <shlobj.h>

#include "startup/startup.h"

template <class Call>
static Call LateCall(const char* library, const char* name) {
    Call call;
    FindSystemProcedure(&call, library, name);  // NULL when missing
    return call;
}

HRESULT LateCoInitialize(void) {
    typedef HRESULT(WINAPI * Call)(LPVOID);
    Call call = LateCall<Call>("ole32.dll", "CoInitialize");
    return call ? call(NULL) : E_NOTIMPL;
}

void LateCoUninitialize(void) {
    typedef void(WINAPI * Call)(void);
    Call call = LateCall<Call>("ole32.dll", "CoUninitialize");
    if (call) call();
}

HRESULT LateCoCreateInstance(REFCLSID type, DWORD context, REFIID face, void** object) {
    typedef HRESULT(WINAPI * Call)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    Call call = LateCall<Call>("ole32.dll", "CoCreateInstance");
    *object = NULL;
    return call ? call(type, NULL, context, face, object) : E_NOTIMPL;
}

HRESULT LateGetFolderPath(int folder, char* path) {
    typedef HRESULT(WINAPI * Call)(HWND, int, HANDLE, DWORD, LPSTR);
    Call call = LateCall<Call>("shell32.dll", "SHGetFolderPathA");
    return call ? call(NULL, folder, NULL, 0, path) : E_NOTIMPL;
}

BSTR LateSysAllocString(const OLECHAR* text) {
    typedef BSTR(WINAPI * Call)(const OLECHAR*);
    Call call = LateCall<Call>("oleaut32.dll", "SysAllocString");
    return call ? call(text) : NULL;
}

void LateSysFreeString(BSTR text) {
    typedef void(WINAPI * Call)(BSTR);
    Call call = LateCall<Call>("oleaut32.dll", "SysFreeString");
    if (call && text) call(text);
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
