// Any bytes read as a skin archive end every scan, keep every read within the file, and give a
// skin image or a picture only from entries that lie wholly inside it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "legacy/ArchivePictures.h"
#include "legacy/ArchiveSkinLoader.h"
#include "legacy/SkinArchive.h"
#include "legacy/ZippedImage.h"
#include "platform/gdi/Gdi.h"
#include "tests/fuzz/FuzzRoot.h"

using namespace skinner;

namespace {

void delete_bitmap(HBITMAP bitmap) {
    if (bitmap) DeleteObject(bitmap);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("archive") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_root::write_file("skin.zip", data, size);
    SkinArchive archive(u"\\skin.zip");
    std::vector<uint8_t> bytes;
    for (std::u16string name = archive.next_entry(); !name.empty(); name = archive.next_entry()) {
        if (archive.size() > size) __builtin_trap();
        bytes.assign(archive.size(), 0);
        if (archive.read(bytes.data(), archive.size()) != archive.size()) __builtin_trap();
        archive.seek(archive.size() / 2);
        archive.skip(-7);
        uint8_t few[16];
        archive.read(few, sizeof few);
    }
    (void)archive.find_entry(u"Default.skin");
    ArchiveSkinLoader loader;
    (void)loader.read_skin(u"\\skin.zip", bytes);
    if (std::optional<HBITMAP> bmp = load_zipped_image(archive, u"p.bmp")) delete_bitmap(*bmp);
    delete_bitmap(load_picture_bitmap(u"p", u"\\", archive, 0));
    return 0;
}
