// The textured sample scenes and their pictures.
#include "tools/textured_samples.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>

#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "foundation/path_record.h"
#include "model/light.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/surface.h"
#include "model/units_record.h"
#include "model/walk_record.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "tools/sample_scenes.h"

namespace {

constexpr uint16_t kOpaque = 0xFF00;
constexpr RGBColor48 kStone = {0x9000, 0x8800, 0x8000};
constexpr RGBColor48 kPlinth = {0x3000, 0x7000, 0x4000};
// The faces of a box: 0 the top, 1 to 4 the sides, 5 the bottom.
constexpr int32_t kTopFace = 0;
constexpr int32_t kInnerNorthFace = 4;
constexpr int32_t kFirstWall = 1;

void PutLittle(std::FILE* file, uint32_t value, int32_t bytes)
{
    for (int32_t i = 0; i < bytes; ++i) std::fputc(int(value >> (8 * i) & 0xFF), file);
}

// A picture of the size, each pixel's colour from colourAt(x, y).
template <class ColourAt>
Q_Offscreen* NewPicture(int32_t width, int32_t height, ColourAt colourAt)
{
    Q_Offscreen* picture = new (std::nothrow) Q_Offscreen;
    if (!picture) return nullptr;
    if (picture->QOffscreenInit({0, 0, width, height}, 0, nullptr) != kResultOk) {
        picture->DisposeOffscreen();
        return nullptr;
    }
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) picture->SetPixelColor(x, y, colourAt(x, y));
    return picture;
}

// 64 x 64: a checker of 8-pixel squares, blue and cream, the top left square red.
RGBColor48 CheckerColour(int32_t x, int32_t y)
{
    if (x < 8 && y < 8) return {0xFFFF, 0, 0};
    return ((x / 8 + y / 8) % 2) ? RGBColor48{0x3333, 0x3333, 0x9999} : RGBColor48{0xFFFF, 0xFFFF, 0xCCCC};
}

// 32 x 32: a yellow diamond with a dark outline on white, which a transparent texture leaves out.
RGBColor48 StencilColour(int32_t x, int32_t y)
{
    const int32_t d = (x > 15 ? x - 16 : 15 - x) + (y > 15 ? y - 16 : 15 - y);
    if (d < 12) return {0xFFFF, 0xCCCC, 0};
    if (d < 15) return {0x3333, 0, 0};
    return {0xFFFF, 0xFFFF, 0xFFFF};
}

// An embedded texture showing the picture, with the attributes set by `adjust`.
template <class Adjust>
TextureRecord* EmbeddedTexture(TextureRecordList* list, const char* name, Q_Offscreen* picture, Adjust adjust)
{
    if (!picture) return nullptr;
    TextureRecord* record = new (std::nothrow) TextureRecord(list);
    ResultCode result = record ? kResultOk : kResultOutOfMemory;
    if (result == kResultOk) {
        SetTextureName(record, name);
        adjust(record->attributes);
        result = MakeEmbeddedPictureTexture(record);
    }
    if (result == kResultOk) result = SetTexturePicture(record, picture);
    picture->DisposeOffscreen();
    return result == kResultOk ? record : nullptr;
}

TextureRecord* FileTexture(TextureRecordList* list, const char* name, const std::string& path, Fixed factor,
                           int32_t mirror)
{
    PathRecord record;
    TextureRecord* texture = nullptr;
    if (SetPathRecordText(&record, path.c_str()) != kResultOk || CreateTextureRecord(list, name, &record, &texture) != kResultOk ||
        !texture)
        return nullptr;
    texture->attributes[9] = mirror;
    texture->attributes[10] = mirror;
    texture->attributes[11] = factor;
    texture->attributes[12] = factor;
    return texture;
}

void AddLight(ModelObject* root, int16_t x, int16_t y, int16_t z, uint16_t grey)
{
    LightList* lights = root->LightsForEdit();
    Light* light = new (std::nothrow) Light;
    if (!lights || !light) {
        delete light;
        return;
    }
    light->LightInitDefaults();
    light->LightSetDirection(x, y, z);
    light->LightSetGrey(grey);
    if (lights->LightListAppend(light) < 0) light->LightFree();
}

ModelObject* Add(ModelObject* parent, ModelObject* child, const RGBColor48& colour)
{
    if (!child) return nullptr;
    child->SetColours(colour, kOpaque, kSideBoth);
    parent->AddChild(child);
    return child;
}

