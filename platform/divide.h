// 64-bit division for the 32-bit program, which starts without the C runtime
// and replaces the compiler library's helpers with these (divide_win.cpp).
#pragma once
#include <stdint.h>

// Quotient of n / d, and n % d in *remainder when it is not null; d is not 0.
uint64_t DivideUnsigned(uint64_t n, uint64_t d, uint64_t* remainder);
// As C divides: the quotient rounded toward zero, the remainder of n's sign.
int64_t DivideSigned(int64_t n, int64_t d, int64_t* remainder);
