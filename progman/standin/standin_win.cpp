// A stand-in for Program Manager, for the tests and the demo: a top-level
// window that answers the "PROGMAN" initiate and turns each
// [AddItem("path", name)] into a shortcut <name>.lnk in the user's Programs
// folder. Options:
//   --log <file>      append every execute command received as a line
//   --vanish          answer the initiate, then destroy the window at once
//   --silent          never answer
//   --refuse          answer every execute negatively, making nothing
//   --no-ack          never answer an execute
//   --ack-delay <ms>  answer an execute only after this time
//   --lifetime <ms>   end after this time (default 10 minutes); WM_CLOSE ends it too
// It is ready once its window (class "ProgmanStandIn") exists.
#include <windows.h>
#include <dde.h>
#include <objbase.h>
#include <shlobj.h>
#include <stdlib.h>

#include "tables/bounded_text.h"

static const char StandInClass[] = "ProgmanStandIn";
static const char ServiceName[] = "PROGMAN";

static struct {
    const char* logPath;
    int vanish;
    int silent;
    int refuse;
    int noAck;
    UINT ackDelay;
    UINT lifetime;
} Options = {NULL, 0, 0, 0, 0, 0, 10 * 60 * 1000};

enum { LifetimeTimer = 1, AckTimer = 2, MaxArguments = 4, ArgumentSize = 260 };

// The one acknowledgement held back by --ack-delay.
static struct {
    HWND client;
    LPARAM ack;
} DelayedAck;

static int ReadOptions(int count, char** values) {
    for (int i = 1; i < count; ++i) {
        if (lstrcmpA(values[i], "--vanish") == 0)
            Options.vanish = 1;
        else if (lstrcmpA(values[i], "--silent") == 0)
            Options.silent = 1;
        else if (lstrcmpA(values[i], "--refuse") == 0)
            Options.refuse = 1;
        else if (lstrcmpA(values[i], "--no-ack") == 0)
            Options.noAck = 1;
        else if (lstrcmpA(values[i], "--ack-delay") == 0 && i + 1 < count)
            Options.ackDelay = (UINT)strtoul(values[++i], NULL, 10);
        else if (lstrcmpA(values[i], "--log") == 0 && i + 1 < count)
            Options.logPath = values[++i];
        else if (lstrcmpA(values[i], "--lifetime") == 0 && i + 1 < count)
            Options.lifetime = (UINT)strtoul(values[++i], NULL, 10);
        else
            return 0;
    }
    return 1;
}

