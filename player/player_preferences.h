// PlayerPreferences: the preference sections of one player document, made with their defaults,
// replaced by what a model file carries in its "PREF" chunk (the "QPRF" form), and written back
// as that form.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"
#include "foundation/root_object.h"
#include "player/preference_sections.h"

class MemoryStream;
class PreferenceRecord;

// Section ids of GetSection.
constexpr int32_t kSectionNavigation = 2;
constexpr int32_t kSectionRender = 3;
constexpr int32_t kSectionDefaults = 4;
constexpr int32_t kSectionWindows = 6;
constexpr int32_t kSectionModelView = 7;
constexpr int32_t kSectionViewStyle = 9;
constexpr int32_t kSectionConfig = 10;

// The result of reading a form whose version is not 1.x.
constexpr ResultCode kResultPreferenceVersion{1};

class PlayerPreferences : public RootObject {
public:
    ~PlayerPreferences() override;

    // Makes the sections and resets them in their order; kResultOutOfMemory when one could not
    // be made (the set is then freed by its owner as usual).
    ResultCode Init();
    // Frees every section, then the set.
    void Free();
    void Destroy() { Free(); }

    // Slot 0, Serialize: the "QPRF" form. Writing: the form with every section, without CNFG
    // in a file. Reading: enters one chunk and reads it when it is that form, taking the
    // sections in any order; 0, 1 for a version outside 1.x, or the first stream error (reading
    // stops there).
    ResultCode Write(MemoryStream* stream) override;
    ResultCode Serialize(MemoryStream* stream) { return Write(stream); }
    // Reads the "PREF" bytes a model file held (nothing without them).
    ResultCode ReadStored(const PreferenceRecord* stored);

    // The section of the id (kSectionNavigation to kSectionConfig), or null.
    PreferenceSection* GetSection(int32_t id) const;
    NavigationSection* Navigation() const { return navigation_.get(); }
    RenderSection* Render() const { return render_.get(); }
    DefaultsSection* Defaults() const { return defaults_.get(); }
    ModelViewSection* ModelView() const { return modelView_.get(); }
    WindowsSection* Windows() const { return windows_.get(); }
    ViewStyleSection* ViewStyle() const { return viewStyle_.get(); }
    ConfigSection* Config() const { return config_.get(); }

private:
    ResultCode WriteForm(MemoryStream* stream);
    ResultCode ReadForm(MemoryStream* stream);
    // The section a chunk of the form carries, or null for a tag of none.
    PreferenceSection* SectionOfTag(uint32_t tag) const;
    template <class Section>
    ResultCode Make(Owned<Section>* section);

    Owned<NavigationSection> navigation_;
    Owned<RenderSection> render_;
    Owned<DefaultsSection> defaults_;
    Owned<ModelViewSection> modelView_;
    Owned<ViewStyleSection> viewStyle_;
    Owned<WindowsSection> windows_;
    Owned<ConfigSection> config_;
};
