#pragma once
// The BMP entries of a skin archive read straight into a DIB section of the file's own depth.
#include <optional>
#include <string_view>

#include "legacy/SkinArchive.h"
#include "platform/Types.h"

namespace skinner {

// Nothing when the archive has no such entry. Otherwise the bitmap, or null when the entry is
// not a BMP of 1, 4, 8, 16, 24 or 32 bits per pixel, 1 to 10000 pixels wide and high, whose
// colour table and pixels lie within the entry.
std::optional<HBITMAP> load_zipped_image(SkinArchive& archive, std::u16string_view name);

}  // namespace skinner
