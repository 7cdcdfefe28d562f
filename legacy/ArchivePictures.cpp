#include "legacy/ArchivePictures.h"

#include <memory>

#include "base/Path.h"
#include "legacy/ZippedImage.h"

namespace skinner {

namespace {

std::unique_ptr<PictureRep> make_archive_picture(const PictureCache::Key& key) {
    ArchivePictureSource source(key.path);
    return std::make_unique<PictureRep>(source, key.name, key.scale);
}

}  // namespace

std::optional<HBITMAP> decode_archive_image(SkinArchive& archive, std::u16string_view name, int bit_depth) {
    if (!archive.find_entry(name)) {
        return std::nullopt;
    }
    return decode_image_stream(archive, bit_depth);
}

HBITMAP load_picture_bitmap(std::u16string_view name, const std::u16string& directory, SkinArchive& archive, int bit_depth) {
    const std::u16string base(name);
    // The decompressor first, so that a BMP entry comes at the depth asked for (an opacity mask
    // at 24 bits); an entry it refuses ends the search rather than being read unchecked.
    for (const char16_t* extension : {u".gif", u".bmp"}) {
        if (std::optional<HBITMAP> entry = decode_archive_image(archive, base + extension, bit_depth)) {
            return *entry;
        }
    }
    if (std::optional<HBITMAP> bmp = load_zipped_image(archive, base + u".bmp")) {
        return *bmp;
    }
    for (const char16_t* extension : {u".bmp", u".gif", u".jpg"}) {
        if (HBITMAP bitmap = decode_image_file(join_path(directory, base + extension), bit_depth)) {
            return bitmap;
        }
    }
    return nullptr;
}

ArchivePictureSource::ArchivePictureSource(const std::u16string& archive_path)
    : archive_(archive_path), directory_(get_directory(archive_path)) {}

bool ArchivePictureSource::load_file_set(const std::u16string& name, HBITMAP& image, HBITMAP& mask, bool& mask_is_8bit) {
    image = load_picture_bitmap(name, directory_, archive_, 0);
    if (!image) {
        return false;
    }
    mask = load_picture_bitmap(name + u"_1", directory_, archive_, 0);
    mask_is_8bit = false;
    if (!mask) {
        mask = load_picture_bitmap(name + u"_8", directory_, archive_, 24);
        mask_is_8bit = mask != nullptr;
    }
    return true;
}

Picture archive_picture(const std::u16string& archive_path, std::u16string_view name, bool stretch, int32_t scale) {
    return Picture(PictureCache::Key{scale, archive_path, std::u16string(name)}, make_archive_picture, stretch);
}

}  // namespace skinner
