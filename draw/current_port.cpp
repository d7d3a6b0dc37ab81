// The current port.
#include "draw/current_port.h"

namespace {
HDC gCurrentPort = nullptr;
}  // namespace

void SetPort(HDC dc)
{
    gCurrentPort = dc;
}

HDC GetPort()
{
    return gCurrentPort;
}
