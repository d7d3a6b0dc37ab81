// Test helpers of the scene model: a holder with its world root and boxes under it, outlines
// and primitives made in a line, streams over bytes, a user-interface hook that records alerts
// and the progress window's credits, and a texture layer whose textures are numbers.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/texture_services.h"
#include "tests/foundation/stream_bytes.h"
#include "tools/sample_scenes.h"

// Owns a model holder for one test.
class Scene {
public:
    Scene()
    {
        holder_ = new ModelHolder;
        IgnoreResult(holder_->ModelHolderInit(nullptr));
    }
    ~Scene() { holder_->ModelHolderDestroy(); }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    ModelHolder* holder() const { return holder_; }
    ModelObject* root() const { return holder_->Root; }
    // A box between the two corners (whole units) added under the world root.
    ModelObject* AddBox(int32_t x0, int32_t y0, int32_t z0, int32_t x1, int32_t y1, int32_t z1)
    {
        ModelObject* box = MakeBox(holder_, x0, y0, z0, x1, y1, z1);
        holder_->Root->AddChild(box);
        return box;
    }

private:
    ModelHolder* holder_;
};

// A square listed clockwise with y up, the orientation every built outline has.
inline const std::initializer_list<std::pair<int32_t, int32_t>> kSquare = {{0, 10}, {10, 10}, {10, 0}, {0, 0}};

// An outline of whole-unit points.
inline DynamicArray* MakeOutline(std::initializer_list<std::pair<int32_t, int32_t>> points)
{
    DynamicArray* outline = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    for (const auto& p : points) {
        const FixedPoint point = {IntToFixed(p.first), IntToFixed(p.second)};
        outline->Append(&point);
    }
    return outline;
}

// A primitive over the outline, detached; kinds other than 1 get their segments directly.
inline ModelObject* MakePrimitiveOf(ModelHolder* holder, int32_t axis, int32_t kind, int32_t segments,
                                    std::initializer_list<std::pair<int32_t, int32_t>> points, int32_t height0,
                                    int32_t height1)
{
    ModelObject* object = holder->MakeObject();
    DynamicArray* outline = MakeOutline(points);
    object->MakePrimitive(axis, kind, outline, IntToFixed(height0), IntToFixed(height1));
    outline->Destroy();
    if (segments != 1) {
        object->Segments = int16_t(segments);
        object->Build();
    }
    return object;
}

inline FixedVector3 VertexAt(const DynamicArray* vertices, int32_t index)
{
    return *vertices->At<FixedVector3>(index);
}

inline std::vector<int16_t> IndicesOf(const DynamicArray* indices)
{
    std::vector<int16_t> out;
    for (int32_t i = 0; i < indices->ArrayCount(); ++i) out.push_back(*indices->At<int16_t>(i));
    return out;
}

// Records alerts and what the progress window was asked to show.
class RecordingUi : public UiServices {
public:
    RecordingUi() { previous_ = InstallUiServices(this); }
    ~RecordingUi() override { InstallUiServices(previous_); }
    void ShowAlert(const char* text) override { alerts.push_back(text); }
    void ProgressSetMessage(const char* text) override { messages.push_back(text); }
    void ProgressShowCredits(Q_Offscreen* picture, DynamicArray* text) override
    {
        shownPicture = picture;
        shownText = text;
        ++creditCalls;
    }
    int32_t ProgressUpdate(int32_t) override
    {
        ++updates;
        return --stopAfter == 0 ? 1 : 0;
    }
    int32_t ProgressFinish() override { return stopAtFinish ? 1 : 0; }

    std::vector<std::string> alerts;
    std::vector<std::string> messages;
    Q_Offscreen* shownPicture = nullptr;
    DynamicArray* shownText = nullptr;
    int creditCalls = 0;
    int stopAfter = -1;  // the poll that answers Stop; -1 never
    int updates = 0;
    bool stopAtFinish = false;  // the last look finds a stop

private:
    UiServices* previous_;
};

// The bytes an object's writing routine gives.
inline Bytes WriteWith(ModelObject* object, ResultCode (ModelObject::*routine)(MemoryStream*))
{
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ((object->*routine)(&out), kResultOk);
    return Contents(out);
}

// Textures that are numbers: a record's save index is its address's number, and the users
// bound to textures are counted.
class NumberedTextures : public TextureServices {
public:
    NumberedTextures() { previous_ = InstallTextureServices(this); }
    ~NumberedTextures() override { InstallTextureServices(previous_); }
    int32_t AssignTextureIndex(TextureRecord* texture) override
    {
        return texture ? int32_t(reinterpret_cast<intptr_t>(texture)) : -2;
    }
    TextureRecord* NewTextureForIndex(int32_t index) override
    {
        return index == -2 ? nullptr : reinterpret_cast<TextureRecord*>(intptr_t(index));
    }
    ResultCode TextureAddObjectUser(TextureRecord*, ModelObject*) override
    {
        ++users;
        return kResultOk;
    }
    void TextureRemoveObjectUser(TextureRecord*, ModelObject*) override { --users; }
    ResultCode TextureAddSurfaceUser(TextureRecord*, Surface*) override
    {
        ++users;
        return kResultOk;
    }
    void TextureRemoveSurfaceUser(TextureRecord*, Surface*) override { --users; }
    int users = 0;

private:
    TextureServices* previous_;
};

// The texture numbered n.
inline TextureRecord* TextureNumbered(intptr_t n) { return reinterpret_cast<TextureRecord*>(n); }
