#include "platform/user_hive.h"

#include "tables/bounded_text.h"

static int Known(const char* sid) { return sid && sid[0]; }

int ChooseUserHive(int elevated, const char* tokenUser, const char* shellUser) {
    if (!elevated || !Known(tokenUser) || !Known(shellUser)) return CurrentUserHive;
    // SIDs as text are upper-case with their "S-" prefix; one account, one text.
    return EqualIgnoringCase(tokenUser, shellUser) ? CurrentUserHive : SignedInUserHive;
}

int UserHiveKeyName(const char* sid, const char* key, char* out, int size) {
    return JoinTexts(out, size, sid, "\\") && AppendText(out, size, key);
}
