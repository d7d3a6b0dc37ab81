// The classes of the player document's window records: a button-panel window unlinked from its
// panel, a view whose object is released, a button panel freed with its buttons, and the plain
// record of a walk or gallery view or of a window the views share.
#include "player/view_window_record.h"

#include <new>

#include "player/view_base.h"
#include "player/window_record_kinds.h"
#include "toolkit/button_panel.h"
#include "toolkit/button_panel_window.h"

namespace {

class PanelWindowRecord : public ViewWindowRecord {
public:
    using ViewWindowRecord::ViewWindowRecord;
    ViewBase* RecordView() const override { return nullptr; }

private:
    void LetGo() override { static_cast<ButtonPanelWindow*>(RecordObject())->LinkPanelOwner(nullptr); }
};

class ReleasedViewRecord : public ViewWindowRecord {
public:
    using ViewWindowRecord::ViewWindowRecord;

private:
    void LetGo() override { static_cast<ViewBase*>(RecordObject())->ReleaseViewObject(); }
};

class ButtonPanelRecord : public ViewWindowRecord {
public:
    using ViewWindowRecord::ViewWindowRecord;
    ViewBase* RecordView() const override { return nullptr; }

private:
    void LetGo() override { static_cast<ButtonPanel*>(RecordObject())->PanelDeleteItems(); }
};

class PlainRecord : public ViewWindowRecord {
public:
    using ViewWindowRecord::ViewWindowRecord;
};

}  // namespace

ViewWindowRecord* ViewWindowRecord::Make(RootObject* object, int16_t kind)
{
    if (IsKindOf(kind, kPanelWindowRecordKinds)) return new (std::nothrow) PanelWindowRecord(object, kind);
    if (IsKindOf(kind, kReleasedViewRecordKinds)) return new (std::nothrow) ReleasedViewRecord(object, kind);
    if (IsKindOf(kind, kButtonPanelRecordKinds)) return new (std::nothrow) ButtonPanelRecord(object, kind);
    return new (std::nothrow) PlainRecord(object, kind);
}

ViewBase* ViewWindowRecord::RecordView() const
{
    return static_cast<ViewBase*>(object_);
}

void ViewWindowRecord::Free()
{
    if (object_) LetGo();
    delete this;
}
