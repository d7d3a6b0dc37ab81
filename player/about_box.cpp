// The about box: a cube with a picture on each face turning in a window of its own.
#include "player/about_window.h"

void ShowAboutBox(int32_t /*mode*/)
{
}
