// The install plan: everything a run writes, composed from one survey of the
// disk before anything is created. Every refusal comes from building it; once
// built, carrying it out meets no text that does not fit.
#pragma once
#include <stdint.h>

#include "install/registration.h"
#include "platform/sha256.h"
#include "progman/progman.h"
#include "tables/folder_names.h"

// Names the install creates beside the files it copies while each is on its
// way: "~stp0000.tmp" and on, one folder with the file.
enum { CopyTempNameLength = 12 };
int CopyTempPath(const char* destination, unsigned number, char* out, int size);
// Whether a file name is one CopyTempPath makes: "~stp", four hexadecimal
// digits, ".tmp" (any case).
int IsCopyTempName(const char* name);
// Gives a temporary path made by CopyTempPath another number, in place.
void NumberCopyTemp(char* temp, unsigned number);

// Whether DestinationPath may be handed to Create folder path: a drive letter,
// a colon and a backslash, then plain folder names (see PlainFolderName), and
// room for every path and text the install composes with it. longestDiskName
// is the longest name on the disk that is joined to it (the viewer's files
// counted with "viewer\").
int DestinationPathAcceptable(const char* path, int edition, int longestDiskName);
// The most characters a destination typed without a final backslash may
// have: what the longest name joined to it leaves of a path.
int DestinationLengthLimit(int edition, int longestDiskName);
// Whether SourceDirectory joined with every name read from it fits.
int SourceDirectoryAcceptable(const char* sourceDirectory, int edition, int longestDiskName);

// Bytes a file of the size takes on a volume of clusterSize-byte clusters
// (0: not known, the size itself).
uint64_t BytesOnVolume(uint64_t size, uint32_t clusterSize);
// Formats the short-of-space message: the format's first %s gets the bytes
// needed (rounded up), the second the bytes free (rounded down), each in KB,
// MB or GB. 0 when it does not fit.
int FormatSpaceMessage(const char* format, uint64_t needed, uint64_t available, char* out,
                       int size);

// Manifest row policy: a failed copy of a mandatory row asks the user.
int ManifestRowIsMandatory(int row);

// What the disk holds of what the install copies: every manifest row, there
// or not, then the files matching the copied patterns and the viewer's files,
// each by its name below the setup folder ("viewer\\" for the viewer's).
// What the program's seal says of a name.
struct SealedFile {
    int sealed;  // 0: the program carries no seal
    int listed;  // the seal lists the name, with this size and digest
    uint64_t size;
    unsigned char digest[Sha256Size];
};
struct DiskFile {
    char name[DiskNameSize];
    uint64_t size;
    int present;      // 0: a manifest row missing from the disk
    int manifestRow;  // -1 for the pattern and viewer files
    int utf8Name;     // a name the ANSI code page cannot hold, in UTF-8
    struct SealedFile seal;
};
struct DiskSurvey {
    const struct DiskFile* files;
    int count;
    int nameTooLong;  // a file whose name no row could hold was found
};
// The longest name of the survey, absent manifest rows included.
int LongestSurveyName(const struct DiskSurvey* disk);

// What the run does with a planned file, decided by the plan.
enum RowAction {
    CopyRow,      // on the disk: copied (a failure asks Abort/Retry/Ignore)
    AskRow,       // a mandatory file missing from the disk: Abort/Retry/Ignore
    PassOverRow,  // an optional file missing from the disk: not a word
    // A sealed program's files: one on the disk that the seal does not list
    // is not copied (and counted at the end); one of another size than the
    // seal's is damaged: Abort/Retry/Ignore, copied only once it matches.
    NotListedRow,
    DamagedRow,
};
// How the run left a planned file, recorded in its row.
enum CopyOutcome {
    FileNotTried,
    FileCopied,
    FilePassedOver,
    FileIgnored,
    CopyAborted,
    FileNotListed,
};

