// The default menus of document frames.
#include "toolkit/default_menus.h"

#include "toolkit/document_frame.h"
#include "toolkit/input_events.h"

namespace {

constexpr char kAboutMenuTitle[] = "Help";
constexpr char kAboutItem[] = "About This Product ...";
constexpr int32_t kAboutPosition = 1;
// The about window's modes: opened by the user, and its other form.
constexpr int32_t kAboutByUser = 1;
constexpr int32_t kAboutOtherForm = -1;

constexpr char kFileMenuTitle[] = "File";
constexpr char kExitItem[] = "Exit";
constexpr int32_t kExitPosition = 1;
constexpr int32_t kMenuKeyF4 = kMenuKeyF1 + 3;
constexpr int32_t kExitKey = kMenuKeyAlt | MenuSpecialKey(kMenuKeyF4);

constexpr char kEditMenuTitle[] = "Edit";
struct EditItem {
    const char* text;
    int32_t key;
};
constexpr EditItem kEditItems[] = {{"Cut", 'X'}, {"Copy", 'C'}, {"Paste", 'V'}};

}  // namespace

ResultCode DefaultAboutMenu::DefaultAboutMenuInit(DocumentFrame* owner)
{
    ResultCode result = MenuInit(kAboutMenuTitle, owner);
    if (result == kResultOk && AppendMenuItem(kAboutItem) < 0) result = kResultOutOfMemory;
    IgnoreResult(SetMenuAttachment(kMenuTopLevel));
    SetMenuOrder(kDefaultAboutMenuOrder);
    return result;
}

void DefaultAboutMenu::DoMenuCommand(int32_t position, int32_t /*extra*/)
{
    if (position != kAboutPosition) return;
    CurrentFrameServices().ShowAbout(ModifierKeys() & kModifierCtrlOrRight ? kAboutOtherForm : kAboutByUser);
}

ResultCode DefaultFileMenu::DefaultFileMenuInit(DocumentFrame* owner)
{
    ResultCode result = MenuInit(kFileMenuTitle, owner);
    if (result == kResultOk && AppendMenuItem(kExitItem) < 0) result = kResultOutOfMemory;
    SetMenuItemShortcut(kExitPosition, kExitKey);
    SetMenuOrder(kDefaultFileMenuOrder);
    return result;
}

void DefaultFileMenu::DoMenuCommand(int32_t position, int32_t /*extra*/)
{
    // The owner, and this menu with it, may be gone once the documents are closed.
    if (position == kExitPosition && MenuOwner() && !FrameCloseRefused()) MenuOwner()->CloseDocumentFrame();
}

ResultCode DefaultEditMenu::DefaultEditMenuInit(DocumentFrame* owner)
{
    ResultCode result = MenuInit(kEditMenuTitle, owner);
    for (const EditItem& item : kEditItems) {
        if (result != kResultOk) break;
        const int32_t index = AppendMenuItem(item.text);
        if (index < 0) result = kResultOutOfMemory;
        else SetMenuItemShortcut(index + 1, item.key);
    }
    SetMenuOrder(kDefaultEditMenuOrder);
    return result;
}
