#include "robot.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <tlhelp32.h>

namespace robot {

static std::string EnvironmentText(const char* name) {
    const char* v = getenv(name);
    return v ? v : "";
}

std::string WindowsPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    while (p.size() > 3 && p.back() == '\\') p.pop_back();
    return p;
}

std::string DiskFolder(int edition) {
    return WindowsPath(EnvironmentText("SETUP_DISK_ROOT")) +
           (edition == 0 ? "\\disk" : "\\disk-edition1");
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// By wide names: a test may leave names the ANSI code page cannot hold.
static bool DeleteWideTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = path + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteWideTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    DWORD a = GetFileAttributesW(path.c_str());
    return RemoveDirectoryW(path.c_str()) || a == INVALID_FILE_ATTRIBUTES ||
           !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteTree(const std::string& path) {
    wchar_t wide[MAX_PATH * 4];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 4)) return false;
    return DeleteWideTree(wide);
}

std::string ScratchFolder(const std::string& name) {
    std::string root = WindowsPath(EnvironmentText("SETUP_DISK_ROOT")) + "\\tmp";
    CreateDirectoryA(root.c_str(), NULL);
    std::string folder = root + "\\" + name;
    DeleteTree(folder);
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

std::string QuietFolder(const std::string& name) {
    const std::string root = "C:\\setup-tests";
    CreateDirectoryA(root.c_str(), NULL);
    std::string folder = root + "\\" + name;
    DeleteTree(folder);
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

bool CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), NULL);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + "\\" + name, to + "\\" + name) && ok;
        else
            ok = CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE) && ok;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return ok;
}

std::string CopyDisk(int edition, const std::string& name) {
    std::string folder = ScratchFolder(name) + "\\disk";
    if (!CopyTree(DiskFolder(edition), folder)) return "";
    return folder;
}

std::wstring WideOf(const std::string& path) {
    wchar_t wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    return wide;
}

unsigned long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (unsigned long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}

bool ReadWholeFile(const std::string& path, std::string* content) {
    return ReadWholeFile(WideOf(path), content);
}

bool WriteWholeFile(const std::string& path, const std::string& content) {
    return WriteWholeFile(WideOf(path), content);
}

bool ReadWholeFile(const std::wstring& path, std::string* content) {
    HANDLE f =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return false;
    content->clear();
    char buffer[65536];
    DWORD got;
    bool ok = true;
    while ((ok = ReadFile(f, buffer, sizeof buffer, &got, NULL)) && got > 0)
        content->append(buffer, got);
    CloseHandle(f);
    return ok;
}

bool WriteWholeFile(const std::wstring& path, const std::string& content) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok =
        WriteFile(f, content.data(), (DWORD)content.size(), &put, NULL) && put == content.size();
    CloseHandle(f);
    return ok;
}

bool SetRegistryText(HKEY root, const std::string& key, const std::string& name,
                     const std::string& value) {
    HKEY k;
    if (RegCreateKeyA(root, key.c_str(), &k) != ERROR_SUCCESS) return false;
    LONG r = RegSetValueExA(k, name.c_str(), 0, REG_SZ, (const BYTE*)value.c_str(),
                            (DWORD)value.size() + 1);
    RegCloseKey(k);
    return r == ERROR_SUCCESS;
}

bool ReadRegistryText(HKEY root, const std::string& key, const std::string& name,
                      std::string* value) {
    HKEY k;
    if (RegOpenKeyA(root, key.c_str(), &k) != ERROR_SUCCESS) return false;
    char buffer[4096];
    DWORD cb = sizeof buffer - 1, type = 0;
    LONG r = RegQueryValueExA(k, name.c_str(), NULL, &type, (BYTE*)buffer, &cb);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS) return false;
    buffer[cb] = '\0';
    *value = std::string(buffer, cb && buffer[cb - 1] == '\0' ? cb - 1 : cb);
    return true;
}

bool ReadRegistryNumber(HKEY root, const std::string& key, const std::string& name, DWORD* value) {
    HKEY k;
    if (RegOpenKeyA(root, key.c_str(), &k) != ERROR_SUCCESS) return false;
    DWORD cb = sizeof *value, type = 0;
    LONG r = RegQueryValueExA(k, name.c_str(), NULL, &type, (BYTE*)value, &cb);
    RegCloseKey(k);
    return r == ERROR_SUCCESS && type == REG_DWORD && cb == sizeof *value;
}

