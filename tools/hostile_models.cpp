// The hostile model files.
#include "tools/hostile_models.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "foundation/dynamic_array.h"
#include "foundation/memory_stream.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/preference_record.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "player/stored_window_kinds.h"
#include "tools/hostile_frames.h"
#include "tools/hostile_pictures.h"
#include "tools/hostile_relations.h"
#include "tools/sample_scenes.h"
#include "tools/stored_bytes.h"

namespace {

// The texture services of a writer whose texture references all store index 1, and whose texture
// table gives that index a name and no picture.
class PictureLessTable : public TextureServices {
public:
    int32_t AssignTextureIndex(TextureRecord* texture) override { return texture ? kIndex : kNoIndex; }
    ResultCode WriteTextureTable(MemoryStream* stream) override
    {
        int32_t index = kIndex;
        char name[] = "bare";
        ResultCode result = stream->StreamBeginChunk(ChunkTagOf("TXTB"));
        if (result == kResultOk) result = stream->StreamBeginChunk(ChunkTagOf("TXTE"));
        if (result == kResultOk) result = stream->StreamBeginChunk(ChunkTagOf("TXID"));
        if (result == kResultOk) result = stream->StreamTransferValue(&index, kValue32);
        if (result == kResultOk) result = stream->StreamEndChunk();
        if (result == kResultOk) result = stream->StreamBeginChunk(ChunkTagOf("TXNM"));
        if (result == kResultOk) result = stream->TransferBytes(name, int32_t(sizeof name));
        for (int32_t chunk = 0; chunk < 3 && result == kResultOk; ++chunk) result = stream->StreamEndChunk();
        return result;
    }

private:
    static constexpr int32_t kIndex = 1;
    static constexpr int32_t kNoIndex = -2;
};

// The room with a box whose front face shows a texture that the texture table names without a
// picture: the texture layer cannot give the face its picture, and the read fails.
Bytes PictureLessTextureBytes()
{
    ModelDocument* document = BuildRoomSample();
    if (!document) return {};
    PictureLessTable table;
    TextureServices* previous = InstallTextureServices(&table);
    // Stands for a texture record: the writer's services never look into it.
    static uint8_t textureMark = 0;
    ModelObject* box = MakeBox(document->Holder, 0, 0, 0, 10, 10, 10);
    document->Holder->Root->AddChild(box);
    if (Surface* surface = box->SurfaceForFace(0))
        surface->SetSideTexture(reinterpret_cast<TextureRecord*>(&textureMark), kSideFront);
    const Bytes bytes = ModelFileBytes(document);
    InstallTextureServices(previous);
    return bytes;
}

// The room whose credits text is a megabyte of short lines: the loading window and the credits
// window show what fits of it on the screen.
Bytes LongCreditsBytes()
{
    ModelDocument* document = BuildRoomSample();
    if (!document) return {};
    constexpr char kLine[] = "A line of credits text, fairly ordinary.\r\n";
    constexpr size_t kTextBytes = 1000000;
    std::string text;
    while (text.size() + sizeof kLine - 1 <= kTextBytes) text += kLine;
    document->SetCreditsText(text.data(), int32_t(text.size()));
    return ModelFileBytes(document);
}

// The room (whose credits are a picture and a text) with `chunks` more credits chunks after its
// own, each made by `credits` from its number: the loading window shows the credits it is left
// with once they change.
template <typename Credits>
Bytes RoomWithCreditsChunks(int32_t chunks, Credits credits)
{
    Bytes model = ModelFileBytes(BuildRoomSample());
    if (model.size() < 12) return {};
    for (int32_t i = 0; i < chunks; ++i) Append(model, Chunk("CRED", credits(i)));
    // The form grows by the chunks.
    const Bytes length = Word32(uint32_t(model.size() - 8));
    std::copy(length.begin(), length.end(), model.begin() + 4);
    return model;
}

// The shapes whose preferences hold as many window records as their count may give, of every kind
// the player keeps, written on a screen of 640 x 480: each is fitted to the screens the player
// reads them on.
Bytes WindowRecordsOfAnotherScreenBytes()
{
    ModelDocument* document = BuildShapesSample();
    if (!document) return {};
    constexpr int32_t kRecords = INT16_MAX;
    constexpr int16_t kKinds[] = {kStoredWindowContent, kStoredWindowUpper, kStoredWindowLower};
    constexpr int32_t kWrittenWidth = 640;
    constexpr int32_t kWrittenHeight = 480;
    Bytes windows = I16(kRecords);
    for (int32_t i = 0; i < kRecords; ++i) {
        const int32_t left = i % kWrittenWidth - 100;
        const int32_t top = i % kWrittenHeight - 50;
        Append(windows, I16(left) + I16(top) + I16(left + 300) + I16(top + 200) + I16(0) + I16(0) + I32(0x10000) +
                            I16(kKinds[i % 3]));
    }
    Append(windows, I16(1) + I16(0) + I16(0) + I16(kWrittenWidth) + I16(kWrittenHeight));
    const Bytes form = Chunk("FORM", Tag("QPRF") + Chunk("PWIN", windows));
    DynamicArray* bytes = NewDynamicArray(int32_t(form.size()), 1, 16);
    if (!bytes) return {};
    std::memcpy(bytes->ArrayData(), form.data(), form.size());
    document->Preferences->Bytes = bytes;
    return ModelFileBytes(document);
}

// The offset of the first chunk header with the tag from `from` on, or -1.
int32_t FindTag(const Bytes& bytes, const char* tag, size_t from = 12)
{
    for (size_t at = from; at + 8 <= bytes.size(); ++at) {
        if (std::memcmp(&bytes[at], tag, 4) == 0) return int32_t(at);
    }
    return -1;
}

uint16_t Read16(const Bytes& bytes, int32_t at)
{
    return uint16_t((bytes[size_t(at)] << 8) | bytes[size_t(at) + 1]);
}

void Write16(Bytes& bytes, int32_t at, uint16_t value)
{
    bytes[size_t(at)] = uint8_t(value >> 8);
    bytes[size_t(at) + 1] = uint8_t(value);
}

}  // namespace

