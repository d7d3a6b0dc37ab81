// The table of length units: how many metres one unit of a model's length code measures.
#pragma once

#include <cstdint>

// Metres per length unit: 1 inch, 2 foot, 3 yard, 4 mile, 5 millimetre, 6 centimetre,
// 8 kilometre, 9 twelfth of an inch, 10 point, 11 angstrom, 12 parsec; 7 (metre) and every
// other code 1.0.
double GetUnitToMetres(int32_t code);
