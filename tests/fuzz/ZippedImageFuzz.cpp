// Any bytes stored as a BMP entry give either no bitmap or a DIB section filled from within the
// entry.
#include <cstddef>
#include <cstdint>
#include <string>

#include "legacy/SkinArchive.h"
#include "legacy/ZippedImage.h"
#include "platform/gdi/Gdi.h"
#include "tests/fuzz/FuzzRoot.h"

using namespace skinner;

namespace {

void put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

// The one local header of a stored entry "p.bmp" holding the data.
std::string stored_entry(const uint8_t* data, size_t size) {
    std::string out;
    put(out, 0x04034B50, 4);
    put(out, 10, 2);  // version
    put(out, 0, 2);   // flags
    put(out, 0, 2);   // stored
    put(out, 0, 4);   // time and date
    put(out, 0, 4);   // CRC-32, never checked
    put(out, uint32_t(size), 4);
    put(out, uint32_t(size), 4);
    put(out, 5, 2);
    put(out, 0, 2);
    out += "p.bmp";
    out.append(reinterpret_cast<const char*>(data), size);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("bmp") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string entry = stored_entry(data, size);
    fuzz_root::write_file("skin.zip", entry.data(), entry.size());
    SkinArchive archive(u"\\skin.zip");
    std::optional<HBITMAP> bitmap = load_zipped_image(archive, u"p.bmp");
    if (!bitmap) __builtin_trap();  // the entry is always there
    if (*bitmap) {
        BITMAP info{};
        GetObjectW(*bitmap, sizeof info, &info);
        if (info.bmWidth < 1 || info.bmWidth > 10000 || info.bmHeight < 1 || info.bmHeight > 10000) __builtin_trap();
        DeleteObject(*bitmap);
    }
    return 0;
}
