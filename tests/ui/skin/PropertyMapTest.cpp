#include "ui/skin/PropertyMap.h"

#include <gtest/gtest.h>

#include "tests/fixtures/DeviceRoot.h"

using namespace skinner;

namespace {

std::string utf16le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += char(c & 0xFF);
        bytes += char(c >> 8);
    }
    return bytes;
}

}  // namespace

TEST(PropertyMap, ReadsUtf16WithByteOrderMarkAnd8BitText) {
    fixtures::DeviceRoot root;
    fixtures::write_file(root.host("wide.lng"), utf16le(u"Title=Gr\u00FC\u00DFe \u4E16\r\nOk=Yes  \r\n"));
    fixtures::write_file(root.host("narrow.lng"), "Title=Caf\xE9\nOk Yes\n");
    PropertyMap wide(u"\\wide.lng");
    EXPECT_EQ(wide.get(u"Title", u"-"), u"Gr\u00FC\u00DFe \u4E16");
    EXPECT_EQ(wide.get(u"Ok", u"-"), u"Yes  ");
    EXPECT_EQ(wide.path(), u"\\wide.lng");
    PropertyMap narrow(u"\\narrow.lng");
    EXPECT_EQ(narrow.get(u"Title", u"-"), u"Caf\u00E9");  // each byte widened
    EXPECT_EQ(narrow.get(u"Ok", u"-"), u"Yes");
    std::u16string out = u"untouched";
    EXPECT_FALSE(narrow.get(u"Missing", out));
    EXPECT_EQ(out, u"untouched");
    EXPECT_TRUE(narrow.get(u"Ok", out));
    EXPECT_EQ(out, u"Yes");
}

TEST(PropertyMap, LoadAddsReloadReplacesAndFailuresChangeNothing) {
    fixtures::DeviceRoot root;
    fixtures::write_file(root.host("a.lng"), "A=1\nShared=a\n");
    fixtures::write_file(root.host("b.lng"), "B=2\nShared=b\n");
    fixtures::write_file(root.host("empty.lng"), "");
    PropertyMap map;
    EXPECT_FALSE(map.load(u"\\missing.lng"));
    EXPECT_TRUE(map.entries().empty());
    EXPECT_TRUE(map.load(u"\\a.lng"));
    EXPECT_TRUE(map.load(u"\\b.lng"));
    EXPECT_EQ(map.entries(), (KeyValueMap{{u"A", u"1"}, {u"B", u"2"}, {u"Shared", u"b"}}));
    EXPECT_TRUE(map.path().empty());  // load does not change the path

    EXPECT_TRUE(map.reload(u"\\a.lng"));
    EXPECT_EQ(map.entries(), (KeyValueMap{{u"A", u"1"}, {u"Shared", u"a"}}));
    EXPECT_EQ(map.path(), u"\\a.lng");
    EXPECT_FALSE(map.reload(u"\\missing.lng"));
    EXPECT_EQ(map.entries(), (KeyValueMap{{u"A", u"1"}, {u"Shared", u"a"}}));
    EXPECT_EQ(map.path(), u"\\a.lng");
    // A file that opens but holds nothing loads as an empty map.
    EXPECT_TRUE(map.reload(u"\\empty.lng"));
    EXPECT_TRUE(map.entries().empty());

    PropertyMap absent(u"\\missing.lng");
    EXPECT_TRUE(absent.entries().empty());
    EXPECT_EQ(absent.path(), u"\\missing.lng");
}