void ShowOnFace(ModelObject* object, int32_t face, TextureRecord* texture)
{
    if (!object || !texture) return;
    if (Surface* surface = object->SurfaceForFace(face)) surface->SetSideTexture(texture, kSideBoth);
}

}  // namespace

bool WriteGradientBitmap(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    constexpr int32_t kWidth = 96;
    constexpr int32_t kHeight = 64;
    constexpr uint32_t kRowBytes = kWidth * 3;  // a multiple of 4
    std::fputs("BM", file);
    PutLittle(file, 54 + kRowBytes * kHeight, 4);
    PutLittle(file, 0, 4);
    PutLittle(file, 54, 4);
    for (uint32_t value : {40u, uint32_t(kWidth), uint32_t(kHeight)}) PutLittle(file, value, 4);
    PutLittle(file, 1, 2);
    PutLittle(file, 24, 2);
    for (int32_t i = 0; i < 6; ++i) PutLittle(file, 0, 4);
    // Rows bottom first; blue, green, red.
    for (int32_t row = kHeight - 1; row >= 0; --row) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const uint32_t shade = 255 - 2 * row;
            uint32_t red = shade * (kWidth - 1 - x) / (kWidth - 1);
            uint32_t green = shade / 3;
            uint32_t blue = shade * x / (kWidth - 1);
            if (x == 0) red = green = blue = 0;
            if (row == kHeight - 1) red = green = blue = 255;
            PutLittle(file, blue | green << 8 | red << 16, 3);
        }
    }
    return std::fclose(file) == 0;
}

ModelDocument* BuildTexturedSample(TextureRecordList* textures, const std::string& gradientPath)
{
    TextureRecord* checker = EmbeddedTexture(textures, "checker", NewPicture(64, 64, CheckerColour),
                                             [](TextureAttributes& a) { a[11] = a[12] = IntToFixed(4); });
    TextureRecord* stencil = EmbeddedTexture(textures, "stencil", NewPicture(32, 32, StencilColour),
                                             [](TextureAttributes& a) { a[1] = 1; });
    TextureRecord* gradient = FileTexture(textures, "gradient", gradientPath, kFixedOne, 0);
    TextureRecord* mirrored = FileTexture(textures, "gradient mirrored", gradientPath, IntToFixed(3), 1);
    ModelDocument* document = new (std::nothrow) ModelDocument;
    if (!checker || !stencil || !gradient || !mirrored || !document || document->Init() != kResultOk) {
        if (document) document->Destroy();
        return nullptr;
    }
    ModelHolder* holder = document->Holder;
    ModelObject* root = holder->Root;
    root->SetName("Textured gallery", 16);
    UnitsRecord inches;
    inches.UnitsInit();
    inches.UnitsSet(0.0254);
    root->SetUnits(&inches);
    AddLight(root, 0, 0, 0, 0x6000);
    AddLight(root, -34, -57, 247, 0x9000);
    root->RefreshShading();

    // A floor of 240 x 240 inches under the checker, repeated four times each way.
    ShowOnFace(Add(root, MakeBox(holder, -120, -120, -6, 120, 120, 0), kStone), kTopFace, checker);
    // Walls 96 high: the gradient once on the south, east and west walls, mirrored three times
    // each way on the north wall.
    ModelObject* north = Add(root, MakeBox(holder, -126, 120, -6, 126, 126, 96), kStone);
    ShowOnFace(north, kInnerNorthFace, mirrored);
    for (ModelObject* wall : {MakeBox(holder, -126, -126, -6, 126, -120, 96), MakeBox(holder, -126, -120, -6, -120, 120, 96),
                              MakeBox(holder, 120, -120, -6, 126, 120, 96)})
        if (ModelObject* added = Add(root, wall, kStone)) added->SetSurfaceTexture(gradient, kSideBoth);
    // A pedestal whose sides show the stencil over their own colour.
    if (ModelObject* pedestal = Add(root, MakeBox(holder, -20, 20, 0, 20, 60, 40), kPlinth))
        pedestal->SetSurfaceTexture(stencil, kSideBoth);

    WalkRecord* walk = document->Walk;
    walk->SetRecording(1, 1);
    walk->SetAndRecord(0, IntToFixed(-100), IntToFixed(60), 0, 0, 0);
    walk->SetAndRecord(IntToFixed(60), IntToFixed(-60), IntToFixed(60), 0, 0, IntToFixed(32));
    walk->SetRecording(0, 0);
    walk->SetAndRecord(0, IntToFixed(-100), IntToFixed(60), 0, 0, 0);
    return document;
}