void DeleteRegistryKey(HKEY root, const std::string& key) {
    HKEY k;
    if (RegOpenKeyA(root, key.c_str(), &k) == ERROR_SUCCESS) {
        char sub[256];
        while (RegEnumKeyA(k, 0, sub, sizeof sub) == ERROR_SUCCESS) DeleteRegistryKey(k, sub);
        RegCloseKey(k);
    }
    RegDeleteKeyA(root, key.c_str());
}

Process Start(const std::string& exe, const std::string& arguments,
              const std::string& currentDirectory) {
    Process p;
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (CreateProcessA(exe.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL,
                       currentDirectory.empty() ? NULL : currentDirectory.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        p.handle = pi.hProcess;
        p.pid = pi.dwProcessId;
    }
    return p;
}

Process Start(const std::wstring& exe) {
    Process p;
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessW(exe.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        CloseHandle(pi.hThread);
        p.handle = pi.hProcess;
        p.pid = pi.dwProcessId;
    }
    return p;
}

long WaitForExit(const Process& process, DWORD timeoutMs) {
    if (!process.handle) return -1;
    if (WaitForSingleObject(process.handle, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.handle, &code);
    return (long)code;
}

void Kill(Process& process) {
    if (!process.handle) return;
    TerminateProcess(process.handle, 99);
    WaitForSingleObject(process.handle, 5000);
    CloseHandle(process.handle);
    process.handle = NULL;
}

void EnsureEnded(Process& process) {
    if (process.handle && WaitForSingleObject(process.handle, 0) != WAIT_OBJECT_0) Kill(process);
}

struct FindWindowsData {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

static BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    FindWindowsData* data = (FindWindowsData*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != data->pid) return TRUE;
    char cls[64];
    GetClassNameA(window, cls, sizeof cls);
    if (!data->className || lstrcmpiA(cls, data->className) == 0) data->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(const Process& process, const char* className) {
    FindWindowsData data = {process.pid, className, {}};
    EnumWindows(CollectWindow, (LPARAM)&data);
    return data.found;
}

HWND WaitForWindow(const Process& process, const char* className, DWORD timeoutMs,
                   const char* title) {
    DWORD start = GetTickCount();
    do {
        for (HWND w : TopLevelWindows(process, className)) {
            if (!IsWindowVisible(w)) continue;
            if (title && TextOf(w) != title) continue;
            return w;
        }
        if (WaitForSingleObject(process.handle, 20) == WAIT_OBJECT_0) return NULL;
    } while (GetTickCount() - start < timeoutMs);
    return NULL;
}

HWND WaitForSetupWindow(const Process& process, DWORD timeoutMs) {
    HWND w = WaitForWindow(process, "Setup", timeoutMs);
    if (!w) return NULL;
    // The controls come after the window: wait for the last language button.
    DWORD start = GetTickCount();
    while (!GetDlgItem(w, 105) && GetTickCount() - start < timeoutMs) Sleep(20);
    Settle(w);
    return w;
}

void StartSetup(int edition, const std::string& name, Running* run) {
    std::string disk = CopyDisk(edition, name);
    ASSERT_FALSE(disk.empty());
    run->process = Start(disk + "\\setup.exe");
    ASSERT_TRUE(run->process.handle != NULL);
    run->window = WaitForSetupWindow(run->process);
    // A start that fails says how it ended: a crash and a refusal differ.
    ASSERT_TRUE(run->window != NULL)
        << "no setup window; exit code " << std::hex << WaitForExit(run->process, 0)
        << " (-1: still running), windows of the process: "
        << TopLevelWindows(run->process, NULL).size();
    run->field = GetDlgItem(run->window, 0);
}

std::string TextOf(HWND window) {
    char buffer[1024];
    buffer[0] = '\0';
    // WM_GETTEXT crosses processes; GetWindowText would not read another
    // process's control text.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, (LPARAM)buffer, SMTO_NORMAL, 5000, NULL);
    return buffer;
}

std::wstring WideTextOf(HWND window) {
    wchar_t buffer[1024];
    buffer[0] = L'\0';
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, (LPARAM)buffer, SMTO_NORMAL, 5000, NULL);
    return buffer;
}

HWND FocusOf(HWND anyWindowOfThread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(anyWindowOfThread, NULL);
    if (!GetGUIThreadInfo(thread, &info)) return NULL;
    return info.hwndFocus;
}

std::vector<Control> ReadControls(HWND parent) {
    std::vector<Control> controls;
    HWND focus = FocusOf(parent);
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        Control ctl;
        ctl.hwnd = c;
        char cls[64];
        GetClassNameA(c, cls, sizeof cls);
        ctl.className = cls;
        ctl.id = GetDlgCtrlID(c);
        ctl.text = TextOf(c);
        ctl.style = (DWORD)GetWindowLongA(c, GWL_STYLE);
        ctl.exStyle = (DWORD)GetWindowLongA(c, GWL_EXSTYLE);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(NULL, parent, (POINT*)&r, 2);
        ctl.rect = r;
        DWORD_PTR state = 0;
        if (lstrcmpiA(cls, "Button") == 0)
            SendMessageTimeoutA(c, BM_GETCHECK, 0, 0, SMTO_NORMAL, 5000, &state);
        ctl.checked = state == BST_CHECKED;
        ctl.focused = c == focus;
        controls.push_back(ctl);
    }
    return controls;
}

Control FindControl(HWND parent, int id) {
    for (const Control& c : ReadControls(parent))
        if (c.id == id) return c;
    return Control();
}

void Settle(HWND window) {
    // A sent message is handled at the thread's next look at its queue; two of
    // them in a row follow whatever was posted before the first.
    for (int i = 0; i < 3; ++i) SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, NULL);
    Sleep(50);
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void ClickAndWait(HWND button) {
    SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, NULL);
    Settle(button);
}

