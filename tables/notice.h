/* The maker, the version and the rights notice: shown in the panel, the
   version resource and the uninstall entry, so they are plain macros the
   resource compiler reads too. Code page 1252 (\xA9 is the copyright sign). */
#ifndef SETUP_NOTICE_H
#define SETUP_NOTICE_H
#define MAKER_NAME "Kellum Software Technology AG"
#define PRODUCT_VERSION "14.3"
#define NOTICE_LINE "\xA9 1994-2026 " MAKER_NAME
#endif
