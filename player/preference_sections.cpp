// Preference sections: defaults, chunk bodies and the option mappings.
#include "player/preference_sections.h"

#include <cstdio>
#include <new>

#include "foundation/memory_stream.h"
#include "model/light.h"
#include "player/section_transfer.h"

namespace {

constexpr uint32_t kDefaultNavigationOptions = kNavigationButtonDown | kNavigationCrossHair;
constexpr int32_t kDefaultAspect[2] = {133, 100};
constexpr int16_t kDefaultIndex = 6;
constexpr int16_t kIndexLimit = 11;  // stored indexes from here on read as 0
constexpr int16_t kAspectTermLimit = 1000;

constexpr uint32_t kDefaultWordB = 4;
constexpr uint8_t kDefaultRenderFlags[4] = {0, 0, 1, 0};

constexpr Fixed kEyeHeight = IntToFixed(66);  // inches
constexpr Fixed kDefaultTriple4 = IntToFixed(96);
constexpr char kUnnamed[] = "Unnamed";
constexpr int16_t kDefaultValue1 = 16;
constexpr int16_t kDefaultValue2 = 5;

constexpr RGBColor48 kModelViewColour = {0x4D5F, 0xD83B, 0xFFF6};

// The default lights of the model view: an ambient light, then three directed ones.
struct DefaultLight {
    int16_t direction[3];
    uint16_t grey;
};
constexpr DefaultLight kDefaultLights[] = {
    {{0, 0, 0}, 0x6000},
    {{-34, -57, 247}, 0x8000},
    {{209, 105, 104}, 0x7000},
    {{-5, -226, -119}, 0x8000},
};

constexpr uint32_t kDefaultViewStyle = 6;
constexpr uint8_t kDirectDrawingOn = 1;

void CopyName(char* field, const char* text)
{
    std::snprintf(field, DefaultsSection::kNameBytes, "%s", text);
}

// Reads or writes one name; a name that fails to read leaves the field as it was.
ResultCode TransferName(MemoryStream* stream, char* field)
{
    if (stream->StreamIsWriting()) return SerializeTypedValue(stream, field, kTypedText);
    char scratch[DefaultsSection::kNameBytes] = {};
    const ResultCode result = SerializeTypedValue(stream, scratch, kTypedText);
    if (result == kResultOk) CopyName(field, scratch);
    return result;
}

}  // namespace

void SetChangeState(PreferenceSection* section, int32_t value)
{
    if (section) section->changeState = value;
}

int32_t GetChangeState(const PreferenceSection* section)
{
    return section ? section->changeState : kChangeStateReset;
}

void NavigationSection::Reset()
{
    PreferenceSection::Reset();
    options = kDefaultNavigationOptions;
    aspect[0] = kDefaultAspect[0];
    aspect[1] = kDefaultAspect[1];
    aspectOn = 0;
    index = kDefaultIndex;
    lensNumerator = kLensStandard;
    lensDenominator = kLensDenominator;
}

ResultCode NavigationSection::Write(MemoryStream* stream)
{
    const bool reading = !stream->StreamIsWriting();
    int16_t lens[2] = {lensNumerator, lensDenominator};
    SectionTransfer transfer(stream);
    transfer(&options)(&aspectOn)(&index);
    // The aspect ratio travels as a point: the low 16 bits of each term, and reading replaces
    // only those.
    transfer.Typed(aspect, kTypedPoint);
    const ResultCode result = transfer(&lens[0])(&lens[1]).Result();
    if (reading) {
        if (index < 0 || index >= kIndexLimit) index = 0;
        // A lens of 0 or below is no lens: the standard one then.
        lensNumerator = kLensStandard;
        lensDenominator = kLensDenominator;
        if (lens[0] > 0 && lens[1] > 0) {
            lensNumerator = lens[0];
            lensDenominator = lens[1];
        }
    }
    options &= ~kNavigationVelocityGrid;
    return result;
}

void RenderSection::Reset()
{
    PreferenceSection::Reset();
    wordA = kSpeedNormal.wordA;
    wordB = kDefaultWordB;
    wordC = kSpeedNormal.wordC;
    for (int32_t i = 0; i < 4; ++i) flags[i] = kDefaultRenderFlags[i];
}

ResultCode RenderSection::Write(MemoryStream* stream)
{
    const ResultCode result =
        SectionTransfer(stream)(&wordA)(&wordB)(&wordC)(&flags[0])(&flags[1])(&flags[2])(&flags[3]).Result();
    flags[3] = 0;
    return result;
}

