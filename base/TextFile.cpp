#include "base/TextFile.h"

#include "base/Strings.h"

namespace skinner {

namespace {

// Exactly n bytes into out, or false (out untouched).
bool read_exactly(InputStream& stream, uint32_t n, std::string& out) {
    std::string bytes(n, '\0');
    uint32_t done = 0;
    while (done < n) {
        uint32_t got = stream.read(bytes.data() + done, n - done);
        if (got == 0 || got > n - done) {
            return false;
        }
        done += got;
    }
    out = std::move(bytes);
    return true;
}

}  // namespace

bool read_text_stream(InputStream& stream, std::string& narrow_text, std::u16string& wide, int32_t max_bytes) {
    uint32_t size = stream.size();
    uint32_t position = stream.position();
    uint32_t n = position < size ? size - position : 0;
    if (max_bytes < 0) {
        n = 0;
    } else if (static_cast<uint32_t>(max_bytes) < n) {
        n = static_cast<uint32_t>(max_bytes);
    }
    if (n % 2 == 1 || n < 2) {
        std::string bytes;
        if (read_exactly(stream, n, bytes)) {
            narrow_text = std::move(bytes);
        }
        return false;
    }
    std::string mark;
    if (!read_exactly(stream, 2, mark)) {
        return false;
    }
    std::string rest;
    if (!read_exactly(stream, n - 2, rest)) {
        return false;
    }
    if (mark[0] == '\xFF' && mark[1] == '\xFE') {
        std::u16string text(rest.size() / 2, u'\0');
        for (size_t i = 0; i < text.size(); ++i) {
            text[i] = static_cast<char16_t>(static_cast<unsigned char>(rest[2 * i]) |
                                            (static_cast<unsigned char>(rest[2 * i + 1]) << 8));
        }
        wide = std::move(text);
        return true;
    }
    narrow_text = mark + rest;
    return false;
}

std::u16string read_text_file_wide(InputStream& stream, int32_t max_bytes) {
    std::string narrow_text;
    std::u16string wide;
    if (read_text_stream(stream, narrow_text, wide, max_bytes)) {
        return wide;
    }
    widen(narrow_text, wide);
    return wide;
}

std::string read_text_file_narrow(InputStream& stream, int32_t max_bytes) {
    std::string narrow_text;
    std::u16string wide;
    if (read_text_stream(stream, narrow_text, wide, max_bytes)) {
        narrow(wide, narrow_text);
    }
    return narrow_text;
}

}  // namespace skinner
