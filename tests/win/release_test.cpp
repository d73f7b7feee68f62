// What a vendor expects of the shipped file beyond its behaviour: the version
// resource, the manifest, and a library search that passes over libraries
// planted beside the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <string.h>

#include "robot.h"
#include "platform/system_calls.h"
#include "tables/notice.h"

using namespace robot;

namespace {

// Both editions' setup.exe of the test build; of the shipped i686 build too
// when it sits beside the test build (as scripts/build.sh leaves it). The
// i686 files are only read as data here: this Wine cannot run them.
struct Shipped {
    int edition;
    std::string exe;
};

std::vector<Shipped> SetupFiles() {
    std::vector<Shipped> files;
    const char* buildDir = getenv("SETUP_BUILD_DIR");
    for (int edition = 0; edition < 2; ++edition) {
        files.push_back({edition, DiskFolder(edition) + "\\setup.exe"});
        if (!buildDir) continue;
        std::string i686 =
            WindowsPath(buildDir) + "\\..\\win\\edition" + std::to_string(edition) + "\\setup.exe";
        if (FileExists(i686)) files.push_back({edition, i686});
    }
    return files;
}

// The version resource's string for `name`, in the language its translation
// table names first; "<missing>" when there is none.
std::string VersionText(const std::vector<char>& info, const char* name) {
    WORD* translation = NULL;
    UINT size = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", (void**)&translation, &size) ||
        size < 4)
        return "<missing>";
    char query[128];
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
             name);
    char* text = NULL;
    if (!VerQueryValueA(info.data(), query, (void**)&text, &size) || !text) return "<missing>";
    return text;
}

bool ReadVersionInfo(const std::string& exe, std::vector<char>* info) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    if (size == 0) return false;
    info->assign(size, 0);
    return GetFileVersionInfoA(exe.c_str(), 0, size, info->data()) != FALSE;
}

TEST(VersionResource, NamesMakerProductVersionAndNotice) {
    struct Expected {
        const char* name;
        const char* values[2];  // by edition
    };
    const Expected table[] = {
        {"CompanyName", {"Kellum Software Technology AG", "Kellum Software Technology AG"}},
        {"ProductName", {"Vestra", "Kellum Inspector"}},
        {"FileDescription", {"Vestra Setup", "Kellum Inspector Setup"}},
        {"ProductVersion", {"14.3", "14.3"}},
        {"FileVersion", {"14.3", "14.3"}},
        {"OriginalFilename", {"setup.exe", "setup.exe"}},
        {"LegalCopyright", {NOTICE_LINE, NOTICE_LINE}},
    };
    // The notice's copyright sign comes back through the ANSI code page.
    ASSERT_EQ(1252u, GetACP());
    std::vector<Shipped> files = SetupFiles();
    for (const Shipped& file : files) {
        SCOPED_TRACE(file.exe);
        std::vector<char> info;
        ASSERT_TRUE(ReadVersionInfo(file.exe, &info));
        for (const Expected& row : table)
            EXPECT_EQ(row.values[file.edition], VersionText(info, row.name)) << row.name;

        VS_FIXEDFILEINFO* fixed = NULL;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void**)&fixed, &size));
        ASSERT_GE(size, sizeof *fixed);
        EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
        EXPECT_EQ(MAKELONG(3, 14), fixed->dwFileVersionMS);
        EXPECT_EQ(0u, fixed->dwFileVersionLS);
        EXPECT_EQ(MAKELONG(3, 14), fixed->dwProductVersionMS);
        EXPECT_EQ(0u, fixed->dwProductVersionLS);
        EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType);
        EXPECT_EQ(0u, fixed->dwFileFlags & fixed->dwFileFlagsMask);  // not debug, not pre-release
    }
    if (files.size() < 4)
        printf("note: the i686 build was not found; only the test build checked\n");
}

// The manifest as text, from resource id 1 of type RT_MANIFEST.
bool ReadManifest(const std::string& exe, std::string* text) {
    HMODULE module = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return false;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const char* data = found ? (const char*)LockResource(LoadResource(module, found)) : NULL;
    if (data) text->assign(data, SizeofResource(module, found));
    FreeLibrary(module);
    return data != NULL;
}

TEST(Manifest, AsksForAdministratorDeclaresVistaTo11AndPerMonitorDpiAwareness) {
    const char* const required[] = {
        "level=\"requireAdministrator\"",
        "uiAccess=\"false\"",
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
        // The layout scales itself: per monitor (v2 where there is one), system-wide before 8.1.
        "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm"
        "</dpiAware>",
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
        "PerMonitorV2, PerMonitor</dpiAwareness>",
    };
    // A second set of common controls would change how the buttons look.
    const char* const absent[] = {"Microsoft.Windows.Common-Controls"};
    for (const Shipped& file : SetupFiles()) {
        SCOPED_TRACE(file.exe);
        std::string manifest;
        ASSERT_TRUE(ReadManifest(file.exe, &manifest));
        EXPECT_EQ(0u, manifest.find("<?xml"));
        for (const char* text : required) EXPECT_NE(std::string::npos, manifest.find(text)) << text;
        for (const char* text : absent) EXPECT_EQ(std::string::npos, manifest.find(text)) << text;
    }
}

