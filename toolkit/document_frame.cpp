// Document frames: setting a document up, its frame window and the hand-over of that window,
// closing and destroying documents, the document's windows and the frame layout.
#include "toolkit/document_frame.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "foundation/disk_file_stream.h"
#include "foundation/pointer_list.h"
#include "foundation/process_state.h"
#include "foundation/service_slot.h"
#include "toolkit/app_commands.h"
#include "toolkit/app_globals.h"
#include "toolkit/changes_dialogs.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/menu_bar.h"
#include "toolkit/message_loop.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/side_panel.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"
#include "toolkit/window_menu.h"
#include "toolkit/window_menu_list.h"

DynamicArray* OpenDocumentList = nullptr;
DocumentFrame* PlayerWindow = nullptr;
int32_t UntitledCounter = 1;

namespace {

DocumentFrame* gCurrentFrame = nullptr;

constexpr char kUntitled[] = "Untitled";
constexpr int32_t kListGrowStep = 16;
constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// The frame covers this share of the screen in each direction: half of it either side of the
// centre is the extent divided by this.
constexpr double kFrameExtentDivisor = 2.5;
// New frames step down by a caption height each, wrapping after this many.
constexpr int32_t kFrameCascade = 8;
// Where a parked frame waits, out of sight, and its size there.
constexpr int32_t kParkedPosition = 16384;
constexpr int32_t kParkedSize = 100;

FrameServices gDefaultFrameServices;
ServiceSlot<FrameServices> gFrameServices(&gDefaultFrameServices);

// Show commands that show the frame normally (not hidden, minimized or maximized).
bool ShowsNormally(int32_t command)
{
    return command == SW_SHOWNORMAL || command == SW_SHOWNOACTIVATE || command == SW_SHOW ||
           command == SW_SHOWMAXIMIZED || command > SW_RESTORE;
}

// Destroys and frees the open documents other than `keep`, from the start of the list up to
// `until` (all with null), that do or do not have an MDI client of their own.
void CloseOpenDocuments(DocumentFrame* keep, DocumentFrame* until, bool withOwnClient)
{
    int32_t i = 0;
    while (i < ListCount(OpenDocumentList)) {
        DocumentFrame* document = PointerAt<DocumentFrame>(OpenDocumentList, i);
        if (document == until) return;
        if (document == keep || (document->MdiClient() != nullptr) != withOwnClient) {
            ++i;
            continue;
        }
        document->DestroyDocumentFrame();
        RemovePointer(OpenDocumentList, document);
        document->FreeDocumentFrame();
    }
}

}  // namespace

void FrameServices::OpenModelFile(DiskFileStream* file, int32_t /*mode*/)
{
    if (file) file->FileObjectDestroy();
}

FrameServices* InstallFrameServices(FrameServices* services)
{
    return gFrameServices.Install(services);
}

FrameServices& CurrentFrameServices()
{
    return gFrameServices.Current();
}

void SetCurrentFrame(DocumentFrame* frame)
{
    gCurrentFrame = frame;
}

DocumentFrame* GetCurrentFrame()
{
    return gCurrentFrame;
}

DocumentFrame* FrontDocument()
{
    if (OpenDocumentList && OpenDocumentList->ArrayCount() > 0)
        return PointerAt<DocumentFrame>(OpenDocumentList, 0)->RootFrame();
    return PlayerWindow;
}

int32_t SidePanelOn()
{
    return 1;
}

int32_t FrameCloseRefused()
{
    return ModalRunDepth() > 0 || ModalWindowCount() > 0 || ModelLoadingCount > 0 || WalkPathPlayCount > 0 ||
           AboutWindowCount > 0;
}

DocumentFrame::DocumentFrame() = default;
DocumentFrame::~DocumentFrame() = default;

