#include "tables/folder_names.h"

#include "tables/bounded_text.h"
#include "tables/tables.h"

int MakeDestinationPath(const char* text, char* path, int size) {
    int n = TextLength(text);
    if (n > 0 && text[n - 1] == '\\') return CopyText(path, size, text);
    return JoinTexts(path, size, text, "\\");
}

static int IsReservedDeviceName(const char* name, int length) {
    // The system matches the part before the first dot, spaces dropped.
    int n = 0;
    while (n < length && name[n] != '.') ++n;
    while (n > 0 && name[n - 1] == ' ') --n;
    char base[8];
    if (n >= (int)sizeof base) return 0;
    for (int i = 0; i < n; ++i) base[i] = name[i];
    base[n] = 0;
    static constexpr char Devices[] = "CON\0PRN\0AUX\0NUL\0CONIN$\0CONOUT$";
    static_assert(TextsIn(Devices) == 6, "every device");
    for (int i = 0; i < 6; ++i)
        if (EqualIgnoringCase(base, TextInList(Devices, i))) return 1;
    if (n == 4 && base[3] >= '1' && base[3] <= '9') {
        base[3] = 0;
        return EqualIgnoringCase(base, "COM") || EqualIgnoringCase(base, "LPT");
    }
    return 0;
}

int PlainFolderName(const char* name, int length) {
    if (length <= 0) return 0;
    // The system drops a trailing space or dot, so the folder made would not
    // be the one typed; this covers "." and ".." too.
    if (name[length - 1] == ' ' || name[length - 1] == '.') return 0;
    for (int i = 0; i < length; ++i) {
        if ((unsigned char)name[i] < 32 || FindCharacterForward("<>:\"/\\|?*", name[i])) return 0;
    }
    return !IsReservedDeviceName(name, length);
}

static int IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Relative texts would be resolved against whatever folder is current.
int PlainAbsolutePath(const char* path) {
    if (!IsDriveLetter(path[0]) || path[1] != ':' || path[2] != '\\') return 0;
    for (const char* name = path + 3; *name;) {
        const char* end = FindCharacterForward(name, '\\');
        int length = end ? (int)(end - name) : TextLength(name);
        if (!PlainFolderName(name, length)) return 0;
        if (!end) break;
        name = end + 1;
    }
    return 1;
}