// The folder part of a module's path, lower case.
std::string FolderOf(HMODULE module) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path) return "";
    std::string folder(path, length);
    folder.erase(folder.rfind('\\'));
    CharLowerBuffA(&folder[0], (DWORD)folder.size());
    return folder;
}

std::string SystemFolder() {
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    std::string text(folder, length < sizeof folder ? length : 0);
    CharLowerBuffA(&text[0], (DWORD)text.size());
    return text;
}

// System libraries that setup.exe does not import but that get loaded after
// start-up: the folder browser brings in the common controls and the image
// library, and the first window the theme library.
const char* const LateLibraries[] = {"comctl32", "msimg32", "uxtheme"};
const char* const LateProcedures[] = {"InitCommonControls", "AlphaBlend", "IsThemeActive"};

// The scenario runs in a copy of this program, started from a folder that
// also holds the planted libraries: the copy's own folder is searched first
// unless the search is restricted, just as setup.exe's is.
const char* const ChildName = "dllsearch.exe";
const char* const ChildOverridesKey = "Software\\Wine\\AppDefaults\\dllsearch.exe\\DllOverrides";

bool ChildMode(const char* mode) { return strstr(GetCommandLineA(), mode) != NULL; }

// In the copy: loads each library by name, as a late caller would.
TEST(DllSearchChild, LoadsLateLibraries) {
    bool restricted = ChildMode("--restricted");
    if (!restricted && !ChildMode("--unrestricted")) GTEST_SKIP() << "runs in a planted copy only";
    if (restricted) RestrictDllSearch();
    for (const char* name : LateLibraries) {
        HMODULE module = LoadLibraryA((std::string(name) + ".dll").c_str());
        // The probe refuses to stay; the system's library is found in the
        // system folder.
        if (restricted) {
            ASSERT_TRUE(module != NULL) << name;
            EXPECT_EQ(SystemFolder(), FolderOf(module)) << name;
        } else {
            EXPECT_TRUE(module == NULL) << name;
        }
    }
    // By their full path the planted copies are passed over even unrestricted.
    for (int i = 0; i < 3; ++i) {
        FARPROC found = SystemLibraryProcedure((std::string(LateLibraries[i]) + ".dll").c_str(),
                                               LateProcedures[i]);
        HMODULE module = NULL;
        ASSERT_TRUE(found != NULL) << LateLibraries[i];
        GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            (LPCSTR)found, &module);
        EXPECT_EQ(SystemFolder(), FolderOf(module)) << LateLibraries[i];
    }
    EXPECT_TRUE(SystemLibraryProcedure("nosuch.dll", "AlphaBlend") == NULL);
    EXPECT_TRUE(SystemLibraryProcedure("msimg32.dll", "NoSuchProcedure") == NULL);
}

// Plants the probe under each late library's name beside a copy of this
// program and runs the copy in the given mode; returns the names whose probe
// was loaded, or "failed" when the copy's own checks failed.
std::string RunPlantedCopy(const char* folderName, const char* mode) {
    std::string folder = ScratchFolder(folderName);
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, self, sizeof self);
    if (length == 0 || length >= sizeof self) return "no own path";
    std::string child = folder + "\\" + ChildName;
    if (!CopyFileA(self, child.c_str(), FALSE)) return "no copy";
    for (const char* name : LateLibraries) {
        std::string planted = folder + "\\" + name + ".dll";
        if (!CopyFileA(WindowsPath(RELEASE_PROBE_DLL).c_str(), planted.c_str(), FALSE))
            return "no probe";
        // Without this Wine prefers its built-in library whatever the search
        // finds; the copy does not see a changed environment, so the
        // program-specific registry setting carries it.
        SetRegistryText(HKEY_CURRENT_USER, ChildOverridesKey, name, "native,builtin");
    }
    Process process = Start(child, std::string("--gtest_filter=DllSearchChild.* ") + mode);
    long exitCode = WaitForExit(process, 60000);
    EnsureEnded(process);
    DeleteRegistryKey(HKEY_CURRENT_USER, ChildOverridesKey);
    if (exitCode != 0) return "failed";
    std::string loaded;
    for (const char* name : LateLibraries)
        if (FileExists(folder + "\\" + name + ".dll.loaded")) loaded += std::string(" ") + name;
    return loaded;
}

TEST(DllSearch, TheProbeMarksEveryLoad) {
    std::string folder = ScratchFolder("release-probe");
    std::string dll = folder + "\\probe.dll";
    ASSERT_TRUE(CopyFileA(WindowsPath(RELEASE_PROBE_DLL).c_str(), dll.c_str(), FALSE));
    EXPECT_TRUE(LoadLibraryA(dll.c_str()) == NULL);  // it refuses to stay
    EXPECT_TRUE(FileExists(dll + ".loaded"));
}

TEST(DllSearch, PlantedLibrariesAreLoadedWithoutTheRestriction) {
    // Shows the scenario is live here, so the next test's silence means something.
    EXPECT_EQ(" comctl32 msimg32 uxtheme",
              RunPlantedCopy("release-unrestricted", "--unrestricted"));
}

TEST(DllSearch, PlantedLibrariesAreNotLoadedOnceTheSearchIsRestricted) {
    EXPECT_EQ("", RunPlantedCopy("release-restricted", "--restricted"));
}

}  // namespace