namespace {

// The city's plan, in whole world units: lots of 40 x 40 in blocks of 4 x 4 lots, streets 30
// wide between the blocks. A building stands back from its lot's edges by 0, 3 or 6 units, so
// that some touch their neighbours; most are 16 to 114 high, one in 23 a tower of 200.
constexpr int32_t kLotSize = 40;
constexpr int32_t kLotsPerBlock = 4;
constexpr int32_t kStreetWidth = 30;
constexpr int32_t kSetbackStep = 3;
constexpr int32_t kLowestBuilding = 16;
constexpr int32_t kStoreyStep = 14;
constexpr int32_t kTowerEvery = 23;
constexpr int32_t kTowerHeight = 200;
constexpr int32_t kFacesPerBuilding = 6;
// The ground under a grounded city: a slab this deep, reaching this far beyond the outermost lots.
constexpr int32_t kGroundDepth = 10;
constexpr int32_t kGroundMargin = 20;
// The eye's height above the street.
constexpr int32_t kEyeHeight = 12;
// Over the flat city the eye stands this far south of the first row of lots, a little above the
// towers, so that it looks across every roof to the far edge.
constexpr int32_t kOverlookSetback = 20;
constexpr int32_t kOverlookHeight = kTowerHeight + 20;

// The facades: wall and window colours, and how many times the picture repeats across a wall.
struct Facade {
    const char* name;
    RGBColor48 wall;
    RGBColor48 window;
    int32_t repeats;
};
constexpr int32_t kFacadeCount = 3;
constexpr Facade kFacades[kFacadeCount] = {{"brick", {0x9000, 0x4000, 0x3000}, {0x2000, 0x2000, 0x3000}, 2},
                                           {"glass", {0x5000, 0x6000, 0x7000}, {0x6000, 0xA000, 0xE000}, 3},
                                           {"concrete", {0xB000, 0xB000, 0xA800}, {0x3000, 0x3800, 0x4000}, 1}};
// The colour of a textured building, which its pictures cover.
constexpr RGBColor48 kTexturedBuilding = {0x8000, 0x8000, 0x8000};

// A facade picture's attributes: shaded, repeated the number of times each way.
auto FacadeAttributes(int32_t repeats)
{
    return [repeats](TextureAttributes& a) { a[2] = 1, a[11] = a[12] = IntToFixed(repeats); };
}

// A facade of 32 x 32: windows of 5 x 6 in a grid of 8 x 8 on the wall's colour.
Q_Offscreen* NewFacade(const RGBColor48& wall, const RGBColor48& window)
{
    return NewPicture(32, 32, [&](int32_t x, int32_t y) { return (x % 8 >= 2 && x % 8 < 7 && y % 8 >= 1 && y % 8 < 7) ? window : wall; });
}

// Where lot `lot` of a row or column begins: lots side by side, a street after every block.
int32_t LotStart(int32_t lot, int32_t origin)
{
    return origin + lot * kLotSize + (lot / kLotsPerBlock) * kStreetWidth;
}

// The same few bits for the same building on every run.
uint32_t BuildingHash(int32_t index)
{
    uint32_t h = uint32_t(index) * 2654435761u;
    h ^= h >> 15;
    h *= 2246822519u;
    return h ^ (h >> 13);
}

}  // namespace

