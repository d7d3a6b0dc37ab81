// Test support: the render target with the texture layer and the renderer's texture mapping
// installed, frames drawn as the navigation pane draws them, and embedded textures made from
// colour functions.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "draw/q_offscreen.h"
#include "render/frame_render.h"
#include "render/renderer_texture_mapping.h"
#include "tests/render/render_target.h"
#include "textures/shade_level_builder.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"

namespace rendertest {

// The render target with the texture layer and the renderer's texture mapping as well.
class TexturedTarget : public RenderTarget {
public:
    explicit TexturedTarget(int32_t depth) : RenderTarget(depth)
    {
        InstallRendererTextureMapping();
        InitTextureManager(new TextureManager{});
        services = &InstallTextureLayerServices();
        list = NewTextureRecordList();
        services->SetDocumentTextureList(list);
    }
    ~TexturedTarget()
    {
        services->SetDocumentTextureList(nullptr);
        ReleaseTextureRecords(list);
        FreeTextureRecordList(list);
        RemoveTextureLayerServices();
        FreeImageResources();
        FreeTextureManager();
        RemoveRendererTextureMapping();
    }
    TexturedTarget(const TexturedTarget&) = delete;
    TexturedTarget& operator=(const TexturedTarget&) = delete;

    // One frame as the navigation pane draws it: the target published again (the pictures made
    // meanwhile published themselves) and the textures locked around the frame.
    void Render(Observer* o)
    {
        Republish();
        LockTextureSet(CurrentTextureManager());
        RenderFrameTimed(o, 0, 0);
        UnlockTextureSet(CurrentTextureManager());
        GdiFlush();
    }

    // The pixel that cube colour `index` draws at (x, y) through the shade level's tables.
    uint32_t TexelPixel(int32_t level, int32_t index, int32_t x, int32_t y) const
    {
        const ShadeLevelEntry& e = ShadeLevelScreenSet[level];
        const int32_t cell = (y & 1) * 2 + (x & 1);
        switch (offscreen->Format().bitsPerPixel) {
        case 4: return e.ByteTables[kByteTables4Bit + cell][index] & 0xF;
        case 8: return e.ByteTables[kByteTables8Bit + cell][index];
        case 16: return e.Pixels16[index];
        case 24: return e.Pixels24[index] & 0xFFFFFF;
        default: return e.Pixels32[index];
        }
    }

    // An embedded texture of w x h pixels coloured by colourAt(x, y), drawn at full brightness
    // (attribute 2 clear: the first shade level, whatever the face's lighting).
    template <class ColourAt>
    TextureRecord* Texture(const char* name, int32_t w, int32_t h, ColourAt colourAt)
    {
        Q_Offscreen* picture = new Q_Offscreen;
        EXPECT_EQ(picture->QOffscreenInit({0, 0, w, h}, 32, nullptr), kResultOk);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) picture->SetPixelColor(x, y, colourAt(x, y));
        TextureRecord* record = new TextureRecord(list);
        SetTextureName(record, name);
        record->attributes[2] = 0;
        EXPECT_EQ(MakeEmbeddedPictureTexture(record), kResultOk);
        EXPECT_EQ(SetTexturePicture(record, picture), kResultOk);
        picture->DisposeOffscreen();
        return record;
    }

    TextureLayerServices* services = nullptr;
    TextureRecordList* list = nullptr;
};

}  // namespace rendertest
