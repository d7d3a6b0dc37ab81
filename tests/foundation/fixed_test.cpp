// Fixed-point arithmetic against exact references.
#include "foundation/fixed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr Fixed F(double x) { return Fixed(x * 65536.0); }

struct MulResult {
    Fixed value;
    int32_t overflow;
    int32_t high;
};

// The product built from 16-bit halves as a 32-bit machine would, kept exact in 64 bits; an
// operand of 0 or 1.0 returns at once with both status words 0.
MulResult ReferenceMul(Fixed a, Fixed b)
{
    if (a == 0 || b == 0) return {0, 0, 0};
    if (a == 0x10000) return {b, 0, 0};
    if (b == 0x10000) return {a, 0, 0};
    const bool negative = (a < 0) != (b < 0);
    const uint64_t ua = a < 0 ? uint64_t(-int64_t(a)) : uint64_t(a);
    const uint64_t ub = b < 0 ? uint64_t(-int64_t(b)) : uint64_t(b);
    const uint64_t ha = ua >> 16, la = ua & 0xFFFF, hb = ub >> 16, lb = ub & 0xFFFF;
    // |a| x |b| / 65536 = ha hb 65536 + ha lb + hb la + la lb / 65536, rounded at bit 15.
    const uint64_t low = la * lb + 0x8000;
    const uint64_t p = (ha * hb << 16) + ha * lb + hb * la + (low >> 16);
    const int64_t whole = int64_t(p >> 16);
    MulResult r;
    r.value = int32_t(uint32_t(negative ? 0 - p : p));
    r.high = int32_t(negative ? -whole : whole);
    r.overflow = whole > 0x7FFF ? 1 : 0;
    return r;
}

// The division step by step as a 32-bit machine does it, with its rounded-up divisor.
Fixed ReferenceDiv(Fixed a, Fixed b, int32_t* overflow)
{
    *overflow = 0;
    if (a == 0) return 0;
    if (b == 0x10000) return a;
    const uint32_t ua = a < 0 ? uint32_t(-int64_t(a)) : uint32_t(a);
    const uint32_t ub = b < 0 ? uint32_t(-int64_t(b)) : uint32_t(b);
    if (ub == 0) {
        *overflow = 2;
        return 0x7FFFFFFF;
    }
    uint32_t q = ua / ub, r = ua % ub, f;
    if (r < 65536) {
        f = uint32_t(uint64_t(r) * 65536 / ub);
    } else {
        int k = 0;
        while (k < 32 && (r >> k) != 0) ++k;
        const uint32_t shifted = r << (32 - k);
        const uint32_t divisor = (ub + (1u << (k - 16)) - 1) >> (k - 16);
        f = shifted / divisor;
    }
    if (f & 0x10000) ++q;
    const uint32_t result = ((q % 65536) << 16) | (f % 65536);
    return int32_t((a < 0) != (b < 0) ? 0 - result : result);
}

std::vector<Fixed> RandomOperands(uint32_t seed, int count)
{
    std::mt19937 random(seed);
    std::vector<Fixed> values;
    for (int i = 0; i < count; ++i) {
        const uint32_t bits = random();
        switch (i % 4) {
        case 0: values.push_back(int32_t(bits)); break;                       // anything
        case 1: values.push_back(int32_t(bits) >> (bits % 24)); break;        // all magnitudes
        case 2: values.push_back(int32_t(bits % 0x200000) - 0x100000); break;  // within +-16.0
        default: values.push_back(IntToFixed(int32_t(bits % 601) - 300)); break;  // integers
        }
    }
    // Operands the shortcuts and the sign handling care about.
    for (Fixed v : {0, 1, -1, 0x8000, -0x8000, 0x10000, -0x10000, 0x7FFFFFFF, -0x7FFFFFFF,
                    int32_t(0x80000000), 0x7FFF0000, 0x00018000})
        values.push_back(v);
    return values;
}

TEST(FixedMul, MatchesExactReferenceInValueFlagAndHighWord)
{
    const std::vector<Fixed> values = RandomOperands(1, 1500);
    for (Fixed a : values) {
        for (size_t j = 0; j < values.size(); j += 7) {
            const Fixed b = values[j];
            const MulResult expected = ReferenceMul(a, b);
            const Fixed got = FixMul(a, b);
            ASSERT_EQ(got, expected.value) << a << " x " << b;
            ASSERT_EQ(FixOverflow, expected.overflow) << a << " x " << b;
            ASSERT_EQ(FixHighWord, expected.high) << a << " x " << b;
        }
    }
}

