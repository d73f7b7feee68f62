#pragma once

// The text behind the program name; only the space counts as white space.
const char* FindCommandTail(const char* commandLine);

// Ends a full module path directly behind its last backslash, so that it
// names the module's folder. Returns 0 (text unchanged) when there is none.
int CutAfterLastBackslash(char* path);
