// The alert (a message with an information icon and "OK") and the two-button question, the
// dialogs that the whole program shows its messages and questions with, and the placing of a
// dialog on the screen. The lower layers reach the alert through ShowAlert (foundation's user
// interface services), which the toolkit's services send here.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

class DialogWindow;

// The question's flags: bit 0 gives the first label's button the focus (else the second's);
// bit 1 makes the first label's button answer 1 (else the second's).
constexpr int32_t kQuestionFocusFirst = 1;
constexpr int32_t kQuestionFirstAnswersOne = 2;

// Shows the message in the alert: 1 when "OK" was pressed; 0 when the run ended otherwise or
// no frame exists yet (the message then goes to a system message box).
int32_t ShowAlertDialog(const char* message);
// "Error #%d" with the code, in the alert.
int32_t ErrorAlert(int32_t code);
// Asks with two buttons; 0 or 1 by the flags above.
int32_t AskQuestion(const char* message, const char* firstLabel, const char* secondLabel, int32_t flags);

// Sizes and centres a dialog on the screen (GetScreenBounds) for a text `textWidth` wide;
// the text's line count.
int32_t PlaceDialogRect(PortRect* rect, int32_t width, int32_t height, int32_t textWidth);

// The alert and the question built into a dialog that the caller allocated.
int32_t RunAlert(DialogWindow* dialog, const char* message);
int32_t RunQuestion(DialogWindow* dialog, const char* message, const char* firstLabel,
                    const char* secondLabel, int32_t flags);
