#pragma once
// Hand-made RIFF/WAVE files for the parser's edge cases: chunks with any stated size.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fixtures {

struct Bytes {
    std::vector<uint8_t> b;
    Bytes& u8(uint8_t v) { b.push_back(v); return *this; }
    Bytes& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& id(const char (&s)[5]) { b.insert(b.end(), s, s + 4); return *this; }
    Bytes& raw(const std::vector<uint8_t>& more) { b.insert(b.end(), more.begin(), more.end()); return *this; }
    Bytes& zeros(size_t n) { b.resize(b.size() + n, 0); return *this; }
};

struct Chunk {
    Chunk(std::string chunk_id, std::vector<uint8_t> chunk_body, std::optional<uint32_t> stated = std::nullopt)
        : id(std::move(chunk_id)), body(std::move(chunk_body)), stated_size(stated) {}
    std::string id;  // 4 characters
    std::vector<uint8_t> body;
    std::optional<uint32_t> stated_size;  // the size field, when it lies
};

// "RIFF", size, "WAVE", then the chunks as given (no pad bytes).
inline std::vector<uint8_t> riff_wave(const std::vector<Chunk>& chunks) {
    Bytes body;
    for (const Chunk& c : chunks) {
        body.b.insert(body.b.end(), c.id.begin(), c.id.end());
        body.u32(c.stated_size.value_or(static_cast<uint32_t>(c.body.size())));
        body.raw(c.body);
    }
    Bytes file;
    file.id("RIFF").u32(static_cast<uint32_t>(body.b.size() + 4)).id("WAVE").raw(body.b);
    return file.b;
}

// The 16 common fmt bytes.
inline Bytes fmt_common(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits) {
    Bytes f;
    f.u16(tag).u16(channels).u32(rate).u32(rate * align).u16(align).u16(bits);
    return f;
}

// An MS ADPCM fmt body: common bytes, cbSize 32, samples per block, the count and pairs.
inline Bytes fmt_adpcm(uint16_t channels, uint16_t align, uint16_t samples_per_block, uint16_t pairs = 7) {
    static const int16_t standard[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    Bytes f = fmt_common(2, channels, 8000, align, 4);
    f.u16(static_cast<uint16_t>(4 + 4 * pairs)).u16(samples_per_block).u16(pairs);
    for (int i = 0; i < pairs; ++i) {
        f.u16(static_cast<uint16_t>(standard[i % 7][0])).u16(static_cast<uint16_t>(standard[i % 7][1]));
    }
    return f;
}

inline Bytes fmt_gsm(uint16_t channels = 1, uint32_t rate = 8000, uint16_t align = 65, uint16_t samples_per_block = 320) {
    Bytes f = fmt_common(0x31, channels, rate, align, 0);
    f.u16(2).u16(samples_per_block);
    return f;
}

inline std::vector<uint8_t> u32_bytes(uint32_t v) { return Bytes().u32(v).b; }

}  // namespace fixtures
