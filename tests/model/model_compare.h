// Compares two scene trees field by field, as far as a model file stores them: the test of
// "written and read back, the model is the same".
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/pointer_list.h"
#include "model/light.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/plane_record.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/transform.h"
#include "model/units_record.h"

inline bool SameBytes(const DynamicArray* a, const DynamicArray* b)
{
    if (!a || !b) return a == b;
    return a->ArrayCount() == b->ArrayCount() && a->ElementSize() == b->ElementSize() &&
           (a->ArrayCount() == 0 || std::memcmp(a->ArrayData(), b->ArrayData(), size_t(a->UsedBytes())) == 0);
}

inline bool SameColour(const RGBColor48& a, const RGBColor48& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

inline void ExpectSameLights(const LightList* a, const LightList* b)
{
    ASSERT_EQ(a == nullptr, b == nullptr);
    if (!a) return;
    ASSERT_EQ(a->ArrayCount(), b->ArrayCount());
    for (int32_t i = 0; i < a->ArrayCount(); ++i) {
        const Light* x = a->LightListGet(i);
        const Light* y = b->LightListGet(i);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(x->Direction[k], y->Direction[k]);
        EXPECT_TRUE(SameColour(x->Colour, y->Colour));
        EXPECT_EQ(x->Brightness, y->Brightness);
    }
}

inline void ExpectSameSurface(const Surface* a, const Surface* b)
{
    ASSERT_EQ(a == nullptr, b == nullptr);
    if (!a) return;
    EXPECT_EQ(a->Flags, b->Flags);
    EXPECT_TRUE(SameColour(a->FrontColour, b->FrontColour));
    EXPECT_TRUE(SameColour(a->BackColour, b->BackColour));
    EXPECT_EQ(a->ColourCode, b->ColourCode);
    EXPECT_EQ(a->FrontSideAttribute, b->FrontSideAttribute);
    EXPECT_EQ(a->BackSideAttribute, b->BackSideAttribute);
    EXPECT_TRUE(SameBytes(a->VranText, b->VranText));
    EXPECT_EQ(ListCount(a->SiblingConnections), ListCount(b->SiblingConnections));
    EXPECT_EQ(ListCount(a->ParentConnections), ListCount(b->ParentConnections));
    EXPECT_EQ(ListCount(a->ChildConnections), ListCount(b->ChildConnections));
    for (int32_t side = 0; side < 3; ++side) {
        ASSERT_EQ(a->ElementCount(side), b->ElementCount(side));
        for (int32_t i = 0; i < a->ElementCount(side); ++i) {
            const PolygonElement* x = a->ElementAt(side, i);
            const PolygonElement* y = b->ElementAt(side, i);
            EXPECT_TRUE(SameBytes(x->Outline, y->Outline));
            EXPECT_TRUE(SameBytes(x->Name, y->Name));
            EXPECT_TRUE(SameBytes(x->Data, y->Data));
            EXPECT_TRUE(SameBytes(x->VranText, y->VranText));
            EXPECT_TRUE(SameColour(x->Colour, y->Colour));
            EXPECT_EQ(x->ColourCode, y->ColourCode);
            EXPECT_EQ(x->OutlineStyle, y->OutlineStyle);
            EXPECT_TRUE(SameBytes(x->WorldVertices, y->WorldVertices));
            EXPECT_TRUE(SameColour(x->FrontLitColour, y->FrontLitColour));
            EXPECT_EQ(x->FrontShade, y->FrontShade);
            for (int32_t k = 0; k < 2; ++k) {
                EXPECT_EQ(x->SideUncovered[k], y->SideUncovered[k]);
                EXPECT_TRUE(SameBytes(x->OverlapLists[k], y->OverlapLists[k]));
            }
        }
    }
}

// Expects the two trees to hold the same model.
inline void ExpectSameTree(const ModelObject* a, const ModelObject* b, const std::string& path = "root")
{
    SCOPED_TRACE(path);
    ASSERT_EQ(a->Type, b->Type);
    EXPECT_TRUE(SameBytes(a->Name, b->Name));
    EXPECT_TRUE(SameBytes(a->Data, b->Data));
    EXPECT_TRUE(SameBytes(a->VranText, b->VranText));
    EXPECT_EQ(a->Units == nullptr, b->Units == nullptr);
    if (a->Units && b->Units) {
        EXPECT_EQ(a->Units->UnitLength, b->Units->UnitLength);
    }
    ExpectSameLights(a->Lights, b->Lights);
    if (!a->IsRoot()) {
        EXPECT_TRUE(SameColour(a->FrontColour, b->FrontColour));
        EXPECT_TRUE(SameColour(a->BackColour, b->BackColour));
        EXPECT_EQ(a->ColourCode, b->ColourCode);
    }
    EXPECT_EQ(a->FrontSideAttribute, b->FrontSideAttribute);
    EXPECT_EQ(a->BackSideAttribute, b->BackSideAttribute);
    if (a->IsPrimitive()) {
        EXPECT_EQ(a->OutlineStyle, b->OutlineStyle);
        EXPECT_EQ(a->Axis, b->Axis);
        EXPECT_EQ(a->PrimitiveKind, b->PrimitiveKind);
        EXPECT_EQ(a->Segments, b->Segments);
        EXPECT_EQ(a->Height0, b->Height0);
        EXPECT_EQ(a->Height1, b->Height1);
        EXPECT_EQ(a->HasOffsets(), b->HasOffsets());
        EXPECT_TRUE(SameBytes(a->Outline, b->Outline));
    }
    if (a->IsPolygonObject()) {
        EXPECT_TRUE(SameBytes(a->MeshVertices, b->MeshVertices));
        ASSERT_EQ(ListCount(a->MeshPolygons), ListCount(b->MeshPolygons));
        for (int32_t i = 0; i < ListCount(a->MeshPolygons); ++i) {
            EXPECT_TRUE(SameBytes(PointerAt<DynamicArray>(a->MeshPolygons, i), PointerAt<DynamicArray>(b->MeshPolygons, i)));
        }
    }
    ASSERT_EQ(a->SliceCount(), b->SliceCount());
    for (int32_t k = 0; k < a->SliceCount(); ++k) {
        const PlaneRecord* x = PointerAt<PlaneRecord>(a->Slices, k);
        const PlaneRecord* y = PointerAt<PlaneRecord>(b->Slices, k);
        EXPECT_TRUE(x->A == y->A && x->B == y->B && x->C == y->C && x->D == y->D);
    }
    if (!a->IsRoot()) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(a->WorldTransform->Position[i], b->WorldTransform->Position[i]);
            EXPECT_EQ(a->WorldTransform->Rotation[i], b->WorldTransform->Rotation[i]);
            EXPECT_EQ(a->WorldTransform->Shear[i], b->WorldTransform->Shear[i]);
            EXPECT_EQ(a->WorldTransform->Scale[i], b->WorldTransform->Scale[i]);
        }
    }
    EXPECT_TRUE(SameBytes(a->WorldVertices, b->WorldVertices));
    EXPECT_EQ(a->WorldBox, b->WorldBox);
    ASSERT_EQ(a->GeometryCount(), b->GeometryCount());
    for (int32_t g = 0; g < a->GeometryCount(); ++g) {
        const ObjectGeometry* x = a->GeometryAt(g);
        const ObjectGeometry* y = b->GeometryAt(g);
        ASSERT_EQ(x->PolygonCount(), y->PolygonCount());
        EXPECT_EQ(x->ContactCount(), y->ContactCount());
        for (int32_t i = 0; i < x->PolygonCount(); ++i) {
            EXPECT_EQ(x->PolygonAt(i)->FaceIndex, y->PolygonAt(i)->FaceIndex);
            EXPECT_EQ(x->PolygonAt(i)->WorldNormal, y->PolygonAt(i)->WorldNormal);
            EXPECT_TRUE(SameColour(x->PolygonAt(i)->FrontLit, y->PolygonAt(i)->FrontLit));
        }
    }
    const int32_t faces = ListCount(a->Surfaces) > ListCount(b->Surfaces) ? ListCount(a->Surfaces) : ListCount(b->Surfaces);
    for (int32_t f = 0; f < faces; ++f) {
        const Surface* x = PointerAt<Surface>(a->Surfaces, f);
        const Surface* y = PointerAt<Surface>(b->Surfaces, f);
        ExpectSameSurface(x && x->SurfaceHasData() ? x : nullptr, y && y->SurfaceHasData() ? y : nullptr);
        // The faces that touch it, and whether they cover it.
        if (x && y) {
            EXPECT_EQ(x->LeadingContacts, y->LeadingContacts);
            EXPECT_EQ(x->FrontUncovered, y->FrontUncovered);
            EXPECT_EQ(x->BackUncovered, y->BackUncovered);
            for (int32_t side = 0; side < 2; ++side) EXPECT_EQ(x->ContactCount(side), y->ContactCount(side));
        }
    }
    ASSERT_EQ(a->ChildCount(), b->ChildCount());
    for (int32_t i = 0; i < a->ChildCount(); ++i) {
        ExpectSameTree(a->ChildAt(i), b->ChildAt(i), path + "/" + std::to_string(i));
    }
}
