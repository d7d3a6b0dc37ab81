// ImageReader: the messages of the picture readers, naming the file being read, and their
// spending on the picture budget.
#include "textures/image_reader.h"

#include <cstdio>

#include "foundation/disk_file_stream.h"
#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"
#include "model/picture_budget.h"

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

bool ImageReader::SpendOnPicture(int64_t units, const char* message) const
{
    int32_t size = 0;
    if (!pictures_ || pictures_->SpendOnPicture(units, stream_->StreamSize(&size) == kResultOk ? size : 0)) return true;
    ReaderAlert(message);
    return false;
}

bool ImageReader::SpendOnWork(int64_t units, const char* message) const
{
    if (!pictures_ || pictures_->Spend(units)) return true;
    ReaderAlert(message);
    return false;
}
