// Test support: a memory DC over a top-down DIB section whose pixels the test reads directly.
#pragma once

#include <windows.h>

#include <cstdint>

class TestDib {
public:
    // A width x height DIB of `bits` per pixel; 1-bit DIBs get black and white as colours 0 and 1.
    TestDib(int32_t width, int32_t height, int32_t bits = 32) : width_(width), height_(height), bits_(bits)
    {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[2];
        } info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = -height;
        info.header.biPlanes = 1;
        info.header.biBitCount = WORD(bits);
        info.header.biCompression = BI_RGB;
        info.colors[1] = {255, 255, 255, 0};
        if (bits == 1) info.header.biClrUsed = 2;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels_,
                                   nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~TestDib()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TestDib(const TestDib&) = delete;
    TestDib& operator=(const TestDib&) = delete;

    HDC dc() const { return dc_; }
    int32_t RowBytes() const { return ((width_ * bits_ + 31) / 32) * 4; }
    uint8_t* Row(int32_t y) const
    {
        GdiFlush();
        return static_cast<uint8_t*>(pixels_) + y * RowBytes();
    }
    // A pixel of a 32-bit DIB as 0x00RRGGBB.
    uint32_t Pixel(int32_t x, int32_t y) const { return reinterpret_cast<uint32_t*>(Row(y))[x] & 0xFFFFFF; }
    void Fill(COLORREF colour) const
    {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all = {0, 0, width_, height_};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }

private:
    int32_t width_;
    int32_t height_;
    int32_t bits_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* pixels_ = nullptr;
};
