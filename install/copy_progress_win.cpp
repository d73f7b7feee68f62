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

// A wide window: names the ANSI code page cannot hold are shown as they are.
static const WCHAR BoxClass[] = L"SetupProgress";

static struct {
    int active;
    int counting;  // the totals are known
    HWND box;
    CopyTotals totals;
    // All from the current file's row: the bytes of the copied rows before
    // it, its own, its number among them; and its bytes copied so far.
    uint64_t doneBytes, fileBytes, fileDone;
    int fileNumber;
    WCHAR name[PathBufferSize];
    WCHAR count[CopyCountSize];
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
    DrawTextW(dc, Progress.count, -1, &count, line | DT_CALCRECT);
    DrawTextW(dc, Progress.count, -1, &text, line | DT_RIGHT);
    text.right -= (count.right - count.left) + in.margin;
    DrawTextW(dc, Progress.name, -1, &text, line | DT_END_ELLIPSIS);
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
    return DefWindowProcW(box, message, wParam, lParam);
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
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BoxProc;
    wc.hInstance = ModuleInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_WAIT);
    wc.lpszClassName = BoxClass;
    RegisterClassW(&wc);  // fails harmlessly when registered by an earlier run
    // Without a box the copy goes on unseen, as before there was one.
    Progress.box = CreateWindowExW(WS_EX_NOPARENTNOTIFY, BoxClass, L"", WS_CHILD | WS_VISIBLE, r.x,
                                   r.y, r.width, r.height, MainWindow,
                                   (HMENU)(INT_PTR)CopyProgressId, ModuleInstance, NULL);
    // Drawn at once: the window's thread surveys the disk before it pumps again.
    if (Progress.box) UpdateWindow(Progress.box);
}

// The box's text, as a screen reader or a test reads it: name and count.
static void ShowFile(void) {
    char count[CopyCountSize] = "";
    if (Progress.counting)
        FormatCopyCount(Progress.fileNumber, Progress.totals.files, count, sizeof count);
    // The count's digits, slash and spaces are the same in every code page.
    int n = 0;
    for (; count[n]; ++n) Progress.count[n] = (WCHAR)count[n];
    Progress.count[n] = 0;
    if (!Progress.box) return;
    WCHAR text[PathBufferSize + CopyCountSize + 2];
    lstrcpyW(text, Progress.name);  // both fit: the sizes above
    lstrcatW(text, L"  ");
    lstrcatW(text, Progress.count);
    SetWindowTextW(Progress.box, text);
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

void BeginCopyProgress(void) {
    EndCopyProgress();
    ZeroMemory(&Progress, sizeof Progress);
    Progress.active = 1;
    Progress.shownFill = Progress.shownSteps = -1;
    CreateBox();
    SetRescaleNotice(PlaceBox);
    StartTaskbarProgress();
    ShowBytes();
}

void SetCopyTotals(struct CopyTotals totals) {
    if (!Progress.active) return;
    Progress.totals = totals;
    Progress.counting = 1;
    ShowFile();
    ShowBytes();
}

// The row's file name, wide: the disk's names are UTF-8 where utf8Name says so.
static void TakeName(const struct PlannedFile* file) {
    UINT codePage = file->utf8Name ? CP_UTF8 : CP_ACP;
    if (!MultiByteToWideChar(codePage, 0, FileNameOf(file->source), -1, Progress.name,
                             PathBufferSize))
        Progress.name[0] = 0;  // no text in its encoding: the count alone
}

void NoteCopyStarted(const struct PlannedFile* file) {
    if (!Progress.active) return;
    Progress.doneBytes = file->bytesBefore;
    // A row the plan does not copy (a missing file retried) adds no bytes.
    Progress.fileBytes = file->action == CopyRow ? file->size : 0;
    Progress.fileDone = 0;
    Progress.fileNumber = file->copyNumber;
    TakeName(file);
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
