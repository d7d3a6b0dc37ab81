// ImageReader: the messages of the picture readers, naming the file being read.
#include "textures/image_reader.h"

#include <cstdio>

#include "foundation/disk_file_stream.h"
#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"

void StreamFileName(MemoryStream* stream, char* name)
{
    name[0] = 0;
    if (stream && stream->StreamKind() == 2) static_cast<DiskFileStream*>(stream)->FileNameWithExtension(name);
}

void ImageReader::ReaderAlert(const char* format) const
{
    char name[kPathLength];
    StreamFileName(stream_, name);
    char text[sizeof name + 200];
    std::snprintf(text, sizeof text, format, name);
    ShowAlert(text);
}
