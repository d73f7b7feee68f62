#include "install/plan.h"

#include "install/install_tables.h"
#include "install/start_product.h"
#include "tables/bounded_text.h"
#include "tables/tables.h"

// "~stp" and four hexadecimal digits: CopyTempNameLength characters.
static void WriteCopyTempName(char* name, unsigned number) {
    static const char pattern[] = "~stp0000.tmp";
    for (int i = 0; i < CopyTempNameLength; ++i) name[i] = pattern[i];
    for (int i = 7; i >= 4; --i, number >>= 4) name[i] = "0123456789ABCDEF"[number & 15];
}

int CopyTempPath(const char* destination, unsigned number, char* out, int size) {
    int folder = TextLength(destination);
    while (folder > 0 && destination[folder - 1] != '\\') --folder;
    if (folder + CopyTempNameLength >= size) return 0;
    for (int i = 0; i < folder; ++i) out[i] = destination[i];
    WriteCopyTempName(out + folder, number);
    out[folder + CopyTempNameLength] = 0;
    return 1;
}

static int IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int IsCopyTempName(const char* name) {
    char sample[CopyTempNameLength + 1];
    WriteCopyTempName(sample, 0);
    sample[CopyTempNameLength] = 0;
    if (TextLength(name) != CopyTempNameLength) return 0;
    for (int i = 4; i < 8; ++i) {
        if (!IsHexDigit(name[i])) return 0;
        sample[i] = name[i];
    }
    return EqualIgnoringCase(name, sample);
}

void NumberCopyTemp(char* temp, unsigned number) {
    int n = TextLength(temp);
    if (n >= CopyTempNameLength) WriteCopyTempName(temp + n - CopyTempNameLength, number);
}

static int Longer(int longest, int n) { return n > longest ? n : longest; }

static int LongestManifestName(int edition) {
    int longest = 0;
    for (int row = 0; row < FileManifestRows; ++row)
        longest = Longer(longest, TextLength(ManifestFileName(row, edition)));
    return longest;
}

enum { ViewerPrefixLength = sizeof "viewer\\" - 1 };  // ViewerFolder and its backslash

static int LongestInstalledName(int edition, int longestDiskName) {
    int longest = Longer(LongestManifestName(edition), longestDiskName);
    longest = Longer(longest, ViewerPrefixLength + CopyTempNameLength);
    for (int language = 0; language < MarkerLanguageCount; ++language) {
        const char* marker = MarkerName(language);
        if (marker) longest = Longer(longest, TextLength(marker));
    }
    return longest;
}

int DestinationLengthLimit(int edition, int longestDiskName) {
    return PathBufferSize - 2 - LongestInstalledName(edition, longestDiskName);
}

// With its final backslash.
static int RoomForInstalledNames(const char* path, int edition, int longestDiskName) {
    return TextLength(path) <= DestinationLengthLimit(edition, longestDiskName) + 1;
}

int DestinationPathAcceptable(const char* path, int edition, int longestDiskName) {
    return PlainAbsolutePath(path) && RoomForInstalledNames(path, edition, longestDiskName);
}

int SourceDirectoryAcceptable(const char* sourceDirectory, int edition, int longestDiskName) {
    // The searches for the pattern files and the viewer's files count too.
    int longest = Longer(LongestManifestName(edition), longestDiskName);
    longest = Longer(longest, ViewerPrefixLength + 1);
    return TextLength(sourceDirectory) + longest <= PathBufferSize - 1;
}

uint64_t BytesOnVolume(uint64_t size, uint32_t clusterSize) {
    if (clusterSize == 0) return size;
    return (size + clusterSize - 1) / clusterSize * clusterSize;
}

// The amount in KB, MB or GB, whichever keeps it below five digits.
static int FormatAmount(uint64_t bytes, int roundUp, char* out, int size) {
    static const char* const units[] = {" KB", " MB", " GB"};
    uint64_t amount = bytes;
    int unit = 0;
    for (;; ++unit) {
        amount = roundUp ? (amount + 1023) / 1024 : amount / 1024;
        if (amount < 10000 || unit == 2) break;
    }
    char digits[24];
    int n = 0;
    do {
        digits[n++] = (char)('0' + amount % 10);
        amount /= 10;
    } while (amount);
    char text[32];
    for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    text[n] = 0;
    return CopyText(out, size, text) && AppendText(out, size, units[unit]);
}

int FormatSpaceMessage(const char* format, uint64_t needed, uint64_t available, char* out,
                       int size) {
    char amounts[2][32];
    if (!FormatAmount(needed, 1, amounts[0], sizeof amounts[0]) ||
        !FormatAmount(available, 0, amounts[1], sizeof amounts[1]) || size <= 0)
        return 0;
    int k = 0, inserted = 0;
    for (const char* f = format; *f; ++f) {
        const char* piece = 0;
        char one[2] = {*f, 0};
        if (f[0] == '%' && f[1] == 's' && inserted < 2) {
            piece = amounts[inserted++];
            ++f;
        } else {
            piece = one;
        }
        for (; *piece; ++piece) {
            if (k + 1 >= size) return 0;
            out[k++] = *piece;
        }
    }
    out[k] = 0;
    return 1;
}

int ManifestRowIsMandatory(int row) { return row >= 0 && row < MandatoryRowCount; }

int LongestSurveyName(const struct DiskSurvey* disk) {
    int longest = 0;
    for (int i = 0; i < disk->count; ++i)
        longest = Longer(longest, TextLength(disk->files[i].name));
    return longest;
}

