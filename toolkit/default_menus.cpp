// The default menus of document frames.
#include "toolkit/default_menus.h"

#include "toolkit/document_frame.h"
#include "toolkit/input_events.h"
#include "toolkit/menu_table.h"

namespace {

// The one command of the about and file menus each, and the edit menu's, which its owner does.
enum DefaultMenuCommand : int32_t {
    kCommandAbout = 1,
    kCommandExit,
    kCommandCut,
    kCommandCopy,
    kCommandPaste,
};

constexpr char kAboutMenuTitle[] = "Help";
constexpr MenuTableItem kAboutItems[] = {{"About This Product ...", kCommandAbout}};

constexpr char kFileMenuTitle[] = "File";
constexpr MenuTableItem kFileItems[] = {{"Exit", kCommandExit, kMenuKeyAltF4}};

constexpr char kEditMenuTitle[] = "Edit";
constexpr MenuTableItem kEditItems[] = {
    {"Cut", kCommandCut, 'X'}, {"Copy", kCommandCopy, 'C'}, {"Paste", kCommandPaste, 'V'}};

}  // namespace

ResultCode DefaultAboutMenu::DefaultAboutMenuInit(DocumentFrame* owner)
{
    ResultCode result = MenuInit(kAboutMenuTitle, owner);
    if (result == kResultOk) result = MenuTable(kAboutItems).AppendTo(this);
    IgnoreResult(SetMenuAttachment(kMenuTopLevel));
    SetMenuOrder(kDefaultAboutMenuOrder);
    return result;
}

void DefaultAboutMenu::DoMenuCommand(int32_t position, int32_t /*extra*/)
{
    if (MenuTable(kAboutItems).CommandAt(position) != kCommandAbout) return;
    CurrentFrameServices().ShowAbout(ModifierKeys() & kModifierCtrlOrRight ? kAboutOtherForm : kAboutOpenedByUser);
}

ResultCode DefaultFileMenu::DefaultFileMenuInit(DocumentFrame* owner)
{
    ResultCode result = MenuInit(kFileMenuTitle, owner);
    if (result == kResultOk) result = MenuTable(kFileItems).AppendTo(this);
    SetMenuOrder(kDefaultFileMenuOrder);
    return result;
}

void DefaultFileMenu::DoMenuCommand(int32_t position, int32_t /*extra*/)
{
    // The owner, and this menu with it, may be gone once the documents are closed.
    if (MenuTable(kFileItems).CommandAt(position) == kCommandExit && MenuOwner() && !FrameCloseRefused())
        MenuOwner()->CloseDocumentFrame();
}

ResultCode DefaultEditMenu::DefaultEditMenuInit(DocumentFrame* owner)
{
    ResultCode result = MenuInit(kEditMenuTitle, owner);
    if (result == kResultOk) result = MenuTable(kEditItems).AppendTo(this);
    SetMenuOrder(kDefaultEditMenuOrder);
    return result;
}
