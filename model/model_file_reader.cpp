// The model file reader: the "FORM" header, the top-level chunks under a progress window, the
// credits, and the load alert.
#include <cstdio>
#include <cstring>
#include <new>

#include "foundation/disk_file_stream.h"
#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"
#include "foundation/version_chunk.h"
#include "model/drawing_services.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/preference_record.h"
#include "model/read_limits.h"
#include "model/texture_services.h"
#include "model/walk_record.h"

namespace {

constexpr size_t kNameBytes = 600;
constexpr size_t kShownNameLength = 37;
constexpr uint32_t kLastVersion = 0x02000000;

// The file's name and extension, or "" for a stream that is not a file.
void FileName(MemoryStream* stream, char (&name)[kNameBytes])
{
    name[0] = 0;
    if (stream->StreamKind() == 2) static_cast<DiskFileStream*>(stream)->FileNameWithExtension(name);
}

}  // namespace

ResultCode ModelDocument::Init()
{
    Holder = new (std::nothrow) ModelHolder;
    if (!Holder || Holder->ModelHolderInit(this) != kResultOk) return kResultOutOfMemory;
    Walk = new (std::nothrow) WalkRecord;
    if (!Walk || Walk->Init(this) != kResultOk) return kResultOutOfMemory;
    Preferences = new (std::nothrow) PreferenceRecord;
    return Preferences ? kResultOk : kResultOutOfMemory;
}

void ModelDocument::Destroy()
{
    if (Holder) Holder->ModelHolderDestroy();
    if (Walk) Walk->Free();
    if (Preferences) Preferences->Free();
    SetCreditsPicture(nullptr);
    DestroyArray(CreditsText);
    delete this;
}

void ModelDocument::WithdrawCredits()
{
    if (CreditsPicture || CreditsText) ProgressShowCredits(nullptr, nullptr);
}

void ModelDocument::SetCreditsText(const void* bytes, int32_t length)
{
    WithdrawCredits();
    DestroyArray(CreditsText);
    if (length <= 0) return;
    CreditsText = NewDynamicArray(length, 1, 16);
    if (CreditsText) std::memcpy(CreditsText->ArrayData(), bytes, size_t(length));
}

void ModelDocument::SetCreditsPicture(Q_Offscreen* picture)
{
    if (picture == CreditsPicture) return;
    WithdrawCredits();
    if (CreditsPicture) CurrentDrawingServices().DisposeCreditsPicture(CreditsPicture);
    CreditsPicture = picture;
}

ResultCode ModelDocument::ReadModelFile(MemoryStream* stream)
{
    const CountRaised loading(ModelLoadingCount);
    FormEntered = 0;
    if (stream->StreamIsWriting()) return kResultLocked;
    const ChunkTag tag = stream->StreamEnterChunk();
    if (tag != kTagForm) {
        if (tag != 0) IgnoreResult(stream->StreamEndChunk());
        return kResultLocked;
    }
    FormEntered = 1;
    // The stream keeps every chunk inside the data; the stored length tells whether the file
    // was cut short.
    const int32_t start = stream->ChunkStart();
    uint32_t stored = 0;
    // An unreadable length counts as not cut short.
    IgnoreResult(stream->StreamTransferValueAt(&stored, kValue32, start - 4));
    IgnoreResult(stream->StreamSetPosition(start));
    const bool cutShort = stored > uint32_t(stream->ChunkLength());
    stream->StreamClearChunkCut();
    Holder->Root->SetLights(nullptr);
    Holder->Root->ClearUnits();
    Holder->MemoryShort = 0;
    const ResultCode result = ReadModelBody(stream, cutShort);
    IgnoreResult(stream->StreamEndChunk());
    return result;
}

