// The text entry dialog: a prompt and an edit field that holds the caller's text, with "OK" and
// "Cancel" (facilities that nothing in the program opens).
#pragma once

#include <cstdint>

// The edit field's choices: as wide as the dialog, or narrow.
constexpr int32_t kTextFieldWide = 1;
constexpr int32_t kTextFieldNarrow = 2;
// The caller's buffer holds this many bytes.
constexpr int32_t kTextEntrySize = 256;

// Titled `title`, with the prompt and an edit field (kTextFieldNarrow: narrow, else wide) holding
// the buffer's text. After "OK" answers 1 and the buffer (kTextEntrySize bytes) holds the edited
// text, at most 255 characters; "Cancel", a run that ends without a button or a dialog that
// cannot be shown answer 0 and leave the buffer as it was.
int32_t AskText(const char* title, const char* prompt, char* buffer, int32_t choice);
// The same dialog 200 pixels wider, its edit field scrolling sideways.
int32_t AskTextWide(const char* title, const char* prompt, char* buffer, int32_t choice);
