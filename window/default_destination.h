// The destination the field starts with: the last installation's per-user
// Path, else Program Files with the product folder, else the fallback folder.
#pragma once

#include "tables/limits.h"

// Picks the default destination into out (size bytes): the per-user Path when
// it was read, else the Program Files folder with the product sub-folder, else
// the fallback folder. A null value stands for a failed read; an empty text,
// one with control characters or one the install would refuse as a
// destination (see PlainAbsolutePath) counts as one. A composition that would
// not fit falls to the next rule; out is empty when none fits.
void ChooseDefaultDestination(const char* perUserPath, const char* programFilesDir, int edition,
                              char* out, int size);

// Whether a text read from the registry may name a folder to offer: an empty
// text or one with control characters does not.
int UsableFolderText(const char* text);

// Terminates registry data read into a buffer: cb bytes were returned into a
// buffer that has room for limit bytes plus a terminator. Returns 0 when the
// text does not fit (no terminator within limit bytes of a full read).
int TerminateRegistryText(char* buffer, unsigned long cb, unsigned long limit);

// Reads the registry and leaves the default destination in out (size bytes).
void FindDefaultDestination(char* out, int size);
