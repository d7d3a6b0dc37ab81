// The refusal beep and the program's two sound resources.
#include "toolkit/sounds.h"

#include <windows.h>

#include "foundation/win32_services.h"

int32_t SoundsOn = 1;

namespace {

constexpr int32_t kSoundIds[] = {128, 129};
constexpr int32_t kSoundCount = int32_t(sizeof(kSoundIds) / sizeof(kSoundIds[0]));
constexpr char kSoundType[] = "WAVE";
// MessageBeep's simple beep.
constexpr uint32_t kSimpleBeep = 0xFFFFFFFF;

HGLOBAL gSoundHandles[kSoundCount] = {};
const void* gSoundData[kSoundCount] = {};

// Kinds 0 and 2 ask for no sound.
bool IsSilentKind(int32_t kind)
{
    return kind == 0 || kind == 2;
}

void SystemBeep(uint32_t type)
{
    MessageBeep(type);
}

BeepCall gBeep = SystemBeep;

}  // namespace

int32_t LoadSoundResources()
{
    HINSTANCE instance = AppInstance();
    for (int32_t i = 0; i < kSoundCount; ++i) {
        gSoundHandles[i] = nullptr;
        gSoundData[i] = nullptr;
        HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(kSoundIds[i]), kSoundType);
        if (!found) continue;
        gSoundHandles[i] = LoadResource(instance, found);
        if (gSoundHandles[i]) gSoundData[i] = LockResource(gSoundHandles[i]);
    }
    return 0;
}

void FreeSoundResource()
{
    for (int32_t i = 0; i < kSoundCount; ++i) {
        if (gSoundHandles[i]) FreeResource(gSoundHandles[i]);
        gSoundHandles[i] = nullptr;
        gSoundData[i] = nullptr;
    }
}

const void* SoundResourceData(int32_t id)
{
    for (int32_t i = 0; i < kSoundCount; ++i)
        if (kSoundIds[i] == id) return gSoundData[i];
    return nullptr;
}

void PlaySoundBeep(int32_t kind)
{
    if (SoundsOn && !IsSilentKind(kind)) gBeep(kSimpleBeep);
}

BeepCall InstallBeepCall(BeepCall call)
{
    BeepCall previous = gBeep;
    gBeep = call ? call : SystemBeep;
    return previous;
}