void SetText(HWND edit, const std::string& text) {
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_NORMAL, 5000, NULL);
}

void SetWideText(HWND edit, const std::wstring& text) {
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_NORMAL, 5000, NULL);
}

void PressKey(HWND window, UINT virtualKey) {
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

bool MessageBoxInfo::HasButton(int id) const {
    for (int b : buttons)
        if (b == id) return true;
    return false;
}

static int ReadBoxIcon(HWND iconControl);

bool WaitForMessageBox(const Process& process, MessageBoxInfo* box, DWORD timeoutMs) {
    HWND dialog = WaitForWindow(process, "#32770", timeoutMs);
    if (!dialog) return false;
    Sleep(100);  // let the box finish its set-up
    box->hwnd = dialog;
    box->caption = TextOf(dialog);
    box->wideCaption = WideTextOf(dialog);
    box->text.clear();
    box->wideText.clear();
    box->buttons.clear();
    HWND iconControl = NULL;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64];
        GetClassNameA(c, cls, sizeof cls);
        DWORD style = (DWORD)GetWindowLongA(c, GWL_STYLE);
        if (lstrcmpiA(cls, "Button") == 0) {
            if (IsWindowVisible(c)) box->buttons.push_back(GetDlgCtrlID(c));
        } else if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            iconControl = c;
        } else if (lstrcmpiA(cls, "Static") == 0) {
            std::string t = TextOf(c);
            if (!t.empty()) box->text = t;
            std::wstring w = WideTextOf(c);
            if (!w.empty()) box->wideText = w;
        }
    }
    box->icon = ReadBoxIcon(iconControl);
    return true;
}

void Answer(const MessageBoxInfo& box, int buttonId) {
    PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 (LPARAM)GetDlgItem(box.hwnd, buttonId));
    DWORD start = GetTickCount();
    while (IsWindow(box.hwnd) && GetTickCount() - start < 5000) Sleep(20);
}

// A top-down 32-bit bitmap selected into a memory context.
struct Canvas {
    HDC dc = NULL;
    HBITMAP bitmap = NULL;
    HGDIOBJ kept = NULL;
    unsigned* bits = NULL;
};

static bool OpenCanvas(int width, int height, Canvas* canvas) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(NULL);
    canvas->dc = CreateCompatibleDC(screen);
    canvas->bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, (void**)&canvas->bits, NULL, 0);
    ReleaseDC(NULL, screen);
    if (canvas->dc && canvas->bitmap) canvas->kept = SelectObject(canvas->dc, canvas->bitmap);
    return canvas->kept != NULL;
}

