#pragma once
// The 128-byte tag that may end an MP3 file.
#include <cstdint>
#include <span>
#include <string>

namespace audio {

struct Id3v1Tag {
    std::u16string title;
    std::u16string artist;
    std::u16string album;
    std::u16string year;
    std::u16string comment;
    uint8_t track = 0;  // 0 when absent
    uint8_t genre = 0;
    bool found = false;
};

// Finds the last "TAG" in the tail of a file (the last 1000 bytes or fewer) that has a whole
// tag after it, and reads the fields; an empty record when there is none.
Id3v1Tag parse_id3v1_tag(std::span<const uint8_t> file_tail);
Id3v1Tag read_id3v1_tag(const std::u16string& path);

}  // namespace audio
