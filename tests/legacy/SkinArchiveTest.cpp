// The skin archive reads stored entries through their local headers, streams the current one
// within its bounds, and ends every scan at a compressed, damaged or truncated entry.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "legacy/SkinArchive.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/legacy/support/SkinArchives.h"

using namespace skinner;
using legacy_test::pack;
using legacy_test::with16;
using legacy_test::with32;

namespace {

class Archives : public ::testing::Test {
protected:
    // The bytes as \archive.zip; its device path.
    std::u16string write(const std::string& bytes) {
        fixtures::write_file(root.host("archive.zip"), bytes);
        return u"\\archive.zip";
    }

    // Every name a scan from the start yields, at most `limit` of them (a scan that does not
    // end shows as more).
    static std::vector<std::u16string> scan(SkinArchive& archive, size_t limit = 8) {
        std::vector<std::u16string> names;
        for (std::u16string n = archive.next_entry(); !n.empty() && names.size() <= limit; n = archive.next_entry()) names.push_back(n);
        return names;
    }

    static std::string read_all(SkinArchive& archive) {
        std::string out(archive.size(), '\0');
        EXPECT_EQ(archive.read(out.data(), archive.size()), archive.size());
        return out;
    }

    fixtures::DeviceRoot root;
};

}  // namespace

TEST_F(Archives, StoredEntriesAreReadInOrderAndStreamedWithinTheirBounds) {
    SkinArchive archive(write(pack({{"a.txt", "hello"}, {"dir/B.bin", "0123456789"}})));
    ASSERT_TRUE(archive.is_open());
    EXPECT_EQ(archive.size(), 0u) << "no current entry before the first header";
    EXPECT_EQ(archive.next_entry(), u"a.txt");
    EXPECT_EQ(archive.size(), 5u);
    char buffer[16] = {};
    EXPECT_EQ(archive.read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "hel");
    EXPECT_EQ(archive.read(buffer, 16), 2u) << "no more than the entry holds";
    EXPECT_EQ(std::string(buffer, 2), "lo");
    EXPECT_EQ(archive.read(buffer, 16), 0u);

    EXPECT_EQ(archive.next_entry(), u"dir/B.bin");
    ASSERT_TRUE(archive.seek(4));
    EXPECT_EQ(archive.read(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "45");
    EXPECT_EQ(archive.position(), 6u);
    EXPECT_FALSE(archive.seek(11)) << "past the entry";
    EXPECT_EQ(archive.position(), 6u);
    EXPECT_EQ(archive.skip(100), 4u);
    EXPECT_EQ(archive.position(), 10u);
    EXPECT_EQ(archive.skip(-3), 3u);
    EXPECT_EQ(archive.read(buffer, 16), 3u);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(archive.skip(INT32_MIN), 10u);
    EXPECT_EQ(archive.position(), 0u);

    EXPECT_EQ(archive.next_entry(), u"") << "the central directory ends the scan";
    EXPECT_EQ(archive.size(), 0u);
    EXPECT_EQ(archive.read(buffer, 16), 0u);
}

TEST_F(Archives, FindEntryComparesNamesAsPathsWithoutRegardToCase) {
    SkinArchive archive(write(pack({{"Readme.TXT", "first"}, {"pictures/Button.BMP", "second"}})));
    const struct {
        std::u16string wanted;
        const char* content;  // null: not found
    } cases[] = {
        {u"pictures/button.bmp", "second"},
        {u"readme.txt", "first"},
        {u"PICTURES\\BUTTON.BMP", "second"},
        {u"button.bmp", nullptr},
        {u"Readme", nullptr},
    };
    for (const auto& c : cases) {
        const bool found = archive.find_entry(c.wanted);
        EXPECT_EQ(found, c.content != nullptr) << std::string(c.wanted.begin(), c.wanted.end());
        EXPECT_EQ(found ? read_all(archive) : std::to_string(archive.size()), found ? c.content : "0");
    }
}

TEST_F(Archives, ACompressedEntryEndsTheScanAndHidesTheEntriesBehindIt) {
    const std::string compressible(4000, 'a');
    const std::string bytes = legacy_test::zip_archive({{"big.txt", compressible}}, {{"small.txt", "tiny"}});
    ASSERT_EQ(legacy_test::get32(bytes, 0), 0x04034B50u);
    ASSERT_EQ(legacy_test::get16(bytes, 8), 8u) << "zip deflated the first entry";
    SkinArchive archive(write(bytes));
    EXPECT_EQ(scan(archive), std::vector<std::u16string>{});
    EXPECT_FALSE(archive.find_entry(u"small.txt"));
}

TEST_F(Archives, StoredEntriesOfDebiansZipAreReadPastTheirExtraFields) {
    const std::string bytes = legacy_test::zip_archive({}, {{"one.txt", "first entry"}, {"two.txt", "second"}});
    ASSERT_GT(legacy_test::get16(bytes, 28), 0u) << "zip writes an extra field";
    SkinArchive archive(write(bytes));
    EXPECT_EQ(scan(archive), (std::vector<std::u16string>{u"one.txt", u"two.txt"}));
    ASSERT_TRUE(archive.find_entry(u"two.txt"));
    EXPECT_EQ(read_all(archive), "second");
}

TEST_F(Archives, HostileArchivesEndTheScanCleanly) {
    // Entry "one.bin" (data at 37, 16 bytes) is followed by entry "two.bin" at 53.
    const std::string good = pack({{"one.bin", std::string(16, 'x')}, {"two.bin", "xyz"}});
    ASSERT_EQ(legacy_test::get32(good, 53), 0x04034B50u);
    auto with_sizes = [&](uint32_t size) { return with32(with32(good, 18, size), 22, size); };
    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::u16string> names;
    } cases[] = {
        {"a size past the end of the file", with_sizes(uint32_t(good.size())), {}},
        {"the largest size", with_sizes(UINT32_MAX), {}},
        // In 32 bits the next header would be 37 + size = 0: the first header again, forever.
        {"a size that wraps the next offset back to the first header", with_sizes(uint32_t(0x100000000ull - 37)), {}},
        {"a name longer than the file", with16(good, 26, 0xFFFF), {}},
        {"an extra field longer than the file", with16(good, 28, 0xFFFF), {}},
        {"sizes that differ", with32(good, 18, 15), {}},
        {"a header cut short", good.substr(0, 20), {}},
        {"data cut short", good.substr(0, 45), {}},
        {"the second entry's data cut short", good.substr(0, 53 + 37 + 1), {u"one.bin"}},
        {"an empty file", "", {}},
        {"not an archive", std::string(600, 'S'), {}},
        {"an empty name", with16(good, 26, 0), {}},
    };
    for (const auto& c : cases) {
        SkinArchive archive(write(c.bytes));
        EXPECT_EQ(scan(archive), c.names) << c.what;
        EXPECT_FALSE(archive.find_entry(u"two.bin")) << c.what;
        char buffer[8];
        EXPECT_EQ(archive.read(buffer, sizeof buffer), 0u) << c.what;
    }
    SkinArchive missing(u"\\no such archive.zip");
    EXPECT_FALSE(missing.is_open());
    EXPECT_EQ(missing.next_entry(), u"");
    EXPECT_FALSE(missing.find_entry(u"two.bin"));
}
