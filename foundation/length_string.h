// In-place conversion between zero-terminated texts and length-prefixed texts (first byte the
// length, 0 to 255, then the characters).
#pragma once

// The characters move up by one and the length goes in front; a text longer than 255
// characters keeps its first 255.
void CToLengthString(char* text);
// The characters move down by one and a terminator follows them.
void LengthToCString(char* text);
