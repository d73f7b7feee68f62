// LoadDescription: the current language's text, read from the block at the
// end of our own file into a fresh zero-filled page buffer.
#include <stddef.h>
#include <windows.h>

#include "banner/description_block.h"
#include "description_offsets.h"  // made by the build from the texts
#include "tables/tables.h"

char* DescriptionText = NULL;

static_assert(PeOffsetAt == offsetof(IMAGE_DOS_HEADER, e_lfanew), "DOS header");
static_assert(PeSectionCountAt == 4 + offsetof(IMAGE_FILE_HEADER, NumberOfSections), "file header");
static_assert(PeOptionalSizeAt == 4 + offsetof(IMAGE_FILE_HEADER, SizeOfOptionalHeader),
              "file header");
static_assert(PeOptionalHeaderAt == offsetof(IMAGE_NT_HEADERS32, OptionalHeader), "NT headers");
static_assert(PeOptionalHeaderAt == offsetof(IMAGE_NT_HEADERS64, OptionalHeader), "NT headers");
static_assert(PeSectionHeaderSize == sizeof(IMAGE_SECTION_HEADER), "section header");
static_assert(Pe32Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC, "PE32");
static_assert(Pe32PlusMagic == IMAGE_NT_OPTIONAL_HDR64_MAGIC, "PE32+");
static_assert(PeSizeOfHeadersAt == offsetof(IMAGE_OPTIONAL_HEADER32, SizeOfHeaders), "PE32");
static_assert(PeSizeOfHeadersAt == offsetof(IMAGE_OPTIONAL_HEADER64, SizeOfHeaders), "PE32+");
static_assert(Pe32DirectoryCountAt == offsetof(IMAGE_OPTIONAL_HEADER32, NumberOfRvaAndSizes) &&
                  Pe32DirectoryCountAt + 4 == offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory),
              "PE32");
static_assert(Pe32PlusDirectoryCountAt == offsetof(IMAGE_OPTIONAL_HEADER64, NumberOfRvaAndSizes) &&
                  Pe32PlusDirectoryCountAt + 4 == offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory),
              "PE32+");
static_assert(PeSecurityDirectory == IMAGE_DIRECTORY_ENTRY_SECURITY, "data directories");
static_assert(PeDirectoryEntrySize == sizeof(IMAGE_DATA_DIRECTORY), "data directories");

enum { DescriptionBufferSize = DescriptionReadSize + 1 };

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
    DescriptionText =
        (char*)VirtualAlloc(NULL, DescriptionBufferSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

long DescriptionBlockStartOf(const char* path) {
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR) return -1;
    long end = OwnContentEnd(file);
    if (end >= 0 && HasDescriptionBlock(file, end))
        end = DescriptionMarkerStart(end, DescriptionOffsets[0]);
    CloseHandle(HandleOf(file));
    return end;
}

void LoadDescriptionFromFile(const char* path) {
    ReplaceDescriptionBuffer();
    if (DescriptionText && path) ReadDescription(path, LanguageIndex);
}

void LoadDescription(void) {
    char path[ModulePathSize];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);  // the program's own file
    // A path cut short names another file: rather no description than a wrong one.
    LoadDescriptionFromFile(length > 0 && length < sizeof path ? path : NULL);
}
