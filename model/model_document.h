// ModelDocument: what a model document holds of a model file (the scene tree in its holder,
// the walk observer, the preferences, the credits picture and text, and the placement taken
// from the walk observer), and its read operation, the model file reader.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "foundation/memory_stream.h"
#include "foundation/root_object.h"

class ModelHolder;
class PreferenceRecord;
class Q_Offscreen;
class WalkRecord;

constexpr ChunkTag kTagForm = ChunkTagOf("FORM");
constexpr ChunkTag kFormModel = ChunkTagOf("QMDL");
constexpr ChunkTag kFormModelShort = 0x51505900;  // "QPY" and a zero byte
constexpr ChunkTag kTagVersion = ChunkTagOf("VERS");
constexpr ChunkTag kTagRoot = ChunkTagOf("ROOT");
constexpr ChunkTag kTagTextureTable = ChunkTagOf("TXTB");
constexpr ChunkTag kTagCredits = ChunkTagOf("CRED");
constexpr ChunkTag kTagCreditsPicture = ChunkTagOf("BMAP");
constexpr ChunkTag kTagCreditsText = ChunkTagOf("TEXT");
constexpr ChunkTag kTagPreferences = ChunkTagOf("PREF");
constexpr ChunkTag kTagWalkObserver = ChunkTagOf("QPRF");

class ModelDocument : public RootObject {
public:
    // Makes the holder with its world root, the walk observer and the preferences;
    // kResultOutOfMemory when one could not be made.
    ResultCode Init();
    // Frees the tree, the walk observer, the preferences, the credits and the document.
    void Destroy();

    // The read operation: reads a model file from a stream opened for reading at offset 0.
    // 0, 1 (a version outside 1.x), -1 (not readable: writing stream, no "FORM"), -2 (stopped)
    // or the first failing code of a chunk's reader; every failure after the header shows
    // "Error in loading file "name."".
    virtual ResultCode ReadModelFile(MemoryStream* stream);
    // The body behind the "FORM" header; `cutShort` tells that the form's stored length passes
    // the end of the data, which fails the read.
    ResultCode ReadModelBody(MemoryStream* stream, bool cutShort = false);
    ResultCode ReadCredits(MemoryStream* stream);
    ResultCode ReadCreditsText(MemoryStream* stream);

    // Replaces the credits text with a copy of the bytes (none for a length of 0).
    void SetCreditsText(const void* bytes, int32_t length);
    // Takes the picture (null for none), disposing of the one held before.
    void SetCreditsPicture(Q_Offscreen* picture);

    ModelHolder* Holder = nullptr;
    WalkRecord* Walk = nullptr;
    PreferenceRecord* Preferences = nullptr;
    Q_Offscreen* CreditsPicture = nullptr;
    DynamicArray* CreditsText = nullptr;  // bytes, no terminator
    FixedVector3 PlacementPosition = {0, 0, 0};
    Fixed PlacementHeading = 0;  // radians
    Fixed PlacementPitch = 0;
    Fixed PlacementRoll = 0;
    // 1 once the last read got past the "FORM" header: its failures then showed the alert.
    int32_t FormEntered = 0;

private:
    // Takes the credits off the progress window before either is replaced.
    void WithdrawCredits();
};

// Writes the document as a model file: "FORM" "QMDL" with "VERS", "ROOT", the texture table,
// "CRED" (when there are credits), "PREF" (when there are preferences) and "QPRF".
ResultCode WriteModelFile(ModelDocument* document, MemoryStream* stream);
