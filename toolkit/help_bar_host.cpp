// The help bar's window in its frame, and the setters that reach the current frame's bar.
#include "toolkit/help_bar_host.h"

#include <new>

#include "toolkit/document_frame.h"
#include "toolkit/help_bar.h"
#include "toolkit/window.h"

namespace {

// A plain pop-up owned by the frame, with the reserved bit that no window style reads.
constexpr WindowFlags kHelpBarWindowFlags = kWindowPlainPopUp | kWindowReservedA;
// The first drawing of a new bar.
constexpr int32_t kFirstDraw = 0;

// The bar's window becomes a child of the frame window that owns it, at the strip (screen
// coordinates). A pop-up that the frame owns would be covered whenever the frame takes the
// keyboard focus: Wine raises the focused frame over the windows it owns.
void PlaceInsideFrame(Window* window, const PortRect& strip)
{
    HWND hwnd = window->GetWindowHandle();
    HWND frame = GetWindow(hwnd, GW_OWNER);
    if (!frame) return;
    SetWindowLongPtrA(hwnd, GWL_STYLE, (GetWindowLongPtrA(hwnd, GWL_STYLE) & ~LONG_PTR(WS_POPUP)) | WS_CHILD);
    SetParent(hwnd, frame);
    window->MoveWindowObject(strip);
}

HelpBar* CurrentBar()
{
    DocumentFrame* frame = GetCurrentFrame();
    HelpBarHost* host = frame ? frame->GetHelpBarHost() : nullptr;
    return host ? host->bar : nullptr;
}

Window* CurrentBarWindow()
{
    DocumentFrame* frame = GetCurrentFrame();
    HelpBarHost* host = HelpBarOn() && frame ? frame->GetHelpBarHost() : nullptr;
    return host ? host->window : nullptr;
}

}  // namespace

int32_t HelpBarOn()
{
    return 1;
}

OwnedHelpBarHost MakeHelpBarHost(const PortRect& content)
{
    if (!HelpBarOn()) return nullptr;
    std::unique_ptr<HelpBarHost> host(new (std::nothrow) HelpBarHost{nullptr, nullptr});
    OwnedWith<Window, &Window::DestroyWindowObject> window(new (std::nothrow) Window);
    OwnedWith<HelpBar, &HelpBar::PaneDestroy> bar(new (std::nothrow) HelpBar);
    if (bar) bar->PaneCreate(0);
    const PortRect strip = {content.left, content.bottom - kHelpBarHeight, content.right, content.bottom};
    if (!host || !window || !bar ||
        window->CreateWindowObject(strip, "", kNoWindowSize, kNoWindowSize, kNoWindowSize, kHelpBarWindowFlags,
                                   kWindowDestroys) != kResultOk)
        return nullptr;
    window->SetWindowOwner(GetCurrentFrame());
    PlaceInsideFrame(window.get(), strip);
    window->ShowWindowObject();
    window->WindowDeactivated();
    window->AddPane(bar.get());
    bar->RedrawPane(kFirstDraw);
    bar->HelpBarStoreText("");
    bar->RedrawPane(kHelpBarChangesOnly);
    bar->UpdatePercentage();
    bar->RedrawPane(kHelpBarChangesOnly);
    *host = {window.release(), bar.release()};
    return OwnedHelpBarHost(host.release());
}

void FreeHelpBarHost(HelpBarHost* host)
{
    if (!HelpBarOn() || !host) return;
    if (host->window) host->window->DestroyWindowObject();
    delete host;
}

void ShowHelpBar()
{
    if (Window* window = CurrentBarWindow()) window->ShowWindowObject();
}

void HideHelpBar()
{
    if (Window* window = CurrentBarWindow()) window->HideWindowObject();
}

void SetHelpBarText(const char* text)
{
    HelpBar* bar = CurrentBar();
    if (!bar || !text) return;
    bar->HelpBarStoreText(text);
    bar->RedrawPane(kHelpBarChangesOnly);
}

void UpdateMemoryReadout()
{
    HelpBar* bar = CurrentBar();
    if (!bar) return;
    bar->UpdatePercentage();
    bar->RedrawPane(kHelpBarChangesOnly);
}
