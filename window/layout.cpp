#include "window/layout.h"

int PanelLeftFor(int workAreaWidth) { return workAreaWidth / 2 - 20; }
int PanelTopFor(int workAreaHeight) { return workAreaHeight / 2 + 12; }

SetupLayout ComputeLayout(int workAreaWidth, int workAreaHeight, int captionHeight) {
    SetupLayout l;
    l.panelLeft = PanelLeftFor(workAreaWidth);
    l.panelTop = PanelTopFor(workAreaHeight);
    l.destinationEdit = {l.panelLeft + 23, l.panelTop + 20 + captionHeight, 187, 17};
    for (int id = 1; id <= 3; ++id)
        l.pushButtons[id - 1] = {l.panelLeft + 23 + 121 * (id - 1), l.panelTop + 50 + captionHeight,
                                 102, 26};
    l.browseMoved = {l.panelLeft + 211, l.panelTop + 19 + captionHeight, 35, 20};
    for (int i = 0; i < 8; ++i)
        l.languageButtons[i] = {l.panelLeft + 24 + 76 * (i % 3),
                                workAreaHeight - 130 + 30 * (i / 3), 70, 21};
    enum { Gap = 14, BoxHeight = 40 };
    LayoutRect ok = l.pushButtons[0], cancel = l.pushButtons[1];
    l.progressBox = {ok.x, ok.y + ok.height + Gap, cancel.x + cancel.width - ok.x, BoxHeight};
    if (l.progressBox.y + BoxHeight + Gap > l.languageButtons[0].y) l.progressBox = {0, 0, 0, 0};
    return l;
}
