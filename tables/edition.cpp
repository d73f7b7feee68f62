// Compiled once per edition executable with SETUP_EDITION set to 0 or 1.
#include "tables/tables.h"

#ifndef SETUP_EDITION
#error "SETUP_EDITION must be defined"
#endif

extern const int Edition = SETUP_EDITION;
