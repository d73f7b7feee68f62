// The copy's progress: a box in the panel's free band with the name of the
// file being copied, its number and a bar over all bytes, and the taskbar
// button's bar where the system has one. Shown only while the install copies.
#pragma once
#include <stdint.h>

// What the install is about to copy, counted from the source before it starts.
struct CopyTotals {
    uint64_t bytes;
    int files;
};

// The files the install copies from the disk and their bytes, those that are
// there (install/file_helpers_win.cpp).
CopyTotals CountCopyWork(void);

// Shows the box (when the band has room) and the taskbar bar at zero.
void BeginCopyProgress(CopyTotals totals);
// A copy of source starts; a repeated source (a retry) is the same file again.
void NoteCopyStarted(const char* source);
// Bytes of the current file copied so far.
void NoteCopyTransferred(uint64_t bytes);
// Takes the box and the taskbar bar away; nothing when none is shown.
void EndCopyProgress(void);

// Rules of the display.
// Pixels of a bar width pixels wide that done of total bytes fill; never more
// than width, and nothing when there is nothing to copy.
int ProgressFill(uint64_t done, uint64_t total, int width);
// "12 / 34" into out (size bytes); 0 when it does not fit.
int FormatCopyCount(int number, int total, char* out, int size);
// The file name of a path: what follows its last backslash.
const char* FileNameOf(const char* path);
