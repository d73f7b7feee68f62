// LoadDescription: the current language's text, read from the block at the
// end of our own file into a fresh zero-filled page buffer.
#include <windows.h>

#include "banner/description.h"
#include "banner/description_block.h"
#include "description_offsets.h"  // made by the build from the texts
#include "tables/tables.h"
#include "window/window.h"

char* DescriptionText = NULL;

enum { DescriptionBufferSize = DescriptionReadSize + 1, ModulePathSize = 255 };

static HANDLE HandleOf(HFILE file) { return (HANDLE)(INT_PTR)file; }

static int SeekTo(HFILE file, long offset) {
    return SetFilePointer(HandleOf(file), offset, NULL, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

// Where our own bytes end: before the certificate table of a signed file.
// -1 when the file cannot be measured or its header not read.
static long OwnContentEnd(HFILE file) {
    DWORD size = GetFileSize(HandleOf(file), NULL);
    if (size == INVALID_FILE_SIZE || size > 0x7FFFFFFF || !SeekTo(file, 0)) return -1;
    unsigned char header[PeHeaderReadSize];
    UINT got = _lread(file, header, sizeof header);
    if (got == (UINT)HFILE_ERROR) return -1;
    return ContentEnd(header, (long)got, (long)size);
}

// A file without our block (or cut short) must not show its own first bytes
// as a description, so the marker in front of the German text is checked.
static int HasDescriptionBlock(HFILE file, long contentEnd) {
    long markerStart = DescriptionMarkerStart(contentEnd, DescriptionOffsets[0]);
    if (markerStart < 0 || !SeekTo(file, markerStart)) return 0;
    char marker[DescriptionMarkerSize];
    UINT got = _lread(file, marker, sizeof marker);
    return got == sizeof marker && IsDescriptionMarker(marker, DescriptionMarkerSize);
}

static void ReadDescription(const char* path, int language) {
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) return;  // no description, and no message
    long distance = DescriptionOffsets[DescriptionOffsetRow(language)];
    long end = OwnContentEnd(file);
    // The last text runs to the content end: nothing of a signature is read.
    UINT length = (UINT)(distance < DescriptionReadSize ? distance : (long)DescriptionReadSize);
    // A short read leaves the zero fill; a failed one is passed over.
    if (end >= 0 && HasDescriptionBlock(file, end) && SeekTo(file, end - distance))
        _lread(file, DescriptionText, length);
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
