// The averaging scaled copy between any two pixel ports: every destination pixel averages the
// block of source pixels it covers, and half of the colour error is carried along each row.
// True-colour and indexed rows and pixel maps are read and written straight, without a call per
// pixel.
#include <algorithm>

#include "draw/color_cube.h"
#include "draw/indexed_rows.h"
#include "draw/mem_pix_map.h"
#include "draw/q_offscreen.h"
#include "draw/true_colour_rows.h"
#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"

namespace {

uint16_t Clamp16(int32_t v)
{
    return uint16_t(std::clamp(v, 0, 0xFFFF));
}

// The first source row or column of destination step `i` (from the first one) at `step` source
// pixels per destination pixel.
int32_t SourceAt(int32_t i, Fixed step, int32_t origin)
{
    return (FixMul(IntToFixed(i), step) >> 16) + origin;
}

// What the copy's loops turn for every 1024 pixels it reads or writes, at 13 ns a turn under Wine
// (the typical turn of an honest read, system-weights; the times picture-bench's): a pixel read
// straight from rows, 3 ns; one asked of the system, 83 ns; a pixel averaged from its block and
// written straight, 20 to 24 ns; one written and read back through the system, some 200 ns.
constexpr int64_t kPixelsOfTurns = 1024;
constexpr int64_t kStraightReadTurns = 256;
constexpr int64_t kSystemReadTurns = 6144;
constexpr int64_t kStraightWriteTurns = 2048;
constexpr int64_t kSystemWriteTurns = 16384;

// A source's pixels read straight from its true-colour rows, as the system would give them.
template <int32_t kDepth>
struct TrueColourSource {
    static constexpr int64_t kTurns = kStraightReadTurns;
    uint8_t* const* rows;
    RGBColor48 operator()(int32_t x, int32_t y) const { return TrueColourAt(rows[y], x, kDepth); }
};

// A source's pixels read straight from its indexed rows, each the colour of its bitmap's table
// that its index stands for, as the system would give them.
template <int32_t kDepth>
struct IndexedSource {
    static constexpr int64_t kTurns = kStraightReadTurns;
    uint8_t* const* rows;
    const RGBColor48* colours;
    RGBColor48 operator()(int32_t x, int32_t y) const { return colours[IndexAt<kDepth>(rows[y], x)]; }
};

// Any other source's pixels, each asked of the port (of the system, for a device's bitmap).
struct PortSource {
    static constexpr int64_t kTurns = kSystemReadTurns;
    Q_Offscreen* port;
    RGBColor48 operator()(int32_t x, int32_t y) const
    {
        RGBColor48 colour;
        port->GetPixelColor(&colour, x, y);
        return colour;
    }
};

// The pixels of a source that has none: each is the one its port gives for a point outside it,
// asked once (a picture of no columns or no rows read through the system asked it for every
// pixel of its blocks, the rows of a picture of no columns in tens of thousands).
struct OutsideSource {
    static constexpr int64_t kTurns = kStraightReadTurns;
    RGBColor48 colour;
    RGBColor48 operator()(int32_t /*x*/, int32_t /*y*/) const { return colour; }
};

// A pixel map's cube indices written and read back straight in its rows.
struct CubeDestination {
    static constexpr int64_t kTurns = kStraightWriteTurns;
    uint8_t* const* rows;
    RGBColor48 Put(int32_t x, int32_t y, const RGBColor48& wanted) const
    {
        const int32_t index = ColorCubeIndex(wanted);
        rows[y][x] = uint8_t(index);
        return ColorCubeColour(index);
    }
};

// Any other destination's pixels, set and read back through the port.
struct PortDestination {
    static constexpr int64_t kTurns = kSystemWriteTurns;
    Q_Offscreen* port;
    RGBColor48 Put(int32_t x, int32_t y, const RGBColor48& wanted) const
    {
        port->SetPixelColor(x, y, wanted);
        RGBColor48 shown;
        port->GetPixelColor(&shown, x, y);
        return shown;
    }
};

// A divisor of the copy's sums. The blocks of most copies are a power of two pixels on a side,
// whose quotients a shift gives without a division (the quotients are the same).
class Divisor {
public:
    explicit Divisor(uint32_t value) : value_(value)
    {
        while (shift_ < 31 && (1u << shift_) < value) ++shift_;
        if ((1u << shift_) != value) shift_ = -1;
    }
    uint32_t Of(uint32_t x) const { return shift_ >= 0 ? x >> shift_ : x / value_; }

private:
    uint32_t value_;
    int32_t shift_ = 0;
};

// Every pixel of `target` averages the block of `source` pixels it covers; half the error between
// the average and what the destination shows is carried into the next pixel of the row.
template <typename Source, typename Destination>
void AverageRows(const Source& read, const Destination& write, const PortRect& source, const PortRect& target,
                 bool reported)
{
    const int32_t dw = target.Width();
    const int32_t dh = target.Height();
    if (dw <= 0 || dh <= 0) return;
    const Fixed xStep = FixDiv(IntToFixed(source.Width()), IntToFixed(dw));
    const Fixed yStep = FixDiv(IntToFixed(source.Height()), IntToFixed(dh));
    int64_t reads = 0;
    for (int32_t y = target.top; y < target.bottom; ++y) {
        const int32_t sy0 = SourceAt(y - target.top, yStep, source.top);
        const int32_t sy1 = SourceAt(y + 1 - target.top, yStep, source.top);
        // Every column of the row's blocks holds as many pixels.
        const uint32_t pixels = uint32_t(sy1 > sy0 ? sy1 - sy0 : 1);
        const Divisor perColumn(pixels);
        int32_t error[3] = {0, 0, 0};
        for (int32_t x = target.left; x < target.right; ++x) {
            const int32_t sx0 = SourceAt(x - target.left, xStep, source.left);
            const int32_t sx1 = SourceAt(x + 1 - target.left, xStep, source.left);
            uint32_t sum[3] = {0, 0, 0};
            uint32_t columns = 0;
            int32_t sx = sx0;
            do {
                uint32_t column[3] = {0, 0, 0};
                int32_t sy = sy0;
                do {
                    const RGBColor48 c = read(sx, sy);
                    column[0] += c.red;
                    column[1] += c.green;
                    column[2] += c.blue;
                } while (++sy < sy1);
                for (int32_t k = 0; k < 3; ++k) sum[k] += perColumn.Of(column[k]);
                ++columns;
            } while (++sx < sx1);
            reads += int64_t(columns) * pixels;
            const Divisor perBlock(columns);
            const int32_t average[3] = {int32_t(perBlock.Of(sum[0])), int32_t(perBlock.Of(sum[1])),
                                        int32_t(perBlock.Of(sum[2]))};
            const RGBColor48 wanted = {Clamp16(average[0] + error[0]), Clamp16(average[1] + error[1]),
                                       Clamp16(average[2] + error[2])};
            const RGBColor48 shown = write.Put(x, y, wanted);
            error[0] = (average[0] - shown.red + error[0]) >> 1;
            error[1] = (average[1] - shown.green + error[1]) >> 1;
            error[2] = (average[2] - shown.blue + error[2]) >> 1;
        }
        if (reported) {
            if (TextureAddingDepth > 0) {
                const int32_t percent = (y - target.top) * 100 / dh;
                if (percent >= 0 && percent <= 100) {
                    ProgressSetValue(percent);
                    ProgressUpdate(0);
                }
            } else if (ModelLoadingCount > 0) {
                // A large picture of a model takes a few hundred milliseconds: its read's progress
                // window keeps answering, and a stop asked for meanwhile ends the read after it.
                ProgressUpdate(0);
            }
            SetCursorShape(kWaitCursor);
        }
    }
    CountTurns((reads * Source::kTurns + int64_t(dw) * dh * Destination::kTurns) / kPixelsOfTurns);
}

template <typename Source>
void AverageFrom(const Source& read, Q_Offscreen* destination, const PortRect& source, const PortRect& target,
                 bool reported)
{
    // A pixel map (of no device) holds cube indices, which it reads back as the cube's colours.
    const PixelFormat& to = destination->Format();
    PortRect bounds;
    destination->GetBounds(&bounds);
    const bool cube = dynamic_cast<MemPixMap*>(destination) && to.rowTable && to.bitsPerPixel == 8 &&
                      target.left >= std::max(bounds.left, 0) && target.top >= std::max(bounds.top, 0) &&
                      target.right <= std::min(bounds.right, to.width) &&
                      target.bottom <= std::min(bounds.bottom, to.height);
    if (cube)
        AverageRows(read, CubeDestination{to.rowTable}, source, target, reported);
    else
        AverageRows(read, PortDestination{destination}, source, target, reported);
}

}  // namespace

