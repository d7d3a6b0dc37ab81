// The program palette.
#include "draw/program_palette.h"

HPALETTE ProgramPalette = nullptr;
