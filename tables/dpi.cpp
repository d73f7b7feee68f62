#include "tables/dpi.h"

int ScaleForDpi(int amount, int dpi) {
    if (dpi <= 0) return amount;
    long long product = (long long)amount * dpi;
    long long half = BaseDpi / 2;
    long long scaled = product >= 0 ? (product + half) / BaseDpi : -((-product + half) / BaseDpi);
    return (int)scaled;
}
