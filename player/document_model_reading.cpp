// Reading a model file into a player document, as the open command and the tools that render as
// the player does read it.
#include <cstdio>
#include <new>

#include "foundation/disk_file_stream.h"
#include "foundation/ui_services.h"
#include "model/model_document.h"
#include "model/model_file_form.h"
#include "player/player_document.h"
#include "player/player_preferences.h"
#include "player/walk_observer.h"
#include "textures/texture_libraries.h"
#include "textures/texture_services_impl.h"

int32_t OpenFileScrambled = 0;

ResultCode PlayerDocument::ReadModel(DiskFileStream* file)
{
    char name[kPathLength];
    file->FileNameWithExtension(name);
    if (!IsComplete()) {
        ShowLoadAlert(name);
        return kResultOutOfMemory;
    }
    IndexImageResources(file);
    if (file->FileOpenStream() != kResultOk) {
        ShowLoadAlert(name);
        return kResultNotFound;
    }
    const ModelFileForm form = ReadModelFileForm(file);
    if (form == ModelFileForm::kScrambled) {
        OpenFileScrambled = 1;
        file->StreamScrambleOn();
    }
    TextureLayerServices& textureServices = InstallTextureLayerServices();
    textureServices.SetDocumentTextureList(textures_);
    const ResultCode result = model_->ReadModelFile(file);
    textureServices.SetDocumentTextureList(nullptr);
    // The read rebuilt the world root's geometry, in which the observer's cell lay.
    walk_->AttachObserverToWorld();
    file->StreamScrambleOff();
    OpenFileScrambled = 0;
    IgnoreResult(file->FileCloseStream());
    // The reader refuses a stream whose first chunk it cannot enter without a word: for a file
    // whose header says it is a model, the load failed all the same.
    if (result != kResultOk && !model_->FormEntered && form != ModelFileForm::kNotAModel)
        ShowLoadAlert(name);
    if (result != kResultOk) return result;
    walk_->ReadWalkRecord(*model_->Walk);
    IgnoreResult(preferences_->ReadStored(model_->Preferences));  // a broken preferences record leaves the defaults
    return kResultOk;
}

void ShowLoadAlert(const char* fileName)
{
    char alert[kPathLength + 32];
    std::snprintf(alert, sizeof alert, "Error in loading file \"%s.\"", fileName);
    ShowAlert(alert);
}

PlayerDocument* LoadPlayerDocument(DiskFileStream* file, ResultCode* result)
{
    Owned<PlayerDocument> document(new (std::nothrow) PlayerDocument);
    ResultCode code = kResultOutOfMemory;
    if (document) {
        document->Init(nullptr);
        code = document->ReadModel(file);
    }
    if (result) *result = code;
    return code == kResultOk ? document.release() : nullptr;
}
