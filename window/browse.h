// Browsing for the destination's parent folder (command 3), and its rules:
// the folder the browser opens on, the destination composed from the folder
// the user chose, and the browser's texts and position.
#pragma once

#include "tables/limits.h"

// Offers the folder browser and puts the destination composed from the
// folder chosen into the field; not while an install runs (the caller asks).
void BrowseDestination(void);

// Ends path in front of a trailing product folder so the browser opens on its
// parent: "C:\Program Files\Vestra" becomes "C:\Program Files", "C:\Vestra"
// becomes "C:\". Short texts and texts without the product name stay.
void TrimProductFolder(char* path, const char* productName);

// Turns the parent folder the user chose (in path, size bytes) into the
// destination by appending the product folder unless the path already ends in
// it. Returns 0, leaving path unchanged, when the destination would be longer
// than DestinationLimit characters.
int ComposeDestination(char* path, int size, const char* productName);

// The prompt above the folder tree: German for LanguageIndex 0, else English.
const char* BrowsePrompt(int language);

// The refusal of a destination longer than DestinationLimit, by language;
// English for the languages without their own text.
const char* LongDestinationText(int language);

// The browser's top-left corner: centred horizontally and 20 pixels above the
// vertical centre of the work-area-sized rectangle at the screen's corner.
void BrowserPosition(int workAreaWidth, int workAreaHeight, int width, int height, int* x, int* y);
