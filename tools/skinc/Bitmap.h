#pragma once
// The picture files the program's picture cache looks for, made from rendered sources.
#include <string>

namespace skinc {

// Turns a PNG (as rsvg-convert renders it) into base + ".bmp" and, when it has transparent parts,
// its mask: base + "_1.bmp" when every pixel is fully opaque or fully transparent, else
// base + "_8.bmp" holding the opacity. Mask files of the other kind are removed.
bool png_to_bitmaps(const std::string& png, const std::string& base, std::string& error);

// The pixel size of a BMP file.
bool bitmap_size(const std::string& path, int& width, int& height);

}  // namespace skinc
