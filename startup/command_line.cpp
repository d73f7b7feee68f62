#include "startup/command_line.h"

const char* FindCommandTail(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        const char* close = p + 1;
        while (*close && *close != '"') ++close;
        if (!*close) return commandLine;  // no closing quote: the whole line
        p = close + 1;
    } else {
        while (*p && *p != ' ') ++p;
    }
    while (*p == ' ') ++p;
    return p;
}