TEST(FixedMul, ThroughTheProgramWidePointerGivesTheSameResults)
{
    InstallFixedMath();
    EXPECT_EQ(FixMulProc(F(1.5), F(2.0)), F(3.0));
    EXPECT_EQ(FixDivProc(F(1.0), F(3.0)), 0x5555);
}

TEST(FixedMul, EdgeCases)
{
    EXPECT_EQ(FixMul(F(1.5), F(2.0)), F(3.0));
    EXPECT_EQ(FixHighWord, 3);
    EXPECT_EQ(FixMul(F(-1.5), F(2.0)), F(-3.0));
    EXPECT_EQ(FixHighWord, -3);
    // The smallest value times one half rounds half away from zero.
    EXPECT_EQ(FixMul(1, 0x8000), 1);
    EXPECT_EQ(FixMul(-1, 0x8000), -1);
    EXPECT_EQ(FixMul(1, 0x7FFF), 0);
    // 40000.0 does not fit: the low 32 bits, flag 1 and the full integer part.
    EXPECT_EQ(FixMul(F(200.0), F(200.0)), int32_t(uint32_t(40000u << 16)));
    EXPECT_EQ(FixOverflow, 1);
    EXPECT_EQ(FixHighWord, 40000);
    EXPECT_EQ(FixMul(F(-200.0), F(200.0)), int32_t(0u - (40000u << 16)));
    EXPECT_EQ(FixHighWord, -40000);
}

TEST(FixedMul, ShortcutsForZeroAndOneLeaveTheStatusWordsZero)
{
    struct Case {
        Fixed a, b, product;
    };
    const Fixed wrapped = int32_t(uint32_t(40000u << 16));  // reads as -25536.0
    const Case cases[] = {
        {kFixedOne, wrapped, wrapped},
        {F(-1.5), kFixedOne, F(-1.5)},
        {F(300.25), kFixedOne, F(300.25)},
        {kFixedOne, int32_t(0x80000000), int32_t(0x80000000)},
        {0, F(-20000.0), 0},
        {F(20000.0), 0, 0},
    };
    for (const Case& c : cases) {
        FixHighWord = 77;
        FixOverflow = 1;
        EXPECT_EQ(FixMul(c.a, c.b), c.product) << c.a << " x " << c.b;
        EXPECT_EQ(FixHighWord, 0) << c.a << " x " << c.b;
        EXPECT_EQ(FixOverflow, 0) << c.a << " x " << c.b;
    }
    // An operand just beside 1.0 takes the full product.
    EXPECT_EQ(FixMul(kFixedOne + 1, F(300.0)), F(300.0) + 300);
    EXPECT_EQ(FixHighWord, 300);
}

TEST(FixedDiv, MatchesStepByStepReferenceAndNeverExceedsTheExactQuotient)
{
    const std::vector<Fixed> values = RandomOperands(2, 1500);
    for (Fixed a : values) {
        for (size_t j = 0; j < values.size(); j += 7) {
            const Fixed b = values[j];
            int32_t expectedFlag;
            const Fixed expected = ReferenceDiv(a, b, &expectedFlag);
            ASSERT_EQ(FixDiv(a, b), expected) << a << " / " << b;
            ASSERT_EQ(FixOverflow, expectedFlag) << a << " / " << b;
            if (b == 0 || a == 0) continue;
            // The magnitude of a quotient that fits is truncated: at most two ulps short.
            const int64_t exact = (std::abs(int64_t(a)) << 16) / std::abs(int64_t(b));
            if (exact >= 0x80000000LL) continue;
            const int64_t got = std::abs(int64_t(FixDiv(a, b)));
            ASSERT_LE(got, exact) << a << " / " << b;
            ASSERT_GE(got, exact - 2) << a << " / " << b;
        }
    }
}