int32_t DocumentFrame::DocumentSetup(int32_t mode, DiskFileStream* file, int32_t kind)
{
    children_.reset();
    parent_ = nullptr;
    helpBarHost_.reset();
    notificationOff_ = 0;
    if (!menuList_) menuList_.reset(WindowMenuList::Make(kListGrowStep));

    char title[sizeof title_];
    if (UntitledCounter == -1 || UntitledCounter == 1) {
        std::snprintf(title, sizeof title, "%s", kUntitled);
        if (UntitledCounter == 1) UntitledCounter = 2;
    } else {
        std::snprintf(title, sizeof title, "%s %d", kUntitled, int(UntitledCounter));
        ++UntitledCounter;
    }
    SetDocumentTitle(title);
    untitled_ = 1;

    if (!windows_) windows_.reset(NewPointerList(kListGrowStep));
    if (kind == kDocumentWithFrame) CreateFrameWindow(mode);
    if (OpenDocumentList) AppendPointer(OpenDocumentList, this);
    if (!helpBarHost_) CreateHelpBar();
    if (DocumentBuildMenus(mode, file)) return 1;
    DestroyDocumentFrame();
    PostAppCommand(kCommandRefreshMenus);
    return 0;
}

void DocumentFrame::CreateFrameWindow(int32_t mode)
{
    if (PlayerWindow && PlayerWindow != this && FrontDocument() == PlayerWindow && PlayerWindow->frameWindow_) {
        AttachFrameContent(PlayerWindow, this);
        return;
    }
    PortRect screen;
    GetScreenBounds(&screen);
    const int32_t width = screen.Width();
    const int32_t height = screen.Height();
    const int32_t halfWidth = int32_t(width / kFrameExtentDivisor);
    const int32_t halfHeight = int32_t(height / kFrameExtentDivisor);
    PortRect rect = {width / 2 - halfWidth, height / 2 - halfHeight, width / 2 + halfWidth, height / 2 + halfHeight};
    if (UntitledCounter >= 0) {
        int32_t step = UntitledCounter - 2;
        step = step > 0 ? step % kFrameCascade : 0;
        rect.top += step * GetSystemMetrics(SM_CYCAPTION);
    }

    CreateWindowMenu(this);
    mdiClient_ = nullptr;
    SetCurrentFrame(this);
    char caption[sizeof title_ + sizeof captionPrefix_ + 3];
    std::snprintf(caption, sizeof caption, captionPrefix_[0] ? "%s - %s" : "%.0s%s", captionPrefix_, title_);
    frameWindow_ = CreateWindowExA(WS_EX_ACCEPTFILES, kFrameClassName, caption, kFrameStyle, rect.left, rect.top,
                                   rect.Width(), rect.Height(), nullptr, nullptr, AppInstance(), nullptr);
    SetFrameWindow(frameWindow_, mdiClient_);
    if (!frameWindow_) return;

    if (mode != kFrameModeHidden) {
        const int32_t command = ShowCommand();
        if (ShowsNormally(command)) ParkFrame();
        ShowWindow(frameWindow_, command);
        UpdateWindow(frameWindow_);
    }
    if (mdiClient_) {
        HMENU bar = CreateMenu();
        AppendMenuA(bar, MF_STRING, 0, "");
        auto replaced = reinterpret_cast<HMENU>(SendMessageA(mdiClient_, WM_MDISETMENU, reinterpret_cast<WPARAM>(bar), 0));
        DrawMenuBar(frameWindow_);
        if (replaced && replaced != bar) DestroyMenu(replaced);
    }
}

void DocumentFrame::SetFrameWindowMenu(Owned<WindowMenu> menu)
{
    windowMenu_ = std::move(menu);
}

void DocumentFrame::CreateHelpBar()
{
    if (!frameWindow_) return;
    PortRect content;
    GetFrameContentRect(&content);
    helpBarHost_ = MakeHelpBarHost(content);
}

void DocumentFrame::AttachFrameContent(DocumentFrame* from, DocumentFrame* to)
{
    to->mdiClient_ = from->mdiClient_;
    to->frameWindow_ = from->frameWindow_;
    to->parked_ = from->parked_;
    to->rememberedRect_ = from->rememberedRect_;
    to->windowMenu_ = std::move(from->windowMenu_);
    if (to->windowMenu_) to->windowMenu_->SetMenuOwner(to);
    if (to->helpBarHost_ != from->helpBarHost_) to->helpBarHost_ = std::move(from->helpBarHost_);
    if (to->helpBarHost_) to->helpBarHost_->window->SetWindowOwner(to);
    if (to->frameWindow_) SetWindowLongPtrA(to->frameWindow_, 0, reinterpret_cast<LONG_PTR>(to));
    from->mdiClient_ = nullptr;
    from->frameWindow_ = nullptr;
    from->parked_ = 0;
    SetCurrentFrame(to);
    SetFrameWindow(to->frameWindow_, to->mdiClient_);
    // The caption changes to the new document's title; whether it is untitled does not.
    const int32_t untitled = to->untitled_;
    char title[sizeof to->title_];
    to->GetDocumentTitle(title);
    to->SetDocumentTitle(title);
    to->untitled_ = untitled;
}

