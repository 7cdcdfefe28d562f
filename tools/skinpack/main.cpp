// skinpack ARCHIVE ITEM...: writes a ZIP archive of stored (uncompressed) entries, in the order
// given. An ITEM is a file (the entry takes its file name), NAME=FILE (the entry takes NAME), or
// a folder (its files in name order). A name met again is not packed twice. Every entry carries
// a fixed time stamp, so the same inputs always give the same archive.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Entry {
    std::string name;
    fs::path file;
};

struct Packed {
    std::string name;
    uint32_t crc = 0;
    uint32_t size = 0;
    uint32_t offset = 0;
};

constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01, the earliest ZIP date

uint32_t crc32(const std::vector<uint8_t>& data) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (uint8_t b : data) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The fields a local header and a central directory record share, from "version needed" on.
void put_common(std::vector<uint8_t>& out, const Packed& p) {
    put16(out, 10);  // version needed: stored entries
    put16(out, 0);   // flags
    put16(out, 0);   // method: stored
    put16(out, 0);   // time
    put16(out, kDosDate);
    put32(out, p.crc);
    put32(out, p.size);
    put32(out, p.size);
    put16(out, uint32_t(p.name.size()));
    put16(out, 0);  // extra field length
}

bool add_item(const std::string& item, std::vector<Entry>& entries) {
    const size_t eq = item.find('=');
    if (eq != std::string::npos) {
        entries.push_back({item.substr(0, eq), item.substr(eq + 1)});
        return true;
    }
    const fs::path path(item);
    std::error_code error;
    if (fs::is_directory(path, error)) {
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(path, error))
            if (e.is_regular_file()) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& f : files) entries.push_back({f.filename().string(), f});
        return !error;
    }
    entries.push_back({path.filename().string(), path});
    return true;
}

bool read_file(const fs::path& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: skinpack ARCHIVE ITEM...  (ITEM: FILE, NAME=FILE or FOLDER)\n");
        return 2;
    }
    std::vector<Entry> entries;
    for (int i = 2; i < argc; ++i) {
        if (!add_item(argv[i], entries)) {
            std::fprintf(stderr, "skinpack: cannot list %s\n", argv[i]);
            return 1;
        }
    }
    std::vector<uint8_t> out;
    std::vector<Packed> packed;
    std::set<std::string> names;
    for (const Entry& e : entries) {
        if (e.name.empty() || e.name.size() > 0xFFFF || !names.insert(e.name).second) continue;
        std::vector<uint8_t> data;
        if (!read_file(e.file, data)) {
            std::fprintf(stderr, "skinpack: cannot read %s\n", e.file.string().c_str());
            return 1;
        }
        if (out.size() + 30 + e.name.size() + data.size() > 0xFFFFFFFFu) {
            std::fprintf(stderr, "skinpack: the archive would pass 4 GiB\n");
            return 1;
        }
        Packed p{e.name, crc32(data), uint32_t(data.size()), uint32_t(out.size())};
        put32(out, 0x04034B50);
        put_common(out, p);
        out.insert(out.end(), p.name.begin(), p.name.end());
        out.insert(out.end(), data.begin(), data.end());
        packed.push_back(p);
    }
    if (packed.size() > 0xFFFF) {
        std::fprintf(stderr, "skinpack: more than 65535 entries\n");
        return 1;
    }
    const uint32_t directory_offset = uint32_t(out.size());
    for (const Packed& p : packed) {
        put32(out, 0x02014B50);
        put16(out, 10);  // made by
        put_common(out, p);
        put16(out, 0);  // comment length
        put16(out, 0);  // disk
        put16(out, 0);  // internal attributes
        put32(out, 0);  // external attributes
        put32(out, p.offset);
        out.insert(out.end(), p.name.begin(), p.name.end());
    }
    const uint32_t directory_size = uint32_t(out.size()) - directory_offset;
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, uint32_t(packed.size()));
    put16(out, uint32_t(packed.size()));
    put32(out, directory_size);
    put32(out, directory_offset);
    put16(out, 0);  // comment length
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    if (!file) {
        std::fprintf(stderr, "skinpack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
