// The registry reads behind the default destination.
#include <windows.h>

#include "platform/user_hive.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/default_destination.h"

// A registry text read into text (size bytes); 0 when the value is missing,
// is no text, does not fit or names no folder. An expandable text is expanded.
static int ReadRegistryText(HKEY key, const char* name, char* text, int size) {
    const DWORD limit = (DWORD)size - 1;
    DWORD cb = limit, type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)text, &cb) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || !TerminateRegistryText(text, cb, limit))
        return 0;
    if (type == REG_EXPAND_SZ) {
        char expanded[DefaultDestinationSize];
        DWORD n = ExpandEnvironmentStringsA(text, expanded, sizeof expanded);
        if (n == 0 || n > sizeof expanded || !CopyText(text, size, expanded)) return 0;
    }
    return UsableFolderText(text);
}

void FindDefaultDestination(char* out, int size) {
    char perUser[DefaultDestinationSize];
    char programFiles[DefaultDestinationSize];
    int havePerUser = 0, haveProgramFiles = 0;
    HKEY key;
    if (OpenPerUserKey(ProductString(PerUserKey, Edition), 0, &key) == ERROR_SUCCESS) {
        havePerUser = ReadRegistryText(key, "Path", perUser, sizeof perUser);
        RegCloseKey(key);
    }
    // Read even beside a per-user path: the choice may refuse that one.
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", &key) ==
        ERROR_SUCCESS) {
        haveProgramFiles =
            ReadRegistryText(key, "ProgramFilesDir", programFiles, sizeof programFiles);
        RegCloseKey(key);
    }
    ChooseDefaultDestination(havePerUser ? perUser : NULL, haveProgramFiles ? programFiles : NULL,
                             Edition, out, size);
}
