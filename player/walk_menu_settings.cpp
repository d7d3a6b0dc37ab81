// The Walk menu's lenses and speeds.
#include "player/walk_menu_settings.h"

bool IsLensItem(int32_t command)
{
    return command >= kWalkWideAngle && command <= kWalkTelephoto;
}

bool IsSpeedItem(int32_t command)
{
    return command >= kWalkNormalSpeed && command <= kWalkFastest;
}

int16_t LensOfItem(int32_t command)
{
    switch (command) {
    case kWalkWideAngle: return kLensWideAngle;
    case kWalkTelephoto: return kLensTelephoto;
    default: return kLensStandard;
    }
}

SpeedPreset SpeedOfItem(int32_t command)
{
    switch (command) {
    case kWalkFast: return kSpeedFast;
    case kWalkFaster: return kSpeedFaster;
    case kWalkFastest: return kSpeedFastest;
    default: return kSpeedNormal;
    }
}

int32_t LensItemChecked(int16_t numerator)
{
    switch (numerator) {
    case kLensWideAngle: return kWalkWideAngle;
    case kLensStandard: return kWalkStandard;
    case kLensTelephoto: return kWalkTelephoto;
    default: return 0;
    }
}

int32_t SpeedItemChecked(uint32_t wordA, uint32_t wordC)
{
    // Word A alone decides the normal and fastest speeds; the two fast ones differ in word C.
    if (wordA == kSpeedNormal.wordA) return kWalkNormalSpeed;
    if (wordA == kSpeedFast.wordA && wordC == kSpeedFast.wordC) return kWalkFast;
    if (wordA == kSpeedFaster.wordA && wordC == kSpeedFaster.wordC) return kWalkFaster;
    if (wordA == kSpeedFastest.wordA) return kWalkFastest;
    return 0;
}
