#include "install/start_product.h"

#include "install/registration.h"

int ProgramCommandLine(const char* destinationPath, const char* program, char* out, int size) {
    return QuotedProgram(destinationPath, program, "", out, size);
}
