// Integer scaling as the dialog code uses it.
#include "internal.h"

// number * numerator / denominator through 64 bits, rounded half away from
// zero; -1 when the denominator is 0 or the result does not fit.
int WINAPI MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    long long p = static_cast<long long>(number) * numerator;
    bool negative = (p < 0) != (denominator < 0);
    long long a = p < 0 ? -p : p;
    long long d = denominator < 0 ? -static_cast<long long>(denominator) : denominator;
    long long q = (a + d / 2) / d;
    if (q > 0x7fffffffLL) return -1;
    return static_cast<int>(negative ? -q : q);
}
