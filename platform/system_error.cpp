#include "platform/system_error.h"

int LengthWithoutTrailingControls(const char* text, int length) {
    while (length > 0 && (unsigned char)text[length - 1] < 32) --length;
    return length;
}
