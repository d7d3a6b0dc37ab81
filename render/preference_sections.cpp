// Preference sections: defaults, chunk bodies, the "QPRF" form and the option mapping.
#include "render/preference_sections.h"

#include <new>

#include "foundation/memory_stream.h"
#include "foundation/typed_value.h"
#include "model/preference_record.h"
#include "render/observer.h"

namespace {

constexpr ChunkTag kTagForm = ChunkTagOf("FORM");
constexpr ChunkTag kFormPreferences = ChunkTagOf("QPRF");
constexpr ChunkTag kTagVersion = ChunkTagOf("VERS");
constexpr ChunkTag kTagRender = ChunkTagOf("PRND");
constexpr ChunkTag kTagNavigation = ChunkTagOf("PNAV");
constexpr ChunkTag kTagConfig = ChunkTagOf("CNFG");

constexpr uint32_t kVelocityGrid = 4;
constexpr int16_t kDefaultLensNumerator = 35;
constexpr int16_t kDefaultLensDenominator = 36;

// Moves values in order, stopping at the first error.
class Transfer {
public:
    explicit Transfer(MemoryStream* stream) : stream_(stream) {}
    template <class T>
    Transfer& operator()(T* value)
    {
        if (result_ == kResultOk) result_ = stream_->StreamTransferValue(value, int32_t(sizeof(T)));
        return *this;
    }
    Transfer& Typed(void* value, TypedValueKind kind)
    {
        if (result_ == kResultOk) result_ = SerializeTypedValue(stream_, value, kind);
        return *this;
    }
    ResultCode Result() const { return result_; }

private:
    MemoryStream* stream_;
    ResultCode result_ = kResultOk;
};

}  // namespace

void NavigationSection::Reset()
{
    PreferenceSection::Reset();
    options = 3;
    aspect[0] = 133;
    aspect[1] = 100;
    aspectOn = 0;
    index = 6;
    lensNumerator = kDefaultLensNumerator;
    lensDenominator = kDefaultLensDenominator;
}

ResultCode NavigationSection::Serialize(MemoryStream* stream)
{
    const bool reading = !stream->StreamIsWriting();
    int16_t lens[2] = {kDefaultLensNumerator, kDefaultLensDenominator};
    if (!reading) {
        lens[0] = lensNumerator;
        lens[1] = lensDenominator;
    }
    Transfer transfer(stream);
    transfer(&options)(&aspectOn)(&index);
    // The aspect ratio travels as a point: the low 16 bits of each value, and reading replaces
    // only those.
    transfer.Typed(aspect, kTypedPoint);
    const ResultCode result = transfer(&lens[0])(&lens[1]).Result();
    if (reading) {
        if (index >= 11) index = 0;
        // A lens of 0 or below is no lens: the one before it stays.
        lensNumerator = kDefaultLensNumerator;
        lensDenominator = kDefaultLensDenominator;
        if (lens[0] > 0 && lens[1] > 0) {
            lensNumerator = lens[0];
            lensDenominator = lens[1];
        }
    }
    options &= ~kVelocityGrid;
    return result;
}

void RenderSection::Reset()
{
    PreferenceSection::Reset();
    wordA = 3;
    wordB = 4;
    wordC = 7;
    flags[0] = 0;
    flags[1] = 0;
    flags[2] = 1;
    flags[3] = 0;
}

ResultCode RenderSection::Serialize(MemoryStream* stream)
{
    const ResultCode result =
        Transfer(stream)(&wordA)(&wordB)(&wordC)(&flags[0])(&flags[1])(&flags[2])(&flags[3]).Result();
    flags[3] = 0;
    return result;
}

void ConfigSection::Reset()
{
    PreferenceSection::Reset();
    directDrawing = 1;
}

ResultCode ConfigSection::Serialize(MemoryStream* stream)
{
    return stream->StreamTransferValue(&directDrawing, kValueByte);
}

