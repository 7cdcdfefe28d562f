#pragma once
// Pictures of the older build: each keyed by {archive path, picture name, scale} and read out of
// the skin archive, else from the files beside it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "legacy/SkinArchive.h"
#include "platform/Types.h"
#include "ui/graphics/Picture.h"

namespace skinner {

// Nothing when the archive has no such entry; else the entry decoded by the image decompressor
// at the bit depth given (0: the screen's), null when that fails.
std::optional<HBITMAP> decode_archive_image(SkinArchive& archive, std::u16string_view name, int bit_depth);

// The picture's bitmap: the entries name.gif and name.bmp through the image decompressor, the
// entry name.bmp through our own reader, then the files name.bmp, name.gif and name.jpg in the
// folder. An entry that exists but cannot be decoded ends the search: null.
HBITMAP load_picture_bitmap(std::u16string_view name, const std::u16string& directory, SkinArchive& archive, int bit_depth);

// The file sets of one archive's pictures, the archive opened once for all of them.
class ArchivePictureSource : public PictureSource {
public:
    explicit ArchivePictureSource(const std::u16string& archive_path);
    // name as the image, name_1 as its mask, else name_8 (read at 24 bits) as its opacity.
    bool load_file_set(const std::u16string& name, HBITMAP& image, HBITMAP& mask, bool& mask_is_8bit) override;

private:
    SkinArchive archive_;
    std::u16string directory_;
};

// The handle of a picture of the archive (or of a plain skin file: then of the files beside it).
Picture archive_picture(const std::u16string& archive_path, std::u16string_view name, bool stretch, int32_t scale);

}  // namespace skinner
