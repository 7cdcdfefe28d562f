#include "base/File.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/Core.h"
#include "tests/fixtures/DeviceRoot.h"

namespace skinner {
namespace {

using fixtures::DeviceRoot;

std::string read_rest(File& file) {
    std::string out(64, '\0');
    out.resize(file.read(out.data(), static_cast<uint32_t>(out.size())));
    return out;
}

TEST(File, OpenModesOnMissingAndExistingFiles) {
    struct Case {
        const char* name;
        bool exists_before;
        int mode;
        bool opens;
        std::string after_writing_xy;  // content after writing "xy" (when open)
    } cases[] = {
        {"missing0.txt", false, File::read_existing, false, ""},
        {"missing1.txt", false, File::create_always, true, "xy"},
        {"missing2.txt", false, File::append, true, "xy"},
        {"missing3.txt", false, File::read_write, true, "xy"},
        {"missing7.txt", false, 7, true, "xy"},  // any other mode reads and writes
        {"existing1.txt", true, File::create_always, true, "xy"},
        {"existing2.txt", true, File::append, true, "12345xy"},
        {"existing3.txt", true, File::read_write, true, "xy345"},
    };
    DeviceRoot box;
    for (const Case& c : cases) {
        if (c.exists_before) {
            fixtures::write_file(box.host(c.name), "12345");
        }
        std::u16string path = u"/";
        for (const char* p = c.name; *p; ++p) {
            path += static_cast<char16_t>(*p);
        }
        {
            File file(path, c.mode);
            ASSERT_EQ(file.is_open(), c.opens) << c.name;
            if (c.opens) {
                EXPECT_EQ(file.write("xy", 2), 2u) << c.name;
            }
        }
        if (c.opens) {
            EXPECT_EQ(fixtures::read_file(box.host(c.name)), c.after_writing_xy) << c.name;
        } else {
            EXPECT_EQ(fixtures::read_file(box.host(c.name)), "");
        }
    }
}

TEST(File, ReadSkipSeekAndPosition) {
    DeviceRoot box;
    fixtures::write_file(box.host("data.bin"), "0123456789ABCDEF");
    File file(u"\\DATA.bin", File::read_existing);
    ASSERT_TRUE(file.is_open());
    EXPECT_EQ(file.size(), 16u);
    char buffer[10];
    EXPECT_EQ(file.read(buffer, 0), 0u);
    EXPECT_EQ(file.read(buffer, 10), 10u);
    EXPECT_EQ(file.skip(-4), 0xFFFFFFFCu);
    EXPECT_EQ(file.position(), 6u);
    EXPECT_EQ(file.skip(3), 3u);
    EXPECT_EQ(file.skip(0), 0u);
    EXPECT_EQ(read_rest(file), "9ABCDEF");
    EXPECT_EQ(file.read(buffer, 10), 0u);  // at the end
    EXPECT_TRUE(file.seek(2));
    EXPECT_EQ(file.position(), 2u);
    EXPECT_EQ(file.skip(-3), 0u);  // before the start: refused, pointer kept
    EXPECT_EQ(file.position(), 2u);
    EXPECT_EQ(file.write("x", 1), 0u);  // opened for reading only
    EXPECT_FALSE(file.flush());
}

TEST(File, ZeroBytesNeedNoPlatformCall) {
    // On a file opened the other way only, a platform call would fail and set the last error.
    DeviceRoot box;
    fixtures::write_file(box.host("r.bin"), "abc");
    File reader(u"/r.bin", File::read_existing);
    File writer(u"/w.bin", File::create_always);
    ASSERT_TRUE(reader.is_open() && writer.is_open());
    char buffer[4];
    SetLastError(77);
    EXPECT_EQ(reader.write("x", 0), 0u);
    EXPECT_EQ(writer.read(buffer, 0), 0u);
    EXPECT_EQ(GetLastError(), 77u);
    EXPECT_EQ(reader.position(), 0u);
}

TEST(File, ClosedFileAnswersZeroAndFalse) {
    DeviceRoot box;
    File file(u"/nowhere/none.bin", File::read_existing);
    char buffer[4];
    EXPECT_FALSE(file.is_open());
    EXPECT_EQ(file.read(buffer, 4), 0u);
    EXPECT_EQ(file.write("abcd", 4), 0u);
    EXPECT_EQ(file.skip(2), 0u);
    EXPECT_EQ(file.size(), 0u);
    EXPECT_FALSE(file.seek(0));
    EXPECT_EQ(file.position(), 0u);
    EXPECT_FALSE(file.flush());
}

TEST(File, BothStreamsShareOnePointerAndTheFileIsReleasedOnDestruction) {
    DeviceRoot box;
    {
        File file(u"/rw.bin", File::read_write);
        OutputStream& out = file;
        InputStream& in = file;
        EXPECT_EQ(out.write("abcdef", 6), 6u);
        EXPECT_EQ(in.position(), 6u);
        EXPECT_TRUE(in.seek(1));
        char two[2];
        EXPECT_EQ(in.read(two, 2), 2u);
        EXPECT_EQ(out.position(), 3u);
        EXPECT_TRUE(file.flush());
        // A second writer is refused while this one holds the file.
        File other(u"/rw.bin", File::create_always);
        EXPECT_FALSE(other.is_open());
    }
    File again(u"/rw.bin", File::create_always);
    EXPECT_TRUE(again.is_open());
}

}  // namespace
}  // namespace skinner
