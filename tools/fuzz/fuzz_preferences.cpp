// Fuzz target: the bytes of a model file's "PREF" chunk, read into a player's preferences.
// Whatever was read, the names end within their fields, the lens and index are usable, and the
// preferences write a form that reads back without error into the same form.
#include <cstdlib>
#include <initializer_list>
#include <cstring>

#include "foundation/dynamic_array.h"
#include "player/player_preferences.h"
#include "tools/fuzz/fuzz_support.h"

namespace {

bool SameBytes(const MemoryStream& a, const MemoryStream& b)
{
    const DynamicArray* x = a.Buffer();
    const DynamicArray* y = b.Buffer();
    return x && y && x->ArrayCount() == y->ArrayCount() &&
           std::memcmp(x->ArrayData(), y->ArrayData(), size_t(x->ArrayCount())) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InstallFuzzUi();
    MemoryStream stream;
    if (!LoadStream(stream, data, size)) return 0;
    Owned<PlayerPreferences> preferences(new PlayerPreferences);
    if (preferences->Init() != kResultOk) return 0;
    IgnoreResult(preferences->Serialize(&stream));  // any answer will do: the target looks for faults

    const DefaultsSection& defaults = *preferences->Defaults();
    for (const char* name : {defaults.name1, defaults.name2, defaults.name3})
        if (strnlen(name, DefaultsSection::kNameBytes) >= size_t(DefaultsSection::kNameBytes)) std::abort();
    const NavigationSection& navigation = *preferences->Navigation();
    if (navigation.lensNumerator <= 0 || navigation.lensDenominator <= 0) std::abort();
    if (navigation.index < 0 || navigation.index > 10) std::abort();
    if (!preferences->ModelView()->lights) std::abort();

    MemoryStream written;
    written.StreamInit(kStreamWriting);
    if (preferences->Serialize(&written) != kResultOk) std::abort();
    Owned<PlayerPreferences> copy(new PlayerPreferences);
    if (copy->Init() != kResultOk) return 0;
    IgnoreResult(written.StreamSetDirection(kStreamReading));
    IgnoreResult(written.StreamSetPosition(0));
    if (copy->Serialize(&written) != kResultOk) std::abort();
    MemoryStream again;
    again.StreamInit(kStreamWriting);
    if (copy->Serialize(&again) != kResultOk || !SameBytes(written, again)) std::abort();
    return 0;
}
