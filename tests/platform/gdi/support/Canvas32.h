#pragma once
// A 32-bit top-down DIB selected into its own memory DC, with its pixels at hand.
#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace gdi_test {

class Canvas32 {
public:
    Canvas32(int width, int height, uint32_t fill = 0) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i) {
            bits_[i] = fill;
        }
    }
    ~Canvas32() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Canvas32(const Canvas32&) = delete;
    Canvas32& operator=(const Canvas32&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    uint32_t& at(int x, int y) { return bits_[y * width_ + x]; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Pixels of one row as 0x00RRGGBB (alpha dropped).
    std::vector<uint32_t> row(int y) const {
        std::vector<uint32_t> r(bits_ + y * width_, bits_ + (y + 1) * width_);
        for (auto& v : r) v &= 0xFFFFFF;
        return r;
    }
    int count(uint32_t rgb) const {
        int n = 0;
        for (int i = 0; i < width_ * height_; ++i) n += (bits_[i] & 0xFFFFFF) == rgb;
        return n;
    }

private:
    int width_;
    int height_;
    HBITMAP bitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

}  // namespace gdi_test
