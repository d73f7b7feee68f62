// The description of the current language, read from the end of the program
// file.
#pragma once

// The current text, zero-terminated; NULL before the first load (and if the
// buffer could not be had).
extern char* DescriptionText;

void LoadDescription(void);

// LoadDescription on the given file instead of our own; NULL gives an empty
// description.
void LoadDescriptionFromFile(const char* path);
