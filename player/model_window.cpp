// The model window: its build, the load of its model file, its layout and its teardown.
#include "player/model_window.h"

#include <windows.h>

#include <cstdio>
#include <new>

#include "foundation/disk_file_stream.h"
#include "model/model_document.h"
#include "player/credits_window.h"
#include "player/event_log.h"
#include "player/navigation_pane.h"
#include "player/navigation_panel.h"
#include "player/open_command.h"
#include "player/player_document.h"
#include "player/player_menus.h"
#include "player/player_preferences.h"
#include "player/view_rectangles.h"
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

// The screen rectangle of a window's client area as "left,top,right,bottom".
void ClientOnScreen(HWND window, const PortRect& client, char* text, size_t size)
{
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    MapWindowPoints(window, nullptr, corners, 2);
    std::snprintf(text, size, "%ld,%ld,%ld,%ld", corners[0].x, corners[0].y, corners[1].x, corners[1].y);
}

}  // namespace

int32_t ModelDocWindow::BuildModelWindow(int32_t kind, DiskFileStream* file)
{
    file_ = file;
    if (!BuildPlayerWindow(kind, file)) return 0;
    if (!PlayerWindow || !PlayerWindow->FrameWindow()) return 0;
    AttachFrameContent(PlayerWindow, this);
    LogFrameCaption(this);

    walkMenu_ = MakeFrameMenu<NavigateMenuHandler>(this, BuildNavigateMenu);
    if (!walkMenu_) return 0;

    PortRect screen;
    GetScreenBounds(&screen);
    const PortRect view = ModelViewRect(screen);

    document_ = new (std::nothrow) PlayerDocument;
    if (!document_) return 0;
    document_->Init(this);
    if (!document_->Model() || !document_->Walk() || !document_->Preferences()) return 0;
    root_ = document_->ModelRoot();
    walk_ = document_->Walk();

    walkMenu_->SetNavigateDocument(document_);
    FileMenu()->SetFileDocument(document_);

    if (LoadModelWindow(kind) != 0) return 0;

    document_->SetName(fileName_);
    document_->OpenViewWindow(view, kViewWalk);
    LayoutModelWindow();
    return 1;
}

int32_t ModelDocWindow::LoadModelWindow(int32_t kind)
{
    if (kind == kOpenWithDialog || kind == kOpenAtStartUp) {
        kind = kOpenWithDialog;
        file_ = new (std::nothrow) DiskFileStream;
        if (!file_) return kResultOutOfMemory;
        file_->FileObjectInit(kind, kModelFileType, kPlayerCreator, kModelFilter, kSaveTitle);
        for (const char* filter : kOtherFilters) file_->FileAddTypeFilter(kOtherModelType, filter);
    } else if (kind != kOpenGivenFile) {
        return 0;
    }
    if (!file_) return kResultNotFound;

    file_->FileSetKindAndTitle(kind, kOpenTitle);
    ResultCode result = file_->FileDialog();
    if (result == kResultOk) {
        file_->FileNameWithExtension(fileName_);
        SetDocumentTitle(fileName_);
        LogFrameCaption(this);
        result = document_->ReadModel(file_);
    }
    file_->FileObjectDestroy();
    file_ = nullptr;
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
    if (!window || !window->IsWindowObjectVisible()) return;
    MoveWindow(window->GetWindowHandle(), client.left, client.top, client.right - client.left,
               client.bottom - client.top, TRUE);
    LogViewPlace();
}

void ModelDocWindow::LogViewPlace() const
{
    auto* view = static_cast<WalkView*>(document_->FindView(kViewWalk));
    Window* window = view ? view->GetWindow(kViewWalk) : nullptr;
    if (!window) return;
    HWND hwnd = window->GetWindowHandle();
    RECT client;
    GetClientRect(hwnd, &client);
    char place[64];
    ClientOnScreen(hwnd, {client.left, client.top, client.right, client.bottom}, place, sizeof place);
    LogEvent("model-window %llu %s", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)), place);
    if (const NavigationPanel* panel = view->Panel(); panel && panel->PaneWindow()) {
        ClientOnScreen(panel->PaneWindow(), panel->ContentRect(), place, sizeof place);
        LogEvent("panel %s", place);
    }
    NavigationPane* pane = view->Navigation();
    if (!pane || !pane->PaneWindow()) return;
    const PortRect& rect = pane->ViewRect();
    ClientOnScreen(pane->PaneWindow(), rect, place, sizeof place);
    LogEvent("pane %s size %dx%d", place, int(rect.Width()), int(rect.Height()));
}

void ModelDocWindow::DisposeModelWindow()
{
    if (walkMenu_) walkMenu_->DeleteMenuObject();
    walkMenu_ = nullptr;
    if (document_) document_->Free();
    document_ = nullptr;
    root_ = nullptr;
    walk_ = nullptr;
    if (file_) file_->FileObjectDestroy();
    file_ = nullptr;
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
