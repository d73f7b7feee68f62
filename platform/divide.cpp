#include "platform/divide.h"

uint64_t DivideUnsigned(uint64_t n, uint64_t d, uint64_t* remainder) {
    uint64_t quotient = 0, rest = 0;
    if ((n >> 32) == 0 && (d >> 32) == 0) {
        // One machine division: the sizes, clusters and pixels met here.
        quotient = (uint32_t)n / (uint32_t)d;
        rest = (uint32_t)n % (uint32_t)d;
    } else {
        // Long division, a bit at a time: slow, small, and rarely reached.
        for (int bit = 63; bit >= 0; --bit) {
            rest = (rest << 1) | ((n >> bit) & 1);
            if (rest >= d) {
                rest -= d;
                quotient |= (uint64_t)1 << bit;
            }
        }
    }
    if (remainder) *remainder = rest;
    return quotient;
}

int64_t DivideSigned(int64_t n, int64_t d, int64_t* remainder) {
    uint64_t un = n < 0 ? 0 - (uint64_t)n : (uint64_t)n;
    uint64_t ud = d < 0 ? 0 - (uint64_t)d : (uint64_t)d;
    uint64_t rest;
    uint64_t quotient = DivideUnsigned(un, ud, &rest);
    if (remainder) *remainder = n < 0 ? (int64_t)(0 - rest) : (int64_t)rest;
    return (n < 0) != (d < 0) ? (int64_t)(0 - quotient) : (int64_t)quotient;
}
