// The probe's menus and the log of what the system menus show.
#include "tests/toolkit/probe/menu_scenarios.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "tests/toolkit/probe/probe_log.h"
#include "toolkit/app_globals.h"
#include "toolkit/default_menus.h"
#include "toolkit/document_frame.h"
#include "toolkit/pane.h"
#include "toolkit/window_menu_list.h"

namespace {

constexpr int32_t kProbeMenuOrder = 2;
constexpr int32_t kSaveAsPosition = 4;
constexpr int32_t kSaveAsMnemonic = 5;
constexpr int32_t kDimmedPosition = 3;
// The system's class of pop-up menu windows, and its message that gives a pop-up's menu.
constexpr char kPopUpMenuClass[] = "#32768";
constexpr UINT kGetPopUpMenu = 0x01E1;  // MN_GETHMENU

// Logs every command it performs.
class LoggingMenu : public Menu {
public:
    void DoMenuCommand(int32_t position, int32_t /*extra*/) override
    {
        Log("MENU_COMMAND menu=%s position=%d", MenuTitle(), position);
    }
};

class LoggingEditMenu : public DefaultEditMenu {
public:
    void DoMenuCommand(int32_t position, int32_t /*extra*/) override
    {
        Log("MENU_COMMAND menu=%s position=%d", MenuTitle(), position);
    }
};

std::vector<Menu*> Menus;
Menu* PopUp = nullptr;

struct ProbeItem {
    const char* text;  // null: a separator
    int32_t key;
};

LoggingMenu* MakeLoggingMenu(const char* title, DocumentFrame* owner, std::initializer_list<ProbeItem> items)
{
    auto* menu = new LoggingMenu;
    IgnoreResult(menu->MenuInit(title, owner));
    for (const ProbeItem& item : items) {
        const int32_t index = item.text ? menu->AppendMenuItem(item.text) : menu->AppendSeparator();
        menu->SetMenuItemShortcut(index + 1, item.key);
    }
    return menu;
}

// The menu text with its tab written as "\t", for the log.
void Escape(const char* text, char* out, size_t size)
{
    size_t length = 0;
    for (; *text && length + 2 < size; ++text) {
        if (*text == '\t') {
            out[length++] = '\\';
            out[length++] = 't';
        } else {
            out[length++] = *text;
        }
    }
    out[length] = 0;
}

const char* TitleOf(HMENU handle)
{
    for (Menu* menu : Menus)
        if (menu->MenuHandle() == handle) return menu->MenuTitle();
    return PopUp && PopUp->MenuHandle() == handle ? PopUp->MenuTitle() : "?";
}

// One entry of a menu: its text, and with the window that shows the menu its screen rectangle.
void LogEntry(const char* kind, const char* title, HWND window, HMENU menu, int32_t index)
{
    char text[128], escaped[256];
    GetMenuStringA(menu, UINT(index), text, sizeof text, MF_BYPOSITION);
    Escape(text, escaped, sizeof escaped);
    RECT rect = {0, 0, 0, 0};
    if (!window) {
        Log("%s title=%s index=%d text=%s", kind, title, index, escaped);
        return;
    }
    GetMenuItemRect(window, menu, UINT(index), &rect);
    Log("%s title=%s index=%d rect=%ld,%ld,%ld,%ld text=%s", kind, title, index, rect.left, rect.top, rect.right,
        rect.bottom, escaped);
}

HMENU LoggedBar = nullptr;
// The pop-up windows whose items are logged (each opening makes a new window).
std::vector<HWND> LoggedPopUps;

// The bar once its entries have their places: titles with rectangles, then every item's text.
void LogBar(HWND frame)
{
    HMENU bar = GetMenu(frame);
    if (!bar || bar == LoggedBar) return;
    const int32_t count = GetMenuItemCount(bar);
    for (int32_t i = 0; i < count; ++i) {
        RECT rect;
        if (!GetMenuItemRect(frame, bar, UINT(i), &rect) || IsRectEmpty(&rect)) return;
    }
    LoggedBar = bar;
    for (int32_t i = 0; i < count; ++i) LogEntry("MENUBAR", "bar", frame, bar, i);
    for (int32_t i = 0; i < count; ++i) {
        HMENU menu = GetSubMenu(bar, i);
        for (int32_t item = 0; menu && item < GetMenuItemCount(menu); ++item)
            LogEntry("MENUSTRING", TitleOf(menu), nullptr, menu, item);
    }
    Log("MENUBAR_END count=%d", count);
}

BOOL CALLBACK LogPopUp(HWND hwnd, LPARAM)
{
    char name[16];
    if (!IsWindowVisible(hwnd) || !GetClassNameA(hwnd, name, sizeof name) || strcmp(name, kPopUpMenuClass) != 0)
        return TRUE;
    for (HWND logged : LoggedPopUps)
        if (logged == hwnd) return TRUE;
    LoggedPopUps.push_back(hwnd);
    auto menu = reinterpret_cast<HMENU>(SendMessageA(hwnd, kGetPopUpMenu, 0, 0));
    for (int32_t item = 0; menu && item < GetMenuItemCount(menu); ++item)
        LogEntry("MENUITEM", TitleOf(menu), hwnd, menu, item);
    return TRUE;
}

BOOL CALLBACK FindPopUp(HWND hwnd, LPARAM found)
{
    char name[16];
    if (IsWindowVisible(hwnd) && GetClassNameA(hwnd, name, sizeof name) && strcmp(name, kPopUpMenuClass) == 0) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int32_t BuildProbeMenus(DocumentFrame* document)
{
    auto* file = new DefaultFileMenu;
    auto* edit = new LoggingEditMenu;
    auto* about = new DefaultAboutMenu;
    LoggingMenu* probe = MakeLoggingMenu("Probe", document,
                                         {{"Open...", 'O'}, {nullptr, 0}, {"Dimmed", 'D'}, {"Save As...", 'S' | kMenuKeyShift}});
    LoggingMenu* more = MakeLoggingMenu("More", document, {{"Continued", 'J'}});
    Menus = {file, edit, probe, about, more};
    if (file->DefaultFileMenuInit(document) != kResultOk || edit->DefaultEditMenuInit(document) != kResultOk ||
        about->DefaultAboutMenuInit(document) != kResultOk)
        return 0;
    probe->EnableMenuItemAt(kDimmedPosition, 0);
    probe->SetMenuItemMnemonicPos(kSaveAsPosition, kSaveAsMnemonic);
    probe->SetMenuOrder(kProbeMenuOrder);
    IgnoreResult(probe->SetMenuContinuation(more));
    for (Menu* menu : {static_cast<Menu*>(file), static_cast<Menu*>(edit), static_cast<Menu*>(probe),
                       static_cast<Menu*>(about)})
        document->FrameMenuList()->Append(&menu);
    PopUp = MakeLoggingMenu("Pop", document, {{"First", 0}, {"Second", 0}});
    return 1;
}

void DisposeProbeMenus()
{
    for (Menu* menu : Menus) menu->DeleteMenuObject();
    Menus.clear();
    if (PopUp) PopUp->DeleteMenuObject();
    PopUp = nullptr;
}

void TrackProbePopUp(Pane* pane)
{
    const PortRect& content = pane->ContentRect();
    const int32_t result = PopUp->TrackPopupMenuObject(pane, (content.left + content.right) / 2,
                                                       (content.top + content.bottom) / 2);
    Log("POPUP result=%d", result);
}

void WatchMenus()
{
    if (HWND frame = CurrentFrameHandle()) LogBar(frame);
    bool open = false;
    EnumThreadWindows(GetCurrentThreadId(), FindPopUp, reinterpret_cast<LPARAM>(&open));
    if (!open) {
        LoggedPopUps.clear();
        return;
    }
    EnumThreadWindows(GetCurrentThreadId(), LogPopUp, 0);
}
