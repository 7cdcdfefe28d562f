#include "app/Ringtone.h"

#include <gtest/gtest.h>

#include <string>

#include "base/Registry.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/LoggedRun.h"

namespace app {
namespace {

std::u16string sound_value() {
    std::u16string value = u"<none>";
    skinner::registry_read_string(ringtone_key, u"Sound", value);
    return value;
}

SNDFILEINFO last_info;
int calls = 0;
HRESULT answer = 0;
HRESULT fake_set_sound(int sound_event, const SNDFILEINFO* info, BOOL suppress_ui) {
    ++calls;
    last_info = *info;
    EXPECT_EQ(sound_event, SND_EVENT_RINGTONELINE1);
    EXPECT_EQ(suppress_ui, TRUE);
    return answer;
}

TEST(Ringtone, WithoutTheSoundCallTheRegistryValueIsWritten) {
    fixtures::DeviceRoot root;
    fixtures::enable_log(root);
    const std::u16string path = u"\\My Documents\\song_001.mp3";
    assign_ringtone(path);  // this platform's shell has no SndSetSound
    EXPECT_EQ(sound_value(), path);
    std::string log = fixtures::read_logs(root);
    EXPECT_NE(log.find("assign \\My Documents\\song_001.mp3\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("SndSetSound "), std::string::npos) << log;
}

TEST(Ringtone, SoundCallFirstAndTheRegistryOnlyWhenItFails) {
    struct Case {
        HRESULT result;
        bool registry_written;
        const char* log_line;
    };
    const Case cases[] = {
        {0, false, "SndSetSound 0\n"},
        {1, false, "SndSetSound 1\n"},
        {static_cast<HRESULT>(0x80004005), true, "SndSetSound -2147467259\n"},
    };
    for (const Case& c : cases) {
        fixtures::DeviceRoot root;
        fixtures::enable_log(root);
        answer = c.result;
        calls = 0;
        assign_ringtone_through(u"\\Windows\\Rings\\a.mp3", &fake_set_sound);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(std::u16string(last_info.szPathName), u"\\Windows\\Rings\\a.mp3");
        EXPECT_EQ(last_info.szDisplayName[0], 0);
        EXPECT_EQ(last_info.sstType, SND_SOUNDTYPE_FILE);
        EXPECT_EQ(sound_value(), c.registry_written ? u"\\Windows\\Rings\\a.mp3" : u"<none>");
        std::string log = fixtures::read_logs(root);
        EXPECT_NE(log.find(c.log_line), std::string::npos) << log;
    }
}

TEST(Ringtone, LongPathIsCutToFitTheRecord) {
    fixtures::DeviceRoot root;
    answer = 0;
    const std::u16string path(300, u'x');
    assign_ringtone_through(path, &fake_set_sound);
    EXPECT_EQ(std::u16string(last_info.szPathName), path.substr(0, 259));
}

}  // namespace
}  // namespace app
