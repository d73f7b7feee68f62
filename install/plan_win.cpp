// The survey of the disk, the plan made from it, and the destination volume's
// room for it.
#include <windows.h>
#include <limits.h>
#include <restartmanager.h>

#include "install/install_tables.h"
#include "install/plan.h"
#include "install/seal.h"
#include "platform/source_directory.h"
#include "platform/system_calls.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"

// The rows of the last survey and the plan's rows, grown as needed and kept
// for the rest of the run.
static struct DiskFile* SurveyRows;
static int SurveyCapacity;
static struct PlannedFile* PlanRows;
static int PlanCapacity;

// Room for at least needed rows, the survey's growing by doubling; 0 when
// memory ran out (or the bytes would not fit a size).
static int RoomForRows(void** rows, int* capacity, int needed, SIZE_T rowSize) {
    if (needed <= *capacity) return 1;
    int more = needed;
    if (*capacity > 0 && *capacity <= INT_MAX / 2 && 2 * *capacity > needed) more = 2 * *capacity;
    if ((SIZE_T)more > ~(SIZE_T)0 / rowSize) return 0;
    SIZE_T bytes = (SIZE_T)more * rowSize;
    void* grown = *rows ? HeapReAlloc(GetProcessHeap(), 0, *rows, bytes)
                        : HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!grown) return 0;
    *rows = grown;
    *capacity = more;
    return 1;
}

static struct DiskFile* AddRow(struct DiskSurvey* disk, const char* folder, const char* name,
                               int manifestRow) {
    if (disk->count == INT_MAX ||
        !RoomForRows((void**)&SurveyRows, &SurveyCapacity, disk->count + 1, sizeof *SurveyRows))
        return 0;
    disk->files = SurveyRows;  // the rows may have moved
    struct DiskFile* row = &SurveyRows[disk->count];
    if (!JoinTexts(row->name, sizeof row->name, folder, name)) {
        disk->nameTooLong = 1;
        return row;  // not counted
    }
    row->size = 0;
    row->present = 0;
    row->manifestRow = manifestRow;
    row->utf8Name = 0;
    row->seal.sealed = row->seal.listed = 0;
    ++disk->count;
    return row;
}

// A manifest row under its own name, there or not.
static int SurveyManifestRow(const char* sourceDirectory, const char* name, int manifestRow,
                             struct DiskSurvey* disk) {
    char path[PathBufferSize];
    struct DiskFile* row = AddRow(disk, "", name, manifestRow);
    if (!row) return 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    // A path that does not fit reads as missing; the plan refuses the folder.
    if (JoinTexts(path, sizeof path, sourceDirectory, name) &&
        GetFileAttributesExA(path, GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        row->present = 1;
        row->size = (uint64_t)data.nFileSizeHigh << 32 | data.nFileSizeLow;
    }
    return 1;
}

// A found name as the ANSI calls know it, or in UTF-8 (*utf8) where the code
// page cannot hold it; 0 when neither fits.
static int NarrowName(const WCHAR* wide, char* name, int size, int* utf8) {
    BOOL lossy = FALSE;
    *utf8 = 0;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, name, size, NULL, &lossy) &&
        !lossy)
        return 1;
    *utf8 = 1;
    return WideCharToMultiByte(CP_UTF8, 0, wide, -1, name, size, NULL, NULL) != 0;
}

// Every plain file of folder (below the setup folder) matching pattern,
// found by the wide calls so that every name on the disk is had; 0 when
// memory ran out.
static int SurveyMatching(const char* sourceDirectory, const char* folder, const char* pattern,
                          struct DiskSurvey* disk) {
    char search[PathBufferSize], name[DiskNameSize];
    WCHAR wideSearch[PathBufferSize];
    WIN32_FIND_DATAW entry;
    // A search that does not fit finds nothing; the plan refuses the folder.
    if (!JoinTexts(search, sizeof search, sourceDirectory, folder) ||
        !AppendText(search, sizeof search, pattern) ||
        !MultiByteToWideChar(CP_ACP, 0, search, -1, wideSearch, PathBufferSize))
        return 1;
    HANDLE find = FindFirstFileW(wideSearch, &entry);
    if (find == INVALID_HANDLE_VALUE) return 1;
    int ok = 1;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        int utf8 = 0;
        if (!NarrowName(entry.cFileName, name, sizeof name, &utf8)) {
            disk->nameTooLong = 1;
            continue;
        }
        struct DiskFile* row = AddRow(disk, folder, name, -1);
        if (!row)
            ok = 0;
        else {
            row->present = 1;
            row->size = (uint64_t)entry.nFileSizeHigh << 32 | entry.nFileSizeLow;
            row->utf8Name = utf8;
        }
    } while (ok && FindNextFileW(find, &entry));
    FindClose(find);
    return ok;
}

int SurveyDisk(const char* sourceDirectory, int edition, struct DiskSurvey* disk) {
    char viewer[16];
    disk->files = SurveyRows;
    disk->count = 0;
    disk->nameTooLong = 0;
    int ok = 1;
    for (int row = 0; ok && row < FileManifestRows; ++row)
        ok = SurveyManifestRow(sourceDirectory, ManifestFileName(row, edition), row, disk);
    for (int i = 0; ok && i < CopiedPatternCount; ++i)
        ok = SurveyMatching(sourceDirectory, "", CopiedPatterns[i], disk);
    if (ok && JoinTexts(viewer, sizeof viewer, ViewerFolder, "\\"))
        ok = SurveyMatching(sourceDirectory, viewer, "*", disk);
    return ok;
}

