// The description of the current language, read from the end of the program
// file.
#pragma once

// The current text, zero-terminated; NULL before the first load.
extern char* DescriptionText;

void LoadDescription(void);
