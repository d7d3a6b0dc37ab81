// The JPEG library's error exit, message output, and stream source and destination managers.
#include "textures/jpeg_library.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <jerror.h>

#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"

namespace {

// Every fatal error of the library: the message, then back to the operation's setjmp.
void ExitThroughJump(j_common_ptr cinfo)
{
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<JpegErrorBlock*>(cinfo->err)->jump, 1);
}

void ShowLibraryMessage(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX + 2];
    (*cinfo->err->format_message)(cinfo, text);
    std::strcat(text, "\n");
    ShowAlert(text);
}

// Moves `count` bytes at the stream's position; the number moved, or -1 without a stream or
// buffer.
int32_t TransferRaw(MemoryStream* stream, JOCTET* buffer, int32_t count)
{
    if (!stream || !buffer) return -1;
    const int32_t before = stream->StreamPosition();
    if (stream->TransferBytes(buffer, count) < 0) return -1;
    return stream->StreamPosition() - before;
}

struct StreamSource {
    jpeg_source_mgr pub;
    MemoryStream* stream;
    JOCTET* buffer;
    boolean startOfFile;
};

void InitSource(j_decompress_ptr cinfo)
{
    reinterpret_cast<StreamSource*>(cinfo->src)->startOfFile = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    auto* source = reinterpret_cast<StreamSource*>(cinfo->src);
    int32_t count = 0;
    int32_t size = 0;
    if (source->stream && source->stream->StreamSize(&size) == kResultOk) {
        const int32_t left = size - source->stream->StreamPosition();
        if (left > 0) count = TransferRaw(source->stream, source->buffer, std::min(kJpegBlockSize, left));
    }
    if (count <= 0) {
        if (source->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // The data ended early: a warning, and an end-of-image marker in place of the rest.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = JOCTET(0xFF);
        source->buffer[1] = JOCTET(JPEG_EOI);
        count = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = size_t(count);
    source->startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0) return;
    jpeg_source_mgr* source = cinfo->src;
    while (size_t(count) > source->bytes_in_buffer) {
        count -= long(source->bytes_in_buffer);
        (*source->fill_input_buffer)(cinfo);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) {}

struct StreamDestination {
    jpeg_destination_mgr pub;
    MemoryStream* stream;
    JOCTET* buffer;
};

void InitDestination(j_compress_ptr cinfo)
{
    auto* destination = reinterpret_cast<StreamDestination*>(cinfo->dest);
    destination->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, kJpegBlockSize));
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kJpegBlockSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* destination = reinterpret_cast<StreamDestination*>(cinfo->dest);
    if (TransferRaw(destination->stream, destination->buffer, kJpegBlockSize) != kJpegBlockSize)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kJpegBlockSize;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo)
{
    auto* destination = reinterpret_cast<StreamDestination*>(cinfo->dest);
    const int32_t count = kJpegBlockSize - int32_t(destination->pub.free_in_buffer);
    if (count > 0 && TransferRaw(destination->stream, destination->buffer, count) != count)
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

}  // namespace

JpegErrorBlock* NewJpegErrorBlock()
{
    auto* block = static_cast<JpegErrorBlock*>(std::malloc(sizeof(JpegErrorBlock)));
    if (!block) return nullptr;
    jpeg_std_error(&block->manager);
    block->manager.error_exit = ExitThroughJump;
    block->manager.output_message = ShowLibraryMessage;
    return block;
}

void UseJpegStreamSource(j_decompress_ptr cinfo, MemoryStream* stream)
{
    auto common = reinterpret_cast<j_common_ptr>(cinfo);
    if (!cinfo->src) {
        auto* source = static_cast<StreamSource*>((*cinfo->mem->alloc_small)(common, JPOOL_PERMANENT, sizeof(StreamSource)));
        source->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(common, JPOOL_PERMANENT, kJpegBlockSize));
        cinfo->src = &source->pub;
    }
    auto* source = reinterpret_cast<StreamSource*>(cinfo->src);
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
    source->stream = stream;
}

void UseJpegStreamDestination(j_compress_ptr cinfo, MemoryStream* stream)
{
    if (!cinfo->dest) {
        cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(StreamDestination)));
    }
    auto* destination = reinterpret_cast<StreamDestination*>(cinfo->dest);
    destination->pub.init_destination = InitDestination;
    destination->pub.empty_output_buffer = EmptyOutputBuffer;
    destination->pub.term_destination = TermDestination;
    destination->stream = stream;
    destination->buffer = nullptr;
}
