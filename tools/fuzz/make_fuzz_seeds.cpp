// make-fuzz-seeds DIR: writes the seed corpus of every fuzz target into DIR/<target>/, made by
// the program's own writers and the tests' file builders: the sample models plain and
// scrambled, the hostile models, bitmap and JPEG files of every kind the readers know, stored
// file references, picture bodies, texture tables and the player's preferences.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/surface.h"
#include "player/player_preferences.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "textures/texture_table.h"
#include "tests/textures/bmp_builder.h"
#include "tools/fuzz/fuzz_services.h"
#include "tools/hostile_models.h"
#include "tools/sample_scenes.h"
#ifdef QP_FUZZ_JPEG
#include "tests/textures/jpeg_builder.h"
#endif

namespace {

int gFailures = 0;

Bytes StreamBytes(const MemoryStream& stream)
{
    const DynamicArray* buffer = stream.Buffer();
    if (!buffer) return {};
    const auto* data = static_cast<const uint8_t*>(buffer->ArrayData());
    return Bytes(data, data + buffer->ArrayCount());
}

// A chunk: tag, big-endian length, data and a pad byte after odd data.
Bytes Chunk(const char (&tag)[5], const Bytes& data)
{
    Bytes chunk(tag, tag + 4);
    for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(uint8_t(data.size() >> shift));
    chunk.insert(chunk.end(), data.begin(), data.end());
    if (data.size() & 1) chunk.push_back(0);
    return chunk;
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Text(const char* text)
{
    return Bytes(text, text + std::strlen(text));
}

void Put(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes)
{
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / name;
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fprintf(stderr, "make-fuzz-seeds: cannot write %s\n", path.string().c_str());
        ++gFailures;
    }
    if (file) std::fclose(file);
}

Bytes TexturedModel(int32_t creditsDepth);

void ModelSeeds(const std::filesystem::path& folder)
{
    int32_t count = 0;
    const SampleScene* scenes = SampleScenes(&count);
    for (int32_t i = 0; i < count; ++i) {
        ModelDocument* document = scenes[i].build();
        if (!document) continue;
        for (bool scrambled : {false, true}) {
            MemoryStream stream;
            stream.StreamInit(kStreamWriting);
            if (scrambled) stream.StreamScrambleOn();
            if (WriteModelFile(document, &stream) == kResultOk)
                Put(folder, std::string(scrambled ? "scrambled-" : "") + scenes[i].fileName, StreamBytes(stream));
        }
        document->Destroy();
    }
    for (const HostileModel& model : HostileModels()) Put(folder, "hostile-" + model.name, model.bytes);
    const Bytes version = Chunk("VERS", {1, 0, 0, 0});
    Put(folder, "empty", Chunk("FORM", Text("QMDL")));
    for (int32_t depth : {24, 32}) Put(folder, "textured" + std::to_string(depth) + ".qpy", TexturedModel(depth));
    Put(folder, "credits-text", Chunk("FORM", Text("QMDL") + version + Chunk("CRED", Chunk("TEXT", Text("made by hand")))));
}

Bytes Word32(uint32_t value)
{
    return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

Bytes Word16(uint16_t value)
{
    return {uint8_t(value >> 8), uint8_t(value)};
}

// A picture of `width` x `height` in the image format, written by the offscreen itself: four
// coloured squares.
Bytes PictureBody(int32_t width, int32_t height, int32_t depth)
{
    Q_Offscreen* picture = new Q_Offscreen;
    Bytes bytes;
    if (picture->QOffscreenInit({0, 0, width, height}, depth, nullptr) == kResultOk) {
        const RGBColor48 colours[4] = {{0xFFFF, 0, 0}, {0, 0xFFFF, 0}, {0, 0, 0xFFFF}, {0xFFFF, 0xFFFF, 0}};
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                picture->SetPixelColor(x, y, colours[(2 * y / height) * 2 + 2 * x / width]);
        MemoryStream stream;
        stream.StreamInit(kStreamWriting);
        if (picture->ReadWriteOffscreenImage(&stream, nullptr, 0) == kResultOk) bytes = StreamBytes(stream);
    }
    picture->DisposeOffscreen();
    return bytes;
}

// A picture body put together field by field: the header, a colour map of `colours` entries
// and rows of `rowBytes` bytes counting up.
Bytes HandMadeBody(int16_t width, int16_t height, int16_t depth, int32_t rowBytes, int32_t colours)
{
    Bytes header = Word16(uint16_t(width)) + Word16(uint16_t(height)) + Word16(uint16_t(depth)) + Word16(0) +
                   Word32(uint32_t(rowBytes)) + Word32(uint32_t(rowBytes * height));
    Bytes map;
    for (int32_t i = 0; i < colours; ++i) map = map + Word32(uint32_t(i * 0x010203));
    Bytes rows(size_t(rowBytes * height));
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = uint8_t(i * 11);
    return header + Chunk("CMAP", map) + Chunk("DATA", rows);
}

void ImageBodySeeds(const std::filesystem::path& folder)
{
    for (int32_t depth : {16, 24, 32}) Put(folder, "picture" + std::to_string(depth), PictureBody(6, 4, depth));
    Put(folder, "indexed1", HandMadeBody(9, 3, 1, 4, 2));
    Put(folder, "indexed4", HandMadeBody(5, 2, 4, 3, 16));
    Put(folder, "indexed8", HandMadeBody(3, 3, 8, 4, 256));
    Put(folder, "padded24", HandMadeBody(2, 2, 24, 8, 0));
}

// The texture table of a model file: entries with an index, a name, settings, an embedded
// picture, a file reference or the void mark.
void TextureTableSeeds(const std::filesystem::path& folder, const Bytes& fileReference)
{
    Bytes settings(kTextureSettingsBytes, 0);
    settings[0] = 1;
    const Bytes name = Text("squares");
    const Bytes picture = PictureBody(8, 8, 32);
    const Bytes id1 = Chunk("TXID", Word32(1));
    const Bytes id2 = Chunk("TXID", Word32(2));
    Put(folder, "embedded", Chunk("TXTE", id1 + Chunk("TXNM", name + Bytes{0}) + Chunk("TXST", settings) + Chunk("TXPD", picture)));
    Put(folder, "indexed", Chunk("TXTE", id1 + Chunk("TXPD", HandMadeBody(5, 2, 4, 3, 16))));
    Put(folder, "file", Chunk("TXTE", id2 + Chunk("TXNM", Text("wood") + Bytes{0}) + Chunk("TXRF", fileReference)));
    Put(folder, "void", Chunk("TXTE", id1 + Chunk("TXVD", {})) + Chunk("TXTE", id2 + Chunk("TXPD", picture)));
}

// A box whose faces show an embedded picture, with a credits picture.
Bytes TexturedModel(int32_t creditsDepth)
{
    InitTextureManager(new TextureManager{});
    TextureLayerServices& services = InstallTextureLayerServices();
    TextureRecordList* list = NewTextureRecordList();
    services.SetDocumentTextureList(list);
    ModelDocument* document = new ModelDocument;
    TextureRecord* squares = new TextureRecord(list);
    SetTextureName(squares, "squares");
    Q_Offscreen* picture = new Q_Offscreen;
    Q_Offscreen* credits = new Q_Offscreen;
    Bytes bytes;
    if (picture->QOffscreenInit({0, 0, 8, 8}, 0, nullptr) == kResultOk &&
        credits->QOffscreenInit({0, 0, 12, 6}, creditsDepth, nullptr) == kResultOk &&
        MakeEmbeddedPictureTexture(squares) == kResultOk && SetTexturePicture(squares, picture) == kResultOk &&
        document->Init() == kResultOk) {
        ModelObject* box = MakeBox(document->Holder, 0, 0, 0, 40, 40, 40);
        document->Holder->Root->AddChild(box);
        box->SetSurfaceTexture(squares, kSideBoth);
        if (Surface* surface = box->SurfaceForFace(1)) surface->SetSideTexture(squares, kSideFront);
        document->SetCreditsText("credits", 7);
        document->SetCreditsPicture(credits);
        credits = nullptr;
        MemoryStream stream;
        stream.StreamInit(kStreamWriting);
        if (WriteModelFile(document, &stream) == kResultOk) bytes = StreamBytes(stream);
    }
    if (credits) credits->DisposeOffscreen();
    picture->DisposeOffscreen();
    document->Destroy();
    services.SetDocumentTextureList(nullptr);
    ReleaseTextureRecords(list);
    FreeTextureRecordList(list);
    FreeTextureManager();
    return bytes;
}

void BmpSeeds(const std::filesystem::path& folder)
{
    std::vector<uint32_t> palette(256);
    for (uint32_t i = 0; i < 256; ++i) palette[i] = (i << 16) | ((255 - i) << 8) | ((i * 7) & 255);
    for (int32_t depth : {1, 4, 8, 16, 24, 32}) {
        for (bool os2 : {false, true}) {
            for (bool topDown : {false, true}) {
                if (os2 && topDown) continue;
                BmpLayout layout;
                layout.width = 5;
                layout.height = topDown ? -3 : 3;
                layout.depth = depth;
                layout.os2 = os2;
                if (depth <= 8) layout.palette = palette;
                std::vector<std::vector<uint32_t>> rows(3, std::vector<uint32_t>(5));
                uint32_t v = 7;
                for (auto& row : rows)
                    for (auto& p : row) p = (v = v * 1103515245u + 12345u) >> 8 & (depth <= 8 ? (1u << depth) - 1 : 0xFFFFFF);
                Put(folder,
                    "bmp" + std::to_string(depth) + (os2 ? "-os2" : "") + (topDown ? "-topdown" : "") + ".bmp",
                    MakeBmp(layout, PackRows(rows, depth, topDown)));
            }
        }
    }
    BmpLayout rle8;
    rle8.depth = 8;
    rle8.compression = 1;
    rle8.width = 6;
    rle8.height = 3;
    rle8.palette = palette;
    rle8.colorsUsed = 16;
    Put(folder, "rle8.bmp", MakeBmp(rle8, {2, 7, 0, 3, 1, 2, 3, 0, 1, 9, 0, 0, 0, 4, 4, 5, 6, 8, 2, 10, 0, 0, 3, 11, 0, 2, 1, 0, 0, 1}));
    BmpLayout rle4;
    rle4.depth = 4;
    rle4.compression = 2;
    rle4.width = 8;
    rle4.height = 2;
    rle4.palette = palette;
    Put(folder, "rle4.bmp", MakeBmp(rle4, {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 5, 0xAB, 0xCD, 0xE0, 0, 3, 0xF1, 0, 1}));
}

#ifdef QP_FUZZ_JPEG
void JpegSeeds(const std::filesystem::path& folder)
{
    struct Kind {
        const char* name;
        J_COLOR_SPACE space;
        bool progressive;
        int32_t width;
        int32_t height;
    };
    const Kind kinds[] = {
        {"rgb", JCS_RGB, false, 16, 16},        {"grey", JCS_GRAYSCALE, false, 9, 7},
        {"progressive", JCS_RGB, true, 24, 8},  {"cmyk", JCS_CMYK, false, 8, 8},
        {"odd", JCS_RGB, false, 3, 33},
    };
    for (const Kind& kind : kinds) {
        JpegLayout layout;
        layout.width = kind.width;
        layout.height = kind.height;
        layout.space = kind.space;
        layout.progressive = kind.progressive;
        layout.quality = 50;
        const int32_t components = kind.space == JCS_GRAYSCALE ? 1 : kind.space == JCS_CMYK ? 4 : 3;
        std::vector<uint8_t> samples(size_t(kind.width * kind.height * components));
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(i * 37 + i / 7);
        Put(folder, std::string(kind.name) + ".jpg", MakeJpeg(layout, samples));
    }
}
#endif

// Writes the references and returns the first one's bytes.
Bytes FileReferenceSeeds(const std::filesystem::path& folder)
{
    Bytes first;
    DiskFileStream* base = new DiskFileStream;
    IgnoreResult(base->FileObjectInit(kFileReference, 0, 0, "", ""));
    IgnoreResult(base->SetFileFromPath("Q:\\MODELS\\HOUSE\\HOUSE.QPY"));
    const char* paths[] = {"Q:\\MODELS\\HOUSE\\WOOD.BMP", "Q:\\MODELS\\TEXTURES\\STONE\\WALL.JPG", "C:\\TILE.BMP",
                           "Q:\\MODELS\\HOUSE\\MAPS\\FLOOR.BMP"};
    int32_t n = 0;
    for (const char* path : paths) {
        for (bool withBase : {false, true}) {
            DiskFileStream* file = new DiskFileStream;
            IgnoreResult(file->FileObjectInit(kFileReference, 0, 0, "", ""));
            IgnoreResult(file->SetFileFromPath(path));
            file->SetFileAttribute(withBase ? base : nullptr);
            MemoryStream stream;
            stream.StreamInit(kStreamWriting);
            if (file->Write(&stream) == kResultOk) {
                if (first.empty()) first = StreamBytes(stream);
                Put(folder, "fpth" + std::to_string(n++), StreamBytes(stream));
            }
            file->SetFileAttribute(nullptr);
            file->FileObjectDestroy();
        }
    }
    base->FileObjectDestroy();
    return first;
}

}  // namespace

// The preferences' form as the player writes it: with its defaults, and with every section
// changed.
void PreferenceSeeds(const std::filesystem::path& folder)
{
    for (int32_t changed = 0; changed < 2; ++changed) {
        PlayerPreferences* preferences = new PlayerPreferences;
        if (preferences->Init() != kResultOk) {
            ++gFailures;
            preferences->Free();
            return;
        }
        if (changed) {
            preferences->Navigation()->aspectOn = 1;
            preferences->Navigation()->lensNumerator = kLensTelephoto;
            preferences->Render()->wordA = kSpeedFastest.wordA;
            std::snprintf(preferences->Defaults()->name2, DefaultsSection::kNameBytes, "Hall");
            preferences->ModelView()->colour = {0x1000, 0x2000, 0x3000};
            preferences->Windows()->Record(0)->rect = {-4, -4, 1028, 772};
            preferences->Config()->directDrawing = 0;
        }
        MemoryStream stream;
        stream.StreamInit(kStreamWriting);
        if (preferences->Serialize(&stream) != kResultOk) ++gFailures;
        Put(folder, changed ? "changed" : "defaults", StreamBytes(stream));
        preferences->Free();
    }
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds DIR\n");
        return 2;
    }
    InstallFuzzServices();
    const std::filesystem::path root = argv[1];
    ModelSeeds(root / "model");
    ModelSeeds(root / "model-file");
    ModelSeeds(root / "texture-source");
    BmpSeeds(root / "bmp");
#ifdef QP_FUZZ_JPEG
    JpegSeeds(root / "jpeg");
#endif
    const Bytes reference = FileReferenceSeeds(root / "file-reference");
    ImageBodySeeds(root / "image-body");
    TextureTableSeeds(root / "texture-table", reference);
    PreferenceSeeds(root / "preferences");
    return gFailures == 0 ? 0 : 1;
}
