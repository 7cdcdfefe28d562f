#include "ui/skin/KeyValueText.h"

#include <gtest/gtest.h>

using namespace skinner;

TEST(KeyValueText, ParsesEntriesAsTheFormatSays) {
    struct Case {
        std::u16string text;
        KeyValueMap expected;
    };
    const Case cases[] = {
        {u"Title=Hello", {{u"Title", u"Hello"}}},
        {u"Title Hello", {{u"Title", u"Hello"}}},
        {u"Title \t Hello", {{u"Title", u"Hello"}}},
        {u"Title = Hello", {{u"Title", u"= Hello"}}},
        {u"Title=", {{u"Title", u""}}},
        {u"Title", {{u"Title", u""}}},
        {u"Title\nNext=1", {{u"Title", u""}, {u"Next", u"1"}}},
        {u"Title  \r\nNext=1", {{u"Title", u""}, {u"Next", u"1"}}},
        {u"=x\nA=1", {{u"A", u"1"}}},
        {u"A=1\nA=2", {{u"A", u"2"}}},
        {u"a=1\nA=2", {{u"a", u"1"}, {u"A", u"2"}}},
        {u"Ok=Yes  ", {{u"Ok", u"Yes  "}}},
        {u"Url=http://x/?a=b c", {{u"Url", u"http://x/?a=b c"}}},
        {u"A=1\r\nB=2\nC=3\rD=4", {{u"A", u"1"}, {u"B", u"2"}, {u"C", u"3"}, {u"D", u"4"}}},
        {u"\n\n  \r\n\tA=1\n\n\nB=2\n", {{u"A", u"1"}, {u"B", u"2"}}},
        {u"Text=\u00A0lead", {{u"Text", u"\u00A0lead"}}},
        {u"Key\u3000Value", {{u"Key", u"Value"}}},
        {u"", {}},
    };
    for (const Case& c : cases) {
        KeyValueMap map;
        parse_key_values(c.text, map);
        EXPECT_EQ(map, c.expected) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(KeyValueText, AddsToWhatTheMapHolds) {
    KeyValueMap map{{u"Old", u"1"}, {u"A", u"x"}};
    parse_key_values(u"A=y", map);
    EXPECT_EQ(map, (KeyValueMap{{u"Old", u"1"}, {u"A", u"y"}}));
}
