// The signed-in user's settings. An elevated setup may run as another account
// than the one signed in (a standard user who typed an administrator's
// password, or an administrator account the system keeps apart): its
// HKEY_CURRENT_USER is then that account's, which the signed-in user's
// product never reads. The desktop shell runs as the signed-in user, so its
// account tells whose hive the per-user settings belong in.
#pragma once

enum UserHive { CurrentUserHive, SignedInUserHive };

// The signed-in user's hive (under HKEY_USERS) when setup runs elevated and
// the shell's account differs from setup's token user; the current user's
// when either account is unknown (NULL or empty) or they are one.
int ChooseUserHive(int elevated, const char* tokenUser, const char* shellUser);

// A user's key under HKEY_USERS, "<SID>\<key>", into out (size bytes); 0 when
// it does not fit.
int UserHiveKeyName(const char* sid, const char* key, char* out, int size);

#ifdef _WIN32
#include <windows.h>

// Opens the per-user key (a path under the user's hive) of the user whose
// settings these are, as ChooseUserHive decides; with create the key is made
// when missing. Fails as the registry does.
LONG OpenPerUserKey(const char* key, int create, HKEY* opened);
#endif
