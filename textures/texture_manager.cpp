// The texture manager record and its start-up and exit.
#include "textures/texture_manager.h"

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "textures/shade_level_tables.h"

namespace {

constexpr int32_t kHolderGrowStep = 4;

TextureManager* gTextureManager = nullptr;

}  // namespace

TextureManager* CurrentTextureManager() { return gTextureManager; }

void InitTextureManager(TextureManager* manager)
{
    gTextureManager = manager;
    manager->started = 1;
    manager->screenSet = nullptr;
    manager->sourceSet = nullptr;
    manager->holderList = NewDynamicArray(0, sizeof(void*), kHolderGrowStep);
    if (SharedOffscreen) BuildShadeLevelTables();
    manager->screenSet = ShadeLevelScreenSet;
    manager->sourceSet = ShadeLevelSourceSet;
}

void FreeTextureManager()
{
    TextureManager* manager = gTextureManager;
    if (!manager) return;
    if (manager->holderList) manager->holderList->Destroy();
    FreeShadeLevelTables();
    gTextureManager = nullptr;
    delete manager;
}
