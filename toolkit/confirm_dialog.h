// A confirmation with "OK" and "Cancel" (a facility that nothing in the program opens).
#pragma once

#include <cstdint>

// The text with "OK" (1, the default) and "Cancel" (0); a run that ends without a button, or a
// dialog that cannot be shown, answers 0.
int32_t AskConfirm(const char* text);
