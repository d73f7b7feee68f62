// Where libraries loaded after start-up may come from.
#include "startup/startup.h"
#include "tables/bounded_text.h"

// A setup program often runs from a download folder that also holds files a
// stranger put there. Libraries loaded late (by the shell's folder browser, for
// example) must come from the system folder, not from beside setup.exe. The
// call is looked up by name because older systems lack it; there the current
// folder at least is taken out of the search. A failure of either leaves the
// ordinary search in place, which is all those systems offer.
void RestrictDllSearch(void) {
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesCall)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC found = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : NULL;
    if (found) {
        SetDefaultDllDirectoriesCall setDefault =
            reinterpret_cast<SetDefaultDllDirectoriesCall>(reinterpret_cast<void (*)(void)>(found));
        if (setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    }
    SetDllDirectoryA("");
}

FARPROC SystemProcedure(const char* library, const char* procedure) {
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, sizeof path);
    if (n == 0 || n >= sizeof path || !AppendText(path, sizeof path, "\\") ||
        !AppendText(path, sizeof path, library))
        return NULL;
    // Stays loaded for the rest of the run: its procedures are kept by callers.
    HMODULE module = LoadLibraryA(path);
    return module ? GetProcAddress(module, procedure) : NULL;
}