static void AppendLogLine(const char* text, int length) {
    if (Options.logPath == NULL) return;
    HANDLE file = CreateFileA(Options.logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;  // a log we cannot write is passed over
    DWORD written;
    WriteFile(file, text, (DWORD)length, &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
}

// An atom of the initiate names our service, or is 0 (any).
static int AtomNamesService(ATOM atom) {
    if (atom == 0) return 1;
    char name[16];
    if (GlobalGetAtomNameA(atom, name, sizeof name) == 0) return 0;
    return lstrcmpiA(name, ServiceName) == 0;
}

static void OnInitiate(HWND window, HWND client, LPARAM lParam) {
    if (Options.silent) return;
    if (!AtomNamesService(LOWORD(lParam)) || !AtomNamesService(HIWORD(lParam))) return;
    // The client deletes the atoms of our answer.
    ATOM application = GlobalAddAtomA(ServiceName);
    ATOM topic = GlobalAddAtomA(ServiceName);
    SendMessageA(client, WM_DDE_ACK, (WPARAM)window, MAKELPARAM(application, topic));
    if (Options.vanish) DestroyWindow(window);
}

// Reads one argument: a quoted text, or plain text up to ',' or ')', spaces
// around it dropped. Returns the position after it, NULL when it does not fit.
static const char* ReadArgument(const char* at, char* argument) {
    while (*at == ' ') ++at;
    int n = 0;
    if (*at == '"') {
        for (++at; *at && *at != '"'; ++at) {
            if (n + 1 >= ArgumentSize) return NULL;
            argument[n++] = *at;
        }
        if (*at != '"') return NULL;
        ++at;
    } else {
        for (; *at && *at != ',' && *at != ')'; ++at) {
            if (n + 1 >= ArgumentSize) return NULL;
            argument[n++] = *at;
        }
        while (n > 0 && argument[n - 1] == ' ') --n;
    }
    argument[n] = 0;
    while (*at == ' ') ++at;
    return at;
}

// Splits "Name(arg, arg)" into its name and arguments; NULL when malformed,
// else the position after the closing bracket.
static const char* ReadCommand(const char* at, char* name, int nameSize,
                               char arguments[MaxArguments][ArgumentSize], int* count) {
    int n = 0;
    while (*at && *at != '(' && *at != ']') {
        if (n + 1 >= nameSize) return NULL;
        name[n++] = *at++;
    }
    name[n] = 0;
    *count = 0;
    if (*at != '(') return at;
    ++at;
    while (*at != ')') {
        if (*count == MaxArguments) return NULL;
        at = ReadArgument(at, arguments[*count]);
        if (at == NULL) return NULL;
        ++*count;
        if (*at == ',') ++at;
        else if (*at != ')') return NULL;
    }
    return at + 1;
}

static int IsFileName(const char* name) {
    if (*name == 0) return 0;
    static const char refused[] = "\\/:*?\"<>|";
    for (const char* c = name; *c; ++c) {
        if ((unsigned char)*c < ' ') return 0;
        for (const char* r = refused; *r; ++r)
            if (*c == *r) return 0;
    }
    return 1;
}

// The link is written through IPersistStream rather than IPersistFile::Save,
// which under Wine would also write menu entries into the host's desktop.
static int SaveLink(IShellLinkA* link, const char* linkPath) {
    IPersistStream* persist = NULL;
    if (FAILED(link->QueryInterface(IID_IPersistStream, (void**)&persist))) return 0;
    IStream* stream = NULL;
    int saved = 0;
    if (SUCCEEDED(CreateStreamOnHGlobal(NULL, TRUE, &stream))) {
        HGLOBAL memory;
        if (SUCCEEDED(persist->Save(stream, TRUE)) &&
            SUCCEEDED(GetHGlobalFromStream(stream, &memory))) {
            STATSTG stat;
            const void* bytes = GlobalLock(memory);
            if (bytes != NULL && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
                HANDLE file = CreateFileA(linkPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, NULL);
                DWORD written = 0;
                if (file != INVALID_HANDLE_VALUE) {
                    saved = WriteFile(file, bytes, (DWORD)stat.cbSize.QuadPart, &written, NULL) &&
                            written == stat.cbSize.QuadPart;
                    saved = CloseHandle(file) && saved;
                }
            }
            if (bytes != NULL) GlobalUnlock(memory);
        }
        stream->Release();
    }
    persist->Release();
    return saved;
}

static int CreateShortcut(const char* target, const char* name) {
    if (!IsFileName(name)) return 0;
    char linkPath[MAX_PATH];
    if (FAILED(SHGetFolderPathA(NULL, CSIDL_PROGRAMS | CSIDL_FLAG_CREATE, NULL, 0, linkPath)))
        return 0;
    if (!AppendText(linkPath, sizeof linkPath, "\\") ||
        !AppendText(linkPath, sizeof linkPath, name) ||
        !AppendText(linkPath, sizeof linkPath, ".lnk"))
        return 0;
    char folder[MAX_PATH];
    if (!CopyText(folder, sizeof folder, target)) return 0;
    char* lastSlash = NULL;
    for (char* c = folder; *c; ++c)
        if (*c == '\\') lastSlash = c;
    if (lastSlash != NULL) *lastSlash = 0;

    IShellLinkA* link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&link)))
        return 0;
    int made = SUCCEEDED(link->SetPath(target)) &&
               SUCCEEDED(link->SetWorkingDirectory(folder)) && SaveLink(link, linkPath);
    link->Release();
    return made;
}

