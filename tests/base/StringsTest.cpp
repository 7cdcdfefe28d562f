#include "base/Strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace skinner {
namespace {

TEST(Strings, NumbersAsText) {
    EXPECT_EQ(text_of(0), "0");
    EXPECT_EQ(text_of(INT_MIN), "-2147483648");
    EXPECT_EQ(text_of(LONG_MAX), "9223372036854775807");
    EXPECT_EQ(text_of(1.5), "1.500000");
    EXPECT_EQ(text_of(-0.25), "-0.250000");
    EXPECT_EQ(text_of(true), "true");
    EXPECT_EQ(text_of(false), "false");
    EXPECT_EQ(text_of("abc").size(), 3u);
    EXPECT_EQ(text_of(u"abcd"), u"abcd");
}

TEST(Strings, Int64TextCoversTheWholeRange) {
    struct Case {
        long long value;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {-1234567890123LL, "-1234567890123"},
        {7, "7"},
        {-10, "-10"},
        {INT64_MAX, "9223372036854775807"},
        {INT64_MIN, "-9223372036854775808"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text_of(c.value), c.text);
        std::u16string wide;
        wide << static_cast<int64_t>(c.value);
        std::u16string expected;
        widen(std::string(c.text), expected);
        EXPECT_EQ(wide, expected);
    }
}

TEST(Strings, HugeDoublesAreFormattedInFull) {
    std::string text = text_of(1e308);
    ASSERT_EQ(text.size(), 309u + 7u);
    EXPECT_EQ(text.substr(0, 3), "100");
    EXPECT_EQ(text.substr(309), ".000000");
    EXPECT_EQ(text_of(-1.7976931348623157e308).size(), 1u + 309u + 7u);
    EXPECT_EQ(text_of(1e100).size(), 101u + 7u);
}

TEST(Strings, BuildersChain) {
    std::u16string wide;
    wide << u"a=" << 42 << " b=" << std::u16string(u"x") << int64_t(-5) << "\xE9";
    EXPECT_EQ(wide, u"a=42 b=x-5\u00E9");
    std::string narrow_text;
    narrow_text << "n=" << -3;
    EXPECT_EQ(narrow_text, "n=-3");
    std::string pair;
    EXPECT_TRUE(append_pair(pair, {240, 320}));
    EXPECT_EQ(pair, "240 320");
    EXPECT_EQ(std::u16string(u"ab") + u'c', u"abc");
}

TEST(Strings, WidenKeepsEveryByteValue) {
    std::u16string out = u"old";
    widen("\x41\xE9", 2, out);
    EXPECT_EQ(out, u"\u0041\u00E9");
    widen(std::string("\x00\xFF", 2), out);
    EXPECT_EQ(out, std::u16string(u"\u0000\u00FF", 2));
    const char range[] = "xyz";
    widen(range, range + 2, out);
    EXPECT_EQ(out, u"xy");
}

TEST(Strings, NarrowSucceedsOnlyForTheCodePage) {
    struct Case {
        std::u16string text;
        bool ok;
        std::string bytes;
    };
    const Case cases[] = {
        {u"", true, ""},
        {u"Ringtone_001", true, "Ringtone_001"},
        {u"caf\u00E9 \u20AC", true, "caf\xE9 \x80"},
        {u"cafe\u0301", true, "caf\xE9"},
        {u"\u4E2D\u6587", false, "unchanged"},
        {u"ok\u0101", false, "unchanged"},
    };
    for (const Case& c : cases) {
        std::string out = "unchanged";
        EXPECT_EQ(narrow(c.text, out), c.ok);
        EXPECT_EQ(out, c.bytes);
    }
}

TEST(Strings, AssignRangeOfEitherWidth) {
    const char16_t wide[] = u"hello\u4E2D";
    std::string narrow_out = "keep";
    EXPECT_EQ(assign_range(narrow_out, wide, wide + 5), wide + 5);
    EXPECT_EQ(narrow_out, "hello");
    narrow_out = "keep";
    EXPECT_EQ(assign_range(narrow_out, wide, wide + 6), nullptr);
    EXPECT_EQ(narrow_out, "keep");
    const char bytes[] = "ab\xE9";
    std::u16string wide_out;
    EXPECT_EQ(assign_range(wide_out, bytes, bytes + 3), bytes + 3);
    EXPECT_EQ(wide_out, u"ab\u00E9");
    EXPECT_EQ(assign_range(wide_out, wide, wide + 2), wide + 2);
    EXPECT_EQ(wide_out, u"he");
}

TEST(Strings, CaseAndPrefixes) {
    EXPECT_EQ(to_lower(u"MiXeD \u00C9"), u"mixed \u00E9");
    EXPECT_EQ(to_upper(u"MiXeD \u00E9"), u"MIXED \u00C9");
    EXPECT_TRUE(starts_with(u"%app_path%/x", u"%app_path%"));
    EXPECT_TRUE(starts_with(u"abc", u""));
    EXPECT_FALSE(starts_with(u"ab", u"abc"));
    EXPECT_FALSE(starts_with(u"Abc", u"abc"));
    EXPECT_TRUE(starts_with(std::string_view("HKEY_USERS\\x"), "HKEY_USERS"));
}

TEST(Strings, ParseIntCases) {
    struct Case {
        std::u16string text;
        int initial;
        bool found;
        int value;       // out afterwards
        size_t consumed; // position returned, from the start
    };
    const Case cases[] = {
        {u"  -42x", 99, true, -42, 5},
        {u"+", 99, false, 99, 0},
        {u"-x", 99, false, 0, 0},
        {u"007", 99, true, 7, 3},
        {u"", 99, false, 99, 0},
        {u"   ", 99, false, 99, 0},
        {u"\t12 34", 99, true, 12, 3},
        {u"2147483647", 0, true, INT_MAX, 10},
        {u"-2147483648", 0, true, INT_MIN, 11},
        {u"4294967297", 0, true, 1, 10},  // wraps in 32 bits
        {u"-4294967295", 0, true, 1, 11},
        {u"99999999999999999999", 0, true, 1661992959, 20},
    };
    for (const Case& c : cases) {
        int out = c.initial;
        const char16_t* begin = c.text.data();
        const char16_t* result = parse_int(begin, begin + c.text.size(), out);
        EXPECT_EQ(result != nullptr, c.found) << std::string(c.text.begin(), c.text.end());
        if (result != nullptr) {
            EXPECT_EQ(static_cast<size_t>(result - begin), c.consumed);
        }
        EXPECT_EQ(out, c.value) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(Strings, ParseValueForms) {
    std::u16string text = u"12px rest";
    int number = 0;
    EXPECT_EQ(parse_value(number, text.data(), text.data() + text.size()), text.data() + 2);
    EXPECT_EQ(number, 12);
    std::u16string word = u"old";
    EXPECT_EQ(parse_value(word, text.data(), text.data() + text.size()), text.data() + 4);
    EXPECT_EQ(word, u"12px");
    EXPECT_EQ(parse_value(word, text.data() + 4, text.data() + 4), text.data() + 4);
    EXPECT_EQ(word, u"");
    int whole = 0;
    EXPECT_TRUE(parse_int(std::u16string(u" 15 rest"), whole));
    EXPECT_EQ(whole, 15);
    EXPECT_FALSE(parse_int(std::u16string(u"none"), whole));
}

TEST(Strings, ClampTestsTheLowerBoundFirst) {
    EXPECT_EQ(clamp(5, 0, 1), 1);
    EXPECT_EQ(clamp(-1, 0, 1), 0);
    EXPECT_EQ(clamp(0.5, 0, 1), 0.5);
    EXPECT_EQ(clamp(0.5, 1, 0), 1);
}

}  // namespace
}  // namespace skinner
