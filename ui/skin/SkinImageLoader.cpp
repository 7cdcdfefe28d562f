#include "ui/skin/SkinImageLoader.h"

#include "base/File.h"
#include "base/Log.h"
#include "base/Path.h"

namespace skinner {

namespace {

// The skin file, and each picture the file set of the name in the skin's folder.
class SkinFileLoader : public SkinImageLoader {
public:
    bool read_skin(const std::u16string& path, std::vector<uint8_t>& bytes) override { return read_skin_file(path, bytes); }

    Picture listed_picture(const std::u16string& skin_path, std::u16string_view name, int32_t scale) override {
        const std::u16string folder = get_directory(skin_path);
        return Picture(folder.empty() ? std::u16string(name) : join_path(folder, name), false, scale);
    }
};

std::unique_ptr<SkinImageLoader>& installed_loader() {
    static std::unique_ptr<SkinImageLoader> loader;
    return loader;
}

}  // namespace

bool read_skin_file(const std::u16string& path, std::vector<uint8_t>& bytes) {
    File file(path, File::read_existing);
    if (!file.is_open()) return false;
    const uint32_t size = file.size();
    bytes.assign(size, 0);
    if (size > 0 && file.read(bytes.data(), size) != size) {
        Log::instance() << u"Error: skin [" << path << u"] failed to load\n";
        return false;
    }
    return true;
}

void install_skin_image_loader(std::unique_ptr<SkinImageLoader> loader) { installed_loader() = std::move(loader); }

SkinImageLoader& skin_image_loader() {
    static SkinFileLoader plain;
    SkinImageLoader* loader = installed_loader().get();
    return loader ? *loader : plain;
}

}  // namespace skinner
