// What the install records after the copy: the shortcut, the uninstall entry,
// the per-user path and the language marker.
#include "install/install_tables.h"
#include "install/registration.h"
#include "platform/user_hive.h"
#include "progman/progman.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

int HandOverShortcut(const char* addItemCommand, const char* programPath,
                     const char* destinationPath) {
    int made = 0;
    if (ConnectProgramManager(MainWindow)) {
        made = WaitForProgramManager() && PostProgramCommand(addItemCommand) &&
               WaitForExecuteAcknowledge();
        DisconnectProgramManager();
    }
    return made || CreateOwnShortcut(programPath, destinationPath);
}

static LONG SetRegistryValue(HKEY key, const struct UninstallValue* value) {
    if (value->text == NULL)
        return RegSetValueExA(key, value->name, 0, REG_DWORD, (const BYTE*)value->number,
                              sizeof *value->number);
    return RegSetValueExA(key, value->name, 0, REG_SZ, (const BYTE*)value->text,
                          (DWORD)TextLength(value->text) + 1);
}

// A key that cannot take the name and the command is removed again.
void WriteUninstallEntry(const struct UninstallEntry* entry) {
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, entry->keyName, &key) != ERROR_SUCCESS) return;
    int usable = SetRegistryValue(key, &entry->values[0]) == ERROR_SUCCESS &&
                 SetRegistryValue(key, &entry->values[1]) == ERROR_SUCCESS;
    // The rest only describe the entry: one that cannot be written is passed over.
    for (int i = 2; usable && i < UninstallValueCount; ++i)
        SetRegistryValue(key, &entry->values[i]);
    RegCloseKey(key);
    if (!usable) RegDeleteKeyA(HKEY_LOCAL_MACHINE, entry->keyName);
}

// A marker of an earlier run in another language would make the product
// start in that language. One that cannot be removed is passed over.
static void RemoveOtherLanguageMarkers(const char* destinationPath, const char* markerPath) {
    for (int language = 0; language < MarkerLanguageCount; ++language) {
        const char* name = MarkerName(language);
        char path[PathBufferSize];
        if (!name || !JoinTexts(path, sizeof path, destinationPath, name) ||
            EqualIgnoringCase(path, markerPath))
            continue;
        // A read-only marker goes too; both calls fail harmlessly where there is none.
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    }
}

void WriteLanguageMarker(const char* destinationPath, const char* markerPath) {
    RemoveOtherLanguageMarkers(destinationPath, markerPath);
    if (!markerPath[0]) return;
    // An empty normal file; an existing one is cut to length 0. Not reported.
    HANDLE file =
        CreateFileA(markerPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

void WritePerUserPath(int edition, const char* value) {
    HKEY key;
    if (OpenPerUserKey(ProductString(PerUserKey, edition), 1, &key) != ERROR_SUCCESS) return;
    // Optional: a value that cannot be written is passed over.
    struct UninstallValue path = {"Path", value, 0};
    SetRegistryValue(key, &path);
    RegCloseKey(key);
}
