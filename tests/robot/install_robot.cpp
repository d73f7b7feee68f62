#include "install_robot.h"

namespace robot {

const char* const ProductNames[2] = {"Vestra", "Kellum Inspector"};
const char* const PerUserKeys[2] = {"Software\\Kellum AG\\Vestra",
                                    "Software\\Kellum AG\\Kellum Inspector"};
const char* const UninstallKeys[2] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vestra",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kellum Inspector"};
const char* const Markers[7] = {"Vestra.ger", "Vestra.fr", "Vestra.esp", "Vestra.ita",
                                "Vestra.por", "Vestra.cn", "Vestra.jap"};

std::string SystemText(DWORD code) {
    char text[256] = "";
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code,
                             0, text, 255, NULL);
    while (n > 0 && (unsigned char)text[n - 1] < 32) text[--n] = 0;
    return text;
}

bool EqualPaths(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Plain files of a folder, one level deep.
std::vector<std::string> FilesOf(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

void ExpectSameFiles(const std::string& from, const std::string& to, size_t atLeast) {
    std::vector<std::string> names = FilesOf(from);
    size_t compared = 0;
    for (const std::string& name : names) {
        if (name == "setup.exe") continue;
        std::string a, b;
        ASSERT_TRUE(ReadWholeFile(from + "\\" + name, &a)) << name;
        EXPECT_TRUE(ReadWholeFile(to + "\\" + name, &b)) << name << " missing";
        EXPECT_TRUE(a == b) << name << " differs";
        ++compared;
    }
    EXPECT_GE(compared, atLeast) << from;
}

size_t ExpectSameFilesByWideName(const std::wstring& from, const std::wstring& to,
                                 unsigned long long* bytes) {
    size_t compared = 0;
    for (const wchar_t* folder : {L"", L"\\viewer"}) {
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW((from + folder + L"\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            std::wstring name = std::wstring(folder) + L"\\" + entry.cFileName;
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"\\setup.exe")
                continue;
            std::string a, b;
            EXPECT_TRUE(ReadWholeFile(from + name, &a));
            EXPECT_TRUE(ReadWholeFile(to + name, &b) && a == b)
                << "differs or missing: file " << compared << " of " << name.size()
                << " characters";
            ++compared;
            *bytes += a.size();
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    return compared;
}

bool ReadCopyCount(const std::string& text, int* number, int* total) {
    size_t slash = text.rfind(" / "),
           space = text.rfind(' ', slash == std::string::npos ? 0 : slash - 1);
    if (slash == std::string::npos || space == std::string::npos) return false;
    return sscanf(text.c_str() + space, " %d / %d", number, total) == 2;
}

std::string Product::Line(const std::string& label) const {
    size_t at = info.find(label);
    if (at == std::string::npos) return "<no " + label + ">";
    size_t end = info.find("\r\n", at);
    return info.substr(at + label.size(), end - at - label.size());
}

Product WaitForProduct(DWORD timeoutMs) {
    Product product;
    DWORD start = GetTickCount();
    HWND info = NULL;
    // The product makes its window before the child that shows its folders.
    while (!((product.window = FindWindowA("KellumProduct", NULL)) &&
             (info = GetDlgItem(product.window, 1))) &&
           GetTickCount() - start < timeoutMs)
        Sleep(50);
    if (info) product.info = TextOf(info);
    return product;
}

static BOOL CALLBACK CountProduct(HWND window, LPARAM count) {
    char name[32];
    if (GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "KellumProduct") == 0)
        ++*(int*)count;
    return TRUE;
}

int ProductWindowCount() {
    int count = 0;
    EnumWindows(CountProduct, (LPARAM)&count);
    return count;
}

void EndProducts() {
    HWND window;
    while ((window = FindWindowA("KellumProduct", NULL)) != NULL) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (process) {
            if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
            CloseHandle(process);
        }
        Sleep(100);
    }
}

}  // namespace robot