TEST(FixedDiv, EdgeCases)
{
    EXPECT_EQ(FixDiv(F(1.0), F(3.0)), 0x5555);
    EXPECT_EQ(FixDiv(F(-1.0), F(3.0)), -0x5555);
    EXPECT_EQ(FixDiv(F(1.0), F(-3.0)), -0x5555);
    EXPECT_EQ(FixDiv(F(5.0), 0), 0x7FFFFFFF);
    EXPECT_EQ(FixOverflow, 2);
    EXPECT_EQ(FixDiv(F(-5.0), 0), 0x7FFFFFFF);
    EXPECT_EQ(FixOverflow, 2);
    EXPECT_EQ(FixDiv(0, 0), 0);
    EXPECT_EQ(FixOverflow, 0);
    EXPECT_EQ(FixDiv(F(-7.25), kFixedOne), F(-7.25));
    // 40000.0 wraps without a flag.
    EXPECT_EQ(FixDiv(F(20000.0), F(0.5)), int32_t(uint32_t(40000u << 16)));
    EXPECT_EQ(FixOverflow, 0);
    // A remainder of more than 16 bits divides by the rounded-up divisor: 1.0 / 1.0000153 gives
    // 0xFFFE, one ulp short of the exact 0xFFFF.
    EXPECT_EQ(FixDiv(kFixedOne, 0x10001), 0xFFFE);
    EXPECT_EQ(FixDiv(kFixedOne, 0x12345), 0xE0FF);
}

TEST(FixedDiv, ScaledQuotientTruncatesTowardZeroOnBothSidesOfTheNarrowPath)
{
    constexpr int64_t kEdge = int64_t(1) << 47;
    const int64_t dividends[] = {0, 1, -1, 12345, -12345, kEdge - 1, -(kEdge - 1), kEdge, -kEdge, kEdge + 7,
                                 INT64_MAX, INT64_MIN + 1};
    const int64_t divisors[] = {1, -1, 3, -3, 65536, -7, INT64_MAX, INT64_MIN};
    for (const int64_t a : dividends) {
        for (const int64_t b : divisors) {
            const __int128 exact = static_cast<__int128>(a) * 65536 / b;
            EXPECT_TRUE(ScaledQuotient16(a, b) == exact) << a << " / " << b;
        }
    }
    // A third of a unit.
    EXPECT_TRUE(ScaledQuotient16(1, 3) == 21845);
}

TEST(FixedSum, AddAndSubWrapAndReportTheIntegerHalves)
{
    EXPECT_EQ(FixAdd(F(1.5), F(1.5)), F(3.0));
    EXPECT_EQ(FixHighWord, 2);  // 1 + 1: the carry of the fractions is not counted
    EXPECT_EQ(FixAdd(F(-0.5), F(2.0)), F(1.5));
    EXPECT_EQ(FixHighWord, 1);  // -1 + 2
    EXPECT_EQ(FixAdd(0x7FFF0000, 0x00010000), int32_t(0x80000000));
    EXPECT_EQ(FixHighWord, 32768);
    EXPECT_EQ(FixOverflow, 0);
    EXPECT_EQ(FixSub(int32_t(0x80000000), 1), 0x7FFFFFFF);
    EXPECT_EQ(FixHighWord, -32768);
    EXPECT_EQ(FixNeg(int32_t(0x80000000)), int32_t(0x80000000));
    EXPECT_EQ(FixNeg(F(2.5)), F(-2.5));
    EXPECT_EQ(FixCompare(-1, 1), -1);
    EXPECT_EQ(FixCompare(5, 5), 0);
    EXPECT_EQ(FixCompare(0x7FFFFFFF, int32_t(0x80000000)), 1);
}

TEST(FixedShift, BothDirectionsAndHugeCounts)
{
    EXPECT_EQ(FixShift(F(1.5), 4), F(24.0));
    EXPECT_EQ(FixHighWord, 16);
    EXPECT_EQ(FixShift(F(-1.5), 1), F(-3.0));
    EXPECT_EQ(FixHighWord, -4);  // the integer half -2 shifted
    EXPECT_EQ(FixShift(-3, -1), -2);
    EXPECT_EQ(FixShift(F(-8.0), -3), F(-1.0));
    EXPECT_EQ(FixShift(F(3.0), 0), F(3.0));
    EXPECT_EQ(FixShift(F(3.0), 40), 0);
    EXPECT_EQ(FixShift(F(-3.0), -40), -1);
    EXPECT_EQ(FixShift(F(3.0), INT32_MIN), 0);
    EXPECT_EQ(FixOverflow, 0);
    EXPECT_EQ(ShiftRightSigned(int32_t(0x80000000), 31), -1);
    EXPECT_EQ(ShiftRightSigned(0x7FFFFFFF, 30), 1);
}

