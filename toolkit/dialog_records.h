// The description records of the ready-made dialogs built in code: for each, its own rectangle
// (left and top 0), its text item, its buttons in order and its icon, each a rectangle relative
// to the dialog and a text (a format where the dialog puts a name in; empty where the record only
// places an item).
#pragma once

#include <cstddef>
#include <cstdint>

#include "draw/port_base.h"

struct DialogRecord {
    PortRect rect;
    const char* text;
};

// The buffer a record's text is formatted into with a name, the name cut to fit.
constexpr size_t kNamedDialogTextSize = 512;

struct DialogRecords {
    DialogRecord dialog;
    DialogRecord text;
    const DialogRecord* buttons;
    int32_t buttonCount;
    DialogRecord icon;
};

namespace DialogRecordTables {

inline constexpr DialogRecord kQuestionIcon = {{11, 13, 43, 45}, ""};

inline constexpr DialogRecord kSaveChangesButtons[] = {
    {{25, 64, 105, 92}, "&Yes"}, {{115, 64, 195, 92}, "&No"}, {{205, 64, 285, 92}, "Cancel"}};
inline constexpr DialogRecord kSaveChangesTwoLineButtons[] = {
    {{51, 124, 128, 152}, "&Yes"}, {{159, 124, 220, 152}, "&No"}, {{252, 124, 313, 152}, "Cancel"}};
inline constexpr DialogRecord kDiscardChangesButtons[] = {{{70, 64, 150, 92}, "&Yes"}, {{170, 64, 250, 92}, "&No"}};
inline constexpr DialogRecord kDiscardChangesTwoLineButtons[] = {{{98, 124, 159, 152}, "&Yes"},
                                                                 {{191, 124, 252, 152}, "&No"}};
inline constexpr DialogRecord kOverwriteTextureButtons[] = {
    {{15, 90, 85, 118}, "&Yes"},   {{95, 90, 165, 118}, "Yes to &All"},    {{175, 90, 245, 118}, "&No"},
    {{255, 90, 325, 118}, "No to A&ll"}, {{335, 90, 425, 118}, "&Skip Texture"}};
inline constexpr DialogRecord kConfirmButtons[] = {{{48, 64, 109, 92}, "OK"}, {{141, 64, 202, 92}, "Cancel"}};
inline constexpr DialogRecord kTextEntryButtons[] = {{{23, 81, 84, 109}, "OK"}, {{116, 81, 177, 109}, "Cancel"}};

}  // namespace DialogRecordTables

inline constexpr DialogRecords kSaveChangesRecords = {
    {{0, 0, 310, 105}, ""},
    {{56, 22, 390, 42}, "Save changes to \"%s\"?"},
    DialogRecordTables::kSaveChangesButtons,
    3,
    DialogRecordTables::kQuestionIcon};

inline constexpr DialogRecords kSaveChangesTwoLineRecords = {
    {{0, 0, 370, 165}, ""},
    {{56, 22, 360, 109}, "Save changes to:\n\"%s\"?"},
    DialogRecordTables::kSaveChangesTwoLineButtons,
    3,
    DialogRecordTables::kQuestionIcon};

inline constexpr DialogRecords kDiscardChangesRecords = {
    {{0, 0, 320, 105}, ""},
    {{56, 22, 410, 42}, "Discard changes to \"%s\"?"},
    DialogRecordTables::kDiscardChangesButtons,
    2,
    DialogRecordTables::kQuestionIcon};

// Its text is that of the save-changes dialog's two-line layout.
inline constexpr DialogRecords kDiscardChangesTwoLineRecords = {
    {{0, 0, 370, 165}, ""},
    {{56, 22, 360, 109}, "Save changes to:\n\"%s\"?"},
    DialogRecordTables::kDiscardChangesTwoLineButtons,
    2,
    DialogRecordTables::kQuestionIcon};

inline constexpr DialogRecords kOverwriteTextureRecords = {
    {{0, 0, 440, 138}, ""},
    {{60, 20, 425, 60},
     "There is already a texture named \"%s\" in the current directory.  Do you want to overwrite it?"},
    DialogRecordTables::kOverwriteTextureButtons,
    5,
    DialogRecordTables::kQuestionIcon};

// The text is the caller's.
inline constexpr DialogRecords kConfirmRecords = {
    {{0, 0, 394, 105}, ""}, {{68, 13, 384, 61}, ""}, DialogRecordTables::kConfirmButtons, 2,
    DialogRecordTables::kQuestionIcon};

// The text record places the caller's prompt; the dialog has no icon.
inline constexpr DialogRecords kTextEntryRecords = {
    {{0, 0, 200, 122}, ""}, {{11, 13, 200, 26}, ""}, DialogRecordTables::kTextEntryButtons, 2,
    {{0, 0, 0, 0}, ""}};

// The text entry's edit field: the wide one (choice 1) and the narrow one (choice 2).
inline constexpr DialogRecord kTextEntryWideField = {{11, 33, 189, 53}, ""};
inline constexpr DialogRecord kTextEntryNarrowField = {{11, 33, 44, 53}, ""};
