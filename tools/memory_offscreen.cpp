// A stand-in, for the native tools only (the fuzz targets and gl-bench), of the parts of the
// offscreen, the memory pixel map's block, the readers' pixel access, the texture folders, the
// file dialog and a file's identity that are made of system calls elsewhere. Pixels are plain memory (offscreens
// 0x00RRGGBB words, pixel maps colour-cube bytes), so that the platform-free readers above them
// (the image format, the texture table, the media items, the BMP and JPEG readers) run natively,
// under the sanitizers too. Each operation checks its arguments as the system's version does; none
// of this is part of the program.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "draw/color_cube.h"
#include "draw/image_format.h"
#include "draw/mem_pix_map.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/path_record.h"
#include "textures/media_holder.h"
#include "textures/offscreen_pixel_access.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"

namespace {

// Pictures larger than this are refused, as the system refuses bitmaps it has no memory for.
constexpr int64_t kMaxPixels = int64_t(1) << 22;

// Rows of `width` pixels of `bytesPerPixel` bytes (rounded up to 4 bytes, at least one pixel and
// one row) in one zeroed block, with their row table; false when refused.
bool MakeRows(PixelFormat& format, int32_t width, int32_t height, int32_t bytesPerPixel)
{
    if (width < 0 || height < 0 || int64_t(width) * height > kMaxPixels) return false;
    const int64_t rowBytes = (int64_t(std::max(width, 1)) * bytesPerPixel + 3) & ~int64_t(3);
    const int64_t rows = std::max(height, 1);
    auto* pixels = static_cast<uint8_t*>(std::calloc(size_t(rowBytes * rows), 1));
    auto** table = static_cast<uint8_t**>(std::calloc(size_t(rows), sizeof(uint8_t*)));
    if (!pixels || !table) {
        std::free(pixels);
        std::free(table);
        return false;
    }
    for (int64_t i = 0; i < rows; ++i) table[i] = pixels + i * rowBytes;
    format.rowTable = table;
    format.pixelBits = pixels;
    format.width = width;
    format.height = height;
    format.rowBytes = int32_t(rowBytes);
    format.planes = 1;
    format.bitsPerPixel = bytesPerPixel * 8;
    format.pixelAccess = 1;
    return true;
}

void FreeRows(PixelFormat& format)
{
    std::free(format.pixelBits);
    std::free(format.rowTable);
    format.pixelBits = nullptr;
    format.rowTable = nullptr;
    format.width = format.height = format.rowBytes = 0;
    format.pixelAccess = 0;
}

uint32_t PackColour(const RGBColor48& colour)
{
    return uint32_t(colour.red >> 8) << 16 | uint32_t(colour.green >> 8) << 8 | uint32_t(colour.blue >> 8);
}

RGBColor48 UnpackColour(uint32_t value)
{
    return {uint16_t(((value >> 16) & 0xFF) * 257), uint16_t(((value >> 8) & 0xFF) * 257), uint16_t((value & 0xFF) * 257)};
}

// Pixel x of a stored row of `depth` bits as 0x00RRGGBB: indexed pixels through `colours`,
// 16-bit pixels as 5-5-5, 24- and 32-bit pixels as blue, green, red.
uint32_t StoredPixel(const uint8_t* row, int32_t x, int32_t depth, const uint32_t* colours)
{
    switch (depth) {
    case 1: return colours[(row[x >> 3] >> (7 - (x & 7))) & 1];
    case 4: return colours[(x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4];
    case 8: return colours[row[x]];
    case 16: {
        const uint32_t v = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
        return ((v >> 10) & 31) << 19 | ((v >> 5) & 31) << 11 | (v & 31) << 3;
    }
    default: {
        const int32_t n = depth / 8;
        return uint32_t(row[n * x + 2]) << 16 | uint32_t(row[n * x + 1]) << 8 | row[n * x];
    }
    }
}

// A row of 0x00RRGGBB words stored at `depth` bits: true colour as blue, green, red (16 bits as
// 5-5-5); indexed rows as entry 0, since the stand-in keeps no colour table.
void StorePixels(uint8_t* row, const uint8_t* pixels, int32_t width, int32_t depth)
{
    if (depth <= 8) return;
    for (int32_t x = 0; x < width; ++x) {
        uint32_t value;
        std::memcpy(&value, pixels + 4 * x, 4);
        if (depth == 16) {
            const uint32_t v = ((value >> 19) & 31) << 10 | ((value >> 11) & 31) << 5 | ((value >> 3) & 31);
            row[2 * x] = uint8_t(v);
            row[2 * x + 1] = uint8_t(v >> 8);
            continue;
        }
        const int32_t n = depth / 8;
        row[n * x] = uint8_t(value);
        row[n * x + 1] = uint8_t(value >> 8);
        row[n * x + 2] = uint8_t(value >> 16);
    }
}

}  // namespace

// --- Q_Offscreen: 32-bit pixels in memory ---

Q_Offscreen::~Q_Offscreen()
{
    FreeRows(format_);
    DestroyArray(format_.rowTableArray);
    dibBits_ = nullptr;
    if (SharedOffscreen == this) SharedOffscreen = nullptr;
    if (StartupOffscreen == this) StartupOffscreen = nullptr;
}

Q_Offscreen* SharedOffscreen = nullptr;
Q_Offscreen* StartupOffscreen = nullptr;

ResultCode Q_Offscreen::Activate() { return kResultOk; }
ResultCode Q_Offscreen::Deactivate() { return kResultOk; }
int32_t Q_Offscreen::Depth() { return 32; }
HDC Q_Offscreen::GetDrawingDC(PortRect* /*rect*/) { return nullptr; }
ResultCode Q_Offscreen::Lock()
{
    ++lockCount_;
    return kResultOk;
}
void Q_Offscreen::Unlock()
{
    if (lockCount_ > 0) --lockCount_;
}
int32_t Q_Offscreen::GetRowStride() { return format_.rowBytes; }
uint8_t** Q_Offscreen::GetRowTable() { return format_.rowTable; }
uint8_t* Q_Offscreen::GetPixelBits() { return format_.pixelBits; }

void Q_Offscreen::GetPixelColor(RGBColor48* colour, int32_t x, int32_t y)
{
    uint32_t value = 0;
    if (format_.rowTable && x >= 0 && y >= 0 && x < format_.width && y < format_.height)
        std::memcpy(&value, format_.rowTable[y] + 4 * x, 4);
    *colour = UnpackColour(value);
}

int32_t Q_Offscreen::IndexColours(RGBColor48* /*colours*/) const
{
    return 0;  // the stand-in's offscreens are all of true colour
}

void Q_Offscreen::SetPixelColor(int32_t x, int32_t y, const RGBColor48& colour)
{
    if (!format_.rowTable || x < 0 || y < 0 || x >= format_.width || y >= format_.height) return;
    const uint32_t value = PackColour(colour);
    std::memcpy(format_.rowTable[y] + 4 * x, &value, 4);
}

ResultCode Q_Offscreen::QOffscreenInit(const PortRect& rect, int32_t depth, const RGBColor48* fill)
{
    FreeRows(format_);
    InitPortFields(kPortOffscreen);
    depth_ = depth;
    globalRect_ = rect;
    destRect_ = rect;
    bounds_ = {0, 0, rect.Width(), rect.Height()};
    sized_ = 1;
    if (!MakeRows(format_, rect.Width(), rect.Height(), 4)) return kResultFailed;
    dibBits_ = format_.pixelBits;
    if (fill) {
        for (int32_t y = 0; y < format_.height; ++y)
            for (int32_t x = 0; x < format_.width; ++x) SetPixelColor(x, y, *fill);
    }
    return kResultOk;
}

ResultCode Q_Offscreen::InitNoFill(const PortRect& rect, int32_t depth, DynamicArray* /*table*/)
{
    return QOffscreenInit(rect, depth, nullptr);
}

ResultCode Q_Offscreen::TransferColorTable(MemoryStream* stream, DynamicArray* table, int32_t depth)
{
    if (!stream->StreamIsWriting()) return ReadImageColorTable(stream, table);
    if (depth >= 9) return kResultOk;
    for (int32_t i = 0; i < (1 << depth); ++i) {
        uint32_t value = 0;
        const ResultCode result = stream->StreamTransferValue(&value, kValue32);
        if (result != kResultOk) return result;
    }
    return kResultOk;
}

ResultCode Q_Offscreen::TransferPixelRows(MemoryStream* stream, DynamicArray* table, int32_t /*totalBytes*/,
                                          int32_t rowBytes, int32_t firstRow, int32_t rows, int32_t /*flag*/,
                                          int32_t depth)
{
    const int64_t rowSize = ImageRowSize(format_.width, depth);
    const bool writing = stream->StreamIsWriting();
    if (writing && rowBytes < rowSize) return kResultFailed;
    if (rows <= 0) return kResultOk;
    if (firstRow < 0 || int64_t(firstRow) + rows > format_.height || !format_.rowTable) return kResultFailed;
    uint32_t colours[256] = {};
    if (!writing && depth <= 8) {
        const int32_t count = table ? std::min(table->ArrayCount(), 1 << depth) : 0;
        for (int32_t i = 0; i < count; ++i) colours[i] = PackColour(*table->At<RGBColor48>(i));
    }
    auto* row = static_cast<uint8_t*>(std::calloc(size_t(rowSize) + 4, 1));
    if (!row) return kResultFailed;
    const int32_t moved = int32_t(writing ? rowSize : std::min<int64_t>(rowSize, rowBytes));
    ResultCode result = kResultOk;
    for (int32_t i = 0; i < rows && result == kResultOk; ++i) {
        std::memset(row, 0, size_t(rowSize));
        if (writing) StorePixels(row, format_.rowTable[firstRow + i], format_.width, depth);
        result = stream->TransferBytes(row, moved);
        if (result == kResultOk && writing) {
            const uint8_t zero = 0;
            for (int32_t pad = rowBytes - moved; pad > 0 && result == kResultOk; --pad)
                result = stream->TransferBytes(const_cast<uint8_t*>(&zero), 1);
        } else if (result == kResultOk && rowBytes > moved) {
            result = stream->StreamSetPosition(stream->StreamPosition() + (rowBytes - moved));
        }
        if (result == kResultOk && !writing) {
            for (int32_t x = 0; x < format_.width; ++x) {
                const uint32_t value = StoredPixel(row, x, depth, colours);
                std::memcpy(format_.rowTable[firstRow + i] + 4 * x, &value, 4);
            }
        }
    }
    std::free(row);
    return result;
}

int32_t Q_Offscreen::PublishRasterGlobals() { return 0; }

void Q_Offscreen::CopyOffscreenToPort(PortBase* destination, const PortRect& source, const PortRect& target)
{
    // Offscreens without a DC are copied by the averaging pixel copy, as the system build does.
    if (destination && destination->GetPortKind() == kPortOffscreen)
        QuietScaledPixelCopy(static_cast<Q_Offscreen*>(destination), source, target);
}

// --- MemPixMap: colour-cube bytes in memory ---

void* MemPixMap::NewPixelBlock(size_t bytes)
{
    return bytes > size_t(kMaxPixels) ? nullptr : std::calloc(bytes, 1);
}

void MemPixMap::DisposePixelBlock(void* block)
{
    std::free(block);
}

// --- the readers' pixel access ---

ResultCode OffscreenPixelAccess::Begin(Q_Offscreen* offscreen)
{
    if (!offscreen || !offscreen->GetRowTable()) return kResultFailed;
    IgnoreResult(offscreen->Lock());
    offscreen_ = offscreen;
    return kResultOk;
}

void OffscreenPixelAccess::End()
{
    if (offscreen_) offscreen_->Unlock();
    offscreen_ = nullptr;
}

ResultCode OffscreenPixelAccess::PutRows(int32_t first, int32_t count, const uint8_t* bits, const DibHeaderBlock& header)
{
    // Bottom-up rows of the header's width and depth, padded to 4 bytes, as the system stores them.
    if (!offscreen_ || !IsImageDepth(header.bitCount) || header.width != offscreen_->Format().width ||
        header.height != offscreen_->Format().height || first < 0 || count < 0 ||
        int64_t(first) + count > header.height)
        return kResultFailed;
    uint32_t colours[256];
    for (int32_t i = 0; i < 256; ++i)
        colours[i] = uint32_t(header.colors[i][2]) << 16 | uint32_t(header.colors[i][1]) << 8 | header.colors[i][0];
    const int64_t stride = ((int64_t(header.width) * header.bitCount + 31) & ~int64_t(31)) / 8;
    const PixelFormat& format = offscreen_->Format();
    for (int32_t i = 0; i < count; ++i) {
        uint8_t* target = format.rowTable[format.height - 1 - (first + i)];
        for (int32_t x = 0; x < format.width; ++x) {
            const uint32_t value = StoredPixel(bits + i * stride, x, header.bitCount, colours);
            std::memcpy(target + 4 * x, &value, 4);
        }
    }
    return kResultOk;
}

int32_t OffscreenPixelAccess::GetRow(int32_t /*line*/, uint8_t* /*row*/, DibHeaderBlock* /*header*/)
{
    return 0;
}

// --- the texture folders ---

TextureRecordList* LibraryTextureList = nullptr;
TextureRecordList* EmbeddedTextureList = nullptr;

// The system build finds a picture file that is not where the model file says among the BMP
// and DIB files beside the model; the native tools read a model from its own folder, and such a
// file is looked for there by its name.
ResultCode LocateMissingTextureFile(DiskFileStream* file)
{
    const uint32_t type = ExtensionCode(file->Extension());
    if (type != ExtensionCode("BMP") && type != ExtensionCode("DIB")) return kResultNotFound;
    char name[kPathLength];
    file->FileNameWithExtension(name);
    if (file->SetFileFromPath(name) != kResultOk || file->FileExists() != kResultOk) return kResultNotFound;
    return file->FileDialog();
}

// An open file's identity, as the system's file information gives it: its device and node.
bool DiskFileStream::OpenFileIdentity(FileIdentity* identity) const
{
    struct stat status;
    if (!file_ || fstat(fileno(file_), &status) != 0) return false;
    identity->volume = uint64_t(status.st_dev);
    identity->number = uint64_t(status.st_ino);
    return true;
}

// Files that are named open without a dialog, as in the system build; a dialog would be
// cancelled.
ResultCode DiskFileStream::FileDialog()
{
    if (open_ || (!named_ && (kind_ == kFileSave || kind_ == kFileOpen))) return kResultNothingDone;
    switch (kind_) {
    case kFileSaveDialog:
    case kFileSaveCopyDialog:
    case kFileOpenDialog:
        return kResultNothingDone;
    default:
        FileTypeFromExtension();
        return kResultOk;
    }
}
