// PictureBudget: what the pictures of one model may cost, all together: the pictures its texture
// table names (embedded in the model file, in picture files beside it or anywhere else, through
// texture libraries) and its credits picture, whether they are decoded as the model is read or
// later, at their first use. A few bytes can declare a picture of any size and a file can be
// named by any number of paths, so every picture of the model spends on one budget, and a file's
// bytes count once. A picture is charged before it is made what making it takes (its pixels and
// rows, the texture it becomes, the arrays the JPEG library keeps of it), and the library's work
// as it is done (each scan of a progressive picture over the blocks it passes), in units of a
// pixel of a bitmap decoded and copied into its texture: 5.6 ns under Wine, and four bytes of
// memory. Any model may spend a fixed number of units, and more for every byte of picture data
// read; any picture may take a fixed number of units of its own, and more for each of its bytes.
// A picture that asks for more is refused before it is made, its reader saying why.
#pragma once

#include <cstdint>
#include <set>
#include <tuple>

#include "foundation/disk_file_stream.h"

// Any model may spend this many units on its pictures, however few their bytes: twice what 400
// textures of 256 x 256 pixels take (352,256 units each: their pixels, rows and textures), and no
// more than two seconds of decoding under Wine.
constexpr int64_t kPictureUnitsOfAnyModel = int64_t(1) << 28;
// Any picture may take this many units as it is made: 200 MB at four bytes a unit, the memory of a
// picture of 50 million pixels (a photograph of 8000 x 6000).
constexpr int64_t kPictureUnitsOfAnyPicture = int64_t(3) << 24;
// Every byte of picture data read pays for this many units more, the model's and its picture's:
// twice what the densest picture stored without compression (one bit a pixel) needs, and as much
// as a photograph of the JPEG kind needs at a tenth of a bit a pixel.
constexpr int64_t kPictureUnitsPerByte = 16;

// The largest side of a texture: larger pictures are reduced to it.
constexpr int32_t kLargestTextureSide = 1024;
// The side of the texture a picture side becomes: the smallest power of two from 2 that holds it,
// at most kLargestTextureSide.
constexpr int32_t TextureSide(int32_t side)
{
    int32_t p = 2;
    while (side > p && p < kLargestTextureSide) p *= 2;
    return p;
}

// The units of the parts of a picture made (picture-bench, tools/picture_bench): a row beyond its
// pixels (its decoding and part of a call to the system, 50 to 90 ns, and at least 32 pixels of
// an offscreen); a pixel of the texture, averaged from its block and stored (20 to 27 ns); and the
// picture itself, its offscreen and texture made and let go (about 60 us, some 30 us of it the
// system's).
constexpr int64_t kUnitsPerPictureRow = 32;
constexpr int64_t kUnitsPerTexturePixel = 4;
constexpr int64_t kUnitsPerPicture = 16384;

// The units of asking the system for a file by its name (system-weights, tools/system_weights): a
// look-up of whether a referenced file opens, and a file opened, measured and closed around the
// reading of its picture. Under Wine either reads the whole folder when the name is not spelled as
// the folder spells it, or is not there: 0.5 to 0.9 ms in a folder of 1,400 names, 0.73 ms the
// units' worth; a name spelled as there takes 30 to 280 us. A look-up of a path deeper than any
// honest one counts once more for every further folder (FileLookups::Weight). Any model may ask
// for some 2,000 names beyond what the bytes of its picture files pay for.
constexpr int64_t kUnitsPerFileLookup = 131072;
constexpr int64_t kUnitsPerFileOpen = 131072;

// The units that making a picture of the size and its texture takes.
constexpr int64_t PictureUnits(int64_t width, int64_t height)
{
    const int64_t texture = int64_t(TextureSide(int32_t(width))) * TextureSide(int32_t(height));
    return width * height + height * kUnitsPerPictureRow + texture * kUnitsPerTexturePixel + kUnitsPerPicture;
}

// What the readers say of a picture that the budget refuses: one of a file, naming it in place of
// %s, and one that the model file holds.
constexpr char kPicturePastBudgetMessage[] =
    "This bitmap declares more pixels than the model's pictures may have.  Cannot load bitmap %s";
constexpr char kEmbeddedPicturePastBudgetMessage[] =
    "A picture in this model declares more pixels than the model's pictures may have.";
// What the texture table's reader says when the files it looks for pass the budget, and a picture
// file's item when its opening would.
constexpr char kFileNamesPastBudgetMessage[] =
    "This model names more picture files than the model's pictures may have.";
constexpr char kFileOpenPastBudgetMessage[] =
    "This model opens more picture files than the model's pictures may have.  Cannot load bitmap %s";

class PictureBudget {
public:
    // A read of the model begins: nothing spent and no bytes read.
    void Begin();
    // Counts `bytes` of picture data held in the model file itself (an embedded picture).
    void AddBytes(int64_t bytes);
    // Counts the bytes of a picture file, once for a file however many paths name it (a file
    // system that numbers no file tells files apart by their sizes).
    void AddFileBytes(const FileIdentity& file, int64_t bytes);
    // Spends the units that making a picture of `ownBytes` bytes takes: false, spending nothing,
    // when they pass what a picture of its bytes may take or what the model's pictures have left.
    bool SpendOnPicture(int64_t units, int64_t ownBytes);
    // Spends the units of work done for a picture made: false, spending nothing, past the model's.
    bool Spend(int64_t units);
    // The units the model's pictures may spend in all, with the bytes read so far.
    int64_t Allowance() const;
    int64_t Spent() const { return spent_; }
    int64_t BytesRead() const { return bytes_; }

private:
    int64_t spent_ = 0;
    int64_t bytes_ = 0;
    std::set<std::tuple<uint64_t, uint64_t, int64_t>> files_;  // the files counted: volume, number, size
};
