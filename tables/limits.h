// Every text buffer's size, terminator included, in one place, each with the
// reason for its number. A text that does not fit its buffer is refused, never
// cut (tables/bounded_text.h), so these numbers are the program's limits.
#pragma once

enum {
    // MAX_PATH: the longest path the system hands back (a name found by a
    // search, the folder browser's choice) and the ANSI file calls take.
    SystemPathSize = 260,
    // A path the program composes, and the destination field's text (read
    // with at most DestinationLimit characters): 254 characters. A
    // destination leaves room behind it for the longest name the install
    // joins to it, so no composed path comes near MAX_PATH.
    PathBufferSize = 255,
    DestinationLimit = PathBufferSize - 1,
    // The setup folder, ending in a backslash: the module path's folder,
    // up to 255 characters, in its short form where the long one is longer.
    SourceDirectorySize = 256,
    // The setup program's own path as the system gives it, before its short
    // form is asked for: room for a long path and then some, in any code page.
    LongModulePathSize = 1024,
    // The field's first text: a registry text of up to 255 bytes.
    DefaultDestinationSize = 256,
    // A message box's text and the shared MessageText: the longest table text
    // with a path inserted; FormatQuestion cuts an insert that does not fit.
    MessageTextSize = 256,
    // The longer product name, "Kellum Inspector", and its terminator.
    ProductNameSize = 17,
    // The quoted program path that starts the product without the shell.
    ProgramCommandSize = PathBufferSize + 2,
    // A registry key's name: up to 255 characters.
    UninstallKeySize = 256,
    // Quotes and " uninst" around the program path.
    UninstallCommandSize = PathBufferSize + 9,
    // Quote, program path, quote, comma, space and product name: every
    // program path the plan holds fits with either product's name.
    AddItemArgumentSize = PathBufferSize + 4 + ProductNameSize - 1,
    // "[AddItem(" and ")]" around the argument; also the global memory
    // handed to the Program Manager server.
    DdeCommandSize = AddItemArgumentSize + 11,
    // The shortcut file's path, within MAX_PATH.
    ShortcutPathSize = SystemPathSize,
    // A name the disk survey found: WIN32_FIND_DATA's name, UTF-8 or ANSI.
    DiskNameSize = SystemPathSize,
    // The folder browser returns up to MAX_PATH - 1 characters.
    BrowsePathSize = SystemPathSize,
    // "2147483647 / 2147483647": two numbers of ten digits and " / ".
    CopyCountSize = 24,
    // At most this much of a description is ever read and shown: the German
    // text, the longest, loses its closing line here.
    DescriptionReadSize = 1750,
    // The program's own path when it reads its description block.
    ModulePathSize = PathBufferSize,
};
