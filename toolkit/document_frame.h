// DocumentFrame: a document, which owns (or shares) a top-level frame window with an MDI client
// inside it, the document's windows, its menus and its Window menu. The program keeps a list of
// open documents and one player window document that owns the frame window at start-up and hands
// it to the first model document. Also: the frame window procedure and the frame layout.
#pragma once

#include <windows.h>

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/root_object.h"
#include "toolkit/about_modes.h"
#include "toolkit/help_bar_host.h"

class DiskFileStream;
class DynamicArray;
class Window;
class WindowMenu;
class WindowMenuList;

// DocumentSetup's kinds: 2 makes (or takes over) a frame window.
constexpr int32_t kDocumentWithFrame = 2;
// CreateFrameWindow's mode that leaves the new frame hidden.
constexpr int32_t kFrameModeHidden = -1;
// SaveDocument's ways: in place, or under a name to ask for.
constexpr int32_t kSaveInPlace = 1;
constexpr int32_t kSaveAsNew = 2;
// The open command's mode for a named file (dropped files, the command line), and for a new
// document.
constexpr int32_t kOpenNamedFile = 9;
constexpr int32_t kOpenNewDocument = 8;

class DocumentFrame : public RootObject {
public:
    // Both out of line, where the owned menus' types are known.
    DocumentFrame();

    // --- virtual operations, in their fixed order after Write ---
    // The slots named Reserved are places that a kind of document may take over; none of the
    // player's documents does. The queries answer 0 and the hook does nothing.
    virtual int32_t ReservedQuery1() { return 0; }
    virtual int32_t ReservedQuery2() { return 0; }
    virtual int32_t ReservedQuery3() { return 0; }
    virtual void ReservedHook(int32_t /*value*/) {}
    // Lays the document's windows out after the frame was resized.
    virtual void LayoutContent() {}
    // Called while the document is destroyed, after its windows are gone.
    virtual void DocumentDestroying() {}
    virtual void CreateFrameWindow(int32_t mode);
    // Gives a frame that has a frame window its help bar.
    virtual void CreateHelpBar();
    // Destroys the windows, menus and frame window; the object stays for its closer to free.
    virtual void DestroyDocumentFrame();
    // Sets the title ("Untitled" numbering) and the frame's caption.
    virtual void SetDocumentTitle(const char* text);
    // Copies the title into a buffer of 256 characters.
    virtual void GetDocumentTitle(char* buffer);
    // The frame's share of AppCommandMessage.
    virtual void HandleAppCommand(int32_t code, int32_t extra);
    // kSaveInPlace or kSaveAsNew; non-zero when saved.
    virtual int32_t SaveDocument(int32_t /*how*/) { return 0; }
    // Loads the document by the open kind (the model document window reads its file here); 0,
    // or the load's failure.
    virtual ResultCode DocumentLoad(int32_t /*kind*/) { return kResultOk; }
    virtual int32_t DocumentNeedsSaving() { return 0; }
    // 0 when the document's windows and menus could not be built.
    virtual int32_t DocumentBuildMenus(int32_t /*mode*/, DiskFileStream* /*file*/) { return 1; }
    virtual void DocumentDisposeMenus() {}
    // A window of the document tells it of activation, showing, hiding and destruction.
    virtual void DocumentWindowNotify(Window* /*window*/, int32_t /*code*/) {}

    // --- set-up and teardown ---
    // Titles the document, makes its lists and (kDocumentWithFrame) its frame window, lists it as open and
    // builds its menus; 0 (the document destroyed) when the build failed.
    int32_t DocumentSetup(int32_t mode, DiskFileStream* file, int32_t kind);
    // A document that needs saving asks whether to save its changes: 1 to go on closing (saved,
    // or not to be saved), 0 when the user cancelled or the save failed.
    int32_t AskCloseDocument();
    // The same question, whose Save saves under a name to ask for, or in place, whatever the
    // title.
    int32_t AskCloseSavingAsNew() { return AskThenSave(kSaveAsNew); }
    int32_t AskCloseSavingInPlace() { return AskThenSave(kSaveInPlace); }
    // Asks, then destroys and frees the document; 1 when it was closed.
    int32_t CloseAndDeleteDocument();
    // WM_CLOSE, WM_QUERYENDSESSION and Exit: asks and closes this and the other documents; 1 when
    // this document closed. The object is freed when it closed.
    int32_t CloseDocumentFrame();
    // Makes this the player window: out of the open-document list.
    void UnregisterDocument();
    // The open command without a file, in the mode (8: a new document).
    void RunOpenCommand(int32_t mode);
    void RunOpenCommandNew() { RunOpenCommand(kOpenNewDocument); }
    void FreeDocumentFrame() { delete this; }