ModelDocument* BuildCitySample(TextureRecordList* textures, int32_t faces, CityLayout layout, CitySurfaces surfaces)
{
    const bool textured = surfaces == CitySurfaces::Textured;
    TextureRecord* facades[kFacadeCount] = {};
    TextureRecord* roof = nullptr;
    if (textured) {
        for (int32_t i = 0; i < kFacadeCount; ++i) {
            const Facade& f = kFacades[i];
            facades[i] = EmbeddedTexture(textures, f.name, NewFacade(f.wall, f.window), FacadeAttributes(f.repeats));
        }
        // Roofs: dark tar with light vents.
        roof = EmbeddedTexture(textures, "roof", NewFacade({0x3000, 0x3000, 0x3000}, {0x9000, 0x9000, 0x9000}),
                               FacadeAttributes(1));
    }
    ModelDocument* document = new (std::nothrow) ModelDocument;
    if ((textured && (!facades[0] || !facades[1] || !facades[2] || !roof)) || !document || document->Init() != kResultOk) {
        if (document) document->Destroy();
        return nullptr;
    }
    ModelHolder* holder = document->Holder;
    ModelObject* root = holder->Root;
    root->SetName("City", 4);
    root->SetColours({0x9000, 0xC000, 0xF000}, kOpaque, kSideBoth);
    AddLight(root, 0, 0, 0, 0x5000);
    AddLight(root, -34, -57, 247, 0x8000);
    AddLight(root, 209, 105, 104, 0x6000);
    root->RefreshShading();

    const bool grounded = layout == CityLayout::Grounded;
    const int32_t buildings = std::max(1, faces / kFacesPerBuilding - (grounded ? 1 : 0));
    const int32_t columns = int32_t(std::ceil(std::sqrt(double(buildings))));
    const int32_t rows = (buildings + columns - 1) / columns;
    // The city is centred on the world's origin.
    const int32_t originX = -LotStart(columns, 0) / 2;
    const int32_t originY = -LotStart(rows, 0) / 2;
    if (grounded) {
        const int32_t west = originX - kGroundMargin;
        const int32_t south = originY - kGroundMargin;
        const int32_t east = LotStart(columns, originX) + kGroundMargin;
        const int32_t north = LotStart(rows, originY) + kGroundMargin;
        if (!Add(root, MakeBox(holder, west, south, -kGroundDepth, east, north, 0), kStone)) return document;
    }
    ModelObject* city = root;
    if (layout != CityLayout::Flat) {
        city = holder->MakeObject();
        if (!city) return document;
        city->SetGroup();
        city->SetName("Buildings", 9);
    }
    for (int32_t i = 0; i < buildings; ++i) {
        const uint32_t h = BuildingHash(i);
        const int32_t setback = int32_t(h % 3) * kSetbackStep;
        const int32_t height = (h >> 8) % kTowerEvery == 0 ? kTowerHeight : kLowestBuilding + int32_t((h >> 4) % 8) * kStoreyStep;
        const int32_t x = LotStart(i % columns, originX) + setback;
        const int32_t y = LotStart(i / columns, originY) + setback;
        ModelObject* building = MakeBox(holder, x, y, 0, x + kLotSize - 2 * setback, y + kLotSize - 2 * setback, height);
        const int32_t facade = int32_t((h >> 12) % kFacadeCount);
        if (!Add(city, building, textured ? kTexturedBuilding : kFacades[facade].wall) || !textured) continue;
        building->SetSurfaceTexture(facades[facade], kSideBoth);
        ShowOnFace(building, kTopFace, roof);
        // Two opposite walls of another facade.
        for (int32_t face : {kFirstWall, kFirstWall + 2}) ShowOnFace(building, face, facades[(h >> 14) % kFacadeCount]);
    }
    WalkRecord* walk = document->Walk;
    if (layout == CityLayout::Flat) {
        // The eye overlooks the city from its south edge, looking north, and rises a little.
        const Fixed south = IntToFixed(originY - kOverlookSetback);
        walk->SetRecording(1, 1);
        walk->SetAndRecord(0, south, IntToFixed(kOverlookHeight), 0, 0, 0);
        walk->SetAndRecord(0, south, IntToFixed(2 * kOverlookHeight), 0, 0, 0);
        walk->SetRecording(0, 0);
        walk->SetAndRecord(0, south, IntToFixed(kOverlookHeight), 0, 0, 0);
        return document;
    }
    root->AddChild(city);

    // The eye stands in the street after the middle block column, near the south edge, looking
    // north along it, and walks a little way up the street.
    const int32_t street = LotStart((columns / kLotsPerBlock / 2 + 1) * kLotsPerBlock, originX) - kStreetWidth / 2;
    const int32_t south = originY + kLotSize;
    walk->SetRecording(1, 1);
    walk->SetAndRecord(IntToFixed(street), IntToFixed(south), IntToFixed(kEyeHeight), 0, 0, 0);
    walk->SetAndRecord(IntToFixed(street), IntToFixed(south + 4 * kLotSize), IntToFixed(kEyeHeight), 0, 0, IntToFixed(8));
    walk->SetRecording(0, 0);
    walk->SetAndRecord(IntToFixed(street), IntToFixed(south), IntToFixed(kEyeHeight), 0, 0, 0);
    return document;
}