int SourceDirectoryHoldsDiskNames(void) {
    struct DiskSurvey disk;
    // Without memory for the survey the names are checked again by the plan.
    if (!SurveyDisk(SourceDirectory, Edition, &disk)) return 1;
    return !disk.nameTooLong &&
           SourceDirectoryAcceptable(SourceDirectory, Edition, LongestSurveyName(&disk));
}

// What the program's seal says of every surveyed name (read only for an
// install: the start-up's survey has no use for it).
static void LookUpSealedFiles(const struct DiskSurvey* disk) {
    if (!ProgramIsSealed()) return;
    for (int i = 0; i < disk->count; ++i) {
        struct SealedFile* seal = &SurveyRows[i].seal;
        seal->sealed = 1;
        seal->listed =
            FindSealedFile(SurveyRows[i].name, SurveyRows[i].utf8Name, &seal->size, seal->digest);
    }
}

enum PlanOutcome MakeInstallPlan(const char* fieldText, struct InstallPlan* plan) {
    struct DiskSurvey disk;
    // Exactly one row per surveyed file; a shortage is refused by the plan.
    if (!SurveyDisk(SourceDirectory, Edition, &disk) ||
        !RoomForRows((void**)&PlanRows, &PlanCapacity, disk.count, sizeof *PlanRows))
        return PlanNoMemory;
    LookUpSealedFiles(&disk);
    return ComposeInstallPlan(fieldText, SourceDirectory, &disk, Edition, LanguageIndex, PlanRows,
                              PlanCapacity, plan);
}

// The size of the file a copy replaces; 0 for none.
static uint64_t ExistingFileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA old;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &old) ||
        (old.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return (uint64_t)old.nFileSizeHigh << 32 | old.nFileSizeLow;
}

int MeasureVolumeRoom(const struct InstallPlan* plan, struct VolumeRoom* room) {
    // The drive's root: the destination folder itself may not exist yet.
    char root[4] = {plan->destinationPath[0], ':', '\\', 0};
    ULARGE_INTEGER free;
    if (!GetDiskFreeSpaceExA(root, &free, NULL, NULL)) return 0;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters, clusters;
    uint32_t clusterSize = 0;  // plain sizes when the clusters cannot be read
    if (GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        clusterSize = sectorsPerCluster * bytesPerSector;
    room->needed = PlanBytesNeeded(plan, clusterSize, ExistingFileSize);
    room->available = free.QuadPart;
    return 1;
}

int FindFileInUse(const struct InstallPlan* plan) {
    for (int i = 0; i < plan->fileCount; ++i) {
        // Without sharing, as the copy's rename needs it; a missing file is not in use.
        HANDLE file = CreateFileA(plan->files[i].destination, GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            continue;
        }
        DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return i;
    }
    return -1;
}

struct RestartManager {
    DWORD(WINAPI* start)(DWORD*, DWORD, WCHAR*);
    DWORD(WINAPI* add)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
    DWORD(WINAPI* list)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, DWORD*);
    DWORD(WINAPI* end)(DWORD);
};

static int AppendProgramNames(const RM_PROCESS_INFO* programs, UINT count, char* out, int size) {
    out[0] = 0;
    for (UINT i = 0; i < count; ++i) {
        char name[CCH_RM_MAX_APP_NAME + 1];
        if (!WideCharToMultiByte(CP_ACP, 0, programs[i].strAppName, -1, name, sizeof name, NULL,
                                 NULL) ||
            !name[0])
            continue;
        // A list too long for the message ends where it stops fitting.
        if ((out[0] && !AppendText(out, size, ", ")) || !AppendText(out, size, name)) break;
    }
    return out[0] != 0;
}

int NameProgramsUsing(const char* path, char* out, int size) {
    enum { Listed = 8 };
    struct RestartManager rm;
    WCHAR widePath[PathBufferSize], key[CCH_RM_SESSION_KEY + 1] = {0};
    if (!FindSystemProcedure(&rm.start, CallRmStartSession) ||
        !FindSystemProcedure(&rm.add, CallRmRegisterResources) ||
        !FindSystemProcedure(&rm.list, CallRmGetList) ||
        !FindSystemProcedure(&rm.end, CallRmEndSession) ||
        !MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, PathBufferSize))
        return 0;
    DWORD session;
    if (rm.start(&session, 0, key) != ERROR_SUCCESS) return 0;
    LPCWSTR files[1] = {widePath};
    RM_PROCESS_INFO programs[Listed];
    UINT needed = 0, count = Listed;
    DWORD reasons = 0, listed = ERROR_INVALID_HANDLE;
    if (rm.add(session, 1, files, 0, NULL, 0, NULL) == ERROR_SUCCESS)
        listed = rm.list(session, &needed, &count, programs, &reasons);
    rm.end(session);  // a session not ended is the system's to clean up
    // More programs than the list holds fill none of it: the file is named instead.
    return listed == ERROR_SUCCESS && AppendProgramNames(programs, count, out, size);
}
