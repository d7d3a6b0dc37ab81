// The preference set and its "QPRF" form.
#include "player/player_preferences.h"

#include <new>

#include "foundation/memory_stream.h"
#include "foundation/version_chunk.h"
#include "model/preference_record.h"

namespace {

constexpr ChunkTag kTagForm = ChunkTagOf("FORM");
constexpr ChunkTag kFormPreferences = ChunkTagOf("QPRF");
constexpr ChunkTag kTagVersion = ChunkTagOf("VERS");
constexpr ChunkTag kTagNavigation = ChunkTagOf("PNAV");
constexpr ChunkTag kTagRender = ChunkTagOf("PRND");
constexpr ChunkTag kTagDefaults = ChunkTagOf("PDEF");
constexpr ChunkTag kTagModelView = ChunkTagOf("PMOD");
constexpr ChunkTag kTagWindows = ChunkTagOf("PWIN");
constexpr ChunkTag kTagConfig = ChunkTagOf("CNFG");

constexpr uint32_t kVersionEnd = 0x02000000;
// The kind query's answer for a stream over a file.
constexpr int32_t kFileStreamKind = 2;

ResultCode WriteChunk(MemoryStream* stream, ChunkTag tag, PreferenceSection* section)
{
    ResultCode result = stream->StreamBeginChunk(tag);
    if (result == kResultOk) result = section->Serialize(stream);
    if (result == kResultOk) result = stream->StreamEndChunk();
    return result;
}

ResultCode ReadVersion(MemoryStream* stream)
{
    const ResultCode result = SerializeVersionChunk(stream);
    if (result != kResultOk) return result;
    const uint32_t version = stream->StreamGetVersion();
    return version >= kFileVersion && version < kVersionEnd ? kResultOk : kResultPreferenceVersion;
}

}  // namespace

template <class Section>
ResultCode PlayerPreferences::Make(Owned<Section>* section)
{
    section->reset(new (std::nothrow) Section);
    if (!*section) return kResultOutOfMemory;
    (*section)->Reset();
    return kResultOk;
}

ResultCode PlayerPreferences::Init()
{
    ResultCode result = Make(&navigation_);
    if (result == kResultOk) result = Make(&render_);
    if (result == kResultOk) result = Make(&windows_);
    if (result == kResultOk) result = Make(&viewStyle_);
    if (result == kResultOk) result = Make(&defaults_);
    if (result == kResultOk) result = Make(&modelView_);
    if (result == kResultOk) result = Make(&config_);
    if (result == kResultOk && !modelView_->lights) result = kResultOutOfMemory;
    return result;
}

PlayerPreferences::~PlayerPreferences() = default;

void PlayerPreferences::Free()
{
    delete this;
}

PreferenceSection* PlayerPreferences::GetSection(int32_t id) const
{
    switch (id) {
    case kSectionNavigation: return navigation_.get();
    case kSectionRender: return render_.get();
    case kSectionDefaults: return defaults_.get();
    case kSectionWindows: return windows_.get();
    case kSectionModelView: return modelView_.get();
    case kSectionViewStyle: return viewStyle_.get();
    case kSectionConfig: return config_.get();
    default: return nullptr;
    }
}

PreferenceSection* PlayerPreferences::SectionOfTag(uint32_t tag) const
{
    switch (tag) {
    case kTagNavigation: return navigation_.get();
    case kTagRender: return render_.get();
    case kTagDefaults: return defaults_.get();
    case kTagModelView: return modelView_.get();
    case kTagWindows: return windows_.get();
    case kTagConfig: return config_.get();
    default: return nullptr;
    }
}

ResultCode PlayerPreferences::Write(MemoryStream* stream)
{
    return stream->StreamIsWriting() ? WriteForm(stream) : ReadForm(stream);
}

ResultCode PlayerPreferences::WriteForm(MemoryStream* stream)
{
    ResultCode result = stream->StreamBeginChunk(kTagForm);
    uint32_t formType = kFormPreferences;
    if (result == kResultOk) result = stream->StreamTransferValue(&formType, kValue32);
    if (result == kResultOk) result = stream->StreamBeginChunk(kTagVersion);
    if (result == kResultOk) result = SerializeVersionChunk(stream);
    if (result == kResultOk) result = stream->StreamEndChunk();
    const ChunkTag order[] = {kTagRender, kTagNavigation, kTagDefaults, kTagModelView, kTagWindows, kTagConfig};
    for (ChunkTag tag : order) {
        if (result != kResultOk) break;
        if (tag == kTagConfig && stream->StreamKind() == kFileStreamKind) break;
        result = WriteChunk(stream, tag, SectionOfTag(tag));
    }
    if (result == kResultOk) result = stream->StreamEndChunk();
    return result;
}

ResultCode PlayerPreferences::ReadForm(MemoryStream* stream)
{
    const ChunkTag outer = stream->StreamEnterChunk();
    if (outer == 0) return kResultOk;
    ResultCode result = kResultOk;
    ChunkTag formType = 0;
    if (outer == kTagForm && stream->StreamTransferValue(&formType, kValue32) == kResultOk &&
        formType == kFormPreferences) {
        stream->StreamSetVersion(0);
        for (;;) {
            const ChunkTag tag = stream->StreamEnterChunk();
            if (tag == 0) break;
            if (tag == kTagVersion) {
                result = ReadVersion(stream);
            } else if (PreferenceSection* section = SectionOfTag(tag)) {
                result = section->Serialize(stream);
            }
            const ResultCode left = stream->StreamEndChunk();
            if (result == kResultOk) result = left;
            if (result != kResultOk) break;
        }
    }
    IgnoreResult(stream->StreamEndChunk());
    return result;
}

ResultCode PlayerPreferences::ReadStored(const PreferenceRecord* stored)
{
    if (!stored || !stored->HasContent()) return kResultOk;
    MemoryStream* stream = new (std::nothrow) MemoryStream;
    if (!stream) return kResultOutOfMemory;
    stream->StreamInit(kStreamWriting);
    DynamicArray* bytes = stored->Bytes;
    ResultCode result = stream->TransferBytes(bytes->ArrayData(), bytes->ArrayCount());
    if (result == kResultOk) result = stream->StreamSetDirection(kStreamReading);
    if (result == kResultOk) result = stream->StreamSetPosition(0);
    if (result == kResultOk) result = Serialize(stream);
    stream->StreamDestroy();
    return result;
}