void Q_Offscreen::AverageInto(Q_Offscreen* destination, const PortRect& source, const PortRect& target,
                              bool reported)
{
    AddLock();
    destination->AddLock();
    PortRect ignored;
    HDC sourceDC = GetDrawingDC(&ignored);
    HDC destinationDC = destination->GetDrawingDC(&ignored);
    // True-colour rows are read straight, as the system would give their pixels one by one, and
    // so are indexed rows whose bitmap's table has a colour for every index.
    RGBColor48 colours[kIndexColours];
    const int32_t indexed = IndexedRowsDepth(format_, source);
    const bool tabled = indexed && IndexColours(colours) == 1 << indexed;
    PortRect own;
    GetBounds(&own);
    if (own.Width() <= 0 || own.Height() <= 0) {
        RGBColor48 outside;
        GetPixelColor(&outside, source.left, source.top);
        AverageFrom(OutsideSource{outside}, destination, source, target, reported);
    } else {
        switch (tabled ? indexed : TrueColourRowsDepth(format_, source)) {
        case 1: AverageFrom(IndexedSource<1>{format_.rowTable, colours}, destination, source, target, reported); break;
        case 4: AverageFrom(IndexedSource<4>{format_.rowTable, colours}, destination, source, target, reported); break;
        case 8: AverageFrom(IndexedSource<8>{format_.rowTable, colours}, destination, source, target, reported); break;
        case 16: AverageFrom(TrueColourSource<16>{format_.rowTable}, destination, source, target, reported); break;
        case 24: AverageFrom(TrueColourSource<24>{format_.rowTable}, destination, source, target, reported); break;
        case 32: AverageFrom(TrueColourSource<32>{format_.rowTable}, destination, source, target, reported); break;
        default: AverageFrom(PortSource{this}, destination, source, target, reported);
        }
    }
    destination->ReleaseDrawingDC(destinationDC);
    ReleaseDrawingDC(sourceDC);
    destination->RemoveLock();
    RemoveLock();
}

void Q_Offscreen::ScaledPixelCopy(Q_Offscreen* destination, const PortRect& source, const PortRect& target)
{
    AverageInto(destination, source, target, true);
}

void Q_Offscreen::LockedScaledPixelCopy(Q_Offscreen* destination, const PortRect& source,
                                        const PortRect& target)
{
    IgnoreResult(Lock());
    ScaledPixelCopy(destination, source, target);
    Unlock();
}

void Q_Offscreen::QuietScaledPixelCopy(Q_Offscreen* destination, const PortRect& source,
                                       const PortRect& target)
{
    AverageInto(destination, source, target, false);
}

void Q_Offscreen::LockedQuietScaledPixelCopy(Q_Offscreen* destination, const PortRect& source,
                                             const PortRect& target)
{
    IgnoreResult(Lock());
    QuietScaledPixelCopy(destination, source, target);
    Unlock();
}