static enum RowAction ActionFor(const struct DiskFile* disk) {
    if (!disk->present) return ManifestRowIsMandatory(disk->manifestRow) ? AskRow : PassOverRow;
    if (!disk->seal.sealed) return CopyRow;
    if (!disk->seal.listed) return NotListedRow;
    return disk->size == disk->seal.size ? CopyRow : DamagedRow;
}

static int PlanFile(const struct DiskFile* disk, const char* sourceDirectory,
                    const char* destinationPath, struct PlannedFile* file) {
    file->action = ActionFor(disk);
    file->size = file->action == CopyRow ? disk->size : 0;  // the bytes the run will copy
    file->seal = disk->seal;
    file->manifestRow = disk->manifestRow;
    file->mandatory = ManifestRowIsMandatory(disk->manifestRow);
    file->utf8Name = disk->utf8Name;
    file->sourceNameAt = TextLength(sourceDirectory);
    file->destinationNameAt = TextLength(destinationPath);
    // Only the viewer's names hold a backslash: the rest are plain file names.
    file->inViewer = FindCharacterForward(disk->name, '\\') != 0;
    file->outcome = FileNotTried;
    return JoinTexts(file->source, sizeof file->source, sourceDirectory, disk->name) &&
           JoinTexts(file->destination, sizeof file->destination, destinationPath, disk->name) &&
           CopyTempPath(file->destination, 0, file->temp, sizeof file->temp);
}

// The texts the install writes besides the files, each composed once into
// the plan's buffer of its own limit.
static int PlanRecords(int edition, int language, struct InstallPlan* plan) {
    const char* path = plan->destinationPath;
    const char* program = MainExecutableName(edition);
    const char* marker = MarkerName(language);
    plan->markerPath[0] = 0;
    return JoinTexts(plan->viewerFolder, sizeof plan->viewerFolder, path, ViewerFolder) &&
           JoinTexts(plan->programPath, sizeof plan->programPath, path, program) &&
           ProgramCommandLine(path, program, plan->programCommand, sizeof plan->programCommand) &&
           ComposeAddItemCommand(plan->addItemCommand, sizeof plan->addItemCommand,
                                 plan->programPath, ProductString(ProductName, edition)) &&
           ComposeUninstallEntry(path, edition, &plan->uninstall) &&
           PerUserPathValue(path, plan->perUserPath, sizeof plan->perUserPath) &&
           (!marker || JoinTexts(plan->markerPath, sizeof plan->markerPath, path, marker));
}

// The row's place in the progress: the copied rows counted before it.
static void CountRow(struct PlannedFile* file, struct InstallPlan* plan) {
    if (file->action == CopyRow) ++plan->copyFiles;
    file->copyNumber = plan->copyFiles;
    file->bytesBefore = plan->copyBytes;
    if (file->action == CopyRow) plan->copyBytes += file->size;
    if (file->manifestRow == 0) plan->programRow = plan->fileCount;
}

enum PlanOutcome ComposeInstallPlan(const char* fieldText, const char* sourceDirectory,
                                    const struct DiskSurvey* disk, int edition, int language,
                                    struct PlannedFile* files, int fileRoom,
                                    struct InstallPlan* plan) {
    plan->files = files;
    plan->fileCount = 0;
    plan->copyFiles = 0;
    plan->copyBytes = 0;
    plan->programRow = -1;
    plan->destinationPath[0] = 0;
    int longest = LongestSurveyName(disk);
    plan->destinationLimit = DestinationLengthLimit(edition, longest);
    if (!MakeDestinationPath(fieldText, plan->destinationPath, sizeof plan->destinationPath) ||
        !RoomForInstalledNames(plan->destinationPath, edition, longest))
        return PlanDestinationTooLong;
    if (!PlainAbsolutePath(plan->destinationPath) || !PlanRecords(edition, language, plan))
        return PlanInvalidFolder;
    if (disk->nameTooLong || !SourceDirectoryAcceptable(sourceDirectory, edition, longest))
        return PlanSourceTooLong;
    if (disk->count > fileRoom) return PlanNoMemory;
    for (int i = 0; i < disk->count; ++i) {
        struct PlannedFile* file = &files[i];
        if (!PlanFile(&disk->files[i], sourceDirectory, plan->destinationPath, file))
            return PlanInvalidFolder;
        CountRow(file, plan);
        plan->fileCount = i + 1;
    }
    return PlanReady;
}

uint64_t PlanBytesNeeded(const struct InstallPlan* plan, uint32_t clusterSize,
                         uint64_t (*sizeInPlace)(const char* destination)) {
    uint64_t needed = 0, replaced = 0;
    for (int i = 0; i < plan->fileCount; ++i) {
        const struct PlannedFile* file = &plan->files[i];
        if (file->action != CopyRow) continue;
        needed += BytesOnVolume(file->size, clusterSize);
        replaced += BytesOnVolume(sizeInPlace(file->destination), clusterSize);
    }
    return needed > replaced ? needed - replaced : 0;
}

uint64_t PlanCopiedBytes(const struct InstallPlan* plan) {
    uint64_t bytes = 0;
    for (int i = 0; i < plan->fileCount; ++i)
        if (plan->files[i].outcome == FileCopied) bytes += plan->files[i].size;
    return bytes;
}

int PlanFilesIgnored(const struct InstallPlan* plan) {
    int ignored = 0;
    for (int i = 0; i < plan->fileCount; ++i) ignored += plan->files[i].outcome == FileIgnored;
    return ignored;
}

int PlanFilesNotListed(const struct InstallPlan* plan) {
    int left = 0;
    for (int i = 0; i < plan->fileCount; ++i) left += plan->files[i].outcome == FileNotListed;
    return left;
}

int PlanProgramCopied(const struct InstallPlan* plan) {
    return plan->programRow >= 0 && plan->files[plan->programRow].outcome == FileCopied;
}
