// scripts/demo-root: the clips land in the device's My Documents and each opens through
// the program's own open-file factory as the format its name says; the built programs are
// installed inside the root, so that their settings stay the demo's.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "audio/AudioFormat.h"
#include "base/Path.h"
#include "platform/shell/Shell.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/TempDir.h"

namespace {

std::u16string widen(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

TEST(DemoRoot, HoldsOneClipOfEachFormatInMyDocuments) {
    fixtures::DeviceRoot root;
    const std::string script = std::string(VANTREL_TEST_SOURCE_DIR) + "/scripts/demo-root";
    // A build folder without programs: the clips alone.
    const std::string no_build = "BUILD_DIR=" + fixtures::shell_quoted(root.host("no-build")) + " ";
    ASSERT_EQ(fixtures::run_command(no_build + script + " " + fixtures::shell_quoted(root.path()) + " >/dev/null"), 0);

    // The format each clip's name says ("Guitar (MP3).mp3") and the factory's name for it.
    const std::map<std::u16string, std::u16string> expected = {
        {u"PCM", u"PCM"}, {u"MS ADPCM", u"ADPCM"}, {u"GSM", u"GSM"},
        {u"MP3", u"mp3"}, {u"Vorbis", u"Vorbis"}, {u"Musepack", u"MPC"},
    };
    const std::u16string documents = skinner::get_special_folder(CSIDL_PERSONAL);
    std::map<std::u16string, int> formats;
    for (const auto& entry : std::filesystem::directory_iterator(root.host("My Documents"))) {
        const std::u16string path = skinner::join_path(documents, widen(entry.path().filename().string()));
        std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(path);
        ASSERT_TRUE(format) << entry.path();
        audio::AudioReader* reader = format->get_reader();
        EXPECT_GT(reader->get_duration(), 2.0) << entry.path();
        EXPECT_LT(reader->get_duration(), 40.0) << entry.path();
        const std::u16string name = widen(entry.path().filename().string());
        const std::u16string said = name.substr(name.find(u'(') + 1, name.find(u')') - name.find(u'(') - 1);
        ASSERT_TRUE(expected.count(said)) << entry.path();
        EXPECT_EQ(format->get_name(), expected.at(said)) << entry.path();
        ++formats[format->get_name()];
    }
    EXPECT_EQ(formats, (std::map<std::u16string, int>{
                           {u"ADPCM", 1}, {u"GSM", 1}, {u"MPC", 1}, {u"PCM", 1}, {u"Vorbis", 1}, {u"mp3", 1}}));
}

TEST(DemoRoot, InstallsTheBuiltProgramsInsideTheRootAndKeepsTheDemosSettings) {
    namespace fs = std::filesystem;
    // A build folder of its own: one of the build's programs and the settings a run beside it
    // left there.
    fixtures::TempDir build;
    fs::create_directories(build.file("bin/legacy"));
    fs::create_directories(build.file("bin/skins/default"));
    fixtures::write_file(build.file("bin/Vantrel"), "first build");
    fixtures::write_file(build.file("bin/english.lng"), "Exit=Exit\n");
    fixtures::write_file(build.file("bin/skins/default/default.skin"), "skin");
    fixtures::write_file(build.file("bin/legacy/Vantrel-legacy"), "legacy");
    fixtures::write_file(build.file("bin/Settings.ini"), "CurrentFolder \\home\n");
    fixtures::write_file(build.file("bin/legacy/Settings.ini"), "CurrentFolder \\home\n");
    fixtures::DeviceRoot root;
    const std::string script = "BUILD_DIR=" + fixtures::shell_quoted(build.path()) + " " +
                               std::string(VANTREL_TEST_SOURCE_DIR) + "/scripts/demo-root " +
                               fixtures::shell_quoted(root.path()) + " >/dev/null";
    ASSERT_EQ(fixtures::run_command(script), 0);
    const std::string folder = root.host("Program Files/Vantrel");
    EXPECT_EQ(fixtures::read_file(folder + "/Vantrel"), "first build");
    EXPECT_EQ(fixtures::read_file(folder + "/english.lng"), "Exit=Exit\n");
    EXPECT_EQ(fixtures::read_file(folder + "/skins/default/default.skin"), "skin");
    EXPECT_EQ(fixtures::read_file(folder + "/legacy/Vantrel-legacy"), "legacy");
    EXPECT_FALSE(fs::exists(folder + "/Settings.ini"));
    EXPECT_FALSE(fs::exists(folder + "/legacy/Settings.ini"));

    // The demo ran and kept its settings; a new build is installed over the old one.
    fixtures::write_file(folder + "/Settings.ini", "CurrentFolder \\My Documents\n");
    fixtures::write_file(build.file("bin/Vantrel"), "second build");
    ASSERT_EQ(fixtures::run_command(script), 0);
    EXPECT_EQ(fixtures::read_file(folder + "/Vantrel"), "second build");
    EXPECT_EQ(fixtures::read_file(folder + "/Settings.ini"), "CurrentFolder \\My Documents\n");
}

}  // namespace
