// The benchmark robot: starts setup.exe and times it from outside, and copies
// a product set file by file as the plain yardstick for the install.
//   bench_robot startup <setup.exe> <runs>      start-up to end of first paint,
//                            in turn with the bare window below
//   bench_robot paint <setup.exe> <runs>        full repaint and copy-back
//   bench_robot install <setup.exe> <destination>
//   bench_robot copy <source folder> <destination folder>
//   bench_robot answers <setup.exe> <destination>   the longest WM_NULL round
//                            trip while idle, then during an install
//   bench_robot pauses       24 pauses of 10 ms the way setup.exe pumps them
//   bench_robot boxes        how long system question boxes take to come and go
//   bench_robot blank        a bare window of the same class, size and fonts,
//                            painted once: Wine's own start-up floor
// Every figure goes to standard output as "name value" lines, in milliseconds
// or bytes; run.sh collects them.
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

namespace {

double Now() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The program under measure; a failed run ends it, or it would hold the
// benchmark's output pipe open.
HANDLE Measured;

[[noreturn]] void Fail(const char* what) {
    fprintf(stderr, "bench_robot: %s (error %lu)\n", what, GetLastError());
    fflush(stdout);
    if (Measured) TerminateProcess(Measured, 2);
    exit(2);
}

PROCESS_INFORMATION StartProgram(const char* exe, const char* arguments = "") {
    char folder[MAX_PATH];
    if (lstrlenA(exe) >= MAX_PATH) Fail("program path too long");
    lstrcpyA(folder, exe);
    char* slash = strrchr(folder, '\\');
    if (slash) *slash = 0;
    char commandLine[2 * MAX_PATH];
    snprintf(commandLine, sizeof commandLine, "\"%s\" %s", exe, arguments);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(exe, commandLine, NULL, NULL, FALSE, 0, NULL, slash ? folder : NULL, &si,
                        &pi))
        Fail("cannot start the program");
    CloseHandle(pi.hThread);
    Measured = pi.hProcess;
    return pi;
}

