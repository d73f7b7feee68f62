// Whose hive the per-user settings go in: setup's token user against the
// desktop shell's.
#include <windows.h>
#include <sddl.h>

#include "platform/system_calls.h"
#include "platform/user_hive.h"
#include "tables/bounded_text.h"

// A SID as text is at most "S-1-" and 15 sub-authorities of 10 digits; the
// key name under HKEY_USERS adds the per-user key.
enum { SidTextSize = 192, UserKeyNameSize = 256 };

// The process's user as a SID text; 0 when it cannot be read (no access to
// another account's process): the account is then unknown.
static int ProcessUserSid(HANDLE process, char* out, int size) {
    HANDLE token;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return 0;
    union {
        TOKEN_USER user;
        BYTE room[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } info;
    DWORD got = 0;
    char* text = NULL;
    int read = GetTokenInformation(token, TokenUser, &info, sizeof info, &got) &&
               ConvertSidToStringSidA(info.user.User.Sid, &text) && CopyText(out, size, text);
    if (text) LocalFree(text);
    CloseHandle(token);
    return read;
}

// The desktop shell's user: the signed-in user; 0 without a shell window.
static int ShellUserSid(char* out, int size) {
    DWORD id = 0;
    HWND shell = GetShellWindow();
    if (!shell || !GetWindowThreadProcessId(shell, &id) || !id) return 0;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return 0;
    int read = ProcessUserSid(process, out, size);
    CloseHandle(process);
    return read;
}

LONG OpenPerUserKey(const char* key, int create, HKEY* opened) {
    char token[SidTextSize] = "", shell[SidTextSize] = "", name[UserKeyNameSize];
    int elevated = RunningElevated();
    // Only an elevated setup asks; an account that cannot be read stays unknown.
    if (elevated) {
        ProcessUserSid(GetCurrentProcess(), token, sizeof token);
        ShellUserSid(shell, sizeof shell);
    }
    HKEY root = HKEY_CURRENT_USER;
    const char* path = key;
    if (ChooseUserHive(elevated, token, shell) == SignedInUserHive &&
        UserHiveKeyName(shell, key, name, sizeof name)) {
        root = HKEY_USERS;
        path = name;
    }
    return create ? RegCreateKeyA(root, path, opened) : RegOpenKeyA(root, path, opened);
}
