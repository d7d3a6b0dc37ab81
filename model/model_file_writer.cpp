// Writes a model document as a model file, in the order the reader expects its chunks.
#include "foundation/version_chunk.h"
#include "model/drawing_services.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/preference_record.h"
#include "model/texture_services.h"
#include "model/walk_record.h"

namespace {

template <class Body>
ResultCode WriteChunk(MemoryStream* stream, ChunkTag tag, Body body)
{
    ResultCode result = stream->StreamBeginChunk(tag);
    if (result != kResultOk) return result;
    result = body();
    const ResultCode end = stream->StreamEndChunk();
    return result != kResultOk ? result : end;
}

}  // namespace

ResultCode WriteModelFile(ModelDocument* document, MemoryStream* stream)
{
    if (!stream->StreamIsWriting()) return kResultLocked;
    TextureServices& textures = CurrentTextureServices();
    textures.BeginTextureSave(stream);
    return WriteChunk(stream, kTagForm, [&]() {
        uint32_t formType = kFormModel;
        ResultCode result = stream->StreamTransferValue(&formType, kValue32);
        if (result == kResultOk) result = WriteChunk(stream, kTagVersion, [&]() { return SerializeVersionChunk(stream); });
        if (result == kResultOk) {
            result = WriteChunk(stream, kTagRoot, [&]() { return document->Holder->Root->StreamRoot(stream); });
        }
        if (result == kResultOk) result = textures.WriteTextureTable(stream);
        if (result == kResultOk && (document->CreditsPicture || document->CreditsText)) {
            result = WriteChunk(stream, kTagCredits, [&]() {
                ResultCode credits = kResultOk;
                if (document->CreditsPicture) {
                    credits = WriteChunk(stream, kTagCreditsPicture, [&]() {
                        return CurrentDrawingServices().ReadWriteCreditsPicture(document->CreditsPicture, stream, nullptr);
                    });
                }
                if (credits == kResultOk && document->CreditsText) {
                    credits = WriteChunk(stream, kTagCreditsText, [&]() { return document->CreditsText->Write(stream); });
                }
                return credits;
            });
        }
        if (result == kResultOk && document->Preferences->HasContent()) {
            result = WriteChunk(stream, kTagPreferences, [&]() { return document->Preferences->Serialize(stream); });
        }
        if (result == kResultOk) {
            result = WriteChunk(stream, kTagWalkObserver, [&]() { return document->Walk->Serialize(stream); });
        }
        return result;
    });
}
