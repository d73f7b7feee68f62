// Starts and ends: proof that this machine's Wine runs 32-bit programs.
#include <stdio.h>

int main(void) {
    printf("%u-bit programs run\n", (unsigned)(8 * sizeof(void*)));
    return 0;
}