void DefaultsSection::Reset()
{
    PreferenceSection::Reset();
    for (int32_t i = 0; i < 3; ++i) {
        triple1[i] = 0;
        startPosition[i] = 0;
        triple3[i] = 0;
        triple4[i] = kDefaultTriple4;
    }
    startPosition[2] = kEyeHeight;
    colour = kWhiteColor;
    CopyName(name1, kUnnamed);
    CopyName(name2, "");
    CopyName(name3, kUnnamed);
    value1 = kDefaultValue1;
    value2 = kDefaultValue2;
}

ResultCode DefaultsSection::Write(MemoryStream* stream)
{
    ResultCode result = SectionTransfer(stream)(&value1)(&value2)
                            .Typed(startPosition, kTypedVector)
                            .Typed(triple1, kTypedVector)
                            .Typed(triple3, kTypedVector)
                            .Typed(triple4, kTypedVector)
                            .Typed(&colour, kTypedColor)
                            .Result();
    if (result == kResultOk) result = TransferName(stream, name1);
    if (result == kResultOk) result = TransferName(stream, name2);
    if (result == kResultOk) result = TransferName(stream, name3);
    return result;
}

ResultCode ModelViewSection::NewLights()
{
    if (lights) lights->LightListDeleteAll();
    lights = NewLightList();
    return lights ? kResultOk : kResultOutOfMemory;
}

void ModelViewSection::Reset()
{
    PreferenceSection::Reset();
    for (int32_t i = 0; i < 3; ++i) {
        position[i] = 0;
        angles[i] = 0;
    }
    colour = kModelViewColour;
    if (NewLights() != kResultOk) return;
    for (const DefaultLight& made : kDefaultLights) {
        Light* light = new (std::nothrow) Light;
        if (!light) return;
        light->LightInitDefaults();
        light->LightSetDirection(made.direction[0], made.direction[1], made.direction[2]);
        light->LightSetGrey(made.grey);
        if (lights->LightListAppend(light) < 0) {
            light->LightFree();
            return;
        }
    }
}

ResultCode ModelViewSection::Write(MemoryStream* stream)
{
    ResultCode result = SectionTransfer(stream)
                            .Typed(position, kTypedVector)
                            .Typed(angles, kTypedAngles)
                            .Typed(&colour, kTypedColor)
                            .Result();
    if (result != kResultOk) return result;
    if (!stream->StreamIsWriting()) {
        result = NewLights();
    } else if (!lights) {
        int16_t none = 0;
        return stream->StreamTransferValue(&none, kValue16);
    }
    if (result == kResultOk) result = lights->LightListStream(stream);
    return result;
}

void ModelViewSection::Free()
{
    if (lights) lights->LightListDeleteAll();
    lights = nullptr;
    delete this;
}

void ViewStyleSection::Reset()
{
    PreferenceSection::Reset();
    style = kDefaultViewStyle;
    flag = 0;
}

void ConfigSection::Reset()
{
    PreferenceSection::Reset();
    directDrawing = kDirectDrawingOn;
}

ResultCode ConfigSection::Write(MemoryStream* stream)
{
    return stream->StreamTransferValue(&directDrawing, kValueByte);
}

void ColourSection::Reset()
{
    PreferenceSection::Reset();
    for (RGBColor48& c : colours) c = kWhiteColor;
    flags = 0;
    value = 0;
}

ResultCode ColourSection::Write(MemoryStream* stream)
{
    SectionTransfer transfer(stream);
    for (RGBColor48& c : colours) transfer.Typed(&c, kTypedColor);
    return transfer(&flags)(&value).Result();
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

int16_t NavigationOptionMask(const NavigationSection& navigation)
{
    int16_t mask = 0;
    if (navigation.options & kNavigationButtonDown) mask |= 1;
    if (navigation.options & kNavigationCrossHair) mask |= 2;
    if (navigation.options & kNavigationVelocityGrid) mask |= 4;
    if (navigation.options & kNavigationCollision) mask |= 0x800;
    return mask;
}

void NavigationAspectRatio(const NavigationSection& navigation, int16_t* width, int16_t* height)
{
    *width = 0;
    *height = 0;
    if (navigation.aspectOn == 0) return;
    for (int32_t term : navigation.aspect)
        if (term <= 0 || term > kAspectTermLimit) return;
    *width = int16_t(navigation.aspect[0]);
    *height = int16_t(navigation.aspect[1]);
}
