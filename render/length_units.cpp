// The table of length units.
#include "render/length_units.h"

double GetUnitToMetres(int32_t code)
{
    switch (code) {
    case 1: return 0.0254;
    case 2: return 0.3048;
    case 3: return 0.9144;
    case 4: return 1609.344;
    case 5: return 0.001;
    case 6: return 0.01;
    case 8: return 1000.0;
    case 9: return 0.002116667;
    case 10: return 0.000352778;
    case 11: return 1e-10;
    case 12: return 3.084e16;
    default: return 1.0;
    }
}
