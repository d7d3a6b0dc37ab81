// Drawing a pane into another port (a picture, an offscreen) instead of its window: the pane takes
// the port's bounds and depth for the one drawing and gets its own back afterwards.
#include "toolkit/pane.h"

#include "toolkit/alert.h"

namespace {

// A pane drawn into a port draws in the mode of the port's kind, except for pictures and the
// kind -5 (which nothing in the program makes), whose kinds are told as modes of their own.
constexpr PortKind kPortKindFive = -5;
constexpr int32_t kDrawIntoPicture = 11;
constexpr int32_t kDrawIntoKindFive = 10;

int32_t DrawModeForPort(PortKind kind)
{
    if (kind == kPortPicture) return kDrawIntoPicture;
    if (kind == kPortKindFive) return kDrawIntoKindFive;
    return kind;
}

}  // namespace

ResultCode Pane::RenderPaneToPort(PortBase* port)
{
    const ResultCode begun = port->Activate();
    if (begun != kResultOk) return begun;

    redirect_ = port;
    const PortRect savedPane = paneRect_;
    const PortRect savedCopy = paneRectCopy_;
    const PortRect savedContent = contentRect_;
    const PortRect savedDocument = documentRect_;
    const PortRect savedRange = scrollRange_;
    const int32_t vertical = GetVerticalPosition();
    const int32_t horizontal = GetHorizontalPosition();
    const int32_t savedOriginX = originX_;
    const int32_t savedOriginY = originY_;
    const int32_t savedDepth = screenDepth_;
    const int32_t savedCentreX = centreX_;
    const int32_t savedCentreY = centreY_;

    port->GetBounds(&contentRect_);
    screenDepth_ = port->Depth();
    centreX_ = (contentRect_.left + contentRect_.right) >> 1;
    centreY_ = (contentRect_.top + contentRect_.bottom) >> 1;
    PaneLayoutChanged();
    Draw(DrawModeForPort(port->GetPortKind()), horizontal, vertical);
    const ResultCode ended = port->Deactivate();

    paneRect_ = savedPane;
    paneRectCopy_ = savedCopy;
    contentRect_ = savedContent;
    documentRect_ = savedDocument;
    scrollRange_ = savedRange;
    originX_ = savedOriginX;
    originY_ = savedOriginY;
    screenDepth_ = savedDepth;
    centreX_ = savedCentreX;
    centreY_ = savedCentreY;
    PaneLayoutChanged();
    redirect_ = nullptr;
    BeginPaneDrawing();
    EndPaneDrawing();
    if (ended != kResultOk) ErrorAlert(ended);
    return ended;
}
