// The session's end while installing: the window procedure refuses it, and
// the system is given the reason to show where it asks for one.
#include "install/install.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

typedef BOOL(WINAPI* BlockReasonCreateCall)(HWND, LPCWSTR);
typedef BOOL(WINAPI* BlockReasonDestroyCall)(HWND);

// Looked up by name: older systems have neither call.
static FARPROC User32Call(const char* name) {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? GetProcAddress(user, name) : NULL;
}

static int Blocked;

void BlockSessionEnd(void) {
    FARPROC found = User32Call("ShutdownBlockReasonCreate");
    char reason[64];
    WCHAR wide[64];
    if (!found ||
        !JoinTexts(reason, sizeof reason, "Installing ", ProductString(ProductName, Edition)) ||
        !MultiByteToWideChar(1252, 0, reason, -1, wide, sizeof wide / sizeof wide[0]))
        return;  // the refusal stands without a reason
    BlockReasonCreateCall create =
        reinterpret_cast<BlockReasonCreateCall>(reinterpret_cast<void (*)(void)>(found));
    Blocked = create(MainWindow, wide) != 0;
}

void UnblockSessionEnd(void) {
    FARPROC found = User32Call("ShutdownBlockReasonDestroy");
    if (!Blocked || !found) return;
    BlockReasonDestroyCall destroy =
        reinterpret_cast<BlockReasonDestroyCall>(reinterpret_cast<void (*)(void)>(found));
    destroy(MainWindow);  // a failure leaves only the reason behind
    Blocked = 0;
}
