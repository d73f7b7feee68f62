// What the install records once the files are in place: the uninstall entry,
// the per-user path, the language marker and the shortcut.
#pragma once
#include <stdint.h>

#include "tables/bounded_text.h"

// Registry data.
int UninstallKeyName(int edition, char* out, int size);

// The uninstall entry, composed whole before any of it is written. A value
// with text NULL is the DWORD its number points to. DisplayName and
// UninstallString come first.
enum { UninstallValueCount = 9 };
struct UninstallValue {
    const char* name;
    const char* text;
    const uint32_t* number;
};
struct UninstallEntry {
    char keyName[UninstallKeySize];
    char command[UninstallCommandSize];
    char icon[PathBufferSize];
    char location[PathBufferSize];
    uint32_t sizeKiB;  // EstimatedSize: what the run copied, known once it has
    struct UninstallValue values[UninstallValueCount];
};
// For the installed main executable in destinationPath, its size 0 until the
// run has copied; 0 when any value would not fit. The values point into the
// entry itself, which therefore stays where it was composed.
int ComposeUninstallEntry(const char* destinationPath, int edition, struct UninstallEntry* entry);
// Whole KiB, rounded up; the largest DWORD for sizes beyond it.
uint32_t EstimatedSizeKiB(uint64_t bytes);
// "<path><program>" uninst: the path quoted, as it may hold spaces.
int UninstallCommand(const char* destinationPath, const char* program, char* out, int size);
// "<path><program>" then tail, the path quoted; 0 when it does not fit.
int QuotedProgram(const char* destinationPath, const char* program, const char* tail, char* out,
                  int size);
// DestinationPath without its final backslash ("C:\" gives "C:").
int PerUserPathValue(const char* destinationPath, char* out, int size);

#ifdef _WIN32
// The entry holds a name and a command that work, or nothing.
void WriteUninstallEntry(const struct UninstallEntry* entry);
void WritePerUserPath(int edition, const char* value);
// An empty file named markerPath (nothing for an empty path, English), after
// the markers of the other languages in destinationPath are removed.
void WriteLanguageMarker(const char* destinationPath, const char* markerPath);
// Program Manager's item when a server accepts the command, else a shortcut of
// our own to programPath; 1 when either was made.
int HandOverShortcut(const char* addItemCommand, const char* programPath,
                     const char* destinationPath);
#endif
