// Hostile model files whose cost lies in their pictures, each under a megabyte, with picture files
// of a megabyte or less beside it. A wall of small faces, each showing a picture of its own, whose
// texture table names a picture file for every face (or holds the picture itself): run-length
// bitmaps of a kilobyte declaring 8192 x 8192 pixels of 8 bits and of 4 (rows that are all empty
// cost nothing to store), JPEG files declaring as many, plain and progressive, of the size the
// lengths say, bitmaps of a kilobyte each declaring 5000 x 5000 pixels, as many as the model's
// pictures may take together and more, one bitmap file of a megabyte named by a hundred paths,
// progressive JPEG files of 500 scans, bitmaps of 513 x 513 pixels each becoming a texture of
// 1024 x 1024, pictures embedded in the model of no pixels and 32,767 rows, and credits pictures of
// as many rows one after another; and models whose cost lies in the names they ask the system for:
// one bitmap's name in thousands of spellings of letter case (and of "." folders), a bitmap of 70
// bytes likewise, one spelling named by every entry, a file not there named in the wrong case by
// every entry, thousands of names of files not there, and names the system takes for its devices.
// Each model is written through the scene model, as the program writes one, with a texture table
// of its own.
#include "tools/hostile_pictures.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "model/walk_record.h"
#include "tools/picture_files.h"
#include "tools/sample_scenes.h"
#include "tools/stored_bytes.h"

namespace {

constexpr RGBColor48 kWall = {0xC000, 0xB000, 0xA000};
constexpr uint16_t kOpaque = 0xFFFF;

// How a texture table entry gives its picture: by naming a file, with `dots` components "." in
// its relative path (each a path of its own to the same file), or by holding the picture itself.
struct Entry {
    std::string file;
    int32_t dots = 0;
    Bytes embedded = {};
};

// The texture services of a writer whose texture table is the entries given: a texture reference
// stores its entry's place plus one. The texture records the surfaces are given are stand-ins that
// only this writer looks at.
class PictureEntries : public TextureServices {
public:
    // Without `named`, the entries hold no names.
    PictureEntries(std::vector<Entry> entries, bool named)
        : entries_(std::move(entries)), marks_(entries_.size()), named_(named)
    {
        previous_ = InstallTextureServices(this);
    }
    ~PictureEntries() override { InstallTextureServices(previous_); }
    PictureEntries(const PictureEntries&) = delete;
    PictureEntries& operator=(const PictureEntries&) = delete;

    TextureRecord* Texture(size_t entry) { return reinterpret_cast<TextureRecord*>(&marks_[entry]); }

    int32_t AssignTextureIndex(TextureRecord* texture) override
    {
        const uintptr_t mark = reinterpret_cast<uintptr_t>(texture) - reinterpret_cast<uintptr_t>(marks_.data());
        return mark < marks_.size() ? int32_t(mark) + 1 : kNoIndex;
    }

    ResultCode WriteTextureTable(MemoryStream* stream) override
    {
        Bytes entries;
        for (size_t i = 0; i < entries_.size(); ++i) {
            const Entry& entry = entries_[i];
            const std::string name = "picture " + std::to_string(i + 1);
            Bytes body = Chunk("TXID", I32(int32_t(i) + 1));
            if (named_) Append(body, Chunk("TXNM", Chars(name.c_str()) + Bytes{0}));
            Append(body, entry.file.empty() ? Chunk("TXPD", entry.embedded) : Chunk("TXRF", FileReference(entry)));
            Append(entries, Chunk("TXTE", body));
        }
        Bytes table = Chunk("TXTB", entries);
        return stream->TransferBytes(table.data(), int32_t(table.size()));
    }

private:
    static constexpr int32_t kNoIndex = -2;

    // A reference whose absolute path has no components (so it is found through its path from
    // the model file's folder): the folder itself, through `dots` components ".".
    static Bytes FileReference(const Entry& entry)
    {
        Bytes body = Bytes{uint8_t(entry.file.size())} + Chars(entry.file.c_str()) + I16(0) + I16(0) + I16(entry.dots);
        for (int32_t i = 0; i < entry.dots; ++i) Append(body, Bytes{1, '.'});
        return Chunk("FPTH", body);
    }

