#include "window/layout.h"

#include "tables/bounded_text.h"
#include "tables/tables.h"

int PanelLeftFor(int workAreaWidth) { return workAreaWidth / 2 - 20; }
int PanelTopFor(int workAreaHeight) { return workAreaHeight / 2 + 12; }

SetupLayout ComputeLayout(int workAreaWidth, int workAreaHeight, int captionHeight) {
    SetupLayout l;
    l.panelLeft = PanelLeftFor(workAreaWidth);
    l.panelTop = PanelTopFor(workAreaHeight);
    l.destinationEdit = {l.panelLeft + 23, l.panelTop + 20 + captionHeight, 187, 17};
    for (int id = 1; id <= 3; ++id)
        l.pushButtons[id - 1] = {l.panelLeft + 23 + 121 * (id - 1),
                                 l.panelTop + 50 + captionHeight, 102, 26};
    l.browseMoved = {l.panelLeft + 211, l.panelTop + 19 + captionHeight, 35, 20};
    for (int i = 0; i < 8; ++i)
        l.languageButtons[i] = {l.panelLeft + 24 + 76 * (i % 3),
                                workAreaHeight - 130 + 30 * (i / 3), 70, 21};
    return l;
}

void ChooseDefaultDestination(const char* perUserPath, const char* programFilesDir,
                              int edition, char* out, int size) {
    if (perUserPath && CopyText(out, size, perUserPath)) return;
    if (programFilesDir && CopyText(out, size, programFilesDir) &&
        AppendText(out, size, ProductString(DefaultSubFolder, edition)))
        return;
    if (!CopyText(out, size, ProductString(FallbackFolder, edition)) && size > 0) out[0] = 0;
}

int TerminateRegistryText(char* buffer, unsigned long cb, unsigned long limit) {
    if (cb > limit) return 0;
    for (unsigned long i = 0; i < cb; ++i)
        if (buffer[i] == '\0') return 1;
    // No terminator in the data: a full read means the text did not fit.
    if (cb == limit) return 0;
    buffer[cb] = '\0';
    return 1;
}
