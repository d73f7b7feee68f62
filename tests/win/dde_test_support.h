// Shared by the Program Manager link tests: the setup window, DDE servers of
// the test's own, a message pump, and counters on the platform calls that the
// link makes (the program's import entries are redirected for the test).
#pragma once
#include <windows.h>
#include <dde.h>

#include <string>
#include <vector>

#include "platform/message_pump.h"
#include "progman/progman.h"
#include "window/window.h"

namespace ddetest {

// ---- Import redirection -------------------------------------------------

// Replaces the program's import of dll!function; returns the original entry.
inline void* ReplaceImport(const char* dll, const char* function, void* replacement) {
    BYTE* base = (BYTE*)GetModuleHandleA(NULL);
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress);
         d->Name != 0; ++d) {
        if (lstrcmpiA((const char*)(base + d->Name), dll) != 0) continue;
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            IMAGE_IMPORT_BY_NAME* byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (lstrcmpA((const char*)byName->Name, function) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
            void* original = (void*)slots->u1.Function;
            slots->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
            return original;
        }
    }
    return NULL;
}

// What the link asked of the platform while the counters were installed.
struct PlatformCalls {
    int globalAllocs = 0;
    bool failGlobalAlloc = false;
    std::vector<HGLOBAL> allocated;
    std::vector<HGLOBAL> freed;
    std::vector<UINT> posted;  // message numbers
    bool broadcastToOwnWindowsOnly = false;
};
inline PlatformCalls Calls;

using GlobalAllocCall = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using GlobalFreeCall = HGLOBAL(WINAPI*)(HGLOBAL);
using PostMessageCall = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using SendMessageTimeoutCall = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR);
inline GlobalAllocCall RealGlobalAlloc;
inline SendMessageTimeoutCall RealSendMessageTimeout;
inline GlobalFreeCall RealGlobalFree;
inline PostMessageCall RealPostMessage;

inline HGLOBAL WINAPI CountedGlobalAlloc(UINT flags, SIZE_T size) {
    ++Calls.globalAllocs;
    HGLOBAL memory = Calls.failGlobalAlloc ? NULL : RealGlobalAlloc(flags, size);
    if (memory != NULL) Calls.allocated.push_back(memory);
    return memory;
}
inline HGLOBAL WINAPI CountedGlobalFree(HGLOBAL memory) {
    Calls.freed.push_back(memory);
    return RealGlobalFree(memory);
}
inline BOOL WINAPI CountedPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Calls.posted.push_back(message);
    return RealPostMessage(window, message, wParam, lParam);
}

// With broadcastToOwnWindowsOnly, the initiate reaches only this process's
// windows, as if the desktop had no Program Manager of its own.
inline LRESULT WINAPI FilteredSendMessageTimeout(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT flags, UINT timeout,
                                                 PDWORD_PTR result) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (Calls.broadcastToOwnWindowsOnly && pid != GetCurrentProcessId()) return 0;
    return RealSendMessageTimeout(window, message, wParam, lParam, flags, timeout, result);
}

inline void InstallCounters() {
    if (RealGlobalAlloc != NULL) return;
    RealGlobalAlloc =
        (GlobalAllocCall)ReplaceImport("kernel32.dll", "GlobalAlloc", (void*)CountedGlobalAlloc);
    RealGlobalFree =
        (GlobalFreeCall)ReplaceImport("kernel32.dll", "GlobalFree", (void*)CountedGlobalFree);
    RealPostMessage =
        (PostMessageCall)ReplaceImport("user32.dll", "PostMessageA", (void*)CountedPostMessage);
    RealSendMessageTimeout = (SendMessageTimeoutCall)ReplaceImport(
        "user32.dll", "SendMessageTimeoutA", (void*)FilteredSendMessageTimeout);
}

// ---- Pump ----------------------------------------------------------------

// The program's own pump, as the install procedure runs it while it waits.
inline void Pump(DWORD ms) { PumpMessages(NULL, ms); }

// Pumps until the condition holds or the time is up; returns the condition.
template <class Condition>
bool PumpUntil(Condition condition, DWORD ms = 5000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > ms) return false;
        Pump(10);
    }
    return true;
}