TEST(FixedConversion, X2FixTruncatesAndSaturates)
{
    EXPECT_EQ(X2Fix(-1.5), -98304);
    EXPECT_EQ(X2Fix(0.00001), 0);
    EXPECT_EQ(X2Fix(-0.00001), 0);
    EXPECT_EQ(X2Fix(1.0 / 65536.0 * 2.9), 2);
    EXPECT_EQ(X2Fix(32767.99998), 0x7FFFFFFE);
    EXPECT_EQ(X2Fix(40000.0), INT32_MAX);
    EXPECT_EQ(X2Fix(-40000.0), INT32_MIN);
    EXPECT_EQ(X2Fix(1e300), INT32_MAX);
    EXPECT_EQ(X2Fix(-std::numeric_limits<double>::infinity()), INT32_MIN);
    EXPECT_EQ(X2Fix(std::nan("")), 0);
    EXPECT_EQ(Fix2X(-98304), -1.5);
    EXPECT_EQ(SafeSqrt(-4.0), 1.0);
    EXPECT_EQ(SafeSqrt(6.25), 2.5);
}

TEST(FixedRoots, IntSqrtBisectsToTheFloorButForTheSmallestAndLargest)
{
    EXPECT_EQ(IntSqrt(-5), -5);
    EXPECT_EQ(IntSqrt(0), 0);
    EXPECT_EQ(IntSqrt(1), 1);
    EXPECT_EQ(IntSqrt(2), 0);
    EXPECT_EQ(IntSqrt(3), 0);
    EXPECT_EQ(IntSqrt(4), 1);
    EXPECT_EQ(IntSqrt(5), 1);
    EXPECT_EQ(IntSqrt(6), 2);
    EXPECT_EQ(IntSqrt(16), 4);
    EXPECT_EQ(IntSqrt(1000000), 1000);
    EXPECT_EQ(IntSqrt(32767 * 32767 - 1), 32766);
    EXPECT_EQ(IntSqrt(32767 * 32767), 32766);
    EXPECT_EQ(IntSqrt(0x7FFFFFFF), 32766);
    for (int64_t k = 3; k <= 32767; ++k) {
        ASSERT_EQ(IntSqrt(int32_t(k * k - 1)), k - 1);
        if (k < 32767) {
            ASSERT_EQ(IntSqrt(int32_t(k * k)), k);
            ASSERT_EQ(IntSqrt(int32_t(k * k + 1)), k);
        }
    }
}

TEST(FixedRoots, BitLength)
{
    EXPECT_EQ(BitLength(0), 0);
    EXPECT_EQ(BitLength(1), 1);
    EXPECT_EQ(BitLength(255), 8);
    EXPECT_EQ(BitLength(256), 9);
    EXPECT_EQ(BitLength(0x80000000u), 32);
}

TEST(FixedMulHigh, RoundsTwiceAndFlagsLargeResults)
{
    EXPECT_EQ(FixMulHigh(F(3.0), F(2.5)), 8);  // 7.5 rounds up
    EXPECT_EQ(FixHighWord, 8);
    EXPECT_EQ(FixMulHigh(F(-3.0), F(2.5)), -8);
    EXPECT_EQ(FixHighWord, -8);
    EXPECT_EQ(FixMulHigh(F(2.0), F(1.2)), 2);
    EXPECT_EQ(FixOverflow, 0);
    EXPECT_EQ(FixMulHigh(F(255.0), F(257.0)), 65535);
    EXPECT_EQ(FixOverflow, 0);
    EXPECT_EQ(FixMulHigh(F(256.0), F(256.0)), 65536);
    EXPECT_EQ(FixOverflow, 1);
    EXPECT_EQ(FixMulHigh(int32_t(0x80000000), int32_t(0x80000000)), 1 << 30);
}

TEST(FixedMulShift, ShiftsTheProductOfMagnitudesEitherWay)
{
    FixOverflow = 1;
    EXPECT_EQ(MulShift(-1000, 300, 4), -18750);
    EXPECT_EQ(FixOverflow, 0);
    EXPECT_EQ(MulShift(3, 5, -2), 60);
    EXPECT_EQ(MulShift(3, -5, 0), -15);
    EXPECT_EQ(MulShift(0x40000000, 0x4000, 30), 0x4000);
    EXPECT_EQ(MulShift(123, 45, 100), 0);
    EXPECT_EQ(MulShift(123, 45, -100), 0);
}

}  // namespace
