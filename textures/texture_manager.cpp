// The texture manager record and its start-up and exit.
#include "textures/texture_manager.h"

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "foundation/pointer_list.h"
#include "textures/media_holder.h"
#include "textures/shade_level_builder.h"

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
    manager->saveList = nullptr;
    manager->saveCounter = 1;
    manager->libraryReading = 0;
    manager->lockDepth = 0;
    manager->pictures = nullptr;
    if (SharedOffscreen) BuildShadeLevelTables();
    manager->screenSet = ShadeLevelScreenSet;
    manager->sourceSet = ShadeLevelSourceSet;
}

void FreeTextureManager()
{
    TextureManager* manager = gTextureManager;
    if (!manager) return;
    if (manager->holderList) {
        // Each destruction takes the holder out of the list.
        while (manager->holderList->ArrayCount() > 0) {
            MediaHolder* holder = PointerAt<MediaHolder>(manager->holderList, 0);
            holder->MediaHolderUnlockAll();
            DestroyMediaHolder(holder);
        }
        manager->holderList->Destroy();
        manager->holderList = nullptr;
    }
    FreeShadeLevelTables();
    gTextureManager = nullptr;
    delete manager;
}
