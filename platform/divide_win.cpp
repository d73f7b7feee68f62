// The compiler calls these for 64-bit division in 32-bit code. The compiler
// library's own come with unwind tables and take about 2 KB of setup.exe;
// linked ahead of that library (cmake/windows.cmake), these take their place.
#include "platform/divide.h"

extern "C" {

uint64_t __udivmoddi4(uint64_t n, uint64_t d, uint64_t* remainder) {
    return DivideUnsigned(n, d, remainder);
}

uint64_t __udivdi3(uint64_t n, uint64_t d) { return DivideUnsigned(n, d, 0); }

uint64_t __umoddi3(uint64_t n, uint64_t d) {
    uint64_t remainder;
    DivideUnsigned(n, d, &remainder);
    return remainder;
}

int64_t __divdi3(int64_t n, int64_t d) { return DivideSigned(n, d, 0); }

int64_t __moddi3(int64_t n, int64_t d) {
    int64_t remainder;
    DivideSigned(n, d, &remainder);
    return remainder;
}

int64_t __divmoddi4(int64_t n, int64_t d, int64_t* remainder) {
    return DivideSigned(n, d, remainder);
}
}
