// The open command.
#include "player/open_command.h"

#include <cstdio>
#include <new>

#include "foundation/disk_file_stream.h"
#include "foundation/process_state.h"
#include "model/model_file_form.h"
#include "player/event_log.h"
#include "player/model_window.h"
#include "player/player_document.h"
#include "toolkit/alert.h"

namespace {

constexpr char kQuestionFormat[] = "Opening another file will close \"%s.\" Would you like to continue?";
constexpr int32_t kQuestionContinue = 0;
// DocumentSetup's kind for a document that takes an existing frame window over.
constexpr int32_t kDocumentTakesFrame = 1;

// Why an open cannot start now, or null.
const char* OpenRefusal()
{
    if (ModelLoadingCount > 0) return "loading";
    if (WalkPathPlayCount > 0) return "playing";
    return nullptr;
}

// Whether the file reads as a model file, plain or through the scrambling filter.
bool IsModelFile(DiskFileStream* file)
{
    if (file->FileOpenStream() != kResultOk) return false;
    const bool model = ReadModelFileForm(file) != ModelFileForm::kNotAModel;
    IgnoreResult(file->FileCloseStream());
    return model;
}

// Asks before the open model is closed, and closes it; false when it stays open.
bool CloseOpenModel()
{
    DocumentFrame* front = FrontDocument();
    if (!front || front == PlayerWindow) return true;
    char question[sizeof kQuestionFormat + 256];
    std::snprintf(question, sizeof question, kQuestionFormat, front->Title());
    LogEvent("question %s", question);
    if (AskQuestion(question, "OK", "Cancel", kQuestionFocusFirst) != kQuestionContinue) return false;
    // The question ran a modal loop: the model may have gone meanwhile.
    front = FrontDocument();
    return !front || front == PlayerWindow || front->CloseAndDeleteDocument();
}

}  // namespace

void OpenModelFile(DiskFileStream* given, int32_t kind)
{
    // The file object is this command's until the model window takes it.
    Owned<DiskFileStream> file(given);
    if (const char* refusal = OpenRefusal()) {
        LogEvent("open-refused %s", refusal);
        return;
    }
    if (file && !IsModelFile(file.get())) {
        LogEvent("open-refused not-a-model");
        return;
    }
    if (!CloseOpenModel()) return;
    auto* window = new (std::nothrow) ModelDocWindow;
    if (!window) {
        // Before a file is chosen the alert names the window the model would have replaced.
        char name[kPathLength] = {};
        if (file)
            file->FileNameWithExtension(name);
        else
            FrontDocument()->GetDocumentTitle(name);
        ShowLoadAlert(name);
        return;
    }
    const int32_t setupKind = file ? kOpenGivenFile : kind;
    if (!window->DocumentSetup(setupKind, file.release(), kDocumentTakesFrame)) window->FreeDocumentFrame();
}
