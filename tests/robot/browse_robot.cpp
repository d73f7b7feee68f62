#include "browse_robot.h"

#include <commctrl.h>

namespace robot {

static HWND FindChildOfClass(HWND parent, const char* className) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64];
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, className) == 0) return c;
    }
    return NULL;
}

// The item's label, read through a TVITEMA placed in the tree's own process:
// a tree view takes the item and its text buffer by address.
static std::string ItemLabel(HWND tree, HANDLE process, HTREEITEM item) {
    const SIZE_T textSize = 520;
    BYTE* remote = (BYTE*)VirtualAllocEx(process, NULL, sizeof(TVITEMA) + textSize, MEM_COMMIT,
                                         PAGE_READWRITE);
    if (!remote) return "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = (LPSTR)(remote + sizeof tv);
    tv.cchTextMax = (int)textSize;
    char text[textSize] = {};
    DWORD_PTR ok = 0;
    if (WriteProcessMemory(process, remote, &tv, sizeof tv, NULL) &&
        SendMessageTimeoutA(tree, TVM_GETITEMA, 0, (LPARAM)remote, SMTO_NORMAL, 5000, &ok) && ok) {
        ReadProcessMemory(process, remote + sizeof tv, text, textSize - 1, NULL);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

static HTREEITEM NextItem(HWND tree, UINT relation, HTREEITEM item) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(tree, TVM_GETNEXTITEM, relation, (LPARAM)item, SMTO_NORMAL, 5000, &result);
    return (HTREEITEM)result;
}

std::vector<std::string> SelectedFolderChain(HWND tree) {
    std::vector<std::string> chain;
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return chain;
    for (HTREEITEM item = NextItem(tree, TVGN_CARET, NULL); item && chain.size() < 64;
         item = NextItem(tree, TVGN_PARENT, item))
        chain.push_back(ItemLabel(tree, process, item));
    CloseHandle(process);
    return chain;
}

bool WaitForFolderBrowser(const Process& process, FolderBrowser* browser, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    HWND dialog = NULL, tree = NULL;
    while (!tree && GetTickCount() - start < timeoutMs) {
        dialog = WaitForWindow(process, "#32770", timeoutMs);
        if (!dialog) return false;
        tree = FindChildOfClass(dialog, WC_TREEVIEWA);
        if (!tree) Sleep(20);
    }
    if (!tree) return false;
    // The browser fills its tree and moves to the selection as it starts up:
    // wait until the selection holds still.
    std::vector<std::string> last;
    for (int steady = 0; steady < 3 && GetTickCount() - start < timeoutMs;) {
        Settle(dialog);
        std::vector<std::string> now = SelectedFolderChain(tree);
        steady = (!now.empty() && now == last) ? steady + 1 : 0;
        last = now;
    }
    browser->hwnd = dialog;
    browser->tree = tree;
    browser->title = TextOf(dialog);
    browser->texts.clear();
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64];
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") != 0) continue;
        std::string t = TextOf(c);
        if (!t.empty()) browser->texts.push_back(t);
    }
    GetWindowRect(dialog, &browser->rect);
    return true;
}

void ReadFolderLevels(const std::string& path) {
    size_t end = 0;
    do {
        end = path.find('\\', end + 1);
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((path.substr(0, end) + "\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) continue;
        while (FindNextFileA(find, &entry)) {
        }
        FindClose(find);
    } while (end != std::string::npos);
}

bool AnswerFolderBrowser(const FolderBrowser& browser, int buttonId, DWORD timeoutMs) {
    PostMessageA(browser.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 (LPARAM)GetDlgItem(browser.hwnd, buttonId));
    DWORD start = GetTickCount();
    while (IsWindow(browser.hwnd)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

}  // namespace robot
