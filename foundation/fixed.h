// Fixed: signed 16.16 fixed-point numbers with exact rounding, the two program-wide status
// words (overflow flag and high word of the last product), conversions and integer roots.
#pragma once

#include <cstdint>

using Fixed = int32_t;

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

Fixed FixMul(Fixed a, Fixed b);  // rounded to nearest
Fixed FixDiv(Fixed a, Fixed b);  // truncated; 0x7FFFFFFF and FixOverflow 2 for b == 0
Fixed FixAdd(Fixed a, Fixed b);
Fixed FixSub(Fixed a, Fixed b);
Fixed FixShift(Fixed a, int32_t count);
Fixed FixNeg(Fixed a);
int32_t FixCompare(Fixed a, Fixed b);
Fixed X2Fix(double x);
double Fix2X(Fixed a);
double SafeSqrt(double x);
int32_t IntSqrt(int32_t n);
int32_t BitLength(uint32_t v);

// The program-wide routine pointers that hold FixMul and FixDiv.
using FixedMathProc = Fixed (*)(Fixed, Fixed);
extern FixedMathProc FixMulProc;
extern FixedMathProc FixDivProc;
void InstallFixedMath();