ResultCode WriteSampleFile(ModelDocument* document, const std::string& path)
{
    DiskFileStream* file = new DiskFileStream;
    ResultCode result = document ? kResultOk : kResultOutOfMemory;
    if (result == kResultOk) result = file->FileObjectInit(kFileWrite, 0, 0, "", "");
    if (result == kResultOk) result = file->SetFileFromPath(path.c_str());
    if (result == kResultOk) result = file->StreamSetDirection(kStreamWriting);
    if (result == kResultOk) result = file->FileOpenStream();
    if (result == kResultOk) result = WriteModelFile(document, file);
    if (result == kResultOk) result = file->FileCloseStream();
    file->FileObjectDestroy();
    return result;
}

namespace {

// The texture layer as make-samples sets it up while it builds and writes textured documents.
class SampleTextureLayer {
public:
    SampleTextureLayer()
    {
        InitTextureManager(new TextureManager{});
        services_ = &InstallTextureLayerServices();
        list_ = NewTextureRecordList();
        services_->SetDocumentTextureList(list_);
    }
    ~SampleTextureLayer()
    {
        services_->SetDocumentTextureList(nullptr);
        FreeTextureRecordList(list_);
        RemoveTextureLayerServices();
        FreeTextureManager();
    }
    SampleTextureLayer(const SampleTextureLayer&) = delete;
    SampleTextureLayer& operator=(const SampleTextureLayer&) = delete;

    // The document texture list; null when memory is short.
    TextureRecordList* List() const { return list_; }

    // Writes the document to the path and reports it, then frees it and its textures. 0 on
    // success.
    int32_t WriteAndFree(ModelDocument* document, const std::string& path)
    {
        const ResultCode result = WriteSampleFile(document, path);
        if (document) document->Destroy();
        ReleaseTextureRecords(list_);
        if (result == kResultOk) std::printf("%s\n", path.c_str());
        else std::fprintf(stderr, "make-samples: writing %s failed (%d)\n", path.c_str(), int(result));
        return result == kResultOk ? 0 : 1;
    }

private:
    TextureLayerServices* services_ = nullptr;
    TextureRecordList* list_ = nullptr;
};

}  // namespace

int32_t WriteTexturedSamples(const std::string& directory)
{
    SampleTextureLayer layer;
    if (!layer.List()) return 1;
    const std::string gradientPath = directory + kGradientFileName;
    ModelDocument* gallery = WriteGradientBitmap(gradientPath) ? BuildTexturedSample(layer.List(), gradientPath) : nullptr;
    return layer.WriteAndFree(gallery, directory + kGalleryFileName) +
           layer.WriteAndFree(BuildCitySample(layer.List(), kCityFaces), directory + kCityFileName);
}

int32_t WriteCitySample(const std::string& path, int32_t faces, CityLayout layout, CitySurfaces surfaces)
{
    SampleTextureLayer layer;
    return layer.List() ? layer.WriteAndFree(BuildCitySample(layer.List(), faces, layout, surfaces), path) : 1;
}

int32_t WriteBenchScenes(const std::string& directory)
{
    struct Scene {
        const char* fileName;
        int32_t faces;
        CityLayout layout;
        CitySurfaces surfaces;
    };
    constexpr Scene kScenes[] = {
        {"flat-city.qpy", kCityFaces, CityLayout::Flat, CitySurfaces::Textured},
        {kCityFileName, kCityFaces, CityLayout::Grouped, CitySurfaces::Textured},
        {"city-10000.qpy", 10000, CityLayout::Grouped, CitySurfaces::Textured},
        {"flat-city-10000.qpy", 10000, CityLayout::Flat, CitySurfaces::Textured},
        {"city-1000.qpy", 1000, CityLayout::Grouped, CitySurfaces::Textured},
        {"plain-city-10000.qpy", 10000, CityLayout::Grouped, CitySurfaces::Plain},
        {"plain-city-1000.qpy", 1000, CityLayout::Grouped, CitySurfaces::Plain},
    };
    int32_t failures = 0;
    for (const Scene& scene : kScenes)
        failures += WriteCitySample(directory + scene.fileName, scene.faces, scene.layout, scene.surfaces);
    return failures;
}
