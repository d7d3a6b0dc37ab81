// The view base class's default operations.
#include "player/view_base.h"

#include <cstring>
#include <new>

#include "foundation/memory_stream.h"
#include "toolkit/window.h"

void ViewBase::Init(DocumentFrame* owner)
{
    owner_ = owner;
    name_[0] = '\0';
}

void ViewBase::Free()
{
    ViewRecordFree();
    delete this;
}

void ViewBase::SetChanged(int32_t value)
{
    if (inner_ && inner_ != this) inner_->SetChanged(value);
}

int32_t ViewBase::ReservedForward(int32_t first, int32_t second)
{
    if (inner_ && inner_ != this) inner_->ReservedForward(first, second);
    return 0;
}

PlayerPreferences* ViewBase::Preferences()
{
    return inner_ && inner_ != this ? inner_->Preferences() : nullptr;
}

void ViewBase::SetName(const char* text)
{
    if (text && text != name_) {
        std::strncpy(name_, text, kNameSize - 1);
        name_[kNameSize - 1] = '\0';
    }
    if (Window* window = GetWindow(kind_)) window->SetWindowTitle(name_);
}

void ViewBase::OpenViewWindow(const PortRect& rect, int32_t kind)
{
    if (inner_ && inner_ != this) inner_->OpenViewWindow(rect, kind);
}

int32_t ViewBase::StreamTest(const MemoryStream* stream)
{
    return stream && stream->StreamPosition() != 0 ? 1 : 0;
}

void ViewBase::GetName(char* buffer) const
{
    std::memcpy(buffer, name_, kNameSize);
}

void ViewBase::ViewRecordInit()
{
    ViewRecordFree();
    record_ = new (std::nothrow) int32_t[kRecordWords]();
}

void ViewBase::ViewRecordFree()
{
    delete[] record_;
    record_ = nullptr;
}
