// The menus a document frame can carry without menus of its own: an about menu at the top level
// of the bar, a "File" menu with "Exit", and an "Edit" menu with "Cut", "Copy" and "Paste".
#pragma once

#include "toolkit/menu.h"

// Their places in the menu bar.
constexpr int32_t kDefaultFileMenuOrder = 0;
constexpr int32_t kDefaultEditMenuOrder = 1;
constexpr int32_t kDefaultAboutMenuOrder = 6;

// "About This Product ..." opens the about window (FrameServices::ShowAbout) as opened by the
// user, or in its other form when Ctrl or the right button is held.
class DefaultAboutMenu : public Menu {
public:
    ResultCode DefaultAboutMenuInit(DocumentFrame* owner);
    void DoMenuCommand(int32_t position, int32_t extra) override;
};

// "Exit" (Alt+F4) asks and closes the owner and the other documents, as closing the frame does.
class DefaultFileMenu : public Menu {
public:
    ResultCode DefaultFileMenuInit(DocumentFrame* owner);
    void DoMenuCommand(int32_t position, int32_t extra) override;
};

// "Cut", "Copy" and "Paste" with the key equivalents X, C and V; their commands are left to
// the owner.
class DefaultEditMenu : public Menu {
public:
    ResultCode DefaultEditMenuInit(DocumentFrame* owner);
};