struct WindowSearch {
    DWORD pid;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    WindowSearch* search = (WindowSearch*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64];
    if (pid == search->pid && IsWindowVisible(window) && GetClassNameA(window, cls, sizeof cls) &&
        lstrcmpA(cls, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleWindow(DWORD pid, const char* className) {
    WindowSearch search = {pid, className, NULL};
    EnumWindows(MatchWindow, (LPARAM)&search);
    return search.found;
}

// Polls every millisecond; NULL after the timeout or when the process ended.
HWND WaitForVisibleWindow(const PROCESS_INFORMATION& pi, const char* className,
                          DWORD timeoutMs = 30000, DWORD pollMs = 1) {
    double end = Now() + timeoutMs;
    while (Now() < end) {
        HWND window = VisibleWindow(pi.dwProcessId, className);
        if (window) return window;
        if (WaitForSingleObject(pi.hProcess, pollMs) == WAIT_OBJECT_0) return NULL;
    }
    return NULL;
}

// Returns once the program's thread has handled everything sent before.
bool RoundTrip(HWND window) {
    DWORD_PTR result;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
}

// The end of the first full paint: the window is shown, its update region has
// been taken by BeginPaint, and the thread is back in its loop, so the paint
// procedure has returned.
HWND WaitForFirstPaint(const PROCESS_INFORMATION& pi) {
    HWND window = WaitForVisibleWindow(pi, "Setup");
    if (!window) Fail("no setup window");
    double end = Now() + 30000;
    while (GetUpdateRect(window, NULL, FALSE)) {
        if (Now() > end) Fail("the window was never painted");
        Sleep(1);
    }
    if (!RoundTrip(window)) Fail("the window does not answer");
    return window;
}

// After a full paint the controls paint themselves again; wait for them too.
// The panel's controls come right after the first paint: waits for the last
// language button, then for every control to have painted.
void WaitForControls(HWND window) {
    for (int round = 0; round < 1000 && !GetDlgItem(window, 105); ++round) Sleep(1);
    for (int round = 0; round < 1000; ++round) {
        int pending = 0;
        for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            pending |= GetUpdateRect(c, NULL, FALSE);
        if (!pending) break;
        Sleep(1);
    }
    RoundTrip(window);
}

// The banner's gradient is blue: a pixel near the top left corner shows it.
bool BannerPainted(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(NULL);
    COLORREF c = GetPixel(screen, r.left + 4, r.top + 4);
    ReleaseDC(NULL, screen);
    return c != CLR_INVALID && GetBValue(c) > 100 && GetRValue(c) < GetBValue(c);
}

void CloseProgram(PROCESS_INFORMATION& pi, HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
}

// One start: to the end of the first paint, and for setup.exe to its controls.
void Startup(const char* exe, const char* arguments, const char* name) {
    double start = Now();
    PROCESS_INFORMATION pi = StartProgram(exe, arguments);
    HWND window = WaitForFirstPaint(pi);
    double ms = Now() - start;
    printf("%s %.2f\n", name, ms);
    if (!*arguments) {  // the bare window has no controls
        WaitForControls(window);
        printf("controls_ms %.2f\n", Now() - start);
    }
    // Not timed: Wine shows the window's drawing on the screen a little later.
    int painted = 0;
    for (int wait = 0; wait < 100 && !painted; ++wait) {
        painted = BannerPainted(window);
        if (!painted) Sleep(10);
    }
    if (!painted) printf("warning the banner's blue never reached the screen\n");
    fflush(stdout);
    CloseProgram(pi, window);
    Sleep(300);  // let the desktop settle between runs
}

// Paints the window now, in the program's thread, and waits for it: the
// WM_PAINT is sent, so the call returns when the paint procedure has.
double TimedRedraw(HWND window) {
    double start = Now();
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
    return Now() - start;
}

int Paint(const char* exe, int runs) {
    PROCESS_INFORMATION pi = StartProgram(exe);
    HWND window = WaitForFirstPaint(pi);
    WaitForControls(window);
    HWND german = GetDlgItem(window, 100), english = GetDlgItem(window, 101);
    if (!german || !english) Fail("no language buttons");
    std::vector<double> trips, copies, fulls;
    for (int run = 0; run < runs; ++run) {
        double start = Now();
        RoundTrip(window);
        trips.push_back(Now() - start);
        WaitForControls(window);
        copies.push_back(TimedRedraw(window));
        if (GetUpdateRect(window, NULL, FALSE)) Fail("the redraw did not paint");
        // A language switch makes the next paint a full one.
        DWORD_PTR result;
        SendMessageTimeoutA(run % 2 ? english : german, BM_CLICK, 0, 0, SMTO_NORMAL, 10000,
                            &result);
        RoundTrip(window);
        fulls.push_back(TimedRedraw(window));
    }
    double trip = Median(trips);
    printf("roundtrip_ms %.3f\n", trip);
    printf("copyback_raw_ms %.3f\n", Median(copies));
    printf("full_raw_ms %.3f\n", Median(fulls));
    printf("copyback_ms %.3f\n", std::max(0.0, Median(copies) - trip));
    printf("full_ms %.3f\n", std::max(0.0, Median(fulls) - trip));
    CloseProgram(pi, window);
    return 0;
}

// The next message box of the process; the time it was first seen in *seen.
// Polled every 5 ms: the robot must not crowd the Wine server the install uses.
HWND WaitForBox(const PROCESS_INFORMATION& pi, double* seen) {
    HWND box = WaitForVisibleWindow(pi, "#32770", 600000, 5);
    *seen = Now();
    if (!box) Fail("no message box");
    return box;
}

void AnswerBox(HWND box, int id) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
    double end = Now() + 5000;
    while (IsWindow(box) && Now() < end) Sleep(1);
}

// Enters the destination and presses OK; returns the install question.
HWND PressOk(const PROCESS_INFORMATION& pi, HWND window, const char* destination) {
    WaitForControls(window);
    HWND edit = FindWindowExA(window, NULL, "Edit", NULL);
    HWND ok = GetDlgItem(window, IDOK);
    if (!edit || !ok) Fail("no destination field or OK button");
    DWORD_PTR result;
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, (LPARAM)destination, SMTO_NORMAL, 10000, &result);
    PostMessageA(ok, BM_CLICK, 0, 0);
    double seen;
    HWND question = WaitForBox(pi, &seen);
    Sleep(100);  // the box finishes its set-up
    return question;
}

// Install question Yes, shortcut and run questions No. The install time runs
// from the Yes to the shortcut question, which follows the last copy; the
// copy phase from the destination folder's appearance to that question.
int Install(const char* exe, const char* destination) {
    PROCESS_INFORMATION pi = StartProgram(exe);
    HWND window = WaitForFirstPaint(pi);
    HWND question = PressOk(pi, window, destination);
    double seen, start = Now();
    AnswerBox(question, IDYES);
    // Where the time goes: the folder's appearance, the last file's, the box.
    char lastFile[MAX_PATH];
    snprintf(lastFile, sizeof lastFile, "%s\\viewer\\vview.txt", destination);
    double folderSeen = 0, lastSeen = 0, end = Now() + 600000;
    HWND shortcut = NULL;
    while (!shortcut && Now() < end) {
        if (!folderSeen && GetFileAttributesA(destination) != INVALID_FILE_ATTRIBUTES)
            folderSeen = Now();
        if (!lastSeen && GetFileAttributesA(lastFile) != INVALID_FILE_ATTRIBUTES) lastSeen = Now();
        shortcut = VisibleWindow(pi.dwProcessId, "#32770");
        if (!shortcut) Sleep(10);  // faster would crowd the Wine server the install uses
    }
    if (!shortcut) Fail("no shortcut question");
    double copied = Now();
    // Wine's message box takes about two seconds to return once answered
    // (see "boxes"), so the copies are timed from the folder's appearance.
    if (folderSeen) printf("copy_phase_ms %.2f\n", copied - folderSeen);
    if (lastSeen) printf("last_file_seen_ms %.2f\n", lastSeen - start);
    char caption[64] = "";
    GetWindowTextA(shortcut, caption, sizeof caption);
    Sleep(100);
    AnswerBox(shortcut, IDNO);
    HWND run = WaitForBox(pi, &seen);
    Sleep(100);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(pi.hProcess, &memory, sizeof memory))
        printf("peak_working_set_bytes %llu\n", (unsigned long long)memory.PeakWorkingSetSize);
    AnswerBox(run, IDNO);
    DWORD exitCode = 1;
    if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &exitCode);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    printf("install_ms %.2f\n", copied - start);
    printf("second_box_caption %s\n", caption);
    printf("exit_code %lu\n", exitCode);
    return exitCode == 0 ? 0 : 1;
}