void DocumentFrame::ParkFrame()
{
    if (!frameWindow_ || parked_) return;
    RECT rect;
    GetWindowRect(frameWindow_, &rect);
    rememberedRect_ = {rect.left, rect.top, rect.right, rect.bottom};
    MoveWindow(frameWindow_, kParkedPosition, kParkedPosition, kParkedSize, kParkedSize, TRUE);
    parked_ = 1;
}

void DocumentFrame::UnparkFrame()
{
    if (!parked_) return;
    parked_ = 0;
    if (frameWindow_)
        MoveWindow(frameWindow_, rememberedRect_.left, rememberedRect_.top, rememberedRect_.Width(),
                   rememberedRect_.Height(), TRUE);
}

void DocumentFrame::DestroyDocumentFrame()
{
    notificationOff_ = 1;
    DocumentWindowNotify(nullptr, kWindowNotifyDestroying);
    while (ListCount(windows_.get()) > 0) {
        Window* window = PointerAt<Window>(windows_.get(), 0);
        window->DestroyWindowObject();
        // A window that belongs to another document is only taken off this list.
        if (PointerAt<Window>(windows_.get(), 0) == window) IgnoreResult(windows_->Remove(0));
    }
    windows_.reset();
    DocumentDestroying();
    RemovePointer(OpenDocumentList, this);
    menuList_.reset();
    PostAppCommand(kCommandRefreshMenus);

    if (parent_) RemovePointer(parent_->children_.get(), this);
    parent_ = nullptr;
    for (int32_t i = 0; i < ListCount(children_.get()); ++i) PointerAt<DocumentFrame>(children_.get(), i)->parent_ = nullptr;
    children_.reset();

    DocumentDisposeMenus();
    windowMenu_.reset();
    helpBarHost_.reset();
    if (gCurrentFrame == this) gCurrentFrame = nullptr;
    if (!frameWindow_) return;
    ReleaseMenuBar(frameWindow_);
    if (CurrentFrameHandle() == frameWindow_) SetFrameWindow(nullptr, nullptr);
    mdiClient_ = nullptr;
    // Nothing that comes while the frame window goes reaches this object any more.
    SetWindowLongPtrA(frameWindow_, 0, 0);
    DestroyWindow(frameWindow_);
    frameWindow_ = nullptr;
}

void DocumentFrame::SetDocumentTitle(const char* text)
{
    std::snprintf(title_, sizeof title_, "%s", text ? text : "");
    untitled_ = 0;
    ApplyCaption();
}

void DocumentFrame::GetDocumentTitle(char* buffer)
{
    std::memcpy(buffer, title_, sizeof title_);
}

void DocumentFrame::ApplyCaption()
{
    HWND frame = DocumentFrameOwner();
    if (!frame) return;
    char caption[sizeof title_ + sizeof captionPrefix_ + 3];
    if (captionPrefix_[0])
        std::snprintf(caption, sizeof caption, "%s - %s", captionPrefix_, title_);
    else
        std::snprintf(caption, sizeof caption, "%s", title_);
    SetWindowTextA(frame, caption);
}

void DocumentFrame::HandleAppCommand(int32_t code, int32_t extra)
{
    if (parent_) {
        parent_->HandleAppCommand(code, extra);
        return;
    }
    if (code == kCommandRefreshMenus) {
        RefreshMenusForActiveWindow();
        return;
    }
    // Modal runs end through their own end request: a close code that reaches the frame ends
    // nothing and never quits the program.
    if (code == kCommandClose) return;
    Window* active = ActiveDocumentWindow(this);
    if (active && DispatchWindowCommand(active, code, extra)) return;
    for (int32_t i = 0; i < ListCount(windows_.get()); ++i) {
        Window* window = PointerAt<Window>(windows_.get(), i);
        if (window != active && DispatchWindowCommand(window, code, extra)) return;
    }
}

