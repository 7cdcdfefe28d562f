#include "audio/Id3v1Tag.h"

#include <algorithm>
#include <vector>

#include "base/File.h"
#include "base/Strings.h"

namespace audio {

namespace {

constexpr size_t kTagSize = 128;
constexpr size_t kSearched = 1000;

// Trailing NULs and spaces go, then everything from the first NUL; bytes widen as they are.
std::u16string text_field(const uint8_t* p, size_t size) {
    size_t end = size;
    while (end > 0 && (p[end - 1] == 0 || p[end - 1] == ' ')) {
        --end;
    }
    end = static_cast<size_t>(std::find(p, p + end, uint8_t{0}) - p);
    std::u16string text;
    skinner::widen(reinterpret_cast<const char*>(p), end, text);
    return text;
}

}  // namespace

Id3v1Tag parse_id3v1_tag(std::span<const uint8_t> tail) {
    Id3v1Tag tag;
    if (tail.size() < kTagSize) {
        return tag;
    }
    // Only where a whole tag fits: a "TAG" inside the last tag's own text is not a tag.
    for (size_t at = tail.size() - kTagSize + 1; at-- > 0;) {
        if (tail[at] == 'T' && tail[at + 1] == 'A' && tail[at + 2] == 'G') {
            const uint8_t* d = tail.data() + at + 3;
            tag.title = text_field(d, 30);
            tag.artist = text_field(d + 30, 30);
            tag.album = text_field(d + 60, 30);
            tag.year = text_field(d + 90, 4);
            tag.comment = text_field(d + 94, 30);
            tag.genre = d[124];
            if (d[122] == 0 && d[123] != 0) {
                tag.track = d[123];
            }
            tag.found = true;
            return tag;
        }
    }
    return tag;
}

Id3v1Tag read_id3v1_tag(const std::u16string& path) {
    skinner::File file(path, 0);
    if (!file.is_open()) {
        return Id3v1Tag();
    }
    uint32_t size = file.size();
    uint32_t count = std::min<uint32_t>(size, kSearched);
    std::vector<uint8_t> tail(count);
    if (count == 0 || !file.seek(size - count) || file.read(tail.data(), count) != count) {
        return Id3v1Tag();
    }
    return parse_id3v1_tag(tail);
}

}  // namespace audio
