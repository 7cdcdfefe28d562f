// A shell library that does export "SndSetSound" (a program of its own: the export stays).
#include <gtest/gtest.h>

#include <string>

#include "app/Ringtone.h"
#include "base/Registry.h"
#include "platform/window/Modules.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/LoggedRun.h"

namespace app {
namespace {

int calls = 0;
HRESULT failing_set_sound(int, const SNDFILEINFO*, BOOL) {
    ++calls;
    return static_cast<HRESULT>(0x80070005);
}

TEST(RingtoneShell, FailingSoundCallIsLoggedAndTheRegistryWrittenToo) {
    platform::register_module_export(u"aygshell.dll", u"SndSetSound", reinterpret_cast<FARPROC>(&failing_set_sound));
    fixtures::DeviceRoot root;
    fixtures::enable_log(root);
    assign_ringtone(u"\\Windows\\Rings\\b.mp3");
    EXPECT_EQ(calls, 1);
    std::u16string value;
    EXPECT_TRUE(skinner::registry_read_string(ringtone_key, u"Sound", value));
    EXPECT_EQ(value, u"\\Windows\\Rings\\b.mp3");
    std::string log = fixtures::read_logs(root);
    EXPECT_NE(log.find("assign \\Windows\\Rings\\b.mp3\nSndSetSound -2147024891\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace app
