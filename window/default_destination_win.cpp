// The registry reads behind the default destination.
#include <windows.h>

#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/default_destination.h"

// A registry text read into MessageText with room for 255 bytes; 0 when the
// value is missing, is no text, does not fit or names no folder. An
// expandable text is expanded.
static int ReadRegistryText(HKEY key, const char* name) {
    const DWORD limit = MessageTextSize - 1;
    DWORD cb = limit, type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)MessageText, &cb) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || !TerminateRegistryText(MessageText, cb, limit))
        return 0;
    if (type == REG_EXPAND_SZ) {
        char expanded[MessageTextSize];
        DWORD n = ExpandEnvironmentStringsA(MessageText, expanded, sizeof expanded);
        if (n == 0 || n > sizeof expanded || !CopyText(MessageText, MessageTextSize, expanded))
            return 0;
    }
    return UsableFolderText(MessageText);
}

void FindDefaultDestination(void) {
    char perUser[MessageTextSize];
    char programFiles[MessageTextSize];
    int havePerUser = 0, haveProgramFiles = 0;
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, ProductString(PerUserKey, Edition), &key) == ERROR_SUCCESS) {
        havePerUser = ReadRegistryText(key, "Path");
        if (havePerUser) lstrcpyA(perUser, MessageText);
        RegCloseKey(key);
    }
    if (!havePerUser &&
        RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", &key) ==
            ERROR_SUCCESS) {
        haveProgramFiles = ReadRegistryText(key, "ProgramFilesDir");
        if (haveProgramFiles) lstrcpyA(programFiles, MessageText);
        RegCloseKey(key);
    }
    ChooseDefaultDestination(havePerUser ? perUser : NULL, haveProgramFiles ? programFiles : NULL,
                             Edition, MessageText, MessageTextSize);
}
