// Fixed: signed 16.16 fixed-point numbers with exact rounding, the two program-wide status
// words (overflow flag and high word of the last product), conversions and integer roots.
#pragma once

#include <cstdint>

using Fixed = int32_t;

// Pi, for the angle conversions between turns, degrees and radians.
constexpr double kPi = 3.14159265358979323846;

constexpr Fixed kFixedOne = 0x00010000;
constexpr Fixed kFixedHalf = 0x00008000;
constexpr Fixed IntToFixed(int32_t n) { return Fixed(uint32_t(n) << 16); }

struct FixedPoint {
    Fixed x;
    Fixed y;
};

struct FixedVector3 {
    Fixed x;
    Fixed y;
    Fixed z;
};

// Status words, valid until the next arithmetic call.
extern int32_t FixOverflow;  // 0 ok, 1 a product did not fit, 2 division by zero
extern int32_t FixHighWord;  // integer part of the last product (bits 16..47), or of the last sum

// Arithmetic shift right of a signed value (count 0..31), done on the unsigned bits.
constexpr int32_t ShiftRightSigned(int32_t v, int32_t count)
{
    const uint32_t u = uint32_t(v);
    return v < 0 ? int32_t(~(~u >> count)) : int32_t(u >> count);
}

// Number of significant bits: 0 for 0, 1 for 1, 32 for 0x80000000.
inline int32_t BitLength(uint32_t v) { return v == 0 ? 0 : 32 - __builtin_clz(v); }

// The 16.16 product, rounded half away from zero (the magnitude is rounded half up, then the sign
// applied). FixHighWord receives the signed integer part of the full 48-bit product and
// FixOverflow 1 when that part does not fit 16 bits; the result is the low 32 bits. An operand of
// 0 or 1.0 returns at once, leaving both status words 0.
inline Fixed FixMul(Fixed a, Fixed b)
{
    FixOverflow = 0;
    FixHighWord = 0;
    if (a == 0 || b == 0) return 0;
    if (a == kFixedOne) return b;
    if (b == kFixedOne) return a;
    const int64_t product = int64_t(a) * int64_t(b);  // at most 2^62 in magnitude
    const bool negative = product < 0;
    const uint64_t magnitude = negative ? 0 - uint64_t(product) : uint64_t(product);
    const uint64_t rounded = (magnitude + 0x8000) >> 16;
    const uint64_t whole = rounded >> 16;
    FixOverflow = whole > 0x7FFF ? 1 : 0;
    FixHighWord = int32_t(uint32_t(negative ? 0 - whole : whole));
    return int32_t(uint32_t(negative ? 0 - rounded : rounded));
}

// The 16.16 quotient, truncated toward zero; quotients of 32768 and more wrap without a flag.
// 0x7FFFFFFF and FixOverflow 2 for a zero divisor (a zero dividend is tested first). When the
// remainder has more than 16 bits, the fraction comes from a 32-bit division by the divisor
// rounded up to 16 significant bits, so it may fall an ulp or two short of the exact quotient;
// stored models and every caller see these exact bits.
inline Fixed FixDiv(Fixed a, Fixed b)
{
    FixOverflow = 0;
    if (a == 0) return 0;
    if (b == kFixedOne) return a;
    const uint32_t ua = a < 0 ? 0 - uint32_t(a) : uint32_t(a);
    const uint32_t ub = b < 0 ? 0 - uint32_t(b) : uint32_t(b);
    if (ub == 0) {
        FixOverflow = 2;
        return 0x7FFFFFFF;
    }
    const uint32_t q = ua / ub;
    const uint32_t r = ua % ub;
    uint32_t fraction;
    if (r < 0x10000) {
        fraction = (r << 16) / ub;
    } else {
        // The fraction never reaches bit 16: the divisor is rounded up and r < |b|.
        const int32_t k = BitLength(r);
        const int32_t down = k - 16;
        fraction = (r << (32 - k)) / ((ub + (uint32_t(1) << down) - 1) >> down);
    }
    const uint32_t magnitude = (q << 16) | fraction;
    return int32_t((a < 0) != (b < 0) ? 0 - magnitude : magnitude);
}

// a x 65536 / b, truncated toward zero, for 64-bit operands and b != 0. A dividend of less than
// 2^47 in magnitude is scaled and divided in 64 bits, which gives the same quotient as the 128-bit
// division that larger ones need.
inline __int128 ScaledQuotient16(int64_t a, int64_t b)
{
    constexpr int64_t kNarrow = int64_t(1) << 47;
    return a > -kNarrow && a < kNarrow ? __int128(a * 65536 / b) : static_cast<__int128>(a) * 65536 / b;
}

// a + b and a - b with 32-bit wrap; FixHighWord receives the sum (difference) of the two signed
// integer halves, without the carry from the fractions.
inline Fixed FixAdd(Fixed a, Fixed b)
{
    FixOverflow = 0;
    FixHighWord = int32_t(int16_t(uint32_t(a) >> 16)) + int32_t(int16_t(uint32_t(b) >> 16));
    return int32_t(uint32_t(a) + uint32_t(b));
}

inline Fixed FixSub(Fixed a, Fixed b)
{
    FixOverflow = 0;
    FixHighWord = int32_t(int16_t(uint32_t(a) >> 16)) - int32_t(int16_t(uint32_t(b) >> 16));
    return int32_t(uint32_t(a) - uint32_t(b));
}

inline Fixed FixNeg(Fixed a) { return int32_t(0 - uint32_t(a)); }

inline int32_t FixCompare(Fixed a, Fixed b) { return a > b ? 1 : (a < b ? -1 : 0); }

inline double Fix2X(Fixed a) { return a / 65536.0; }

// a shifted left by count bits, or arithmetically right by -count bits; counts of 32 and more
// shift everything out. A left shift also sets FixHighWord to the integer half shifted left.
Fixed FixShift(Fixed a, int32_t count);
// x x 65536 truncated toward zero, saturated to the 32-bit range; NaN gives 0.
Fixed X2Fix(double x);
// The square root; 1.0 for a negative x.
double SafeSqrt(double x);
// The integer square root by bisection: n itself for n <= 1; 0 for 2 and 3, 1 for 4 and 5; the
// floor of the root from 6 up to 32767 squared less 1; 32766 from there on.
int32_t IntSqrt(int32_t n);

// The product of the magnitudes rounded to nearest twice (to 16.16, then to an integer), with
// the sign applied; FixOverflow 1 when it exceeds 0xFFFF; FixHighWord receives the result.
int32_t FixMulHigh(Fixed a, Fixed b);
// |a| x |b| shifted right by s, or left by -s when s < 1, with the sign applied (low 32 bits);
// FixOverflow 0.
int32_t MulShift(int32_t a, int16_t b, int16_t s);

// The program-wide routine pointers that hold FixMul and FixDiv. Callers may also call the two
// routines directly; both ways give the same results.
using FixedMathProc = Fixed (*)(Fixed, Fixed);
extern FixedMathProc FixMulProc;
extern FixedMathProc FixDivProc;
void InstallFixedMath();
