#include "tests/legacy/support/SkinArchives.h"

#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/TempDir.h"
#include "ui/graphics/Painter.h"

namespace legacy_test {

namespace {

std::string quoted(const std::string& s) { return "'" + s + "'"; }

// Writes each entry's content into the folder and returns the names, in order, for a command.
std::string write_entries(const fixtures::TempDir& dir, const Entries& entries) {
    std::string names;
    for (const auto& [name, content] : entries) {
        fixtures::write_file(dir.file(name), content);
        names += " " + quoted(name);
    }
    return names;
}

void put16(std::string& bytes, size_t at, uint32_t value) {
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char((value >> 8) & 0xFF);
}

void put32(std::string& bytes, size_t at, uint32_t value) {
    put16(bytes, at, value & 0xFFFF);
    put16(bytes, at + 2, value >> 16);
}

}  // namespace

std::string pack(const Entries& entries) {
    fixtures::TempDir dir;
    std::string command = quoted(std::string(VANTREL_TEST_BINARY_DIR) + "/tools/skinpack/skinpack") + " " + quoted(dir.file("out.zip"));
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string file = dir.file("content" + std::to_string(i));
        fixtures::write_file(file, entries[i].second);
        command += " " + quoted(entries[i].first + "=" + file);
    }
    EXPECT_EQ(fixtures::run_command(command), 0) << command;
    return fixtures::read_file(dir.file("out.zip"));
}

std::string zip_archive(const Entries& compressed, const Entries& stored) {
    fixtures::TempDir dir;
    fixtures::TempDir files;
    const std::string zip = quoted(dir.file("out.zip"));
    if (!compressed.empty()) {
        EXPECT_EQ(fixtures::run_command("cd " + quoted(files.path()) + " && zip -q -9 " + zip + write_entries(files, compressed)), 0);
    }
    if (!stored.empty()) {
        EXPECT_EQ(fixtures::run_command("cd " + quoted(files.path()) + " && zip -q -0 " + zip + write_entries(files, stored)), 0);
    }
    return fixtures::read_file(dir.file("out.zip"));
}

uint32_t get16(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8;
}

uint32_t get32(const std::string& bytes, size_t at) { return get16(bytes, at) | get16(bytes, at + 2) << 16; }

std::string with16(std::string bytes, size_t at, uint32_t value) {
    put16(bytes, at, value);
    return bytes;
}

std::string with32(std::string bytes, size_t at, uint32_t value) {
    put32(bytes, at, value);
    return bytes;
}

std::string bmp_file(const Bmp& bmp) {
    const uint32_t stride = (uint32_t(bmp.width) * bmp.bits + 31) / 32 * 4;
    const uint32_t table = uint32_t(bmp.palette.size()) * 4;
    const uint32_t offset = 54 + table;
    std::string b(offset + stride * uint32_t(bmp.height), '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, uint32_t(b.size()));
    put32(b, 10, offset);
    put32(b, 14, 40);
    put32(b, 18, uint32_t(bmp.width));
    put32(b, 22, uint32_t(bmp.height));
    put16(b, 26, 1);
    put16(b, 28, bmp.bits);
    put32(b, 34, stride * uint32_t(bmp.height));
    put32(b, 46, bmp.colors_used);
    for (size_t i = 0; i < bmp.palette.size(); ++i) put32(b, 54 + 4 * i, bmp.palette[i]);
    for (int y = 0; y < bmp.height; ++y) {
        const size_t row = offset + size_t(bmp.height - 1 - y) * stride;
        for (int x = 0; x < bmp.width; ++x) {
            const uint32_t v = bmp.pixel(x, y);
            if (bmp.bits < 8) {
                const size_t bit = size_t(x) * bmp.bits;
                const int shift = 8 - bmp.bits - int(bit % 8);
                b[row + bit / 8] = char(uint8_t(b[row + bit / 8]) | (v << shift));
            } else {
                for (int i = 0; i < bmp.bits / 8; ++i) b[row + size_t(x) * (bmp.bits / 8) + size_t(i)] = char((v >> (8 * i)) & 0xFF);
            }
        }
    }
    return b;
}

std::string converted(const std::string& bmp, const std::string& extension) {
    fixtures::TempDir dir;
    const std::string out = dir.file("out." + extension);
    fixtures::write_file(dir.file("in.bmp"), bmp);
    EXPECT_EQ(fixtures::run_command("convert " + quoted(dir.file("in.bmp")) + " " + quoted(out)), 0);
    return fixtures::read_file(out);
}

COLORREF pixel_of(HBITMAP bitmap, int x, int y) {
    skinner::HDCSelector dc(nullptr, bitmap);
    return GetPixel(dc.dc(), x, y);
}

}  // namespace legacy_test