static void CloseCanvas(Canvas* canvas) {
    if (canvas->kept) SelectObject(canvas->dc, canvas->kept);
    if (canvas->bitmap) DeleteObject(canvas->bitmap);
    if (canvas->dc) DeleteDC(canvas->dc);
    *canvas = Canvas();
}

static Screenshot CaptureRect(int x, int y, int width, int height) {
    Screenshot shot;
    Canvas canvas;
    if (width <= 0 || height <= 0 || !OpenCanvas(width, height, &canvas)) {
        CloseCanvas(&canvas);
        return shot;
    }
    HDC screen = GetDC(NULL);
    BitBlt(canvas.dc, 0, 0, width, height, screen, x, y, SRCCOPY);
    ReleaseDC(NULL, screen);
    GdiFlush();
    shot.width = width;
    shot.height = height;
    shot.pixels.assign(canvas.bits, canvas.bits + (size_t)width * height);
    for (unsigned& p : shot.pixels) p &= 0x00FFFFFF;
    CloseCanvas(&canvas);
    return shot;
}

// Pixels of the shot unlike the icon drawn over the shot's corner colour.
static size_t IconDifference(const Screenshot& shot, HICON icon) {
    Canvas canvas;
    if (!icon || !OpenCanvas(shot.width, shot.height, &canvas)) {
        CloseCanvas(&canvas);
        return shot.pixels.size() + 1;
    }
    unsigned corner = shot.At(0, 0);
    HBRUSH brush = CreateSolidBrush(RGB(corner >> 16, corner >> 8 & 0xFF, corner & 0xFF));
    RECT all = {0, 0, shot.width, shot.height};
    FillRect(canvas.dc, &all, brush);
    DeleteObject(brush);
    DrawIconEx(canvas.dc, 0, 0, icon, shot.width, shot.height, 0, NULL, DI_NORMAL);
    GdiFlush();
    size_t n = 0;
    for (size_t i = 0; i < shot.pixels.size(); ++i)
        n += (canvas.bits[i] & 0x00FFFFFF) != shot.pixels[i];
    CloseCanvas(&canvas);
    return n;
}

// Wine gives every process handles of its own for the shared system icons, so
// a box's icon is told by its picture: the system icons are drawn in turn and
// compared with the screen, until the box has painted one of them.
static int ReadBoxIcon(HWND iconControl) {
    if (!iconControl || !IsWindowVisible(iconControl)) return 0;
    static const struct {
        int flag;
        LPCSTR id;
    } icons[] = {{MB_ICONHAND, IDI_HAND},
                 {MB_ICONQUESTION, IDI_QUESTION},
                 {MB_ICONEXCLAMATION, IDI_EXCLAMATION},
                 {MB_ICONASTERISK, IDI_ASTERISK}};
    RECT r;
    POINT origin = {0, 0};
    if (!GetClientRect(iconControl, &r) || !ClientToScreen(iconControl, &origin))
        return UnknownIcon;
    // A box wider than the screen (a long path does not wrap) moves until its
    // icon shows.
    if (origin.x < 0 || origin.y < 0) {
        HWND box = GetParent(iconControl);
        RECT b;
        GetWindowRect(box, &b);
        int dx = origin.x < 0 ? -origin.x : 0, dy = origin.y < 0 ? -origin.y : 0;
        SetWindowPos(box, NULL, b.left + dx, b.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        origin.x += dx;
        origin.y += dy;
    }
    DWORD start = GetTickCount();
    do {
        Screenshot shot = CaptureRect(origin.x, origin.y, r.right, r.bottom);
        if (shot.pixels.empty()) return UnknownIcon;
        for (const auto& icon : icons)
            if (IconDifference(shot, LoadIconA(NULL, icon.id)) == 0) return icon.flag;
        Sleep(50);
    } while (GetTickCount() - start < 3000);
    return UnknownIcon;
}

Screenshot CaptureScreen() {
    return CaptureRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

Screenshot CaptureWindow(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return CaptureRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool Screenshot::SaveBmp(const std::string& path) const {
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = -height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    DWORD dataSize = (DWORD)(pixels.size() * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + dataSize;
    std::string data((const char*)&fh, sizeof fh);
    data.append((const char*)&ih, sizeof ih);
    data.append((const char*)pixels.data(), dataSize);
    return WriteWholeFile(path, data);
}

}  // namespace robot
