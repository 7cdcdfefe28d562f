#include "audio/Id3v1Tag.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using audio::parse_id3v1_tag;

namespace {

std::vector<uint8_t> tag_bytes(const char* title, uint8_t byte122, uint8_t byte123, uint8_t genre) {
    std::vector<uint8_t> tag(128, 0);
    std::memcpy(tag.data(), "TAG", 3);
    std::memcpy(tag.data() + 3, title, std::strlen(title));
    std::memcpy(tag.data() + 33, "Artist  ", 8);
    std::memcpy(tag.data() + 93, "2001", 4);
    std::memcpy(tag.data() + 97, "note", 4);
    tag[3 + 122] = byte122;
    tag[3 + 123] = byte123;
    tag[127] = genre;
    return tag;
}

}  // namespace

TEST(Id3v1Tag, ReadsFieldsAndTrack) {
    struct Case {
        uint8_t byte122, byte123, track;
    } cases[] = {{0, 7, 7}, {0, 0, 0}, {'x', 7, 0}};
    for (const Case& c : cases) {
        std::vector<uint8_t> file(300, 0x55);
        std::vector<uint8_t> tag = tag_bytes("Song \xE9t\xE9   ", c.byte122, c.byte123, 17);
        file.insert(file.end(), tag.begin(), tag.end());
        audio::Id3v1Tag parsed = parse_id3v1_tag(file);
        ASSERT_TRUE(parsed.found);
        EXPECT_EQ(parsed.title, u"Song \u00E9t\u00E9");
        EXPECT_EQ(parsed.artist, u"Artist");
        EXPECT_EQ(parsed.year, u"2001");
        EXPECT_EQ(parsed.genre, 17);
        EXPECT_EQ(parsed.track, c.track);
    }
}

TEST(Id3v1Tag, UsesLastTagThatFits) {
    // Two tags in the tail: the later one counts.
    std::vector<uint8_t> file = tag_bytes("first", 0, 0, 1);
    std::vector<uint8_t> second = tag_bytes("second", 0, 0, 2);
    file.insert(file.end(), second.begin(), second.end());
    EXPECT_EQ(parse_id3v1_tag(file).title, u"second");

    // "TAG" inside the last tag's own title is not where a tag fits.
    std::vector<uint8_t> tricky = tag_bytes("xxTAGyy", 0, 0, 3);
    EXPECT_EQ(parse_id3v1_tag(tricky).title, u"xxTAGyy");

    struct Case {
        std::vector<uint8_t> bytes;
    } none[] = {{{}}, {{'T', 'A', 'G'}}, {std::vector<uint8_t>(127, 'T')}, {std::vector<uint8_t>(500, 0)}};
    none[1].bytes.resize(100, 0);
    for (const Case& c : none) {
        EXPECT_FALSE(parse_id3v1_tag(c.bytes).found) << c.bytes.size();
    }
}
