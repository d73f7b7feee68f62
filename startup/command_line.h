#pragma once

// The text behind the program name; only the space counts as white space.
const char* FindCommandTail(const char* commandLine);