// ---- The setup window -----------------------------------------------------

// A hidden window of class "Setup" run by the program's own window procedure,
// made once for the test program; its acknowledgements go to the link, as
// setup.exe's main procedure has them go.
inline HWND CreateMainWindow() {
    if (MainWindow != NULL) return MainWindow;
    WindowHandlers handlers = {};
    handlers.ddeAcknowledge = OnDdeAcknowledge;
    SetWindowHandlers(&handlers);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SetupWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "Setup";
    RegisterClassA(&wc);
    return CreateWindowA("Setup", "Kellum Setup", WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                         wc.hInstance, NULL);
}

// ---- Servers of the test's own ------------------------------------------

struct ReceivedMessage {
    UINT message;
    HWND from;
    std::string text;  // the command, for an execute
    SIZE_T size = 0;   // of its memory (Wine hands the server a copy)
    UINT flags = 0;
};

struct TestServer {
    HWND window = NULL;
    std::string applicationName, topicName;  // what it answers the initiate with
    bool answers = true;
    bool acknowledges = true;
    WORD ackStatus = 0x8000;  // the execute's DDEACK: accepted
    std::vector<ReceivedMessage> received;

    int Count(UINT message) const {
        int n = 0;
        for (const ReceivedMessage& r : received) n += r.message == message;
        return n;
    }
};

inline LRESULT CALLBACK TestServerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TestServer* server = (TestServer*)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (server == NULL || message < WM_DDE_FIRST || message > WM_DDE_LAST)
        return DefWindowProcA(window, message, wParam, lParam);
    ReceivedMessage r = {message, (HWND)wParam, "", 0, 0};
    if (message == WM_DDE_INITIATE) {
        char application[32] = "", topic[32] = "";
        GlobalGetAtomNameA(LOWORD(lParam), application, sizeof application);
        GlobalGetAtomNameA(HIWORD(lParam), topic, sizeof topic);
        r.text = std::string(application) + "|" + topic;
        server->received.push_back(r);
        if (server->answers)
            SendMessageA((HWND)wParam, WM_DDE_ACK, (WPARAM)window,
                         MAKELPARAM(GlobalAddAtomA(server->applicationName.c_str()),
                                    GlobalAddAtomA(server->topicName.c_str())));
        return 0;
    }
    if (message == WM_DDE_EXECUTE) {
        HGLOBAL memory = (HGLOBAL)lParam;
        r.size = GlobalSize(memory);
        r.flags = GlobalFlags(memory);
        if (const char* text = (const char*)GlobalLock(memory)) {
            r.text.assign(text, strnlen(text, r.size));
            GlobalUnlock(memory);
        }
        server->received.push_back(r);
        if (server->acknowledges)
            PostMessageA((HWND)wParam, WM_DDE_ACK, (WPARAM)window,
                         PackDDElParam(WM_DDE_ACK, server->ackStatus, (UINT_PTR)lParam));
        return 0;
    }
    server->received.push_back(r);
    return 0;
}

// A plain top-level window answering "PROGMAN", made after the desktop's own
// windows so that the broadcast reaches it first.
inline void StartServer(TestServer* server, const std::string& atomSuffix) {
    server->applicationName = "ProgmanTestApp" + atomSuffix;
    server->topicName = "ProgmanTestTopic" + atomSuffix;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TestServerProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "DdeTestServer";
    RegisterClassA(&wc);  // already registered by an earlier test: fine
    server->window = CreateWindowA("DdeTestServer", "", WS_OVERLAPPED, 0, 0, 0, 0, NULL, NULL,
                                   wc.hInstance, NULL);
    SetWindowLongPtrA(server->window, GWLP_USERDATA, (LONG_PTR)server);
}

inline void StopServer(TestServer* server) {
    if (server->window != NULL && IsWindow(server->window)) DestroyWindow(server->window);
    server->window = NULL;
}

inline bool AtomExists(const std::string& name) { return GlobalFindAtomA(name.c_str()) != 0; }

// Back to the idle link between tests.
inline void ResetLink() {
    ForgetProgramManager();
    Calls = PlatformCalls();
}

}  // namespace ddetest
