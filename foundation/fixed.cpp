// Fixed: the out-of-line fixed-point routines, the status words and the two routine pointers.
#include "foundation/fixed.h"

#include <cmath>

int32_t FixOverflow = 0;
int32_t FixHighWord = 0;

FixedMathProc FixMulProc = FixMul;
FixedMathProc FixDivProc = FixDiv;

void InstallFixedMath()
{
    FixMulProc = FixMul;
    FixDivProc = FixDiv;
}

Fixed FixShift(Fixed a, int32_t count)
{
    FixOverflow = 0;
    if (count < 0) {
        const int32_t right = count < -31 ? 31 : -count;
        return ShiftRightSigned(a, right);
    }
    if (count > 31) {
        FixHighWord = 0;
        return 0;
    }
    FixHighWord = int32_t(uint32_t(ShiftRightSigned(a, 16)) << count);
    return int32_t(uint32_t(a) << count);
}

Fixed X2Fix(double x)
{
    const double scaled = x * 65536.0;
    if (std::isnan(scaled)) return 0;
    if (scaled >= 2147483647.0) return INT32_MAX;
    if (scaled <= -2147483648.0) return INT32_MIN;
    return Fixed(scaled);
}

double SafeSqrt(double x) { return x < 0.0 ? 1.0 : std::sqrt(x); }

namespace {

// IntSqrt searches below n itself, or below 0xFFFF for n above 0x7FFF.
constexpr int32_t kIntSqrtWholeRange = 0x7FFF;
constexpr int32_t kIntSqrtCeiling = 0xFFFF;

}  // namespace

int32_t IntSqrt(int32_t n)
{
    if (n <= 1) return n;
    // The search narrows [lo, hi] around the root; every square it takes stays below 2^30.
    const int32_t ceiling = n > kIntSqrtWholeRange ? kIntSqrtCeiling : n;
    int32_t hi = ceiling >> 1;
    int32_t lo = 1;
    int32_t mid = ceiling >> 2;
    int32_t square = mid * mid;
    for (;;) {
        if (square > n) {
            hi = mid;
            mid = (lo + mid) >> 1;
        } else {
            lo = mid;
            mid = (hi + mid) >> 1;
        }
        if (lo + 1 >= hi) return mid;
        square = mid * mid;
    }
}

namespace {

uint64_t Magnitude(int32_t v) { return v < 0 ? 0 - uint64_t(int64_t(v)) : uint64_t(v); }

// Applies a sign to a magnitude and keeps the low 32 bits.
int32_t WithSign(uint64_t magnitude, bool negative)
{
    return int32_t(uint32_t(negative ? 0 - magnitude : magnitude));
}

}  // namespace

int32_t FixMulHigh(Fixed a, Fixed b)
{
    const uint64_t whole = (((Magnitude(a) * Magnitude(b) + 0x8000) >> 16) + 0x8000) >> 16;
    FixOverflow = whole > 0xFFFF ? 1 : 0;
    FixHighWord = WithSign(whole, (a < 0) != (b < 0));
    return FixHighWord;
}

int32_t MulShift(int32_t a, int16_t b, int16_t s)
{
    FixOverflow = 0;
    const uint64_t product = Magnitude(a) * Magnitude(b);  // below 2^47
    uint64_t shifted;
    if (s >= 1)
        shifted = s >= 64 ? 0 : product >> s;
    else
        shifted = -s >= 64 ? 0 : product << -s;
    return WithSign(shifted, (a < 0) != (b < 0));
}