ResultCode ReadPreferenceForm(MemoryStream* stream, PreferenceSet* set)
{
    if (stream->StreamIsWriting()) return kResultLocked;
    const ChunkTag outer = stream->StreamEnterChunk();
    if (outer == 0) return kResultOk;
    ResultCode result = kResultOk;
    ChunkTag formType = 0;
    if (outer == kTagForm && stream->StreamTransferValue(&formType, kValue32) == kResultOk && formType == kFormPreferences) {
        stream->StreamSetVersion(0);
        for (;;) {
            const ChunkTag tag = stream->StreamEnterChunk();
            if (tag == 0) break;
            switch (tag) {
            case kTagVersion: {
                uint32_t version = 0;
                result = stream->StreamTransferValue(&version, kValue32);
                stream->StreamSetVersion(version);
                if (result == kResultOk && (version < 0x01000000u || version >= 0x02000000u)) result = 1;
                break;
            }
            case kTagRender: result = set->render.Serialize(stream); break;
            case kTagNavigation: result = set->navigation.Serialize(stream); break;
            case kTagConfig: result = set->config.Serialize(stream); break;
            default: break;
            }
            const ResultCode left = stream->StreamEndChunk();
            if (result == kResultOk) result = left;
            if (result != kResultOk) break;
        }
    }
    stream->StreamEndChunk();
    return result;
}

ResultCode ReadModelPreferences(const PreferenceRecord* stored, PreferenceSet* set)
{
    if (!stored || !stored->HasContent()) return kResultOk;
    MemoryStream* stream = new (std::nothrow) MemoryStream;
    if (!stream) return kResultOutOfMemory;
    stream->StreamInit(kStreamWriting);
    DynamicArray* bytes = stored->Bytes;
    ResultCode result = stream->TransferBytes(bytes->ArrayData(), bytes->ArrayCount());
    if (result == kResultOk) result = stream->StreamSetDirection(kStreamReading);
    if (result == kResultOk) result = stream->StreamSetPosition(0);
    if (result == kResultOk) result = ReadPreferenceForm(stream, set);
    stream->StreamDestroy();
    return result;
}

uint32_t RenderOptionMask(const RenderSection& render)
{
    uint32_t mask = 0;
    if (render.wordA & 1) mask |= 0x10;
    if (render.wordA & 2) mask |= 0x8;
    if (!(render.wordA & 8)) mask |= 0x1000;
    if (!(render.wordA & 16)) mask |= 0x2000;
    if (render.wordC & 1) mask |= 0x1;
    if (render.wordC & 2) mask |= 0x2;
    if (render.wordC & 4) mask |= 0x4;
    if (render.wordB & 4) mask |= 0x20;
    if (render.wordB & 1) mask |= 0x40;
    if (render.wordB & 2) mask |= 0x80;
    if (render.flags[0]) mask |= 0x100;
    if (render.flags[3]) mask |= 0x200;
    if (render.flags[2]) mask |= 0x400;
    return mask;
}

void ApplyPreferences(Observer* observer, const PreferenceSet& set)
{
    const NavigationSection& navigation = set.navigation;
    if (observer->zoomNum != navigation.lensNumerator || observer->zoomDen != navigation.lensDenominator)
        observer->SetViewZoom(navigation.lensNumerator, navigation.lensDenominator);
    observer->SetObserverOptions(RenderOptionMask(set.render));
    observer->AttachObserverToWorld();
}

double GetUnitToMetres(int32_t code)
{
    switch (code) {
    case 1: return 0.0254;
    case 2: return 0.3048;
    case 3: return 0.9144;
    case 4: return 1609.344;
    case 5: return 0.001;
    case 6: return 0.01;
    case 8: return 1000.0;
    case 9: return 0.002116667;
    case 10: return 0.000352778;
    case 11: return 1e-10;
    case 12: return 3.084e16;
    default: return 1.0;
    }
}
