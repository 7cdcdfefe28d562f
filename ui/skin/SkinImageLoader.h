#pragma once
// How the skin image reaches a skin's bytes and its listed pictures. A program may install its
// own loader at start-up (the older build reads skins out of an archive); without one, a skin is
// a file with its picture files beside it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/graphics/Picture.h"

namespace skinner {

class SkinImageLoader {
public:
    virtual ~SkinImageLoader() = default;
    // The whole skin; false when it cannot be read (a short read is logged).
    virtual bool read_skin(const std::u16string& path, std::vector<uint8_t>& bytes) = 0;
    // The handle of a picture the skin lists, with stretch flag 0 at the skin scale.
    virtual Picture listed_picture(const std::u16string& skin_path, std::u16string_view name, int32_t scale) = 0;
};

// The plain loader's read of a skin file, for loaders that fall back to it.
bool read_skin_file(const std::u16string& path, std::vector<uint8_t>& bytes);

// Every later skin load goes through this loader; null brings back the plain one.
void install_skin_image_loader(std::unique_ptr<SkinImageLoader> loader);
SkinImageLoader& skin_image_loader();

}  // namespace skinner