    std::vector<Entry> entries_;
    std::vector<uint8_t> marks_;
    bool named_;
    TextureServices* previous_ = nullptr;
};

// A model of a wall of faces before the eye, face i showing the picture of entry i: a face for each
// entry, or for the first `shown` of them (the others shown by none).
Bytes WallOfEntries(std::vector<Entry> entries, int32_t shown = -1, bool named = true)
{
    const int32_t count = shown >= 0 ? std::min(shown, int32_t(entries.size())) : int32_t(entries.size());
    PictureEntries pictures(std::move(entries), named);
    ModelDocument* document = NewSampleDocument();
    if (!document) return {};
    ModelHolder* holder = document->Holder;
    AddSampleLights(holder->Root);
    int32_t columns = 1;
    while (columns * columns < count) ++columns;
    const int32_t rows = (count + columns - 1) / columns;
    std::vector<FixedVector3> points;
    for (int32_t row = 0; row <= rows; ++row)
        for (int32_t column = 0; column <= columns; ++column)
            points.push_back({IntToFixed(column - columns / 2), IntToFixed(100), IntToFixed(row - rows / 2)});
    auto at = [columns](int32_t column, int32_t row) { return int16_t(row * (columns + 1) + column); };
    std::vector<std::vector<int16_t>> faces;
    for (int32_t face = 0; face < count; ++face) {
        const int32_t column = face % columns;
        const int32_t row = face / columns;
        faces.push_back({at(column, row + 1), at(column + 1, row + 1), at(column + 1, row), at(column, row)});
    }
    ModelObject* wall = MakePolygonMesh(holder, points, faces);
    if (wall) {
        wall->SetColours(kWall, kOpaque, kSideBoth);
        for (int32_t face = 0; face < count; ++face)
            if (Surface* surface = wall->SurfaceForFace(face)) surface->SetSideTexture(pictures.Texture(size_t(face)), kSideBoth);
        holder->Root->AddChild(wall);
    }
    document->Walk->SetAndRecord(0, 0, 0, 0, 0, 0);
    return ModelFileBytes(document);
}

// A model naming `count` picture files of the bytes, "<stem>-<n>.<extension>" (each a file of its
// own, so that each counts its bytes).
HostileModel NamingFiles(const std::string& name, const std::string& stem, const char* extension, int32_t count,
                         const Bytes& file)
{
    HostileModel model{name, {}, HostileModel::kAnyResult};
    std::vector<Entry> entries;
    for (int32_t i = 1; i <= count; ++i) {
        const std::string fileName = stem + "-" + std::to_string(i) + "." + extension;
        entries.push_back({fileName});
        model.pictures.push_back({fileName, file});
    }
    model.bytes = WallOfEntries(std::move(entries));
    return model;
}

// The JPEG file of the shape, whose frame header is then made to declare `width` x `height`
// pixels, with zero bytes after its end up to `length` bytes in all: the library stops at the end
// of the picture, and the size counts.
Bytes DeclaringJpeg(const JpegShape& shape, int32_t width, int32_t height, size_t length)
{
    Bytes file = GreyJpeg(shape);
    for (size_t at = 2; at + 9 < file.size(); ++at) {
        const bool frame = file[at] == 0xFF && (file[at + 1] == 0xC0 || file[at + 1] == 0xC2);
        if (!frame) continue;
        file[at + 5] = uint8_t(height >> 8);
        file[at + 6] = uint8_t(height);
        file[at + 7] = uint8_t(width >> 8);
        file[at + 8] = uint8_t(width);
        break;
    }
    if (!file.empty() && file.size() < length) file.resize(length, 0);
    return file;
}

// An image of the program's own format of no pixels and `rows` rows of none: its header, a colour
// map of two colours and the rows' data, empty.
Bytes EmptyRowsImage(int32_t rows)
{
    constexpr int32_t kDepth = 1;
    return I16(0) + I16(rows) + I16(kDepth) + I16(0) + I32(0) + I32(0) + Chunk("CMAP", Word32(0xFFFFFF) + Word32(0)) +
           Chunk("DATA", {});
}

// The model of `count` entries each holding an image of no pixels and 32,767 rows.
Bytes EmbeddedRows(int32_t count)
{
    constexpr int32_t kRows = 32767;
    return WallOfEntries(std::vector<Entry>(size_t(count), Entry{"", 0, EmptyRowsImage(kRows)}));
}

// A model with `count` credits pictures of no pixels and 32,767 rows, one after another (each
// replacing the one before), in its credits chunk.
Bytes CreditsOfRows(int32_t count)
{
    constexpr int32_t kRows = 32767;
    Bytes model = ModelFileBytes(BuildShapesSample());
    if (model.size() < 12) return {};
    Bytes credits;
    for (int32_t i = 0; i < count; ++i) Append(credits, Chunk("BMAP", EmptyRowsImage(kRows)));
    Append(model, Chunk("CRED", credits));
    // The form grows by the chunk.
    const Bytes length = Word32(uint32_t(model.size() - 8));
    std::copy(length.begin(), length.end(), model.begin() + 4);
    return model;
}

// The name with the case of its letters set by the bits of `pattern`: the n-th letter upper case
// when bit n is set.
std::string Spelling(std::string name, uint32_t pattern)
{
    int32_t letter = 0;
    for (char& c : name) {
        const bool lower = c >= 'a' && c <= 'z';
        if (!lower && !(c >= 'A' && c <= 'Z')) continue;
        const bool upper = letter < 32 && (pattern >> letter & 1) != 0;
        if (lower && upper) c = char(c - 'a' + 'A');
        if (!lower && !upper) c = char(c - 'A' + 'a');
        ++letter;
    }
    return name;
}

// How many entries name files, and how many faces show the first of them.
struct Naming {
    int32_t entries;
    int32_t faces;
};

// A model of a texture table of entries without names, entry i naming the file `spelled(i)` (and
// `dots(i)` folders "." on the way), the first of them shown by a face each, with the picture
// written beside it under the name `file` unless it is empty.
template <class Spelled, class Dots>
HostileModel NamingOneFile(const std::string& name, const std::string& file, const Bytes& picture, Naming naming,
                           Spelled spelled, Dots dots)
{
    HostileModel model{name, {}, HostileModel::kAnyResult};
    std::vector<Entry> entries;
    for (int32_t i = 0; i < naming.entries; ++i) entries.push_back({spelled(i), dots(i)});
    model.bytes = WallOfEntries(std::move(entries), naming.faces, false);
    if (!picture.empty()) model.pictures.push_back({file, picture});
    return model;
}

void AddNameModels(std::vector<HostileModel>* models)
{
    const auto none = [](int32_t) { return 0; };
    // 14,000 spellings of the name of a bitmap of 64 x 64 pixels, the first 2,000 shown; 7,500 of
    // one of 70 bytes, every one shown.
    const std::string bitmap = "spelledbitmap.bmp";
    const auto spelled = [&bitmap](int32_t i) { return Spelling(bitmap, uint32_t(i)); };
    models->push_back(NamingOneFile("load-names-spellings-of-one-bitmap.qpy", bitmap, PlainBitmap(64, 64, 8, 7),
                                    {14000, 2000}, spelled, none));
    const std::string tiny = "spelledtinyone.bmp";
    models->push_back(NamingOneFile("load-names-spellings-of-a-tiny-bitmap.qpy", tiny, PlainBitmap(2, 2, 24, 0x5A),
                                    {7500, 7500}, [&tiny](int32_t i) { return Spelling(tiny, uint32_t(i)); }, none));
    // Its spellings through up to 40 folders "." on the way.
    models->push_back(NamingOneFile("load-names-spellings-through-dot-folders.qpy", bitmap, PlainBitmap(64, 64, 8, 7),
                                    {8000, 2000}, spelled, [](int32_t i) { return i % 40; }));
    // One spelling named by every entry.
    models->push_back(NamingOneFile("load-names-one-spelling-named-again.qpy", bitmap, PlainBitmap(64, 64, 8, 7),
                                    {14000, 2000}, [&bitmap](int32_t) { return bitmap; }, none));
    // A file that is not there, named in the wrong case by every entry, and in its spellings.
    const std::string gone = "Not-There-At-All.BMP";
    models->push_back(NamingOneFile("load-names-missing-in-the-wrong-case.qpy", gone, {}, {14000, 2000},
                                    [&gone](int32_t) { return gone; }, none));
    models->push_back(NamingOneFile("load-names-missing-in-spellings.qpy", gone, {}, {14000, 2000},
                                    [&gone](int32_t i) { return Spelling(gone, uint32_t(i)); }, none));
    // Names that the system takes for its devices (the console, the serial and printer ports),
    // whatever their extension, each named by a face: none names a picture.
    const std::string devices[] = {"CON.bmp", "conin$.bmp", "CONOUT$.BMP", "nul.bmp", "AUX.bmp", "PRN.bmp",
                                   "COM1.bmp", "com9.bmp", "LPT1.bmp", "lpt2.jpg", "Con.x.bmp", "CLOCK$.bmp"};
    models->push_back(NamingOneFile("load-names-of-devices.qpy", "", {}, {int32_t(std::size(devices)), -1},
                                    [&devices](int32_t i) { return devices[i]; }, none));
    // Thousands of names of files that are not there, each asked of the system once.
    models->push_back(NamingOneFile("any-names-many-missing-files.qpy", gone, {}, {14000, 2000},
                                    [](int32_t i) { return "Gone-" + std::to_string(i) + ".BMP"; }, none));
}

}  // namespace

