// The session's end while installing: the window procedure refuses it, and
// the system is given the reason to show where it asks for one.
#include "install/install.h"
#include "platform/system_calls.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"
#include "window/window.h"

static int Blocked;

void BlockSessionEnd(void) {
    BOOL(WINAPI * create)(HWND, LPCWSTR);
    char reason[64];
    WCHAR wide[64];
    // Looked up by name: older systems have no such call.
    if (!FindSystemProcedure(&create, CallShutdownBlockReasonCreate) ||
        !JoinTexts(reason, sizeof reason, "Installing ", ProductString(ProductName, Edition)) ||
        !MultiByteToWideChar(1252, 0, reason, -1, wide, sizeof wide / sizeof wide[0]))
        return;  // the refusal stands without a reason
    Blocked = create(MainWindow, wide) != 0;
}

void UnblockSessionEnd(void) {
    BOOL(WINAPI * destroy)(HWND);
    if (!Blocked || !FindSystemProcedure(&destroy, CallShutdownBlockReasonDestroy)) return;
    destroy(MainWindow);  // a failure leaves only the reason behind
    Blocked = 0;
}
