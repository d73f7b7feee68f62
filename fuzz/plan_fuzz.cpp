// The install plan over any survey: one row per surveyed file, composed into a
// block of exactly the room given (the survey in a block of its own count), or
// one refusal. A ready plan's rows join the folders with their names, say what
// the run does with each (by what a seal, when there is one, says of it), and
// count the copied rows and bytes before each one.
#include "fuzz/fuzz_check.h"
#include "install/install_tables.h"
#include "install/plan.h"
#include "tables/tables.h"

// A surveyed file from the input; once the input is used up, plain names.
static void TakeDiskFile(FuzzInput* in, int index, struct DiskFile* file) {
    uint8_t flags = TakeByte(in), sealing = TakeByte(in);
    uint64_t size = 0;
    for (int i = 0; i < 6; ++i) size = size << 8 | TakeByte(in);  // below 2^48 a file
    char* name = TakeText(in);
    if (name[0])
        snprintf(file->name, sizeof file->name, "%s", name);
    else
        snprintf(file->name, sizeof file->name, "f%d.txt", index);
    free(name);
    file->size = size;
    file->present = in->size == 0 || !(flags & 1);
    file->manifestRow = flags & 2 ? (flags >> 3) % FileManifestRows : -1;
    file->utf8Name = (flags & 4) != 0;
    // Sealed or not, listed or not, of the seal's size or one more.
    file->seal.sealed = sealing & 1;
    file->seal.listed = (sealing & 2) != 0;
    file->seal.size = size + ((sealing & 4) != 0);
    memset(file->seal.digest, sealing, Sha256Size);
}

static void CheckRow(const struct InstallPlan* plan, const struct DiskFile* disk,
                     const struct PlannedFile* row, const char* source, int* copied,
                     uint64_t* bytes) {
    char expected[2 * PathBufferSize + DiskNameSize];
    snprintf(expected, sizeof expected, "%s%s", source, disk->name);
    FUZZ_CHECK(strcmp(row->source, expected) == 0);
    snprintf(expected, sizeof expected, "%s%s", plan->destinationPath, disk->name);
    FUZZ_CHECK(strcmp(row->destination, expected) == 0);
    FUZZ_CHECK(row->sourceNameAt == (int)strlen(source));
    FUZZ_CHECK(row->destinationNameAt == (int)strlen(plan->destinationPath));
    // The temporary name lies in the destination's folder.
    const char* folderEnd = strrchr(row->destination, '\\');
    size_t folder = (size_t)(folderEnd - row->destination) + 1;
    FUZZ_CHECK(strncmp(row->temp, row->destination, folder) == 0);
    FUZZ_CHECK(strcmp(row->temp + folder, "~stp0000.tmp") == 0);
    int mandatory = disk->manifestRow >= 0 && disk->manifestRow < MandatoryRowCount;
    enum RowAction action = !disk->present       ? (mandatory ? AskRow : PassOverRow)
                            : !disk->seal.sealed ? CopyRow
                            : !disk->seal.listed ? NotListedRow
                            : disk->seal.size == disk->size ? CopyRow
                                                            : DamagedRow;
    FUZZ_CHECK(row->action == action && row->mandatory == mandatory);
    FUZZ_CHECK(row->size == (action == CopyRow ? disk->size : 0));
    FUZZ_CHECK(memcmp(&row->seal, &disk->seal, sizeof row->seal) == 0);
    FUZZ_CHECK(row->outcome == FileNotTried && row->utf8Name == disk->utf8Name);
    FUZZ_CHECK(row->inViewer == (strchr(disk->name, '\\') != 0));
    FUZZ_CHECK(row->bytesBefore == *bytes);
    if (action == CopyRow) ++*copied, *bytes += disk->size;
    FUZZ_CHECK(row->copyNumber == *copied);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in = {data, size};
    int edition = TakeByte(&in) & 1;
    int count = TakeByte(&in) | (TakeByte(&in) & 7) << 8;  // up to 2,047 files
    int room = count - (TakeByte(&in) == 0xFF);            // now and then one row short
    char* field = TakeText(&in);
    char* source = TakeText(&in);
    struct DiskFile* files = (struct DiskFile*)malloc(sizeof *files * (count ? count : 1));
    int longest = 0;
    for (int i = 0; i < count; ++i) {
        TakeDiskFile(&in, i, &files[i]);
        if ((int)strlen(files[i].name) > longest) longest = (int)strlen(files[i].name);
    }
    struct DiskSurvey disk = {files, count, 0};
    FUZZ_CHECK(LongestSurveyName(&disk) == longest);
    struct PlannedFile* rows = (struct PlannedFile*)malloc(sizeof *rows * (room > 0 ? room : 1));
    struct InstallPlan plan;
    enum PlanOutcome outcome =
        ComposeInstallPlan(field, source, &disk, edition, English, rows, room, &plan);
    if (outcome == PlanNoMemory) FUZZ_CHECK(count > room);
    if (outcome == PlanReady) {
        FUZZ_CHECK(plan.fileCount == count && count <= room);
        FUZZ_CHECK((int)strlen(plan.destinationPath) + longest <= PathBufferSize - 1);
        int copied = 0, program = -1;
        uint64_t bytes = 0;
        for (int i = 0; i < count; ++i) {
            CheckRow(&plan, &files[i], &rows[i], source, &copied, &bytes);
            if (files[i].manifestRow == 0 && program < 0) program = i;
        }
        FUZZ_CHECK(plan.copyFiles == copied && plan.copyBytes == bytes);
        FUZZ_CHECK(PlanBytesNeeded(&plan, 0, [](const char*) -> uint64_t { return 0; }) == bytes);
        FUZZ_CHECK(PlanCopiedBytes(&plan) == 0 && PlanFilesIgnored(&plan) == 0);
        // A survey's row of manifest row 0 is the program's.
        FUZZ_CHECK((plan.programRow < 0) == (program < 0));
        if (program >= 0) FUZZ_CHECK(files[plan.programRow].manifestRow == 0);
    }
    free(rows);
    free(files);
    free(field);
    free(source);
    return 0;
}