std::vector<HostileModel> HostileModels()
{
    const Bytes sample = ModelFileBytes(BuildRoomSample());
    std::vector<HostileModel> models;
    auto patched16 = [&](const std::string& name, const char* tag, int32_t offset, uint16_t value,
                         HostileModel::Outcome outcome) {
        Bytes bytes = sample;
        const int32_t at = FindTag(bytes, tag);
        if (at < 0) return;
        Write16(bytes, at + 8 + offset, value);
        models.push_back({name, bytes, outcome});
    };

    // Counts that are negative or larger than what follows them.
    const int32_t mesh = FindTag(sample, "MESH");
    const int32_t vertices = mesh >= 0 ? Read16(sample, mesh + 8) : 0;
    const struct {
        const char* tag;
        const char* name;
        int32_t offset;
    } counts[] = {
        {"POLY", "poly-points", 30},
        {"MESH", "mesh-vertices", 0},
        {"MESH", "mesh-polygons", 2 + 12 * vertices},
        {"MESH", "mesh-indices", 4 + 12 * vertices},
        {"SLIC", "slices", 0},
        {"CONN", "connections", 0},
        {"LGHT", "lights", 0},
    };
    for (const auto& count : counts) {
        patched16(std::string("fail-") + count.name + "-negative.qpy", count.tag, count.offset, 0xFFFF,
                  HostileModel::kMustFail);
        patched16(std::string("fail-") + count.name + "-huge.qpy", count.tag, count.offset, 0x7FFF,
                  HostileModel::kMustFail);
    }
    // A walk path that does not fit cannot fail the load.
    patched16("load-walk-path-negative.qpy", "QPRF", 30, 0xFFFF, HostileModel::kMustLoad);
    patched16("load-walk-path-huge.qpy", "QPRF", 30, 0x7FFF, HostileModel::kMustLoad);
    // Indices outside the vertex list drop the object.
    patched16("load-mesh-index-outside.qpy", "MESH", 6 + 12 * vertices, 99, HostileModel::kMustLoad);
    patched16("load-mesh-index-negative.qpy", "MESH", 6 + 12 * vertices, 0xFFFF, HostileModel::kMustLoad);
    // A version from the future.
    patched16("fail-version.qpy", "VERS", 0, 0x0200, HostileModel::kMustFail);

    // Lengths of 0xFFFFFFF0 in every kind of chunk.
    for (const char* tag : {"FORM", "VERS", "ROOT", "NAME", "UNIT", "LGHT", "COLR", "PLGR", "POLY", "MESH", "SLIC",
                            "SURF", "POSN", "VRAN", "PRSM", "PGRP", "CONN", "CRED", "TEXT", "QPRF", "DATA"}) {
        Bytes bytes = sample;
        const int32_t at = std::strcmp(tag, "FORM") == 0 ? 0 : FindTag(bytes, tag);
        if (at < 0) continue;
        Write16(bytes, at + 4, 0xFFFF);
        Write16(bytes, at + 6, 0xFFF0);
        models.push_back({std::string(std::strcmp(tag, "FORM") == 0 ? "fail" : "any") + "-length-" + tag + ".qpy",
                          bytes, std::strcmp(tag, "FORM") == 0 ? HostileModel::kMustFail : HostileModel::kAnyResult});
    }

    // Polygon elements: outline counts that are negative or larger than their chunk, and
    // lengths of 0xFFFFFFF0 in their chunks.
    const Bytes elements = ModelFileBytes(BuildElementsSample());
    const int32_t feat = FindTag(elements, "FEAT");
    const int32_t points = feat >= 0 ? FindTag(elements, "POLY", size_t(feat)) : -1;
    if (points >= 0) {
        for (const auto& count : {std::make_pair("negative", uint16_t(0xFFFF)), std::make_pair("huge", uint16_t(0x7FFF))}) {
            Bytes bytes = elements;
            Write16(bytes, points + 8 + 2, count.second);
            models.push_back({std::string("fail-element-points-") + count.first + ".qpy", bytes, HostileModel::kMustFail});
        }
    }
    for (const char* tag : {"FEAT", "COLR", "POLY", "POSN"}) {
        Bytes bytes = elements;
        const int32_t at = feat >= 0 ? FindTag(bytes, tag, size_t(feat)) : -1;
        if (at < 0) continue;
        Write16(bytes, at + 4, 0xFFFF);
        Write16(bytes, at + 6, 0xFFF0);
        models.push_back({std::string("any-element-length-") + tag + ".qpy", bytes, HostileModel::kAnyResult});
    }

    // A texture whose entry names no picture fails the read where the texture layer reads the
    // table; the model reader alone skips the table.
    const Bytes pictureLess = PictureLessTextureBytes();
    if (!pictureLess.empty())
        models.push_back({"fail-texture-without-picture.qpy", pictureLess, HostileModel::kAnyResult});

    const Bytes longCredits = LongCreditsBytes();
    if (!longCredits.empty()) models.push_back({"load-credits-long.qpy", longCredits, HostileModel::kMustLoad});
    // Credits chunks by the thousand and the ten thousand, empty (of 8 bytes), and ten thousand
    // whose texts alternate between a short line and a text of several lines.
    for (const int32_t chunks : {1000, 10000}) {
        const Bytes repeated = RoomWithCreditsChunks(chunks, [](int32_t) { return Bytes(); });
        if (!repeated.empty())
            models.push_back({"load-credits-repeated-" + std::to_string(chunks) + ".qpy", repeated, HostileModel::kMustLoad});
    }
    const Bytes alternating = RoomWithCreditsChunks(10000, [](int32_t chunk) {
        return Chunk("TEXT", Chars(chunk % 2 ? "Made by A." :
                                               "Made by B, with the help of C, D and E, who lent their rooms, "
                                               "and F and G, who measured every one of them."));
    });
    if (!alternating.empty()) models.push_back({"load-credits-alternating.qpy", alternating, HostileModel::kMustLoad});
    const Bytes windowRecords = WindowRecordsOfAnotherScreenBytes();
    if (!windowRecords.empty())
        models.push_back({"load-preferences-windows-of-another-screen.qpy", windowRecords, HostileModel::kMustLoad});

    // Files cut short.
    for (size_t length : {size_t(6), size_t(10), size_t(12), size_t(100), size_t(1000), sample.size() / 2,
                          sample.size() - 1}) {
        models.push_back({"fail-cut-" + std::to_string(length) + ".qpy", Bytes(sample.begin(), sample.begin() + long(length)),
                          HostileModel::kMustFail});
    }
    for (HostileModel& model : RelationHostileModels()) models.push_back(std::move(model));
    for (HostileModel& model : FrameHostileModels()) models.push_back(std::move(model));
    for (HostileModel& model : PictureHostileModels()) models.push_back(std::move(model));
    return models;
}
