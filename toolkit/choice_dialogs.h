// Questions with three, four or six buttons whose labels the caller gives (facilities that
// nothing in the program opens).
#pragma once

#include <cstdint>

// The flags that give a button the focus (the second button has it in any case; of several, the
// last one keeps it).
constexpr int32_t kChoiceFocusFirst = 0x1;
constexpr int32_t kChoiceFocusThird = 0x4;
constexpr int32_t kChoiceFocusFourth = 0x8;
constexpr int32_t kChoiceFocusFifth = 0x40;
constexpr int32_t kChoiceFocusSixth = 0x80;

// The text over buttons of the labels in order, the first on the right (AskSix: three in a row,
// the fourth to sixth on a row above); each button answers its place, 1 to the number of
// buttons. A run that ends without a button, or a dialog that cannot be shown, answers 0.
int32_t AskThree(const char* text, const char* const labels[3], int32_t flags);
int32_t AskFour(const char* text, const char* const labels[4], int32_t flags);
int32_t AskSix(const char* text, const char* const labels[6], int32_t flags);
