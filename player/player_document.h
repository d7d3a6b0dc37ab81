// PlayerDocument: the content of a model window. It owns the model (the model document the file
// was read into), the walk observer, the preferences and the texture list, the views that show
// the model and the records of their windows. Views send their commands to it and it passes
// them on to every view. Also the model set-up the player's way, which tools that render as the
// player does share.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/fixed.h"
#include "foundation/result_code.h"
#include "player/view_base.h"

class DiskFileStream;
class DynamicArray;
class LightList;
class ModelDocument;
class ModelObject;
class TextureRecordList;
class ViewWindowRecord;
class WalkObserver;
class WalkView;

class PlayerDocument : public ViewBase {
public:
    PlayerDocument();
    ~PlayerDocument() override;

    // --- view operations ---
    // Preferences with their defaults (and the drawing switch from the registry), the model
    // document with the world root in the model-view colour, the lists, the walk observer.
    void Init(DocumentFrame* owner) override;
    void Free() override;
    void SetChanged(int32_t value) override { changed_ = value; }
    // The object of the first window record of the kind. Without one: for the walk observer's
    // kind a new walk observer of the model, owned by the caller and kept in no record; for any
    // other kind what the asking object makes, kept in a new record.
    RootObject* FindOrCreate(ViewBase* asking, int32_t kind) override;
    Window* GetWindow(int32_t kind) override { return CreateViewWindow(kind); }
    // A model command of changed preferences (kCommandModel, kCodePreferencesChanged): the model
    // root's lights and units go first. Answers the lock count of the view list left after the
    // round.
    int32_t ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value) override;
    PlayerPreferences* Preferences() override { return preferences_.get(); }
    int32_t ScalePlacement(double factor) override;
    void ApplyPreferences(PlayerPreferences* preferences, int32_t force) override;
    // The name and the window title, then every view's name.
    void SetName(const char* text) override;
    // The walk and gallery kinds: a view whose window holds its panes, with its record; a view of
    // the kind that exists comes to the front instead. A view that cannot be made whole leaves nothing
    // behind (FindView then has none).
    void OpenViewWindow(const PortRect& rect, int32_t kind) override;

    // --- the document's own ---
    // A new hidden window for a view of the kind (null for the document's own kind); for the
    // kinds the views share (kDocumentWindowKinds) the one made at the first call, every time.
    Window* CreateViewWindow(int32_t kind);
    // A window of the document changed (activated, reactivated or closed): the view's kind, the
    // document's own kind when no view is left or the window is none of its records, or -1 for a
    // record that holds no walk or gallery view.
    int32_t WindowEvent(Window* window, int32_t event);
    int32_t HasModel() const;
    // 1 when Init made everything the document holds: the model, the walk observer, the
    // preferences, the texture list and the lists of views and window records.
    int32_t IsComplete() const;
    // Gives the view the document's model and walk observer to render.
    void FillRenderRecord(WalkView* view);
    Owned<WalkObserver> NewWalkObserver();
    WalkView* NewWalkView();
    void SetDocumentOwner(DocumentFrame* window) { owner_ = window; }
    // Moves the view's panes into a new window: on, a pop-up of the screen's size (the window's
    // place kept for coming back, a maximised window restored first); off, a document window at
    // the kept place (maximised again when it was). The screen entry's number (from 1) when full
    // screen, else 0. Asking for the state the view is in changes nothing.
    int32_t SetFullScreen(ViewBase* view, uint8_t on);
    uint8_t FullScreen() const { return fullScreen_; }

    ViewBase* CurrentView() const { return currentView_; }
    void ObserverSetPlacement(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading);
    void ObserverGetPlacement(FixedVector3* position, Fixed angles[3]) const;
    // Recording off, the first point of the path, a redraw and the path played; the observer's
    // failure without playing.
    int32_t PlacePathStart();
    void SetPathRecording(int32_t on);
    void SetObserverLens(int16_t numerator, int16_t denominator);
    // The last view of the kind, or null.
    ViewBase* FindView(int32_t kind) const;
    // The walk observer's place and angles (a path point when recording), then those of every
    // walk and gallery view; the lock count of the view list left after the round.
    int32_t SetPlacementAll(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading);
    // The model root's own lights (null: none; the list is the root's from now on).
    void SetModelLights(LightList* lights);
    // The memory the model is reckoned to need, in bytes (0 without a model).
    int64_t ModelMemoryEstimate() const;

    // Reads the model file as the open command does: the image files beside it indexed, the
    // file opened (the reader's alert when it cannot be, or when the document is not complete)
    // and read, plain or through the scrambling filter as its header says, into the model and
    // the texture list; then what the file held of the walk observer and the preferences goes
    // to them. 0, or the reader's code (its alert shown, but for a file that is no model).
    ResultCode ReadModel(DiskFileStream* file);

    ModelDocument* Model() const { return model_.get(); }
    WalkObserver* Walk() const { return walk_.get(); }
    ModelObject* ModelRoot() const;
    TextureRecordList* Textures() const { return textures_; }
    int32_t Changed() const { return changed_; }
    int32_t ViewCount() const;
    int32_t WindowRecordCount() const;
    ViewWindowRecord* WindowRecordAt(int32_t index) const;

private:
    // The index of the first window record of the kind (or showing the window), or -1.
    int32_t FindRecord(int32_t kind, const Window* window) const;
    // Gives the record its window and appends it to the window records, which own it from now on;
    // false (the record left with the caller) when there is no room.
    bool KeepRecord(Owned<ViewWindowRecord>* record, Window* window);

    Owned<DynamicArray> windowRecords_;  // ViewWindowRecord pointers
    Owned<DynamicArray> views_;          // ViewBase pointers
    ViewBase* currentView_ = nullptr;
    Owned<ModelDocument> model_;
    Owned<WalkObserver> walk_;
    Owned<PlayerPreferences> preferences_;
    TextureRecordList* textures_ = nullptr;
    bool ownsTextures_ = false;
    PortRect savedRect_ = {0, 0, 0, 0};  // the view window's place before full screen
    uint8_t fullScreen_ = 0;
    int32_t changed_ = 0;
    int32_t wasZoomed_ = 0;  // the view window was maximised when full screen began
    int32_t screenEntry_ = 0;  // the number of the screen the view fills, while it does
};

// 1 while a model file is read through the stream's scrambling filter, else 0.
extern int32_t OpenFileScrambled;

// The reader's alert for a model file that could not be loaded: "Error in loading file "name.""
void ShowLoadAlert(const char* fileName);

// Plays the walk observer's path with the program's closes and opens refused meanwhile.
void PlayWalkPath(WalkObserver* observer);

// The model set-up the player's way, without windows, for the model window's document and for
// the tools that must render exactly as the player does: a new document made by Init (the
// preferences with their defaults and the drawing switch, the world root in the model-view
// colour, the walk observer), then ReadModel. The document, or null when it could not be made or
// the read failed (the reader's alert shown; `result` says why when given).
PlayerDocument* LoadPlayerDocument(DiskFileStream* file, ResultCode* result = nullptr);
