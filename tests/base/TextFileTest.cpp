#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/fixtures/DeviceRoot.h"

namespace skinner {
namespace {

// An in-memory stream that can claim a size larger than what it can deliver.
class MemoryStream : public InputStream {
public:
    MemoryStream(std::string bytes, uint32_t claimed_size)
        : bytes_(std::move(bytes)), claimed_(claimed_size) {}
    explicit MemoryStream(std::string bytes) : MemoryStream(bytes, static_cast<uint32_t>(bytes.size())) {}

    uint32_t read(void* buffer, uint32_t n) override {
        largest_request = std::max(largest_request, n);
        uint32_t left = static_cast<uint32_t>(bytes_.size()) - position_;
        uint32_t count = std::min(n, left);
        std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        return count;
    }
    uint32_t skip(int32_t) override { return 0; }
    bool is_open() const override { return true; }
    uint32_t size() const override { return claimed_; }
    bool seek(uint32_t position) override {
        position_ = position;
        return true;
    }
    uint32_t position() const override { return position_; }

    uint32_t largest_request = 0;

private:
    std::string bytes_;
    uint32_t claimed_;
    uint32_t position_ = 0;
};

TEST(TextFile, ReadsUtf16WithMarkOrEightBitText) {
    struct Case {
        std::string bytes;
        int32_t max_bytes;
        bool wide;
        std::u16string wide_text;
        std::string narrow_text;
    } cases[] = {
        {std::string("\xFF\xFE" "A\0B\0", 6), 0x7FFFFFFF, true, u"AB", ""},
        {"ABC", 0x7FFFFFFF, false, u"", "ABC"},
        {"\xFF\xFE" "A", 0x7FFFFFFF, false, u"", "\xFF\xFE" "A"},  // odd length: 8-bit
        {"", 0x7FFFFFFF, false, u"", ""},
        {"Z", 0x7FFFFFFF, false, u"", "Z"},
        {std::string("\xFE\xFF\x00\x41", 4), 0x7FFFFFFF, false, u"", std::string("\xFE\xFF\x00\x41", 4)},
        {"\xEF\xBB\xBF" "abc", 0x7FFFFFFF, false, u"", "\xEF\xBB\xBF" "abc"},
        {std::string("\xFF\xFE" "a\0b\0c\0d\0", 10), 4, true, u"a", ""},
        {"abcdef", 3, false, u"", "abc"},
        {"abcdef", -1, false, u"", ""},
    };
    for (const Case& c : cases) {
        MemoryStream stream(c.bytes);
        std::string narrow_text;
        std::u16string wide;
        EXPECT_EQ(read_text_stream(stream, narrow_text, wide, c.max_bytes), c.wide) << c.bytes;
        EXPECT_EQ(wide, c.wide_text) << c.bytes;
        EXPECT_EQ(narrow_text, c.narrow_text) << c.bytes;
    }
}

TEST(TextFile, ShortReadsFailAndNothingBeyondTheStreamIsRequested) {
    for (std::string bytes : {std::string("\xFF\xFE" "a\0", 4), std::string("abcd"), std::string("abc")}) {
        // The stream claims 100 bytes but holds only a few.
        MemoryStream stream(bytes, 100);
        std::string narrow_text = "kept";
        std::u16string wide = u"kept";
        EXPECT_FALSE(read_text_stream(stream, narrow_text, wide, 0x7FFFFFFF));
        EXPECT_EQ(narrow_text, "kept");
        EXPECT_EQ(wide, u"kept");
        EXPECT_LE(stream.largest_request, 100u);
    }
    // A position past the claimed size leaves nothing to read (no wrap-around).
    MemoryStream stream("abcdef", 4);
    stream.seek(6);
    std::string narrow_text;
    std::u16string wide;
    EXPECT_FALSE(read_text_stream(stream, narrow_text, wide, 0x7FFFFFFF));
    EXPECT_EQ(stream.largest_request, 0u);
}

TEST(TextFile, WideAndNarrowReadersOverFiles) {
    fixtures::DeviceRoot box;
    fixtures::write_file(box.host("u.lng"), std::string("\xFF\xFE" "h\0\xE9\0", 6));
    fixtures::write_file(box.host("n.lng"), "h\xE9");
    File u16(u"/u.lng", File::read_existing);
    EXPECT_EQ(read_text_file_wide(u16, 0x7FFFFFFF), u"h\u00e9");
    File n8(u"/n.lng", File::read_existing);
    EXPECT_EQ(read_text_file_wide(n8, 0x7FFFFFFF), u"h\u00e9");  // widened byte by byte
    File u16_again(u"/u.lng", File::read_existing);
    EXPECT_EQ(read_text_file_narrow(u16_again, 0x7FFFFFFF), "h\xE9");
    File missing(u"/none.lng", File::read_existing);
    EXPECT_EQ(read_text_file_wide(missing, 0x7FFFFFFF), u"");
}

}  // namespace
}  // namespace skinner
