// The destination's text as the program accepts it: a drive, then folder
// names that the system keeps as typed. The install refuses any other; the
// window offers no other as the field's first text.
#pragma once

// DestinationPath: the text with a backslash appended unless it ends in one.
int MakeDestinationPath(const char* text, char* path, int size);

// A folder name the system keeps as typed: not empty, not "." or "..", not
// ending in a space or a dot, no reserved device name (with or without an
// extension), no character a file name cannot hold.
int PlainFolderName(const char* name, int length);
// A drive letter, a colon and a backslash, then plain folder names.
int PlainAbsolutePath(const char* path);
