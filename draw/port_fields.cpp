// The port base's depth and the fields every port initialiser sets.
#include "draw/port_base.h"

#include "draw/screen_caps.h"

int32_t PortBase::Depth()
{
    return ScreenDepth();
}

void PortBase::InitPortFields(PortKind kind)
{
    kind_ = kind;
    resolution_ = {72, 72};
    savedBrush_ = nullptr;
    savedPen_ = nullptr;
    savedPort_ = nullptr;
    savedFont_ = nullptr;
    savedPalette_ = nullptr;
}
