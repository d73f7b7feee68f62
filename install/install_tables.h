// Texts and the file list that only the install procedure reads. Texts are
// code page 1252 bytes; every message table has rows 0 to 5 (LanguageIndex),
// Chinese and Japanese reading English.
#pragma once

enum { MessageLanguageCount = 6, MarkerLanguageCount = 8 };

// The install's messages, one row per language (InstallMessage).
enum InstallMessageKind {
    InstallQuestion,
    InvalidFolderMessage,
    ShortcutQuestion,
    ShortcutFailureMessage,
    RunQuestion,
    RunFailureMessage,
    NoSpaceMessage,             // both amounts filled in with their unit
    NotCopiedRunQuestion,       // the number of files not copied filled in
    NothingInstalledMessage,    // the program not copied; the number of files not copied
    InUseByProgramsMessage,     // the product, then the programs that hold its files
    InUseFileMessage,           // the product, then the first file in use
    DestinationTooLongMessage,  // the most characters a destination may have
    SourceTooLongMessage,       // the setup program's own folder
    SourceOutsideCodePageMessage,
    DamagedDiskMessage,         // a sealed file not as sealed, named as on the disk
    InstallMessageKindCount,
};

// The product files in copy order (FileManifest, read through
// ManifestFileName). Row 0 is the edition's main executable; rows below
// MandatoryRowCount must arrive.
enum { FileManifestRows = 24, MandatoryRowCount = 8 };

// Copied beside the manifest: the files matching these patterns, and the
// plain files of the viewer sub-folder into a sub-folder of the same name.
enum { CopiedPatternCount = 3 };
extern const char* const CopiedPatterns[CopiedPatternCount];
extern const char ViewerFolder[];

// The message of a kind for a language; rows outside 0..5 read English, an
// unknown kind gives "".
const char* InstallMessage(int kind, int language);
// Marker file for a language, 0 for English and unknown languages.
const char* MarkerName(int language);
const char* MainExecutableName(int edition);
const char* ManifestFileName(int row, int edition);
