// The model window: its build, the load of its model file, its layout and its teardown.
#include "player/model_window.h"

#include <windows.h>

#include <cstdio>
#include <new>

#include "foundation/disk_file_stream.h"
#include "model/model_document.h"
#include "player/credits_window.h"
#include "player/open_command.h"
#include "player/player_document.h"
#include "player/player_menus.h"
#include "player/player_preferences.h"
#include "player/view_rectangles.h"
#include "player/view_window_record.h"
#include "player/walk_view.h"
#include "textures/texture_libraries.h"
#include "textures/texture_record.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/window.h"

namespace {

// The file object of the Open dialog: its type and creator codes, its filters and title.
constexpr uint32_t kModelFileType = 0x51505900;  // "QPY" and a zero byte
constexpr uint32_t kOtherModelType = 0x54524B00;  // "TRK" and a zero byte
constexpr uint32_t kPlayerCreator = ChunkTagOf("QPly");
constexpr char kModelFilter[] = "Tamrix Player (*.QPY)|*.QPY|";
constexpr const char* kOtherFilters[] = {"3-D Zembrix (*.ZMB)|*.ZMB|", "Tamrix VR (*.QVR)|*.QVR|",
                                         "Trekkon Pro (*.TKP)|*.TKP|", "Trekkon (*.TRK)|*.TRK|"};
constexpr char kSaveTitle[] = "Save As";
constexpr char kOpenTitle[] = "Open";

}  // namespace

ModelDocWindow::~ModelDocWindow() = default;

int32_t ModelDocWindow::BuildModelWindow(int32_t kind, DiskFileStream* file)
{
    file_.reset(file);
    if (!BuildPlayerWindow(kind, file)) return LoadFailed();
    if (!PlayerWindow || !PlayerWindow->FrameWindow()) return 0;
    AttachFrameContent(PlayerWindow, this);
    LogFrameCaption(this);

    walkMenu_ = MakeFrameMenu<NavigateMenuHandler>(this, BuildNavigateMenu);
    if (!walkMenu_) return LoadFailed();

    PortRect screen;
    GetScreenBounds(&screen);
    const PortRect view = ModelViewRect(screen);

    document_.reset(new (std::nothrow) PlayerDocument);
    if (!document_) return LoadFailed();
    document_->Init(this);
    if (!document_->IsComplete()) return LoadFailed();
    root_ = document_->ModelRoot();
    walk_ = document_->Walk();

    walkMenu_->SetNavigateDocument(document_.get());
    FileMenu()->SetFileDocument(document_.get());

    if (LoadModelWindow(kind) != kResultOk) return 0;

    document_->SetName(fileName_);
    document_->OpenViewWindow(view, kViewWalk);
    if (!document_->FindView(kViewWalk)) return LoadFailed();
    LayoutModelWindow();
    return 1;
}

int32_t ModelDocWindow::LoadFailed()
{
    // Before the read the file given names the load; a file still to be chosen, the window's title.
    char name[kPathLength];
    if (fileName_[0])
        std::snprintf(name, sizeof name, "%s", fileName_);
    else if (file_)
        file_->FileNameWithExtension(name);
    else
        GetDocumentTitle(name);
    ShowLoadAlert(name);
    return 0;
}

ResultCode ModelDocWindow::LoadModelWindow(int32_t kind)
{
    if (kind == kOpenWithDialog || kind == kOpenAtStartUp) {
        kind = kOpenWithDialog;
        file_.reset(new (std::nothrow) DiskFileStream);
        if (!file_) {
            LoadFailed();
            return kResultOutOfMemory;
        }
        IgnoreResult(file_->FileObjectInit(kind, kModelFileType, kPlayerCreator, kModelFilter, kSaveTitle));
        for (const char* filter : kOtherFilters) file_->FileAddTypeFilter(kOtherModelType, filter);
    } else if (kind != kOpenGivenFile) {
        return kResultOk;
    }
    if (!file_) return kResultNotFound;

    file_->FileSetKindAndTitle(kind, kOpenTitle);
    ResultCode result = file_->FileDialog();
    if (result == kResultOk) {
        file_->FileNameWithExtension(fileName_);
        SetDocumentTitle(fileName_);
        LogFrameCaption(this);
        result = document_->ReadModel(file_.get());
    }
    file_.reset();
    return result;
}

void ModelDocWindow::LayoutModelWindow()
{
    if (!document_ || !FrameWindow()) return;
    Window* window = nullptr;
    for (int32_t i = 0; i < document_->WindowRecordCount() && !window; ++i) {
        const ViewWindowRecord* record = document_->WindowRecordAt(i);
        if (record->RecordKind() == kViewWalk) window = record->RecordWindow();
    }
    RECT client;
    GetClientRect(FrameWindow(), &client);
    PortRect strip;
    GetFrameClientArea(&strip);
    client.bottom -= strip.Height();
    // A view that fills the screen is not in the frame.
    if (!window || !window->IsWindowObjectVisible() || document_->FullScreen()) return;
    MoveWindow(window->GetWindowHandle(), client.left, client.top, client.right - client.left,
               client.bottom - client.top, TRUE);
    LogViewPlace();
}

void ModelDocWindow::LogViewPlace() const
{
    if (auto* view = static_cast<WalkView*>(document_->FindView(kViewWalk))) view->LogPlace();
}

void ModelDocWindow::DisposeModelWindow()
{
    if (walkMenu_) walkMenu_->DeleteMenuObject();
    walkMenu_ = nullptr;
    document_.reset();
    root_ = nullptr;
    walk_ = nullptr;
    file_.reset();
    DisposePlayerMenus();
}

ResultCode ModelDocWindow::DestroyModelWindow()
{
    ShowHelpBar();
    DocumentFrame::DestroyDocumentFrame();
    if (!LibraryTextureList) return kResultOk;
    for (int32_t i = TextureRecordCount(LibraryTextureList) - 1; i >= 0; --i) {
        if (TextureRecord* record = TextureRecordAt(LibraryTextureList, i)) DestroyTextureRecord(record);
    }
    return LibraryTextureList->ArraySetCount(0);
}

int32_t ModelDocWindow::HasModelCredits()
{
    const ModelDocument* model = document_ ? document_->Model() : nullptr;
    return model && (model->CreditsPicture || model->CreditsText) ? 1 : 0;
}

void ModelDocWindow::ShowModelCredits()
{
    const ModelDocument* model = document_ ? document_->Model() : nullptr;
    if (model) ShowCredits(model->CreditsPicture, model->CreditsText);
}

PlayerPreferences* ModelDocWindow::ModelPreferences() const
{
    return document_ ? document_->Preferences() : nullptr;
}

uint8_t ModelDocWindow::ModelFirstRenderFlag() const
{
    PlayerPreferences* preferences = ModelPreferences();
    return preferences ? preferences->Render()->flags[0] : 0;
}

void OpenWithDialog()
{
    OpenModelFile(nullptr, kOpenAtStartUp);
}