// The longest WM_NULL round trip over a span: the longest the window leaves a
// message unanswered. Pings back to back until done() says the span is over.
template <typename Done>
double LongestRoundTrip(HWND window, Done done, int* pings) {
    double longest = 0;
    *pings = 0;
    while (!done()) {
        double start = Now();
        DWORD_PTR result;
        if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result))
            Fail("the window never answered");
        longest = std::max(longest, Now() - start);
        ++*pings;
        Sleep(1);
    }
    return longest;
}

// Install question Yes, then pings until the shortcut question; both answered
// No. The same pinging of the idle window first gives the floor.
int Answers(const char* exe, const char* destination) {
    PROCESS_INFORMATION pi = StartProgram(exe);
    HWND window = WaitForFirstPaint(pi);
    WaitForControls(window);  // the start-up's last step is not idle time
    int pings = 0;
    double idleEnd = Now() + 2000;
    double idle = LongestRoundTrip(
        window, [&] { return Now() > idleEnd; }, &pings);
    printf("idle_longest_unanswered_ms %.2f\n", idle);
    AnswerBox(PressOk(pi, window, destination), IDYES);
    double seen;
    // From the folder's appearance: the question's box has gone by then.
    double end = Now() + 600000;
    while (GetFileAttributesA(destination) == INVALID_FILE_ATTRIBUTES && Now() < end) Sleep(1);
    double start = Now();
    double copying = LongestRoundTrip(
        window, [&] { return VisibleWindow(pi.dwProcessId, "#32770") != NULL || Now() > end; },
        &pings);
    printf("install_longest_unanswered_ms %.2f\n", copying);
    printf("install_pings %d\n", pings);
    printf("install_copy_phase_ms %.2f\n", Now() - start);
    for (int box = 0; box < 2; ++box) {
        HWND next = WaitForBox(pi, &seen);
        Sleep(100);
        AnswerBox(next, IDNO);
    }
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    return 0;
}

