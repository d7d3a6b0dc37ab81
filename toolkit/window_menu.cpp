// The Window menu of a document frame.
#include "toolkit/window_menu.h"

namespace {

constexpr char kWindowMenuTitle[] = "Window";
constexpr int32_t kWindowMenuLetter = 'W';

}  // namespace

ResultCode WindowMenu::WindowMenuInit(DocumentFrame* frame)
{
    const ResultCode result = MenuInit(kWindowMenuTitle, frame);
    SetMenuLetter(kWindowMenuLetter);
    return result;
}
