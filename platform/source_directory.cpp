#include "platform/source_directory.h"

int CutAfterLastBackslash(char* path) {
    int n = 0;
    while (path[n]) ++n;
    for (int i = n - 1; i >= 0; --i) {
        if (path[i] == '\\') {
            path[i + 1] = '\0';
            return 1;
        }
    }
    return 0;
}
