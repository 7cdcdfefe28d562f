#pragma once
// Image decoding: DecompressImageIndirect turns BMP, GIF, JPEG and PNG files, read through a
// callback, into bitmaps of a chosen depth (16, 24 or 32 bits; 0 is the screen's). Every file
// is checked before it is decoded: width and height 1 to 10000, offsets, palettes and pixel
// data inside the file. Also: a bitmap written as a PNG file, for tests and screenshots.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/Types.h"
#include "platform/threads/Threads.h"

// Reads up to size bytes of the image into buffer; returns the count read, 0 at the end.
using GetImageDataFn = DWORD (*)(LPSTR buffer, DWORD size, LPARAM param);
using ImageProgressFn = void (*)(void* render, BOOL complete, LPARAM param);

struct DecompressImageInfo {
    DWORD dwSize = sizeof(DecompressImageInfo);
    BYTE* pbBuffer = nullptr;     // read buffer handed to pfnGetData
    DWORD dwBufferMax = 0;
    DWORD dwBufferCurrent = 0;
    HBITMAP* phBM = nullptr;      // receives the bitmap, or null
    void** ppImageRender = nullptr;
    int iBitDepth = 0;            // 0: the screen's depth
    LPARAM lParam = 0;            // handed back to the callbacks
    HDC hdc = nullptr;
    int iScale = 100;             // percent; only 100 is supported
    int iMaxWidth = 10000;
    int iMaxHeight = 10000;
    GetImageDataFn pfnGetData = nullptr;
    ImageProgressFn pfnImageProgress = nullptr;
    COLORREF crTransparentOverride = 0xFFFFFFFF;
};

// S_OK with *phBM set, or E_INVALIDARG with *phBM null.
HRESULT DecompressImageIndirect(DecompressImageInfo* info);

namespace platform {

struct ImageSize {
    int width = 0;
    int height = 0;
};

// The size a BMP, GIF, JPEG or PNG file declares, when its structure passes our checks.
std::optional<ImageSize> check_image(std::span<const uint8_t> data);

// Null when the data fails the checks, cannot be decoded or exceeds the maximum size.
HBITMAP decode_image(std::span<const uint8_t> data, int bits_per_pixel, int max_width, int max_height);

// Writes a bitmap's colours (no alpha) as a PNG file at a host path.
bool save_bitmap_png(HBITMAP bitmap, const std::string& host_path);

}  // namespace platform
