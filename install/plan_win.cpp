// The survey of the disk, the plan made from it, and the destination volume's
// room for it.
#include "install/install_tables.h"
#include "install/plan.h"
#include "platform/source_directory.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"

// The rows of the last survey and the plan's rows, grown as needed and kept
// for the rest of the run.
static struct DiskFile* SurveyRows;
static int SurveyCapacity;
static struct PlannedFile* PlanRows;
static int PlanCapacity;

// Room for one more row; 0 when memory ran out.
static int GrowRows(void** rows, int* capacity, int count, int rowSize) {
    if (count < *capacity) return 1;
    int more = *capacity ? 2 * *capacity : 64;
    SIZE_T bytes = (SIZE_T)more * (SIZE_T)rowSize;
    void* grown = *rows ? HeapReAlloc(GetProcessHeap(), 0, *rows, bytes)
                        : HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!grown) return 0;
    *rows = grown;
    *capacity = more;
    return 1;
}

static uint64_t FoundSize(const WIN32_FIND_DATAA* entry) {
    return (uint64_t)entry->nFileSizeHigh << 32 | entry->nFileSizeLow;
}

static struct DiskFile* AddRow(struct DiskSurvey* disk, const char* folder, const char* name,
                               int manifestRow) {
    if (!GrowRows((void**)&SurveyRows, &SurveyCapacity, disk->count, sizeof *SurveyRows))
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

// Every plain file of folder (below the setup folder) matching pattern; 0
// when memory ran out.
static int SurveyMatching(const char* sourceDirectory, const char* folder, const char* pattern,
                          struct DiskSurvey* disk) {
    char search[PathBufferSize];
    WIN32_FIND_DATAA entry;
    // A search that does not fit finds nothing; the plan refuses the folder.
    if (!JoinTexts(search, sizeof search, sourceDirectory, folder) ||
        !AppendText(search, sizeof search, pattern))
        return 1;
    HANDLE find = FindFirstFileA(search, &entry);
    if (find == INVALID_HANDLE_VALUE) return 1;
    int ok = 1;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        struct DiskFile* row = AddRow(disk, folder, entry.cFileName, -1);
        if (!row) ok = 0;
        else {
            row->present = 1;
            row->size = FoundSize(&entry);
        }
    } while (ok && FindNextFileA(find, &entry));
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

enum PlanOutcome MakeInstallPlan(const char* fieldText, struct InstallPlan* plan) {
    struct DiskSurvey disk;
    if (!SurveyDisk(SourceDirectory, Edition, &disk) ||
        (disk.count > 0 &&
         !GrowRows((void**)&PlanRows, &PlanCapacity, disk.count - 1, sizeof *PlanRows)))
        return PlanNoMemory;
    return ComposeInstallPlan(fieldText, SourceDirectory, &disk, Edition, LanguageIndex, PlanRows,
                              plan);
}

static uint64_t ExistingFileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA old;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &old) ||
        (old.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return (uint64_t)old.nFileSizeHigh << 32 | old.nFileSizeLow;
}

int PlanFitsVolume(struct InstallPlan* plan, uint64_t* needed, uint64_t* available) {
    // The drive's root: the destination folder itself may not exist yet.
    char root[4] = {plan->destinationPath[0], ':', '\\', 0};
    ULARGE_INTEGER free;
    if (!GetDiskFreeSpaceExA(root, &free, NULL, NULL)) return 1;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters, clusters;
    uint32_t clusterSize = 0;  // plain sizes when the clusters cannot be read
    if (GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        clusterSize = sectorsPerCluster * bytesPerSector;
    for (int i = 0; i < plan->fileCount; ++i)
        if (plan->files[i].present)
            plan->files[i].replacedSize = ExistingFileSize(plan->files[i].destination);
    *needed = PlanBytesNeeded(plan, clusterSize);
    *available = free.QuadPart;
    return *needed <= *available;
}
