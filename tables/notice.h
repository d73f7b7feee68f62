/* The rights notice: drawn at the panel's foot and carried as the version
   resource's legal copyright, so it is a plain macro the resource compiler
   reads too. Code page 1252 (\xA9 is the copyright sign). */
#ifndef SETUP_NOTICE_H
#define SETUP_NOTICE_H
#define NOTICE_LINE "\xA9 1994-2026 Kellum Software Technology AG"
#endif
