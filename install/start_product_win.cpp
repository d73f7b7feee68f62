// Starting the product through the desktop shell. Setup runs elevated, often
// with an administrator's password typed for someone else; a program it starts
// itself would run with those rights and as that person. The shell runs as the
// signed-in user, so a program it starts does too.
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "install/start_product.h"
#include "platform/system_calls.h"
#include "tables/bounded_text.h"

static void Release(IUnknown* object) {
    if (object) object->Release();
}

// The shell's automation object of the desktop window: the shell windows,
// the desktop among them, its browser, its view and that view's application.
static IShellDispatch2* DesktopShellDispatch(void) {
    IShellWindows* windows = NULL;
    IDispatch* desktop = NULL;
    IServiceProvider* services = NULL;
    IShellBrowser* browser = NULL;
    IShellView* view = NULL;
    IDispatch* background = NULL;
    IShellFolderViewDual* folderView = NULL;
    IDispatch* application = NULL;
    IShellDispatch2* shell = NULL;
    VARIANT nowhere;
    ZeroMemory(&nowhere, sizeof nowhere);  // VT_EMPTY
    long desktopWindow = 0;
    if (SUCCEEDED(LateCoCreateInstance(CLSID_ShellWindows, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                       (void**)&windows)) &&
        windows->FindWindowSW(&nowhere, &nowhere, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                              &desktop) == S_OK &&
        desktop != NULL &&
        SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, (void**)&services)) &&
        SUCCEEDED(
            services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, (void**)&browser)) &&
        SUCCEEDED(browser->QueryActiveShellView(&view)) && view != NULL &&
        SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, (void**)&background)) &&
        SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, (void**)&folderView)) &&
        SUCCEEDED(folderView->get_Application(&application)) && application != NULL)
        application->QueryInterface(IID_IShellDispatch2, (void**)&shell);  // NULL on failure
    IUnknown* held[] = {windows, desktop,    services,   browser,
                        view,    background, folderView, application};
    for (UINT i = 0; i < sizeof held / sizeof held[0]; ++i) Release(held[i]);
    return shell;
}

static BSTR WideText(const char* text) {
    enum { WideSize = 2 * PathBufferSize };
    WCHAR wide[WideSize];
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, wide, WideSize)) return NULL;
    return LateSysAllocString(wide);
}

static int ShellExecuteAsUser(IShellDispatch2* shell, const char* program, const char* folder) {
    BSTR file = WideText(program);
    VARIANT arguments, directory, operation, show;
    // All VT_EMPTY to begin with; the arguments stay so: the program starts bare.
    ZeroMemory(&arguments, sizeof arguments);
    directory = operation = show = arguments;
    directory.vt = operation.vt = VT_BSTR;
    directory.bstrVal = WideText(folder);
    operation.bstrVal = WideText("open");
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    // S_FALSE is the shell's answer for a program it could not start.
    int started = file && directory.bstrVal && operation.bstrVal &&
                  shell->ShellExecute(file, arguments, directory, operation, show) == S_OK;
    LateSysFreeString(file);
    LateSysFreeString(directory.bstrVal);
    LateSysFreeString(operation.bstrVal);
    return started;
}

static int StartThroughShell(const char* program, const char* folder) {
    if (!UseCom()) return 0;
    int started = 0;
    IShellDispatch2* shell = DesktopShellDispatch();
    if (shell != NULL) {
        started = ShellExecuteAsUser(shell, program, folder);
        shell->Release();
    }
    return started;
}

static int StartHere(const char* programCommand, const char* destinationPath) {
    SetCurrentDirectoryA(destinationPath);  // already current; a failure leaves it so
    return WinExec(programCommand, SW_SHOWNORMAL) >= 32;
}

int StartProduct(const char* programPath, const char* programCommand, const char* destinationPath) {
    // Called only when the run copied the program (its plan row says so).
    int started = RunningElevated() && StartThroughShell(programPath, destinationPath);
    return started || StartHere(programCommand, destinationPath);
}
