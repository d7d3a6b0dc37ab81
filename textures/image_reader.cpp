// ImageReader: the messages of the picture readers, naming the file being read.
#include "textures/image_reader.h"

#include <cstdio>

#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"

void ImageReader::ReaderAlert(const char* format) const
{
    char name[260] = "";
    char text[sizeof name + 200];
    std::snprintf(text, sizeof text, format, name);
    ShowAlert(text);
}