struct PlannedFile {
    char source[PathBufferSize];
    char destination[PathBufferSize];
    char temp[PathBufferSize];  // the first temporary name tried
    uint64_t size;              // the survey's; 0 for a file missing from it
    enum RowAction action;
    int mandatory, manifestRow;
    int inViewer;  // copied into the viewer folder, made just before the first
    // Where the disk's name begins in source and destination; behind it the
    // name is UTF-8 when utf8Name is set (the folders are ANSI).
    int sourceNameAt, destinationNameAt, utf8Name;
    // The progress a copy of this row shows: its number among the rows the
    // run copies (for a row that is not copied, the number before it) and
    // the bytes of those copied before it.
    int copyNumber;
    uint64_t bytesBefore;
    enum CopyOutcome outcome;  // FileNotTried until the run reaches the row
    // With a seal, a copy is kept only when it has the seal's size and
    // digest; one of a name the seal does not list never is.
    struct SealedFile seal;
};

struct InstallPlan {
    char destinationPath[PathBufferSize];  // ends in a backslash
    int destinationLimit;                  // DestinationLengthLimit for this disk
    char viewerFolder[PathBufferSize];
    struct PlannedFile* files;  // one per surveyed file, in copy order
    int fileCount;
    int copyFiles;       // rows whose action is CopyRow
    uint64_t copyBytes;  // and their bytes
    int programRow;      // the main executable's row
    char programPath[PathBufferSize];
    char programCommand[ProgramCommandSize];  // quoted, for a start without the shell
    char addItemCommand[DdeCommandSize];
    struct UninstallEntry uninstall;
    char perUserPath[PathBufferSize];
    char markerPath[PathBufferSize];  // empty: no marker (English)
};

enum PlanOutcome {
    PlanReady,
    PlanInvalidFolder,
    PlanDestinationTooLong,  // longer than destinationLimit
    PlanSourceTooLong,
    PlanNoMemory,
};
// Composes the plan for the destination typed in the field and the surveyed
// disk into files, which has room for fileRoom rows: one row per surveyed
// file (PlanNoMemory when they do not fit). Anything that would not fit
// refuses the whole plan.
enum PlanOutcome ComposeInstallPlan(const char* fieldText, const char* sourceDirectory,
                                    const struct DiskSurvey* disk, int edition, int language,
                                    struct PlannedFile* files, int fileRoom,
                                    struct InstallPlan* plan);
// Bytes the files the run copies take on a volume of clusterSize-byte
// clusters, less those of the files they replace: sizeInPlace gives the size
// of the file at a destination (0 for none).
uint64_t PlanBytesNeeded(const struct InstallPlan* plan, uint32_t clusterSize,
                         uint64_t (*sizeInPlace)(const char* destination));
// What the run did, from the rows' outcomes: the bytes copied (by the
// survey's sizes), the files not copied after an ignored failure, and
// whether the main executable was copied.
uint64_t PlanCopiedBytes(const struct InstallPlan* plan);
int PlanFilesIgnored(const struct InstallPlan* plan);
// The files on the disk that the seal does not list, left on it.
int PlanFilesNotListed(const struct InstallPlan* plan);
int PlanProgramCopied(const struct InstallPlan* plan);

#ifdef _WIN32
#include <windows.h>

// Surveys the disk in sourceDirectory once; 0 when memory ran out. The
// survey's rows stay until the next survey.
int SurveyDisk(const char* sourceDirectory, int edition, struct DiskSurvey* disk);
// Whether the setup folder leaves room for every name on the disk that the
// install looks for: a folder without it would install only some files.
int SourceDirectoryHoldsDiskNames(void);
// Surveys the disk and composes the plan for the field's text, its rows
// allocated for the survey's count; they stay until the next call.
enum PlanOutcome MakeInstallPlan(const char* fieldText, struct InstallPlan* plan);
// The first planned file already in the destination that a running program
// holds (it cannot be opened for writing); -1 when there is none.
int FindFileInUse(const struct InstallPlan* plan);
// The programs that hold path, as the system's Restart Manager names them,
// joined with ", " into out; 0 where the system cannot tell (or names none).
int NameProgramsUsing(const char* path, char* out, int size);
// The bytes the plan needs on the destination's volume, counting the files it
// replaces, and the bytes free there; 0 when the free space cannot be read.
struct VolumeRoom {
    uint64_t needed, available;
};
int MeasureVolumeRoom(const struct InstallPlan* plan, struct VolumeRoom* room);
#endif
