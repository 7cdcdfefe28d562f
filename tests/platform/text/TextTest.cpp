#include "platform/text/Text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/Core.h"

namespace {

TEST(PlatformText, AnsiCodePageWritesOneBytePerCharacter) {
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"abc", "abc"},
        {u"\u00E9\u00FF\u00A0", "\xE9\xFF\xA0"},
        {u"\u20AC\u2122\u0160\u0178", "\x80\x99\x8A\x9F"},  // the 0x80-0x9F block
        {u"\u0081\u009D", "\x81\x9D"},                      // unassigned bytes map through
        {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        char out[16] = {};
        int n = WideCharToMultiByte(CP_ACP, 0, c.text.data(), static_cast<int>(c.text.size()), out, sizeof out,
                                    nullptr, nullptr);
        EXPECT_EQ(std::string(out, static_cast<size_t>(n)), c.bytes);
    }
}

TEST(PlatformText, CharactersOutsideTheCodePageFail) {
    for (std::u16string text : {u"\u0100", u"a\u4E2Db", u"\u0080", u"\U0001F600"}) {
        char out[16] = {};
        SetLastError(0);
        EXPECT_EQ(WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text.data(), static_cast<int>(text.size()), out,
                                      sizeof out, nullptr, nullptr),
                  0);
        EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    }
}

TEST(PlatformText, CompositeCheckComposesAccentsTheCodePageHolds) {
    const std::u16string text = u"e\u0301S\u030Cx";
    char out[8] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text.data(), 5, out, sizeof out, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(out, 3), "\xE9\x8Ax");
    // Without the flag the lone accent cannot be written.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.data(), 5, out, sizeof out, nullptr, nullptr), 0);
}

TEST(PlatformText, SizeQueryTerminatorAndShortBuffer) {
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abcd", -1, nullptr, 0, nullptr, nullptr), 5);
    char out[3];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abcd", 4, out, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(WideCharToMultiByte(65001, 0, u"abcd", 4, out, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(PlatformText, CaseMappingCoversMoreThanAscii) {
    std::u16string text = u"Abc\u00C9\u00E9\u0416\u03A3z\xD83D\xDE00";
    std::u16string lower = text;
    std::u16string upper = text;
    EXPECT_EQ(CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size())), lower.size());
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    EXPECT_EQ(lower, u"abc\u00E9\u00E9\u0436\u03C3z\xD83D\xDE00");
    EXPECT_EQ(upper, u"ABC\u00C9\u00C9\u0416\u03A3Z\xD83D\xDE00");
    std::u16string part = u"ABCD";
    CharLowerBuffW(part.data(), 2);
    EXPECT_EQ(part, u"abCD");
}

TEST(PlatformText, SpaceAndDigitClasses) {
    for (char16_t c : {u' ', u'\t', u'\n', u'\r', u'\v', u'\f', u'\u00A0', u'\u3000', u'\u2003'}) {
        EXPECT_EQ(iswctype(c, C1_SPACE), C1_SPACE) << int(c);
        EXPECT_EQ(iswctype(c, C1_DIGIT), 0) << int(c);
    }
    for (char16_t c : {u'0', u'5', u'9'}) {
        EXPECT_EQ(iswctype(c, C1_DIGIT), C1_DIGIT) << int(c);
        EXPECT_EQ(iswctype(c, C1_SPACE), 0);
    }
    for (char16_t c : {u'a', u'/', u':', u'\u0660', u'\u00B2', u'\0'}) {
        EXPECT_EQ(iswctype(c, C1_DIGIT | C1_SPACE), 0) << int(c);
    }
}

}  // namespace
