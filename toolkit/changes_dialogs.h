// The questions about a document's unsaved changes: whether to save them before the document
// closes (the close protocol's question), and whether to discard them.
#pragma once

#include <cstdint>

// AskSaveChanges' answers.
constexpr int32_t kSaveChangesSave = 1;
constexpr int32_t kSaveChangesDiscard = 2;
constexpr int32_t kSaveChangesCancel = 3;

// "Save changes to "name"?" with "&Yes" (1, the default), "&No" (2) and "Cancel" (3). A run that
// ends without a button, or a dialog that cannot be shown, answers 3.
int32_t AskSaveChanges(const char* name);
// "Discard changes to "name"?" with "&Yes" (1, the default) and "&No" (0). A run that ends
// without a button, or a dialog that cannot be shown, answers 0.
int32_t AskDiscardChanges(const char* name);
