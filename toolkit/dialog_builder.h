// Building a dialog in code: its items (icon, text, dismiss buttons), the width of its text, and
// a builder that makes the windoid, adds the items with their button group and runs the dialog,
// answering the dialog's cancel result when any step could not be done.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

class DialogWindow;
class DismissButton;
class DynamicArray;
class PaneItem;
class TextItem;

// The width of the text in the font that dialogs measure with (the system font, size 12).
int32_t DialogTextWidth(const char* text);

// Each adds its item to the dialog; null when it could not be made.
PaneItem* AddDialogIcon(DialogWindow* dialog, const PortRect& bounds, int32_t iconId);
TextItem* AddDialogText(DialogWindow* dialog, const PortRect& bounds, const char* text);
// A dismiss button with its label, result and control id, made the default control with
// `focus` and joining the group when one is given.
DismissButton* AddDialogButton(DialogWindow* dialog, const PortRect& bounds, const char* label, int32_t result,
                               int32_t controlId, bool focus, DynamicArray* group);
// Fills the background, shows, runs and closes the dialog: its result.
int32_t RunBuiltDialog(DialogWindow* dialog);

class DialogBuilder {
public:
    // Makes the dialog's windoid with the content bounds (screen coordinates), hidden; a run that
    // ends without a button, or a dialog that cannot be built, answers `cancelResult`.
    DialogBuilder(DialogWindow* dialog, const PortRect& bounds, int32_t cancelResult);
    // Closes the dialog when it was not closed yet.
    ~DialogBuilder();
    DialogBuilder(const DialogBuilder&) = delete;
    DialogBuilder& operator=(const DialogBuilder&) = delete;

    // False once a step could not be done; the later steps then do nothing.
    bool Built() const { return built_; }
    void SetTitle(const char* text);
    // The question icon at the bounds.
    void AddIcon(const PortRect& bounds);
    void AddText(const PortRect& bounds, const char* text);
    // Adds an item made and initialised by the caller (null: a failed step); after a failed
    // step the item is deleted instead.
    void AddItem(PaneItem* item);
    // The buttons added from now on share one group.
    void StartButtonGroup();
    void AddButton(const PortRect& bounds, const char* label, int32_t result, int32_t controlId, bool focus);

    // Shows the built dialog; Wait runs it and answers its result; Close closes it (the dialog
    // object is gone afterwards). Run does the three.
    void Show();
    int32_t Wait();
    void Close();
    int32_t Run();

private:
    DialogWindow* dialog_;
    int32_t cancelResult_;
    bool built_ = false;
    bool closed_ = false;
    DynamicArray* group_ = nullptr;
};