ResultCode ModelDocument::ReadModelBody(MemoryStream* stream, bool cutShort)
{
    char name[kNameBytes];
    FileName(stream, name);
    OpenProgress();
    ProgressSetText("Tamrix Player");
    char line[kNameBytes + 16];
    if (std::strlen(name) >= kShownNameLength) {
        std::snprintf(line, sizeof line, "Reading: %.37s...", name);
    } else {
        std::snprintf(line, sizeof line, "Reading: %s", name);
    }
    ProgressSetMessage(line);
    int32_t size = 0;
    IgnoreResult(stream->StreamSize(&size));  // 0 when the size cannot be had
    ProgressSetTotal(size);
    ProgressSetValue(0);
    ProgressShow();
    TextureServices& textures = CurrentTextureServices();
    textures.BeginTextureSave(stream);
    Holder->Budget.Begin(stream);
    textures.ChargePicturesTo(&Holder->Budget.Pictures());

    ResultCode result = kResultOk;
    uint32_t formType = 0;
    if (!stream->StreamIsWriting() && stream->StreamTransferValue(&formType, kValue32) == kResultOk &&
        formType == kFormModel) {
        stream->StreamSetVersion(0);
        int32_t chunks = 0;
        for (; result == kResultOk; ++chunks) {
            const ChunkTag tag = stream->StreamEnterChunk();
            if (tag == 0) break;
            if (tag == kTagVersion) {
                result = SerializeVersionChunk(stream);
                const uint32_t version = stream->StreamGetVersion();
                if (result == kResultOk && (version < kFileVersion || version >= kLastVersion)) result = kResultShortRead;
            } else if (tag == kTagRoot) {
                result = Holder->Root->StreamRoot(stream);
            } else if (tag == kTagTextureTable) {
                result = textures.ReadTextureTable(stream);
            } else if (tag == kTagCredits) {
                result = ReadCredits(stream);
            } else if (tag == kTagPreferences) {
                IgnoreResult(Preferences->Serialize(stream));  // a broken chunk leaves the defaults
            } else if (tag == kTagWalkObserver) {
                IgnoreResult(Walk->Serialize(stream));  // a broken chunk leaves the defaults
            }
            IgnoreResult(stream->StreamEndChunk());
        }
        CountTurns(chunks);
        Fixed angles[3];
        Walk->GetPlacement(&PlacementPosition, angles);
        PlacementRoll = angles[0];
        PlacementPitch = angles[1];
        PlacementHeading = angles[2];
    }
    // A file that ends before its form does fails even when it ends between two chunks, and so
    // does a chunk whose stored length runs past the chunk or the file that holds it.
    if (result == kResultOk && (cutShort || stream->StreamChunkCut())) result = kResultShortRead;
    // A model that lacks a part it could not make for want of memory is not the file's model.
    if (result == kResultOk && Holder->MemoryShort) result = kResultOutOfMemory;
    result = Holder->EndRead(result);
    const ResultCode collected = textures.CollectUsedTextures(result == kResultOk);
    if (result == kResultOk) result = collected;
    // The read's last look at its progress: a stop the user asked for since the last one stops
    // the read, however far it came.
    if (ProgressFinish()) result = kResultStopped;
    if (result != kResultOk) {
        char alert[kNameBytes + 40];
        std::snprintf(alert, sizeof alert, "Error in loading file \"%s.\"", name);
        ShowAlert(alert);
    }
    return result;
}

ResultCode ModelDocument::ReadCredits(MemoryStream* stream)
{
    ProgressSetValue(stream->StreamPosition());
    if (ProgressUpdate(0)) return kResultStopped;
    ResultCode result = kResultOk;
    // The loading window shows the credits again only when a chunk of them was read: a credits
    // chunk that holds none changes nothing shown.
    bool changed = false;
    int32_t chunks = 0;
    for (; result == kResultOk; ++chunks) {
        const ChunkTag tag = stream->StreamEnterChunk();
        if (tag == 0) break;
        changed = changed || tag == kTagCreditsPicture || tag == kTagCreditsText;
        if (tag == kTagCreditsPicture) {
            SetCreditsPicture(nullptr);
            // A picture whose image could not be read is not kept.
            DrawingServices& drawing = CurrentDrawingServices();
            Q_Offscreen* picture = drawing.NewCreditsPicture();
            const ResultCode read =
                picture ? drawing.ReadWriteCreditsPicture(picture, stream, &Holder->Budget.Pictures()) : kResultOk;
            if (read != kResultOk) {
                drawing.DisposeCreditsPicture(picture);
                picture = nullptr;
            }
            SetCreditsPicture(picture);
            // One past the model's picture budget ends the read (its reader has said why).
            if (read == kResultPastBudget) result = read;
        } else if (tag == kTagCreditsText) {
            result = ReadCreditsText(stream);
        }
        IgnoreResult(stream->StreamEndChunk());
        // Pictures one after another take their time: a stop asked meanwhile ends the read.
        if (!Holder->Budget.LookWhenDue()) result = kResultStopped;
    }
    CountTurns(chunks);
    ProgressSetValue(stream->StreamPosition());
    if (ProgressUpdate(0)) result = kResultStopped;
    if (changed) ProgressShowCredits(CreditsPicture, CreditsText);
    return result;
}

ResultCode ModelDocument::ReadCreditsText(MemoryStream* stream)
{
    WithdrawCredits();
    DestroyArray(CreditsText);
    CreditsText = NewDynamicArray(BytesLeftToRead(stream), 1, 16);
    if (CreditsText) IgnoreResult(CreditsText->Write(stream));  // a short text keeps its zero bytes
    return kResultOk;
}
