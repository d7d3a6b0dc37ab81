// Plane and units records: stored forms, rescaling and usable unit ratios.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "foundation/memory_stream.h"
#include "model/plane_record.h"
#include "model/units_record.h"
#include "tests/foundation/stream_bytes.h"

namespace {

constexpr Fixed F(double x) { return Fixed(x * 65536.0); }

TEST(PlaneRecord, StoredFormAndRoundTrip)
{
    PlaneRecord plane;
    plane.SetPlane(F(1.0), -1, 0x7FFFFFFF, F(-3.5));
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(plane.StreamPlane(&out), kResultOk);
    const Bytes stored = {0x00, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,
                          0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFC, 0x80, 0x00};
    EXPECT_EQ(Contents(out), stored);
    MemoryStream in;
    LoadInChunk(in, stored);
    PlaneRecord back;
    EXPECT_EQ(back.StreamPlane(&in), kResultOk);
    EXPECT_EQ(back.A, F(1.0));
    EXPECT_EQ(back.B, -1);
    EXPECT_EQ(back.C, 0x7FFFFFFF);
    EXPECT_EQ(back.D, F(-3.5));
}

TEST(PlaneRecord, ACutShortPlaneIsNotAppliedAndReportsTheShortRead)
{
    const Bytes stored = {0x00, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF};
    MemoryStream in;
    LoadInChunk(in, stored);
    PlaneRecord plane;
    plane.SetPlane(1, 2, 3, 4);
    EXPECT_NE(plane.StreamPlane(&in), kResultOk);
    EXPECT_EQ(plane.A, 1);
    EXPECT_EQ(plane.B, 2);
    EXPECT_EQ(plane.C, 3);
    EXPECT_EQ(plane.D, 4);
}

TEST(PlaneRecord, RescalesWithoutOverflow)
{
    PlaneRecord plane;
    plane.SetPlane(0, 0, F(1.0), F(-3.0));
    plane.RescalePlane(F(2.0));
    EXPECT_EQ(plane.C, F(1.0));
    EXPECT_EQ(plane.D, F(-6.0));

    plane.SetPlane(F(8.0), F(-16.0), F(0.5), F(16384.0));
    plane.RescalePlane(F(4.0));  // shifted down by 3 bits first
    EXPECT_EQ(plane.A, F(1.0));
    EXPECT_EQ(plane.B, F(-2.0));
    EXPECT_EQ(plane.C, F(0.0625));
    EXPECT_EQ(plane.D, F(8192.0));

    plane.SetPlane(-1, 0, 0, F(-16384.0));
    plane.RescalePlane(F(-4.0));
    EXPECT_EQ(plane.A, -1);  // arithmetic shift
    EXPECT_EQ(plane.D, F(8192.0));

    Fixed normal[3];
    plane.SetPlane(F(1.0), F(-2.0), 0, 0);
    plane.GetReversedNormal(normal);
    EXPECT_EQ(normal[0], F(-1.0));
    EXPECT_EQ(normal[1], F(2.0));
    EXPECT_EQ(normal[2], 0);
}

TEST(UnitsRecord, StoredFormAndRoundTrip)
{
    UnitsRecord units;
    units.UnitsInit();
    EXPECT_EQ(units.UnitsGet(), 1.0);
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(units.StreamUnits(&out), kResultOk);
    EXPECT_EQ(Contents(out), (Bytes{0x3F, 0xF0, 0, 0, 0, 0, 0, 0}));

    MemoryStream in;
    LoadInChunk(in, {0x3F, 0xF0, 0, 0, 0, 0, 0, 0});
    UnitsRecord back;
    back.UnitsSet(5.0);
    EXPECT_EQ(back.StreamUnits(&in), kResultOk);
    EXPECT_EQ(back.UnitLength, 1.0);

    // Any value keeps its bits, whatever it is.
    for (double value : {0.0254, -0.0, 1e-300, std::numeric_limits<double>::quiet_NaN()}) {
        UnitsRecord a;
        a.UnitsSet(value);
        MemoryStream w;
        w.StreamInit(kStreamWriting);
        IgnoreResult(a.StreamUnits(&w));
        const Bytes bytes = Contents(w);
        ASSERT_EQ(bytes.size(), size_t(kUnitsBytes));
        MemoryStream r;
        LoadInChunk(r, bytes);
        UnitsRecord b;
        IgnoreResult(b.StreamUnits(&r));
        EXPECT_EQ(std::memcmp(&a.UnitLength, &b.UnitLength, sizeof(double)), 0);
    }
}

TEST(UnitsRecord, ACutShortLengthIsNotApplied)
{
    MemoryStream in;
    LoadInChunk(in, {0x40, 0x00, 0, 0});
    UnitsRecord units;
    units.UnitsInit();
    EXPECT_EQ(units.StreamUnits(&in), kResultOk);
    EXPECT_EQ(units.UnitLength, 1.0);
}

TEST(UnitsRecord, RatiosAndWhichOnesMayRescale)
{
    UnitsRecord inch, metre;
    inch.UnitsSet(0.0254);
    metre.UnitsInit();
    EXPECT_EQ(metre.UnitsRatioFrom(&inch), 0.0254);
    EXPECT_DOUBLE_EQ(metre.UnitsRatioTo(&inch), 1.0 / 0.0254);
    UnitsRecord copy;
    inch.UnitsCopyTo(&copy);
    EXPECT_EQ(copy.UnitsGet(), 0.0254);

    EXPECT_TRUE(UsableUnitsRatio(0.0254));
    EXPECT_TRUE(UsableUnitsRatio(1000.0));
    EXPECT_FALSE(UsableUnitsRatio(0.0));
    EXPECT_FALSE(UsableUnitsRatio(-2.0));
    EXPECT_FALSE(UsableUnitsRatio(1e-9));  // 0 as a Fixed
    UnitsRecord zero;
    zero.UnitsSet(0.0);
    EXPECT_FALSE(UsableUnitsRatio(zero.UnitsRatioFrom(&metre)));  // infinite
    EXPECT_FALSE(UsableUnitsRatio(zero.UnitsRatioFrom(&zero)));   // not a number
}

}  // namespace
