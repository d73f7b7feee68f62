// The robot: starts setup.exe (or any program of the disk), finds its windows,
// reads and drives its controls, answers message boxes, reads pixels from the
// screen and reads the exit code. Test code only.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace robot {

// Paths. The build passes Unix folders in the environment; Wine maps / to Z:.
std::string WindowsPath(const std::string& unixPath);
std::string DiskFolder(int edition);  // the assembled demo disk
// A fresh, empty folder for one test under the build tree (Windows path).
std::string ScratchFolder(const std::string& name);
// A fresh, empty folder on drive C: of the test prefix, whose parents no other
// program changes (the build tree's and /tmp's do, at any moment).
std::string QuietFolder(const std::string& name);
// Copies a folder tree; returns false on any failure.
bool CopyTree(const std::string& from, const std::string& to);
// A copy of the edition's disk in a fresh scratch folder; returns its path.
std::string CopyDisk(int edition, const std::string& name);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
bool ReadWholeFile(const std::string& path, std::string* content);
bool WriteWholeFile(const std::string& path, const std::string& content);
// The same by a wide path, for names the ANSI code page cannot hold.
bool ReadWholeFile(const std::wstring& path, std::string* content);
bool WriteWholeFile(const std::wstring& path, const std::string& content);
std::wstring WideOf(const std::string& path);
// A file's size; 0 when it cannot be read.
unsigned long long FileSize(const std::wstring& path);
bool DeleteTree(const std::string& path);

// Registry helpers for the per-user key and Program Files value.
bool SetRegistryText(HKEY root, const std::string& key, const std::string& name,
                     const std::string& value);
bool ReadRegistryText(HKEY root, const std::string& key, const std::string& name,
                      std::string* value);
// A REG_DWORD value; false when missing or of another type.
bool ReadRegistryNumber(HKEY root, const std::string& key, const std::string& name, DWORD* value);
void DeleteRegistryKey(HKEY root, const std::string& key);

struct Process {
    HANDLE handle = NULL;
    DWORD pid = 0;
};
Process Start(const std::string& exe, const std::string& arguments = "",
              const std::string& currentDirectory = "");
// A program whose path the ANSI code page may not hold.
Process Start(const std::wstring& exe);
// Exit code, or -1 when the process did not end within the time.
long WaitForExit(const Process& process, DWORD timeoutMs = 10000);
void Kill(Process& process);
// Ends setup.exe if it is still running (for tear-down).
void EnsureEnded(Process& process);

// First visible top-level window of the process with the class (and title, if
// given); NULL when none appeared in time.
HWND WaitForWindow(const Process& process, const char* className, DWORD timeoutMs = 10000,
                   const char* title = nullptr);
HWND WaitForSetupWindow(const Process& process, DWORD timeoutMs = 15000);

// setup.exe started from a fresh copy of the edition's disk, ended (if still
// running) when the value goes out of scope.
struct Running {
    Process process;
    HWND window = NULL;
    HWND field = NULL;  // the destination field
    ~Running() { EnsureEnded(process); }
};
// Fails the test when setup.exe or its window does not come.
void StartSetup(int edition, const std::string& name, Running* run);
std::vector<HWND> TopLevelWindows(const Process& process, const char* className);

struct Control {
    HWND hwnd = NULL;
    std::string className;
    int id = 0;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {};  // in client coordinates of the parent
    bool checked = false;
    bool focused = false;
};
std::vector<Control> ReadControls(HWND parent);
Control FindControl(HWND parent, int id);
HWND FocusOf(HWND anyWindowOfThread);
std::string TextOf(HWND window);
// The same as the window holds it, in UTF-16: what any code page's user reads,
// names the ANSI code page cannot hold too.
std::wstring WideTextOf(HWND window);

// Posts a click; the program handles it when its loop next runs.
void Click(HWND button);
// Clicks and waits until the program has handled the click (no modal boxes!).
void ClickAndWait(HWND button);
void SetText(HWND edit, const std::string& text);
void SetWideText(HWND edit, const std::wstring& text);
// Posts a key press to the window, through the program's message loop.
void PressKey(HWND window, UINT virtualKey);
// Waits until the program's thread has handled what was posted before.
void Settle(HWND window);

struct MessageBoxInfo {
    HWND hwnd = NULL;
    std::string caption;
    std::string text;
    std::wstring wideCaption, wideText;  // the same in UTF-16
    std::vector<int> buttons;            // ids of the push buttons
    // MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION or MB_ICONASTERISK;
    // 0 for none, UnknownIcon for a picture that is none of them.
    int icon = 0;
    bool HasButton(int id) const;
};
enum { UnknownIcon = -1, AnyIcon = -2 };
// The next message box (dialog class #32770) of the process.
bool WaitForMessageBox(const Process& process, MessageBoxInfo* box, DWORD timeoutMs = 10000);
void Answer(const MessageBoxInfo& box, int buttonId);

// Pixels of the screen, as RGB triples packed 0x00RRGGBB.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<unsigned> pixels;
    unsigned At(int x, int y) const { return pixels[(size_t)y * width + x]; }
    bool SaveBmp(const std::string& path) const;
};
Screenshot CaptureScreen();
Screenshot CaptureWindow(HWND window);  // the window's rectangle of the screen
inline unsigned Rgb(int r, int g, int b) { return (unsigned)(r << 16 | g << 8 | b); }

}  // namespace robot
