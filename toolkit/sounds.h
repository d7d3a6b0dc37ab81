// The beep of refused actions and collisions, and the two sound resources loaded at start-up
// (kept loaded, never played).
#pragma once

#include <cstdint>

// 1 from the start; nothing changes it.
extern int32_t SoundsOn;

// Finds, loads and locks the "WAVE" resources 128 and 129 of the program; a missing one leaves
// its handle null. Returns 0.
int32_t LoadSoundResources();
void FreeSoundResource();
// The locked data of sound resource 128 or 129; null when it is not loaded.
const void* SoundResourceData(int32_t id);

// The system beep for every kind but 0 and 2, while sounds are on (PlayBeep comes here).
void PlaySoundBeep(int32_t kind);

// The beep goes through one hook, so that tests record it instead of sounding it.
using BeepCall = void (*)(uint32_t type);
// Installs the call (null restores MessageBeep); returns the one installed before.
BeepCall InstallBeepCall(BeepCall call);
