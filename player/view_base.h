// ViewBase: the base of the player document and its views. A view passes what it does not do
// itself to its inner object (its document); the document is its own inner object and passes
// commands on to every view.
#pragma once

#include <cstdint>

#include "foundation/root_object.h"
#include "player/view_kinds.h"
#include "render/view_commands.h"

class DocumentFrame;
class MemoryStream;
class PlayerPreferences;
class Window;
struct PortRect;

// AttachView's codes: the view became current after a view of the same kind; the view's window
// was made; the view became current after a view of another kind.
constexpr int32_t kAttachSameKind = 1;
constexpr int32_t kAttachWindowMade = 3;
constexpr int32_t kAttachOtherKind = 7;

class ViewBase : public RootObject {
public:
    static constexpr int32_t kNameSize = 256;

    // --- virtual operations, in their order after Write ---
    // The slots named Reserved are places that a kind of view may take over; none of the
    // player's views does. Their hooks do nothing and their queries answer 0.
    virtual void Init(DocumentFrame* owner);
    // Frees the record, then the object.
    virtual void Free();
    virtual void SetChanged(int32_t value);
    virtual void AttachView(int32_t code) { attachCode_ = code; }
    // The object of the kind this object keeps or makes for the asking one; none here.
    virtual RootObject* FindOrCreate(ViewBase* /*asking*/, int32_t /*kind*/) { return nullptr; }
    virtual void ReservedHook1() {}
    virtual void AdjustPaneRect(PortRect* /*rect*/, int32_t /*kind*/) {}
    virtual Window* GetWindow(int32_t /*kind*/) { return nullptr; }
    // Passes both values on to the inner object; 0.
    virtual int32_t ReservedForward(int32_t first, int32_t second);
    virtual int32_t ReservedQuery1() { return 0; }
    virtual int32_t ReservedQuery2() { return 0; }
    virtual void ReleaseViewObject() {}
    virtual void ReservedHook2() {}
    // A view passes its panes' commands up; the document passes them on to every view and
    // answers the lock count of its view list left after the round (0 unless a round is under way).
    virtual int32_t ViewCommand(ViewBase* /*sender*/, int32_t /*kind*/, int32_t /*code*/, int32_t /*value*/)
    {
        return 0;
    }
    virtual void ViewNotify(ViewBase* /*sender*/, int32_t /*kind*/, int32_t /*code*/, int32_t /*value*/) {}
    // The inner object's preferences, or none.
    virtual PlayerPreferences* Preferences();
    // Moves the eye's position by the factor; 0 when this object did not.
    virtual int32_t ScalePlacement(double /*factor*/) { return 0; }
    virtual void ApplyPreferences(PlayerPreferences* /*preferences*/, int32_t /*force*/) {}
    // -1 here; the walk view answers 0.
    virtual int32_t ReservedStatus() { return -1; }
    // Copies the text (when given) into the name and titles the window of the view's kind.
    virtual void SetName(const char* text);
    // Passed on to the inner object.
    virtual void OpenViewWindow(const PortRect& rect, int32_t kind);
    virtual void ReservedHook3() {}
    virtual void ReservedHook4() {}
    virtual int32_t ReservedQuery3() { return 0; }
    virtual void ReservedHook5() {}
    virtual void ReservedHook6() {}
    virtual int32_t ReservedQuery4() { return 0; }
    // 1 when the stream has moved from its start, else 0.
    virtual int32_t StreamTest(const MemoryStream* stream);
    virtual int32_t ReservedQuery5() { return 0; }

    void Destroy() { Free(); }

    // --- plain operations ---
    void SetInner(ViewBase* inner) { inner_ = inner; }
    ViewBase* Inner() const { return inner_; }
    void SetKind(int32_t kind) { kind_ = kind; }
    int32_t GetKind() const { return kind_; }
    // Copies the name into a buffer of kNameSize bytes.
    void GetName(char* buffer) const;
    const char* Name() const { return name_; }
    DocumentFrame* Owner() const { return owner_; }
    void SetOwner(DocumentFrame* owner) { owner_ = owner; }
    // The view's record: made zero-filled by ViewRecordInit, freed by ViewRecordFree.
    void ViewRecordInit();
    void ViewRecordFree();
    int32_t* Record() const { return record_; }
    int32_t AttachCode() const { return attachCode_; }

protected:
    DocumentFrame* owner_ = nullptr;
    ViewBase* inner_ = nullptr;
    char name_[kNameSize] = {};
    int32_t kind_ = 0;

private:
    static constexpr int32_t kRecordWords = 4;
    int32_t* record_ = nullptr;
    int32_t attachCode_ = 0;
};
