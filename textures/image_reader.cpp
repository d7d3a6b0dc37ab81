// ImageReader: the messages of the picture readers, naming the file being read.
#include "textures/image_reader.h"

#include <cstdio>

#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"

void StreamFileName(MemoryStream* stream, char* name)
{
    name[0] = 0;
}

void ImageReader::ReaderAlert(const char* format) const
{
    char name[260];
    StreamFileName(stream_, name);
    char text[sizeof name + 200];
    std::snprintf(text, sizeof text, format, name);
    ShowAlert(text);
}
