// LoadDescription: the current language's text, read from the block at the
// end of our own file into a fresh zero-filled page buffer.
#include <windows.h>

#include "banner/description_block.h"
#include "description_offsets.h"  // made by the build from the texts
#include "tables/tables.h"
#include "window/window.h"

char* DescriptionText = NULL;

enum { DescriptionBufferSize = DescriptionReadSize + 1, ModulePathSize = 255 };

static HANDLE HandleOf(HFILE file) { return (HANDLE)(INT_PTR)file; }

// Positions the file distance bytes before its end; 0 when it is shorter.
static int SeekFromEnd(HFILE file, long distance) {
    return SetFilePointer(HandleOf(file), -distance, NULL, FILE_END) != INVALID_SET_FILE_POINTER;
}

// A file without our block (or cut short) must not show its own first bytes
// as a description, so the marker in front of the German text is checked.
static int HasDescriptionBlock(HFILE file) {
    DWORD size = SetFilePointer(HandleOf(file), 0, NULL, FILE_END);
    if (size == INVALID_SET_FILE_POINTER) return 0;
    long markerStart = DescriptionMarkerStart((long)size, DescriptionOffsets[0]);
    if (markerStart < 0) return 0;
    char marker[DescriptionMarkerSize];
    if (SetFilePointer(HandleOf(file), markerStart, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return 0;
    UINT got = _lread(file, marker, sizeof marker);
    return got == sizeof marker && IsDescriptionMarker(marker, DescriptionMarkerSize);
}

static void ReadDescription(const char* path, int language) {
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) return;  // no description, and no message
    long distance = DescriptionOffsets[DescriptionOffsetRow(language)];
    // A short read leaves the zero fill; a failed one is passed over.
    if (HasDescriptionBlock(file) && SeekFromEnd(file, distance))
        _lread(file, DescriptionText, DescriptionReadSize);
    CloseHandle(HandleOf(file));
}

// One buffer at a time: the old one goes before the new one is taken. Fresh
// pages are zero-filled, which terminates every text read into them.
static void ReplaceDescriptionBuffer(void) {
    if (DescriptionText) VirtualFree(DescriptionText, 0, MEM_RELEASE);
    DescriptionText = (char*)VirtualAlloc(NULL, DescriptionBufferSize, MEM_COMMIT | MEM_RESERVE,
                                          PAGE_READWRITE);
}

void LoadDescriptionFromFile(const char* path) {
    ReplaceDescriptionBuffer();
    if (DescriptionText && path) ReadDescription(path, LanguageIndex);
}

void LoadDescription(void) {
    char path[ModulePathSize];
    DWORD length = GetModuleFileNameA(ModuleInstance, path, sizeof path);
    // A path cut short names another file: rather no description than a wrong one.
    LoadDescriptionFromFile(length > 0 && length < sizeof path ? path : NULL);
}
