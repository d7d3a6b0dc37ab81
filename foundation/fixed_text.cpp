// Number texts: decimal texts of fixed-point values, length texts and their tokens.
#include "foundation/fixed_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

uint32_t Magnitude(Fixed v) { return v < 0 ? 0 - uint32_t(v) : uint32_t(v); }

// A non-negative magnitude in units of 1/10000, rounded to nearest.
uint64_t TenThousandths(uint32_t magnitude) { return (uint64_t(magnitude) * 10000 + 0x8000) >> 16; }
uint64_t TenThousandths(double magnitude) { return uint64_t(std::llround(magnitude * 10000.0)); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a run of digits into value, saturating at INT32_MAX; returns the digits read.
int32_t ReadDigits(const char*& p, int64_t& value)
{
    int32_t digits = 0;
    for (; IsDigit(*p); ++p, ++digits) value = std::min<int64_t>(value * 10 + (*p - '0'), INT32_MAX);
    return digits;
}

}  // namespace

void FixToDecimalText(Fixed value, unsigned char (&destination)[kDecimalTextSize])
{
    const uint64_t total = TenThousandths(Magnitude(value));
    char text[kDecimalTextSize];
    const int length = std::snprintf(text, sizeof text, "%s%ld.%04d", value < 0 ? "-" : "",
                                     long(total / 10000), int(total % 10000));
    destination[0] = uint8_t(length);
    std::memcpy(destination + 1, text, size_t(length));
}

int32_t ParseNumberToken(const char** cursor, int32_t* numerator, int32_t* denominator)
{
    const char* p = *cursor;
    while (*p == ' ' || *p == '\t') ++p;
    *cursor = p;
    const char c = *p;
    if (c == '\0') return kTokenEnd;
    if (c == '"' || c == '\'' || c == '+' || c == '-') {
        *cursor = p + 1;
        return c;
    }
    if (!IsDigit(c)) return kTokenOther;

    int64_t whole = 0;
    ReadDigits(p, whole);
    int64_t below = 1;
    if (*p == '.') {
        ++p;
        for (; IsDigit(*p); ++p) {
            if (whole > (INT32_MAX - 9) / 10 || below > INT32_MAX / 10) continue;  // ignored
            whole = whole * 10 + (*p - '0');
            below *= 10;
        }
    } else if (*p == '/' && IsDigit(p[1])) {
        ++p;
        below = 0;
        ReadDigits(p, below);
    }
    *cursor = p;
    *numerator = int32_t(whole);
    *denominator = int32_t(below);
    return kTokenNumber;
}

void FormatLength(char (&destination)[kLengthTextSize], Fixed value, int32_t mode)
{
    const char* sign = value < 0 ? "-" : " ";
    const uint32_t magnitude = Magnitude(value);
    uint64_t total;
    const char* unit = "";
    switch (mode & 0x0F) {
    case kLengthFeetInches: {
        const uint32_t fraction = magnitude & 0xFFFF;
        if (!(mode & kLengthNoFractions) && (fraction & 0x7FF) == 0) {
            // An exact multiple of 1/32 inch: feet, inches and the reduced fraction.
            const uint32_t inches = magnitude >> 16;
            int32_t above = int32_t(fraction >> 11), below = 32;
            while (above != 0 && above % 2 == 0) above /= 2, below /= 2;
            if (above == 0)
                std::snprintf(destination, kLengthTextSize, "%s%d'%d\"", sign, int(inches / 12),
                              int(inches % 12));
            else
                std::snprintf(destination, kLengthTextSize, "%s%d'%d %d/%d\"", sign,
                              int(inches / 12), int(inches % 12), above, below);
            return;
        }
        total = TenThousandths(magnitude);
        const uint64_t inches = total / 10000;
        std::snprintf(destination, kLengthTextSize, "%s%d'%d.%04d\"", sign, int(inches / 12),
                      int(inches % 12), int(total % 10000));
        return;
    }
    case kLengthMetres: total = TenThousandths(magnitude / 65536.0 * 0.0254); break;
    case kLengthRadians:
        total = TenThousandths(magnitude);
        unit = "r";
        break;
    case kLengthDegrees:
        total = TenThousandths(magnitude / 65536.0 * 57.2958);
        unit = "\xB0";
        break;
    default: total = TenThousandths(magnitude); break;
    }
    std::snprintf(destination, kLengthTextSize, "%s%ld.%04d%s", sign, long(total / 10000),
                  int(total % 10000), unit);
}
