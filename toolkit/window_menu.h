// WindowMenu: the Window menu of a document frame, made empty each time the frame rebuilds its
// menu bar. It continues a menu of the bar whose attachment asks for it.
#pragma once

#include "toolkit/menu.h"

class WindowMenu : public Menu {
public:
    WindowMenu() = default;

    // Titles the menu "Window" with the letter 'W', owned by the frame.
    ResultCode WindowMenuInit(DocumentFrame* frame);
};