int32_t DocumentFrame::AskCloseDocument()
{
    return AskThenSave(untitled_ ? kSaveAsNew : kSaveInPlace);
}

int32_t DocumentFrame::AskThenSave(int32_t how)
{
    if (!DocumentNeedsSaving()) return 1;
    switch (AskSaveChanges(title_)) {
    case kSaveChangesSave:
        return SaveDocument(how) != 0 ? 1 : 0;
    case kSaveChangesDiscard:
        return 1;
    default:
        return 0;
    }
}

int32_t DocumentFrame::CloseAndDeleteDocument()
{
    if (!AskCloseDocument()) return 0;
    DestroyDocumentFrame();
    FreeDocumentFrame();
    return 1;
}

int32_t DocumentFrame::CloseDocumentFrame()
{
    if (!AskCloseDocument()) return 0;
    DocumentFrame* refusing = nullptr;
    for (int32_t i = 0; i < ListCount(OpenDocumentList); ++i) {
        DocumentFrame* document = PointerAt<DocumentFrame>(OpenDocumentList, i);
        if (document != this && document->mdiClient_ && !document->AskCloseDocument()) {
            refusing = document;
            break;
        }
    }
    bool destroyed = false;
    if (PlayerWindow && PlayerWindow != this) {
        DestroyDocumentFrame();
        destroyed = true;
    }
    CloseOpenDocuments(this, refusing, true);
    if (!refusing) {
        CloseOpenDocuments(this, nullptr, false);
        // The program ends once no document but this one is open.
        const int32_t open = ListCount(OpenDocumentList);
        const bool listed = FindPointer(OpenDocumentList, this) >= 0;
        if (open - (listed ? 1 : 0) == 0) PostQuitMessage(0);
        if (PlayerWindow && !(PlayerWindow == this && FrontDocument() == this)) {
            DocumentFrame* player = PlayerWindow;
            PlayerWindow = nullptr;
            if (player != this) {
                player->DestroyDocumentFrame();
                player->FreeDocumentFrame();
            }
        }
    }
    if (PlayerWindow == this) PlayerWindow = nullptr;
    if (!destroyed) DestroyDocumentFrame();
    FreeDocumentFrame();
    return refusing ? 0 : 1;
}

void DocumentFrame::UnregisterDocument()
{
    PlayerWindow = this;
    const int32_t index = FindPointer(OpenDocumentList, this);
    if (index < 0) return;
    IgnoreResult(OpenDocumentList->Remove(index));
    if (UntitledCounter != -1) --UntitledCounter;
}

void DocumentFrame::RunOpenCommand(int32_t mode)
{
    CurrentFrameServices().OpenModelFile(nullptr, mode);
}

void DocumentFrame::AttachChildFrame(DocumentFrame* parent)
{
    if (!parent || parent == this) return;
    if (!parent->children_) parent->children_.reset(NewPointerList(1));
    if (!parent->children_) return;
    if (FindPointer(parent->children_.get(), this) < 0 && AppendPointer(parent->children_.get(), this) < 0) return;
    parent_ = parent;
}

void DocumentFrame::SetCaptionPrefix(const char* text)
{
    std::snprintf(captionPrefix_, sizeof captionPrefix_, "%s", text ? text : "");
    ApplyCaption();
}

