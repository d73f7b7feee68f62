// The system's sentence for an error code, as the failed-copy box shows it.
#include "install/system_error.h"
#include "tables/tables.h"

void SystemErrorText(DWORD code) {
    // Inserts such as %1 stay as they stand: no arguments are supplied.
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code,
                             0, MessageText, MessageTextSize - 1, NULL);
    if (n >= MessageTextSize) n = 0;
    MessageText[LengthWithoutTrailingControls(MessageText, (int)n)] = 0;
}
