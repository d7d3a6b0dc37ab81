// Test support for menus: a menu that records the commands it performs and its updates, and the
// texts of system menu entries.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "toolkit/menu.h"

class RecordingMenu : public Menu {
public:
    // A menu with the items (null: a separator); `deleted` is set when it is deleted.
    static RecordingMenu* Make(const char* title, std::initializer_list<const char*> items,
                               DocumentFrame* owner = nullptr, bool* deleted = nullptr)
    {
        auto* menu = new RecordingMenu;
        IgnoreResult(menu->MenuInit(title, owner));
        for (const char* item : items) item ? menu->AppendMenuItem(item) : menu->AppendSeparator();
        menu->deleted_ = deleted;
        return menu;
    }
    ~RecordingMenu() override
    {
        if (deleted_) *deleted_ = true;
    }

    void DoMenuCommand(int32_t position, int32_t /*extra*/) override { commands.push_back(position); }
    void UpdateMenu() override
    {
        ++updates;
        if (disableInUpdate) EnableMenuItemAt(disableInUpdate, 0);
    }

    std::vector<int32_t> commands;
    int32_t updates = 0;
    int32_t disableInUpdate = 0;

private:
    bool* deleted_ = nullptr;
};

// The text of the system menu's entry at the 0-based index.
inline std::string EntryText(HMENU menu, int32_t index)
{
    char text[128] = {};
    GetMenuStringA(menu, UINT(index), text, sizeof text, MF_BYPOSITION);
    return text;
}

// The texts of every entry of a system menu.
inline std::vector<std::string> EntryTexts(HMENU menu)
{
    std::vector<std::string> texts;
    for (int32_t i = 0; i < GetMenuItemCount(menu); ++i) texts.push_back(EntryText(menu, i));
    return texts;
}
