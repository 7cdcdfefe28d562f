#include "legacy/ArchiveSkinLoader.h"

#include <memory>

#include "base/Log.h"
#include "base/Path.h"
#include "legacy/ArchivePictures.h"
#include "legacy/SkinArchive.h"

namespace skinner {

bool ArchiveSkinLoader::read_skin(const std::u16string& path, std::vector<uint8_t>& bytes) {
    SkinArchive archive(path);
    for (std::u16string entry = archive.next_entry(); !entry.empty(); entry = archive.next_entry()) {
        if (!paths_equal(get_extension(entry), u"skin")) {
            continue;
        }
        // The entry lies within the file, so its size is never more than the file holds.
        bytes.assign(archive.size(), 0);
        if (archive.read(bytes.data(), archive.size()) != archive.size()) {
            Log::instance() << u"Error: skin [" << path << u"] failed to load from archive\n";
            return false;
        }
        return true;
    }
    return read_skin_file(path, bytes);
}

Picture ArchiveSkinLoader::listed_picture(const std::u16string& skin_path, std::u16string_view name, int32_t scale) {
    return archive_picture(skin_path, name, false, scale);
}

void install_archive_skin_loader() { install_skin_image_loader(std::make_unique<ArchiveSkinLoader>()); }

}  // namespace skinner