// Copies the plain files of one folder, setup.exe aside.
int CopyFolderFiles(const char* from, const char* to) {
    char pattern[MAX_PATH], source[MAX_PATH], target[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", from);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int copied = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (lstrcmpiA(found.cFileName, "setup.exe") == 0) continue;
        snprintf(source, sizeof source, "%s\\%s", from, found.cFileName);
        snprintf(target, sizeof target, "%s\\%s", to, found.cFileName);
        if (!CopyFileA(source, target, FALSE)) Fail("copy failed");
        ++copied;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return copied;
}

int Copy(const char* from, const char* to) {
    char viewerFrom[MAX_PATH], viewerTo[MAX_PATH];
    snprintf(viewerFrom, sizeof viewerFrom, "%s\\viewer", from);
    snprintf(viewerTo, sizeof viewerTo, "%s\\viewer", to);
    double start = Now();
    CreateDirectoryA(to, NULL);  // may exist
    int files = CopyFolderFiles(from, to);
    CreateDirectoryA(viewerTo, NULL);
    files += CopyFolderFiles(viewerFrom, viewerTo);
    printf("copy_ms %.2f\n", Now() - start);
    printf("copied_files %d\n", files);
    return 0;
}

LRESULT CALLBACK BlankWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 200));
        FillRect(dc, &ps.rcPaint, blue);
        DeleteObject(blue);
        HFONT font = CreateFontA(48, 0, 0, 0, 700, TRUE, FALSE, FALSE, ANSI_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_CHARACTER_PRECIS, PROOF_QUALITY,
                                 FF_ROMAN | DEFAULT_PITCH, "Times New Roman");
        HGDIOBJ kept = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, 40, 40, "Blank", 5);
        SelectObject(dc, kept);
        DeleteObject(font);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The install's pause: pump messages until GetTickCount says 10 ms passed.
// Timed here, in a process of its own, as the fixed cost of the 24 pauses.
int Pauses() {
    HWND window = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    double start = Now();
    long peeks = 0;
    for (int pause = 0; pause < 24; ++pause) {
        DWORD begun = GetTickCount();
        while (GetTickCount() - begun < 10) {
            MSG msg;
            ++peeks;
            if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
    }
    printf("pauses_ms %.2f\n", Now() - start);
    printf("pause_peeks %ld\n", peeks);
    double sleepStart = Now();
    for (int pause = 0; pause < 24; ++pause) Sleep(10);
    printf("sleeps_ms %.2f\n", Now() - sleepStart);
    DestroyWindow(window);
    return 0;
}

// How long a question box of the system takes to go once answered, and to
// come: the install's time outside its copies is mostly this under Wine.
double answeredAt;

DWORD WINAPI AnswerFirstBox(void*) {
    HWND box = NULL;
    while (!box) {
        box = FindWindowA("#32770", "Setup");
        Sleep(1);
    }
    Sleep(200);
    answeredAt = Now();
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), (LPARAM)GetDlgItem(box, IDNO));
    return 0;
}

int MessageBoxes() {
    for (int round = 0; round < 3; ++round) {
        for (UINT icon : {0u, (UINT)MB_ICONQUESTION}) {
            HANDLE answerer = CreateThread(NULL, 0, AnswerFirstBox, NULL, 0, NULL);
            double shown = Now();
            MessageBoxA(NULL, "Question?", "Setup", MB_YESNO | icon);
            double returned = Now();
            WaitForSingleObject(answerer, INFINITE);
            CloseHandle(answerer);
            printf("%s_box_total_ms %.2f\n", icon ? "icon" : "plain", returned - shown);
            printf("%s_box_after_answer_ms %.2f\n", icon ? "icon" : "plain", returned - answeredAt);
        }
    }
    return 0;
}

int Blank() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BlankWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "Setup";
    if (!RegisterClassA(&wc)) return 1;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    CreateWindowExA(0, "Setup", "Blank", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0,
                    work.right - work.left, work.bottom - work.top, NULL, NULL, wc.hInstance, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && strcmp(argv[1], "startup") == 0) {
        char self[MAX_PATH];
        DWORD n = GetModuleFileNameA(NULL, self, sizeof self);
        if (n == 0 || n >= sizeof self) Fail("own path");
        // In turn, so that a change of load falls on both alike.
        for (int run = atoi(argv[3]); run > 0; --run) {
            Startup(argv[2], "", "startup_ms");
            Startup(self, "blank", "blank_startup_ms");
        }
        return 0;
    }
    if (argc >= 4 && strcmp(argv[1], "paint") == 0) return Paint(argv[2], atoi(argv[3]));
    if (argc >= 4 && strcmp(argv[1], "install") == 0) return Install(argv[2], argv[3]);
    if (argc >= 4 && strcmp(argv[1], "copy") == 0) return Copy(argv[2], argv[3]);
    if (argc >= 4 && strcmp(argv[1], "answers") == 0) return Answers(argv[2], argv[3]);
    if (argc >= 2 && strcmp(argv[1], "blank") == 0) return Blank();
    if (argc >= 2 && strcmp(argv[1], "pauses") == 0) return Pauses();
    if (argc >= 2 && strcmp(argv[1], "boxes") == 0) return MessageBoxes();
    fprintf(stderr,
            "usage: bench_robot startup|paint <setup.exe> <runs>\n"
            "       bench_robot install <setup.exe> <destination>\n"
            "       bench_robot copy <source> <destination>\n");
    return 2;
}
