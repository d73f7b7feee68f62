// The system's sentence for an error code, as the failed-copy box shows it.
#include "platform/system_error.h"

void SystemErrorText(DWORD code, char* out, int size) {
    if (size <= 0) return;
    // Inserts such as %1 stay as they stand: no arguments are supplied.
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code,
                             0, out, (DWORD)size - 1, NULL);
    if (n >= (DWORD)size) n = 0;
    out[LengthWithoutTrailingControls(out, (int)n)] = 0;
}
