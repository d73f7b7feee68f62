// The running setup.exe: a library it asks for by name after start-up (as the
// folder browser asks for the common controls) comes from the system folder,
// even when a stranger's copy sits beside setup.exe. The test makes the request
// itself, on a thread inside setup.exe: Wine's own shell resolves its helper
// libraries through a path of its own that ignores the process's setting.
#include <gtest/gtest.h>

#include <string>

#include "robot.h"
// After windows.h, which robot.h brings in.
#include <tlhelp32.h>

using namespace robot;

namespace {

const char* const OverridesKey = "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides";

// Wine prefers its built-in libraries whatever the search finds unless told
// otherwise for the program; setup.exe does not see a changed environment.
struct PlantedPreferred {
    PlantedPreferred() {
        SetRegistryText(HKEY_CURRENT_USER, OverridesKey, "comctl32", "native,builtin");
    }
    ~PlantedPreferred() { DeleteRegistryKey(HKEY_CURRENT_USER, OverridesKey); }
};

struct Running {
    Process process;
    ~Running() { EnsureEnded(process); }
};

// Runs LoadLibraryA(name) on a new thread inside the process: the load then
// follows the process's own search settings. Returns the thread's exit code
// (the low half of the module handle; 0 when the load failed).
DWORD LoadInside(const Process& process, const char* name) {
    SIZE_T size = strlen(name) + 1;
    void* remote = VirtualAllocEx(process.handle, NULL, size, MEM_COMMIT, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process.handle, remote, name, size, NULL)) return 0;
    // kernel32 lies at the same address in every process of the session.
    FARPROC load = GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA");
    HANDLE thread = CreateRemoteThread(
        process.handle, NULL, 0,
        reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)(void)>(load)), remote, 0,
        NULL);
    if (!thread) return 0;
    DWORD code = 0;
    if (WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0) GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    VirtualFreeEx(process.handle, remote, 0, MEM_RELEASE);
    return code;
}

// The folder the process loaded the library of that file name from ("" if
// it has none), lower case.
std::string LoadedFrom(DWORD pid, const std::string& dllName) {
    std::string folder;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return folder;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szModule, dllName.c_str()) == 0) {
            folder = entry.szExePath;
            folder.erase(folder.rfind('\\'));
        }
    CloseHandle(snapshot);
    CharLowerBuffA(&folder[0], (DWORD)folder.size());
    return folder;
}

TEST(SetupDllSearch, LibraryBesideSetupIsPassedOverAfterStartUp) {
    std::string disk = CopyDisk(0, "release-dll");
    ASSERT_FALSE(disk.empty());
    ASSERT_TRUE(CopyFileA(WindowsPath(RELEASE_PROBE_DLL).c_str(), (disk + "\\comctl32.dll").c_str(),
                          FALSE));
    PlantedPreferred preferred;
    Running run;
    run.process = Start(disk + "\\setup.exe");
    ASSERT_TRUE(run.process.handle != NULL);
    HWND window = WaitForSetupWindow(run.process);
    ASSERT_TRUE(window != NULL);
    // The shell comes at its first use, not with the first window. (COM is
    // not asked about: Wine's own libraries bring it in at start.)
    Settle(window);
    EXPECT_EQ("", LoadedFrom(run.process.pid, "shell32.dll"));

    EXPECT_NE(0u, LoadInside(run.process, "comctl32.dll"));
    char system[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    ASSERT_TRUE(length > 0 && length < sizeof system);
    CharLowerBuffA(system, length);
    EXPECT_FALSE(FileExists(disk + "\\comctl32.dll.loaded"));
    EXPECT_EQ(system, LoadedFrom(run.process.pid, "comctl32.dll"));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, WaitForExit(run.process));
}

}  // namespace