void DocumentFrame::SetFrameContentRect(const PortRect& content)
{
    if (!frameWindow_) return;
    SetWindowLongPtrA(frameWindow_, GWL_STYLE, GetWindowLongPtrA(frameWindow_, GWL_STYLE) & ~LONG_PTR(WS_MAXIMIZE));
    const int32_t frameX = GetSystemMetrics(SM_CXFRAME);
    const int32_t frameY = GetSystemMetrics(SM_CYFRAME);
    const PortRect rect = {content.left - frameX,
                           content.top - GetSystemMetrics(SM_CYCAPTION) - frameY - GetSystemMetrics(SM_CYMENU),
                           content.right + frameX, content.bottom + frameY};
    if (parked_) {
        rememberedRect_ = rect;
        return;
    }
    MoveWindow(frameWindow_, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
}

void DocumentFrame::RegisterDocumentWindow(Window* window)
{
    if (!windows_) windows_.reset(NewPointerList(kListGrowStep));
    if (windows_ && FindPointer(windows_.get(), window) < 0) AppendPointer(windows_.get(), window);
}

void DocumentFrame::UnregisterDocumentWindow(Window* window)
{
    RemovePointer(windows_.get(), window);
}

void DocumentFrame::BringDocumentWindowToFront(Window* window)
{
    DocumentFrame* root = RootFrame();
    if (window && window->WindowOwner() && window->WindowOwner()->RootFrame() != root) {
        window->WindowOwner()->RootFrame()->BringDocumentWindowToFront(window);
        return;
    }
    if (!window) {
        window = ActiveDocumentWindow(this);
        if (!window) return;
        if (root->frameWindow_) BringWindowToTop(root->frameWindow_);
    }
    window->SelectWindowObject();
}

int32_t DocumentFrame::CountVisibleDocumentWindows() const
{
    int32_t count = 0;
    for (int32_t i = 0; i < ListCount(windows_.get()); ++i) {
        const Window* window = PointerAt<Window>(windows_.get(), i);
        if (!(window->Flags() & (kWindowFloating | kWindowModal)) && window->IsWindowObjectVisible()) ++count;
    }
    return count;
}

DocumentFrame* DocumentFrame::RootFrame()
{
    DocumentFrame* root = this;
    while (root->parent_) root = root->parent_;
    return root;
}

HWND DocumentFrame::DocumentFrameOwner()
{
    return RootFrame()->frameWindow_;
}

void DocumentFrame::GetFrameWindowRect(PortRect* rect) const
{
    *rect = {0, 0, 0, 0};
    if (parked_) {
        *rect = rememberedRect_;
        return;
    }
    RECT window;
    if (frameWindow_ && GetWindowRect(frameWindow_, &window)) *rect = {window.left, window.top, window.right, window.bottom};
}

void DocumentFrame::GetFrameContentRect(PortRect* rect) const
{
    *rect = {0, 0, 0, 0};
    if (!frameWindow_) return;
    GetFrameWindowRect(rect);
    const int32_t frameX = GetSystemMetrics(SM_CXFRAME);
    const int32_t frameY = GetSystemMetrics(SM_CYFRAME);
    rect->left += frameX;
    rect->right -= frameX;
    rect->top += GetSystemMetrics(SM_CYCAPTION) + frameY + GetSystemMetrics(SM_CYMENU);
    rect->bottom -= frameY;
}

void DocumentFrame::GetFrameClientArea(PortRect* rect) const
{
    *rect = {0, 0, 0, 0};
    if (!HelpBarOn()) return;
    GetFrameContentRect(rect);
    rect->top = std::max(rect->bottom - kHelpBarHeight, rect->top);
}

void DocumentFrame::GetSidePanelRect(PortRect* rect) const
{
    *rect = {0, 0, 0, 0};
    if (!SidePanelOn()) return;
    PortRect strip;
    GetFrameClientArea(&strip);
    GetFrameContentRect(rect);
    rect->bottom -= strip.Height();
    rect->right = std::min(rect->right, rect->left + kSidePanelWidth);
    const int32_t borderX = GetSystemMetrics(SM_CXBORDER);
    const int32_t borderY = GetSystemMetrics(SM_CYBORDER);
    rect->left += borderX;
    rect->right -= borderX;
    rect->top += borderY;
    rect->bottom -= borderY;
}

void DocumentFrame::LayoutFrame()
{
    if (!frameWindow_) return;
    RECT client;
    GetClientRect(frameWindow_, &client);
    PortRect strip;
    GetFrameClientArea(&strip);
    if (mdiClient_) MoveWindow(mdiClient_, 0, 0, client.right, client.bottom - strip.Height(), TRUE);
    LayoutContent();
    if (helpBarHost_) helpBarHost_->window->MoveWindowObject(strip);
}
