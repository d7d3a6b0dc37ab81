// The sine tables, computed once when the program starts.
#include "render/sine_tables.h"

#include <array>
#include <cmath>

#include "foundation/fixed.h"

namespace {

template <class T, int Scale, int Low, int High>
std::array<T, 256> MakeSineTable()
{
    std::array<T, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const double value = std::floor(Scale * std::sin(2.0 * kPi * i / 256.0) + 0.5);
        table[i] = T(value < Low ? Low : value > High ? High : value);
    }
    return table;
}

const std::array<int8_t, 256> gSine8 = MakeSineTable<int8_t, 128, -128, 127>();
const std::array<int16_t, 256> gSineQ15 = MakeSineTable<int16_t, 32768, -32768, 32767>();

}  // namespace

const int8_t* const SineTable8 = gSine8.data();
const int16_t* const SineTableQ15 = gSineQ15.data();