// Carries out every [Command(...)] of the text; 1 when all succeeded.
static int RunCommands(const char* text) {
    int ok = 1, any = 0;
    while (*text == '[') {
        char name[32];
        char arguments[MaxArguments][ArgumentSize];
        int count;
        text = ReadCommand(text + 1, name, sizeof name, arguments, &count);
        if (text == NULL || *text != ']') return 0;
        ++text;
        any = 1;
        if (lstrcmpiA(name, "AddItem") == 0 && count >= 1)
            ok = CreateShortcut(arguments[0], count >= 2 ? arguments[1] : arguments[0]) && ok;
        else
            ok = 0;  // only AddItem is understood
    }
    return any && ok && *text == 0;
}

static void OnExecute(HWND window, HWND client, LPARAM lParam) {
    HGLOBAL memory = (HGLOBAL)lParam;  // the client's; it frees it on our ack
    int ok = 0;
    SIZE_T size = GlobalSize(memory);
    const char* text = size ? (const char*)GlobalLock(memory) : NULL;
    if (text != NULL) {
        char command[1024];
        int n = 0;
        while ((SIZE_T)n < size && text[n] && n + 1 < (int)sizeof command) {
            command[n] = text[n];
            ++n;
        }
        command[n] = 0;
        GlobalUnlock(memory);
        AppendLogLine(command, n);
        ok = !Options.refuse && RunCommands(command);
    }
    if (Options.noAck) return;
    LPARAM ack = PackDDElParam(WM_DDE_ACK, ok ? 0x8000 : 0, (UINT_PTR)memory);
    if (Options.ackDelay != 0 && DelayedAck.client == NULL &&
        SetTimer(window, AckTimer, Options.ackDelay, NULL)) {
        DelayedAck.client = client;
        DelayedAck.ack = ack;
        return;
    }
    if (!PostMessageA(client, WM_DDE_ACK, (WPARAM)window, ack)) FreeDDElParam(WM_DDE_ACK, ack);
}

static void OnTimer(HWND window, WPARAM timer) {
    if (timer != AckTimer) {
        DestroyWindow(window);
        return;
    }
    KillTimer(window, AckTimer);
    if (!PostMessageA(DelayedAck.client, WM_DDE_ACK, (WPARAM)window, DelayedAck.ack))
        FreeDDElParam(WM_DDE_ACK, DelayedAck.ack);
    DelayedAck.client = NULL;
}

static LRESULT CALLBACK StandInWindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    switch (message) {
    case WM_DDE_INITIATE: OnInitiate(window, (HWND)wParam, lParam); return 0;
    case WM_DDE_EXECUTE:
        if (!Options.silent) OnExecute(window, (HWND)wParam, lParam);
        return 0;
    case WM_DDE_TERMINATE:
        if (IsWindow((HWND)wParam)) PostMessageA((HWND)wParam, WM_DDE_TERMINATE, (WPARAM)window, 0);
        return 0;
    case WM_TIMER: OnTimer(window, wParam); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!ReadOptions(__argc, __argv)) return 2;
    if (FAILED(CoInitialize(NULL))) return 3;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = StandInWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = StandInClass;
    if (!RegisterClassA(&windowClass)) return 4;
    // A plain hidden top-level window: the initiate is broadcast to every one.
    HWND window = CreateWindowA(StandInClass, "Program Manager", WS_OVERLAPPED, 0, 0, 0, 0, NULL,
                                NULL, instance, NULL);
    if (window == NULL) return 5;
    if (Options.lifetime != 0 && !SetTimer(window, LifetimeTimer, Options.lifetime, NULL))
        return 6;
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CoUninitialize();
    return 0;
}