std::vector<HostileModel> PictureHostileModels()
{
    std::vector<HostileModel> models;
    // Sixteen run-length bitmaps of a kilobyte, each declaring 8192 x 8192 pixels; the same of 4
    // bits a pixel.
    models.push_back(NamingFiles("fail-pictures-run-length-8192.qpy", "rle8-8192", "bmp", 16, RunLengthBitmap(8192, 8192, 8)));
    models.push_back(NamingFiles("fail-pictures-run-length-4-bits-8192.qpy", "rle4-8192", "bmp", 16,
                                 RunLengthBitmap(8192, 8192, 4)));
    // Twelve of 5000 x 5000: each may be made, but not all of them.
    models.push_back(NamingFiles("fail-pictures-run-length-together.qpy", "rle4-5000", "bmp", 12,
                                 RunLengthBitmap(5000, 5000, 4)));
    // Eighty of 513 x 513, each becoming a texture of 1024 x 1024.
    models.push_back(NamingFiles("fail-pictures-enlarged-into-textures.qpy", "rle8-513", "bmp", 80,
                                 RunLengthBitmap(513, 513, 8)));
    // One file of a megabyte declaring 4000 x 4000 pixels, named by a hundred paths: one file,
    // decoded once.
    {
        constexpr int32_t kPaths = 100;
        const std::string file = "rle8-4000-megabyte.bmp";
        HostileModel model{"load-pictures-one-file-many-paths.qpy", {}, HostileModel::kAnyResult};
        std::vector<Entry> entries;
        for (int32_t i = 0; i < kPaths; ++i) entries.push_back({file, i});
        model.bytes = WallOfEntries(std::move(entries));
        model.pictures.push_back({file, RunLengthBitmap(4000, 4000, 8, 1 << 20)});
        models.push_back(std::move(model));
    }
    AddNameModels(&models);
    // Pictures embedded in the model, and credits pictures, of no pixels and 32,767 rows.
    models.push_back({"fail-pictures-embedded-rows.qpy", EmbeddedRows(1000), HostileModel::kAnyResult});
    models.push_back({"fail-pictures-credits-rows.qpy", CreditsOfRows(400), HostileModel::kAnyResult});
    if (JpegFilesWritable()) {
        // JPEG files of 8192 x 8192 pixels: five progressive ones of 182 KB, and plain ones of a
        // kilobyte.
        models.push_back(NamingFiles("fail-pictures-progressive-8192.qpy", "progressive-8192", "jpg", 5,
                                     DeclaringJpeg({16, 16, 1, true, 0}, 8192, 8192, 182 * 1024)));
        models.push_back(NamingFiles("fail-pictures-jpeg-8192.qpy", "jpeg-8192", "jpg", 5,
                                     DeclaringJpeg({16, 16, 3, false, 0}, 8192, 8192, 1024)));
        // Progressive JPEG files of 1024 x 1024 pixels and 500 scans: each may be decoded, but
        // not all of them.
        models.push_back(NamingFiles("fail-pictures-jpeg-scans.qpy", "scans-500", "jpg", 6,
                                     GreyJpeg({1024, 1024, 1, true, 500})));
    }
    // A model that could not be written is left out.
    models.erase(std::remove_if(models.begin(), models.end(), [](const HostileModel& model) { return model.bytes.empty(); }),
                 models.end());
    return models;
}
