// Texts and the file list that only the install procedure reads. Texts are
// code page 1252 bytes; every message table has rows 0 to 6 (LanguageIndex),
// Chinese (6) repeating English.
#pragma once

enum { MessageLanguageCount = 7, MarkerLanguageCount = 8 };

extern const char* const InstallQuestions[MessageLanguageCount];
extern const char* const InvalidFolderMessages[MessageLanguageCount];
extern const char* const ShortcutQuestions[MessageLanguageCount];
extern const char* const ShortcutFailureMessages[MessageLanguageCount];
extern const char* const RunQuestions[MessageLanguageCount];
extern const char* const RunFailureMessages[MessageLanguageCount];
extern const char* const NoSpaceMessages[MessageLanguageCount];

// The product files in copy order (FileManifest, read through
// ManifestFileName). Row 0 is the edition's main executable; rows below
// MandatoryRowCount must arrive.
enum { FileManifestRows = 24, MandatoryRowCount = 8 };

// Copied beside the manifest: the files matching these patterns, and the
// plain files of the viewer sub-folder into a sub-folder of the same name.
enum { CopiedPatternCount = 3 };
extern const char* const CopiedPatterns[CopiedPatternCount];
extern const char ViewerFolder[];

// The message of a table for a language; rows outside 0..6 read English.
const char* InstallMessage(const char* const* table, int language);
// Marker file for a language, 0 for English and unknown languages.
const char* MarkerName(int language);
const char* MainExecutableName(int edition);
const char* ManifestFileName(int row, int edition);
