// Stays on Wine's desktop for a whole test session. Wine closes a desktop a
// second after its last program has left and opens a new one for the next:
// a program starting in that moment can lose its desktop, and with it every
// window it makes. The session's `wineserver -k` ends it. It says when it
// holds the desktop: the session waits for that line.
#include <stdio.h>
#include <windows.h>

int main(void) {
    // A message-only window: it holds the desktop without being one of the
    // top-level windows a DDE broadcast or a test walks through.
    HWND window = CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    if (window == NULL) return 1;
    puts("holding the desktop");
    fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
