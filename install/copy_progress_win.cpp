// The copy's progress box, drawn by the program itself in system colours (which
// every palette keeps), and the taskbar button's bar through ITaskbarList3,
// which COM provides on newer systems only.
#include <windows.h>
#include <shobjidl.h>

#include "install/copy.h"
#include "platform/system_calls.h"
#include "tables/bounded_text.h"
#include "window/layout.h"
#include "window/window.h"

enum {
    TaskbarSteps = 1000,
    CopyProgressId = 4,  // after the push buttons; 0 is the field's
};

static const char BoxClass[] = "SetupProgress";

static struct {
    int active;
    HWND box;
    CopyTotals totals;
    // All from the current file's row: the bytes of the copied rows before
    // it, its own, its number among them; and its bytes copied so far.
    uint64_t doneBytes, fileBytes, fileDone;
    int fileNumber;
    char name[PathBufferSize];
    char count[CopyCountSize];
    int shownFill, shownSteps;
    ITaskbarList3* taskbar;
} Progress;

static uint64_t BytesDone(void) { return Progress.doneBytes + Progress.fileDone; }

static void PaintBox(HWND box) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(box, &ps);
    RECT all;
    GetClientRect(box, &all);
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &all, GetSysColorBrush(COLOR_BTNSHADOW));
    // The controls' font and the window's DPI: the box reads like its neighbours.
    const ProgressBoxInside in = Geometry.layout.progressInside;
    HFONT font = Geometry.controlFont;
    HGDIOBJ kept = SelectObject(dc, font ? font : GetStockObject(ANSI_VAR_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const UINT line = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    RECT text = {in.margin, in.margin, all.right - in.margin, in.margin + in.lineHeight};
    RECT count = text;
    DrawTextA(dc, Progress.count, -1, &count, line | DT_CALCRECT);
    DrawTextA(dc, Progress.count, -1, &text, line | DT_RIGHT);
    text.right -= (count.right - count.left) + in.margin;
    DrawTextA(dc, Progress.name, -1, &text, line | DT_END_ELLIPSIS);
    SelectObject(dc, kept);
    RECT bar = {in.margin, in.barTop, all.right - in.margin, all.bottom - in.margin};
    FrameRect(dc, &bar, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&bar, -1, -1);
    bar.right = bar.left + ProgressFill(BytesDone(), Progress.totals.bytes, bar.right - bar.left);
    FillRect(dc, &bar, GetSysColorBrush(COLOR_HIGHLIGHT));
    EndPaint(box, &ps);
}

static LRESULT CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PaintBox(box);
        return 0;
    }
    return DefWindowProcA(box, message, wParam, lParam);
}

// After a DPI change the box takes its place anew, or goes where the window
// no longer has room for it (the taskbar's bar goes on).
static void PlaceBox(void) {
    if (!Progress.box) return;
    LayoutRect r = Geometry.layout.progressBox;
    if (r.width <= 0) {
        DestroyWindow(Progress.box);
        Progress.box = NULL;
        return;
    }
    MoveWindow(Progress.box, r.x, r.y, r.width, r.height, FALSE);
    InvalidateRect(Progress.box, NULL, FALSE);
}

static void CreateBox(void) {
    LayoutRect r = Geometry.layout.progressBox;
    if (r.width <= 0) return;  // no room on this screen: the taskbar alone shows it
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BoxProc;
    wc.hInstance = ModuleInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_WAIT);
    wc.lpszClassName = BoxClass;
    RegisterClassA(&wc);  // fails harmlessly when registered by an earlier run
    // Without a box the copy goes on unseen, as before there was one.
    Progress.box = CreateWindowExA(WS_EX_NOPARENTNOTIFY, BoxClass, "", WS_CHILD | WS_VISIBLE, r.x,
                                   r.y, r.width, r.height, MainWindow,
                                   (HMENU)(INT_PTR)CopyProgressId, ModuleInstance, NULL);
}

// The box's text, as a screen reader or a test reads it: name and count.
static void ShowFile(void) {
    if (!FormatCopyCount(Progress.fileNumber, Progress.totals.files, Progress.count,
                         sizeof Progress.count))
        Progress.count[0] = 0;
    if (!Progress.box) return;
    char text[PathBufferSize + CopyCountSize];
    if (JoinTexts(text, sizeof text, Progress.name, "  ") &&
        AppendText(text, sizeof text, Progress.count))
        SetWindowTextA(Progress.box, text);
    InvalidateRect(Progress.box, NULL, FALSE);
}

static void ShowBytes(void) {
    if (Progress.box) {
        RECT all;
        GetClientRect(Progress.box, &all);
        int margin = Geometry.layout.progressInside.margin;
        int fill = ProgressFill(BytesDone(), Progress.totals.bytes, all.right - 2 * margin);
        if (fill != Progress.shownFill) InvalidateRect(Progress.box, NULL, FALSE);
        Progress.shownFill = fill;
    }
    int steps = ProgressFill(BytesDone(), Progress.totals.bytes, TaskbarSteps);
    if (Progress.taskbar && steps != Progress.shownSteps)
        Progress.taskbar->SetProgressValue(MainWindow, (ULONGLONG)steps, TaskbarSteps);
    Progress.shownSteps = steps;
}

static void StartTaskbarProgress(void) {
    if (!UseCom()) return;
    ITaskbarList3* taskbar = NULL;
    // Older systems (and Wine without a taskbar) have no such object: no bar.
    if (FAILED(LateCoCreateInstance(__uuidof(TaskbarList), CLSCTX_INPROC_SERVER,
                                    __uuidof(ITaskbarList3), (void**)&taskbar)) ||
        !taskbar)
        return;
    if (FAILED(taskbar->HrInit())) {
        taskbar->Release();
        return;
    }
    Progress.taskbar = taskbar;
    taskbar->SetProgressState(MainWindow, TBPF_NORMAL);
}

static void StopTaskbarProgress(void) {
    if (Progress.taskbar) {
        Progress.taskbar->SetProgressState(MainWindow, TBPF_NOPROGRESS);
        Progress.taskbar->Release();
        Progress.taskbar = NULL;
    }
}

void BeginCopyProgress(struct CopyTotals totals) {
    EndCopyProgress();
    ZeroMemory(&Progress, sizeof Progress);
    Progress.active = 1;
    Progress.totals = totals;
    Progress.shownFill = Progress.shownSteps = -1;
    CreateBox();
    SetRescaleNotice(PlaceBox);
    StartTaskbarProgress();
    ShowBytes();
}

void NoteCopyStarted(const struct PlannedFile* file, const char* shownName) {
    if (!Progress.active) return;
    Progress.doneBytes = file->bytesBefore;
    // A row the plan does not copy (a missing file retried) adds no bytes.
    Progress.fileBytes = file->action == CopyRow ? file->size : 0;
    Progress.fileDone = 0;
    Progress.fileNumber = file->copyNumber;
    if (!CopyText(Progress.name, sizeof Progress.name, shownName)) Progress.name[0] = 0;
    ShowFile();
    ShowBytes();
}

void NoteCopyTransferred(uint64_t bytes) {
    if (!Progress.active) return;
    // The survey's size holds: a file that grew since fills no more than its row.
    Progress.fileDone = bytes < Progress.fileBytes ? bytes : Progress.fileBytes;
    ShowBytes();
}

void EndCopyProgress(void) {
    if (!Progress.active) return;
    Progress.active = 0;
    SetRescaleNotice(NULL);
    // The banner's copy-back repaints what the box covered.
    if (Progress.box) DestroyWindow(Progress.box);
    Progress.box = NULL;
    StopTaskbarProgress();
}