    // --- the frame window ---
    // The new frame takes over the old one's frame window, MDI client, Window menu and help bar
    // (whose window it then owns).
    static void AttachFrameContent(DocumentFrame* from, DocumentFrame* to);
    // Moves the frame window out of sight until its first window is made, and back.
    void ParkFrame();
    void UnparkFrame();
    HWND FrameWindow() const { return frameWindow_; }
    HWND MdiClient() const { return mdiClient_; }
    // The window rectangle (the remembered one while parked).
    void GetFrameWindowRect(PortRect* rect) const;
    // The client area of the frame window below its menu bar.
    void GetFrameContentRect(PortRect* rect) const;
    // The help bar strip along the bottom of the content (empty with the help bar off).
    void GetFrameClientArea(PortRect* rect) const;
    void GetSidePanelRect(PortRect* rect) const;
    // Lays the MDI client, the content and the help bar's window out in the frame window.
    void LayoutFrame();
    // Puts the frame window (no longer maximized) where its content is the rectangle; while
    // parked only the remembered rectangle changes.
    void SetFrameContentRect(const PortRect& content);

    // --- windows ---
    void RegisterDocumentWindow(Window* window);
    void UnregisterDocumentWindow(Window* window);
    void BringDocumentWindowToFront(Window* window);
    // The visible windows of the ordinary kind (neither floating nor modal).
    int32_t CountVisibleDocumentWindows() const;
    DynamicArray* DocumentWindows() const { return windows_.get(); }

    // --- relations ---
    // Makes this a child of the frame, which then takes its menu and command work.
    void AttachChildFrame(DocumentFrame* parent);
    DocumentFrame* ParentFrame() const { return parent_; }
    // Itself, or the top of its parent chain.
    DocumentFrame* RootFrame();
    // The frame window of the root.
    HWND DocumentFrameOwner();
    WindowMenuList* FrameMenuList() const { return menuList_.get(); }
    // The frame's Window menu (made by CreateWindowMenu), or null.
    WindowMenu* FrameWindowMenu() const { return windowMenu_.get(); }
    // The frame takes the menu (null: none), and frees the one it had.
    void SetFrameWindowMenu(Owned<WindowMenu> menu);
    int32_t NotificationOff() const { return notificationOff_; }
    int32_t IsUntitled() const { return untitled_; }
    // The frame's help bar, or null.
    HelpBarHost* GetHelpBarHost() const { return helpBarHost_.get(); }
    const char* Title() const { return title_; }
    // Shown before the title in the caption when not empty.
    void SetCaptionPrefix(const char* text);
    const char* CaptionPrefix() const { return captionPrefix_; }

protected:
    // Use DestroyDocumentFrame, then FreeDocumentFrame.
    ~DocumentFrame() override;

private:
    friend LRESULT CALLBACK FrameWindowProc(HWND, UINT, WPARAM, LPARAM);
    // Asks a document that needs saving whether to save its changes; Save saves in the way.
    int32_t AskThenSave(int32_t how);
    // Sets the frame window's caption from the prefix and the title.
    void ApplyCaption();

    Owned<WindowMenuList> menuList_;
    Owned<DynamicArray> windows_;   // Window pointers
    DocumentFrame* parent_ = nullptr;
    Owned<DynamicArray> children_;  // DocumentFrame pointers
    char title_[256] = {};
    char captionPrefix_[256] = {};
    int32_t untitled_ = 0;
    int32_t notificationOff_ = 0;
    Owned<WindowMenu> windowMenu_;
    OwnedHelpBarHost helpBarHost_;
    HWND frameWindow_ = nullptr;
    HWND mdiClient_ = nullptr;
    int32_t parked_ = 0;
    PortRect rememberedRect_ = {0, 0, 0, 0};
};

// The window procedure of "Tamrix:DocProc".
LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The open documents (DocumentFrame pointers), made at start-up.
extern DynamicArray* OpenDocumentList;
// The document that owns the frame window at start-up; not in OpenDocumentList.
extern DocumentFrame* PlayerWindow;
// The number the next untitled document gets (-1: no numbers).
extern int32_t UntitledCounter;

void SetCurrentFrame(DocumentFrame* frame);
DocumentFrame* GetCurrentFrame();
// The root of the first open document, else the player window.
DocumentFrame* FrontDocument();

// The side panel switch (on from the start).
int32_t SidePanelOn();

// Nothing may close the frame or end the session while a modal run, a modal window, a load, a
// walk path's play or an about window is under way.
int32_t FrameCloseRefused();

// The player's services that frames call: the open command that dropped files go to, and the
// about window of the default about menu. Until the player installs its own a dropped file is
// not opened and its object is freed, and no about window opens.
class FrameServices {
public:
    virtual ~FrameServices() = default;
    // Takes the file object (null: the open command chooses the file).
    virtual void OpenModelFile(DiskFileStream* file, int32_t mode);
    // Opens the about window in the mode (kAboutOpenedByUser or kAboutOtherForm).
    virtual void ShowAbout(int32_t /*mode*/) {}
};
// Installs the services (null restores the default); returns the ones installed before.
FrameServices* InstallFrameServices(FrameServices* services);
FrameServices& CurrentFrameServices();
