// The program's side of the JPEG library: the error block whose fatal exit jumps back to the
// caller, library messages shown in the alert, and the source and destination managers that
// move 4096-byte blocks through the program's own streams.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

class MemoryStream;

constexpr int32_t kJpegBlockSize = 4096;

// The library's error manager followed by the jump buffer of the operation that is running.
struct JpegErrorBlock {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// A malloc'd error block with the program's exit and message output, or null.
JpegErrorBlock* NewJpegErrorBlock();

// Reads the decompressor's input from the stream's position on (the manager and its buffer
// come from the library's permanent pool and are reused).
void UseJpegStreamSource(j_decompress_ptr cinfo, MemoryStream* stream);
// Writes the compressor's output to the stream at its position.
void UseJpegStreamDestination(j_compress_ptr cinfo, MemoryStream* stream);
