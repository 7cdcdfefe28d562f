#pragma once
// The older build's skin load: the skin path may name a skin archive, whose first entry with the
// extension "skin" is the skin image and whose entries are its pictures; any other path is read
// as a plain skin file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/skin/SkinImageLoader.h"

namespace skinner {

class ArchiveSkinLoader : public SkinImageLoader {
public:
    bool read_skin(const std::u16string& path, std::vector<uint8_t>& bytes) override;
    Picture listed_picture(const std::u16string& skin_path, std::u16string_view name, int32_t scale) override;
};

// Called by the older program at start-up, before its skin loads.
void install_archive_skin_loader();

}  // namespace skinner
