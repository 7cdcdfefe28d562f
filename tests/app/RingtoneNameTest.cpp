#include "app/RingtoneName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Path.h"
#include "tests/fixtures/DeviceRoot.h"

namespace app {
namespace {

constexpr const char16_t* rings = u"%windows%/Rings";
const std::u16string rings_folder = u"\\Windows\\Rings\\";

class RingtoneNameTest : public ::testing::Test {
protected:
    void add_ring(const std::string& name) { fixtures::write_file(root.host("Windows/Rings/" + name), "x"); }

    fixtures::DeviceRoot root;
};

TEST_F(RingtoneNameTest, ProposesTheFirstFreeCounter) {
    struct Case {
        std::vector<std::string> present;
        const char16_t* expected;
    };
    const Case cases[] = {
        {{}, u"song_001"},
        {{"song_001.mp3"}, u"song_002"},
        {{"song_001.mp3", "song_003.mp3"}, u"song_002"},
        {{"SONG_001.MP3", "song_002.mp3"}, u"song_003"},
        {{"song_001.wav", "song.mp3"}, u"song_001"},
    };
    for (const Case& c : cases) {
        fixtures::DeviceRoot fresh;
        for (const std::string& name : c.present) {
            fixtures::write_file(fresh.host("Windows/Rings/" + name), "x");
        }
        EXPECT_EQ(make_default_name(rings, u"song", u"mp3"), rings_folder + c.expected + u".mp3")
            << testing::PrintToString(c.present);
    }
}

TEST_F(RingtoneNameTest, ProposalHoldsNoCharacterItsOwnCheckRefuses) {
    struct Case {
        const char16_t* title;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"rock+roll", u"rock_roll_001"}, {u"a:b", u"a_b_001"},   {u"a/b", u"a_b_001"},
        {u"a\\b", u"a_b_001"},            {u"a>b", u"a_b_001"},   {u"a<b", u"a_b_001"},
        {u"a*b", u"a_b_001"},             {u"why?", u"why__001"}, {u"?:/\\><+*", u"_________001"},
    };
    for (const Case& c : cases) {
        const std::u16string proposed = skinner::get_file_title(make_default_name(rings, c.title, u"mp3"));
        EXPECT_EQ(proposed, c.expected) << testing::PrintToString(std::u16string(c.title));
        EXPECT_EQ(check_typed_name(rings, proposed), NameCheck::Accepted) << testing::PrintToString(proposed);
    }
    // The counter looks for the name it proposes.
    add_ring("rock_roll_001.mp3");
    EXPECT_EQ(make_default_name(rings, u"rock+roll", u"mp3"), rings_folder + u"rock_roll_002.mp3");
}

TEST_F(RingtoneNameTest, AllCountersTakenGivesTheLastOne) {
    for (int n = 1; n <= 999; ++n) {
        std::string digits = std::to_string(n);
        add_ring("song_" + std::string(3 - digits.size(), '0') + digits + ".mp3");
    }
    EXPECT_EQ(make_default_name(rings, u"song", u"mp3"), rings_folder + u"song_999.mp3");
}

TEST_F(RingtoneNameTest, LongTitleIsCutSoItsOwnCheckAcceptsIt) {
    // "\Windows\Rings\" is 15 characters and "_001.mp3" 8: a title of 231 makes 254.
    struct Case {
        size_t title_length;
        size_t path_length;
        bool cut;
    };
    const Case cases[] = {{231, 254, false}, {232, 254, true}, {233, 254, true}, {600, 254, true}};
    for (const Case& c : cases) {
        const std::u16string title(c.title_length, u't');
        const std::u16string path = make_default_name(rings, title, u"mp3");
        EXPECT_EQ(path.size(), c.path_length) << c.title_length;
        EXPECT_EQ(path.ends_with(u"~_001.mp3"), c.cut) << c.title_length;
        EXPECT_EQ(skinner::get_directory(path), rings_folder);
        EXPECT_EQ(check_typed_name(rings, skinner::get_file_title(path)), NameCheck::Accepted) << c.title_length;
    }
}

TEST_F(RingtoneNameTest, CutKeepsSurrogatePairsAndTheFolderWhole) {
    // The cut would fall between the two halves of the pair at title index 229.
    std::u16string title(229, u'a');
    for (int i = 0; i < 20; ++i) {
        title += u"\U0001F600";
    }
    const std::u16string path = make_default_name(rings, title, u"mp3");
    EXPECT_EQ(path, rings_folder + std::u16string(229, u'a') + u"~_001.mp3");

    const std::u16string deep = u"\\" + std::u16string(250, u'd');
    const std::u16string in_deep = make_default_name(deep, u"song", u"mp3");
    EXPECT_EQ(in_deep, deep + u"\\~_001.mp3");
}

TEST_F(RingtoneNameTest, TypedNamesAreCheckedInOrder) {
    struct Case {
        std::u16string name;
        NameCheck expected;
    };
    // 15 + 235 + ".mp3" is 254 characters.
    const std::vector<Case> cases = {
        {u"", NameCheck::Empty_name},
        {u"song_001", NameCheck::Accepted},
        {u"my song.v2", NameCheck::Accepted},
        {u"caf\u00e9 ~ (1)", NameCheck::Accepted},
        {std::u16string(235, u'x'), NameCheck::Accepted},
        {std::u16string(236, u'x'), NameCheck::Too_long_name},
        {std::u16string(400, u'x'), NameCheck::Too_long_name},
        {std::u16string(235, u'?') + u"x", NameCheck::Too_long_name},
        {u"a:b", NameCheck::Bad_name},
        {u"a/b", NameCheck::Bad_name},
        {u"a\\b", NameCheck::Bad_name},
        {u"a>b", NameCheck::Bad_name},
        {u"a<b", NameCheck::Bad_name},
        {u"a+b", NameCheck::Bad_name},
        {u"a*b", NameCheck::Bad_name},
        {u"why?", NameCheck::Bad_name},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(check_typed_name(rings, c.name), c.expected) << testing::PrintToString(c.name);
    }
}

TEST_F(RingtoneNameTest, TargetIsRefusedWhenItIsTheSourceAndQuestionedWhenItExists) {
    add_ring("old.mp3");
    add_ring("source.mp3");
    struct Case {
        const char16_t* name;
        const char16_t* source;
        NameCheck expected;
    };
    const Case cases[] = {
        {u"new", u"\\My Documents\\song.wav", NameCheck::Accepted},
        {u"old", u"\\My Documents\\song.wav", NameCheck::Replace_existing_file},
        {u"OLD", u"\\My Documents\\song.wav", NameCheck::Replace_existing_file},
        {u"source", u"\\windows/rings/SOURCE.MP3", NameCheck::Same_name},
        {u"source", u"", NameCheck::Replace_existing_file},
    };
    for (const Case& c : cases) {
        const std::u16string target = ringtone_target(rings, c.name);
        EXPECT_EQ(target, rings_folder + c.name + u".mp3");
        EXPECT_EQ(check_target(target, c.source), c.expected) << testing::PrintToString(std::u16string(c.name));
    }
}

}  // namespace
}  // namespace app
