#include "progman_robot.h"

#include <dde.h>
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <stdlib.h>

namespace robot {

static const char StandInClass[] = "ProgmanStandIn";

std::string ProgramManagerStandInPath() {
    const char* build = getenv("SETUP_BUILD_DIR");
    return WindowsPath(build ? build : "") + "\\progman-standin.exe";
}

HWND ProgramManagerStandInWindow(const Process& standIn) {
    std::vector<HWND> windows = TopLevelWindows(standIn, StandInClass);
    return windows.empty() ? NULL : windows[0];
}

Process StartProgramManagerStandIn(const std::string& options) {
    Process standIn = Start(ProgramManagerStandInPath(), options);
    if (standIn.handle == NULL) return standIn;
    // Its window is hidden, so wait for it by class rather than visibility.
    DWORD start = GetTickCount();
    while (ProgramManagerStandInWindow(standIn) == NULL) {
        if (WaitForSingleObject(standIn.handle, 20) == WAIT_OBJECT_0 ||
            GetTickCount() - start > 10000) {
            Kill(standIn);
            return standIn;
        }
    }
    return standIn;
}

void StopProgramManagerStandIn(Process& standIn) {
    if (standIn.handle == NULL) return;
    HWND window = ProgramManagerStandInWindow(standIn);
    if (window != NULL) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForExit(standIn, 5000) < 0) {
        Kill(standIn);
        return;
    }
    CloseHandle(standIn.handle);
    standIn.handle = NULL;
}

std::vector<std::string> ReadStandInLog(const std::string& logPath) {
    std::vector<std::string> lines;
    std::string content;
    if (!ReadWholeFile(logPath, &content)) return lines;
    size_t at = 0;
    while (at < content.size()) {
        size_t end = content.find("\r\n", at);
        if (end == std::string::npos) end = content.size();
        lines.push_back(content.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

LRESULT CALLBACK InitiateCounter::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    InitiateCounter* self = (InitiateCounter*)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (message == WM_DDE_INITIATE && self) InterlockedIncrement(&self->count_);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI InitiateCounter::Run(void* parameter) {
    InitiateCounter* self = (InitiateCounter*)parameter;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "InitiateCounter";
    RegisterClassA(&wc);  // registered by an earlier counter: fine
    self->window_ =
        CreateWindowA("InitiateCounter", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, wc.hInstance, NULL);
    if (self->window_) SetWindowLongPtrA(self->window_, GWLP_USERDATA, (LONG_PTR)self);
    SetEvent(self->ready_);
    MSG msg;
    while (self->window_ && GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

InitiateCounter::InitiateCounter() {
    ready_ = CreateEventA(NULL, TRUE, FALSE, NULL);
    thread_ = CreateThread(NULL, 0, Run, this, 0, NULL);
    if (thread_) WaitForSingleObject(ready_, 10000);
    EXPECT_TRUE(window_ != NULL) << "no window to count DDE initiates";
}

InitiateCounter::~InitiateCounter() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_) {
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    if (ready_) CloseHandle(ready_);
}

static std::string SpecialFolder(int folder) {
    char path[MAX_PATH];
    if (FAILED(SHGetFolderPathA(NULL, folder, NULL, 0, path))) return "";
    return path;
}

std::string ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }
std::string CommonProgramsFolder() { return SpecialFolder(CSIDL_COMMON_PROGRAMS); }

Shortcut ReadShortcut(const std::string& linkPath) {
    Shortcut shortcut;
    HRESULT com = CoInitialize(NULL);
    IShellLinkA* link = NULL;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void**)&link))) {
        IPersistFile* file = NULL;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
            WCHAR wide[MAX_PATH];
            char target[MAX_PATH], folder[MAX_PATH], icon[MAX_PATH];
            int iconIndex = 0;
            if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) &&
                SUCCEEDED(file->Load(wide, STGM_READ)) &&
                SUCCEEDED(link->GetPath(target, sizeof target, NULL, 0)) &&
                SUCCEEDED(link->GetWorkingDirectory(folder, sizeof folder)) &&
                SUCCEEDED(link->GetIconLocation(icon, sizeof icon, &iconIndex)))
                shortcut = {target, folder, icon};
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return shortcut;
}

std::string ShortcutTarget(const std::string& linkPath) { return ReadShortcut(linkPath).target; }

}  // namespace robot
