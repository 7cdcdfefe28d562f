// Screenshots of the file list and the position bar as the main skin draws them, on the
// headless display in a device root of its own:
//   file_list_shots DIR   saves DIR/files-1.png (a folder of clips), files-2.png (the
//                         selection moved down, a long name cut short), files-3.png (the root)
//                         and bar-1.png .. bar-3.png (the bar's markers at a few places)
// The screen is the device profile's (VANTREL_SCREEN; 480x640 by default).
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/FileList.h"
#include "app/PositionBar.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/SkinCompiler.h"
#include "ui/application/Application.h"
#include "ui/controls/ControlContainer.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/Properties.h"

namespace fs = std::filesystem;
using skinner::Point;

namespace {

// FormMain's file panel and position bar, without the rest of the main form.
class ShotForm : public skinner::Form {
public:
    explicit ShotForm(skinner::Properties* properties)
        : Form(nullptr, properties, u"FormMain"), panel(this, u"panelFile", KIND_SKIN), files(panel.get_embedded_form(), u"lstFiles"),
          bar(this, u"pbPosition") {}

    skinner::ControlContainer panel;
    app::FileList files;
    app::PositionBar bar;
};

void settle() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool shot(const std::string& folder, const std::string& name) {
    settle();
    const std::string path = folder + "/" + name + ".png";
    if (!platform::headless::save_screen_png(path)) {
        std::fprintf(stderr, "file_list_shots: could not write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

void make(const fixtures::DeviceRoot& root, const std::string& relative) {
    const fs::path host = root.host(relative);
    if (relative.back() == '/') {
        fs::create_directories(host);
    } else {
        fs::create_directories(host.parent_path());
        fixtures::write_file(host.string(), "");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: file_list_shots DIR\n");
        return 2;
    }
    const std::string out = fs::absolute(argv[1]).string();
    fs::create_directories(out);
    const fs::path skin = fs::canonical("/proc/self/exe").parent_path().parent_path().parent_path() / "bin/skins/default";
    fixtures::DeviceRoot root;
    if (!fixtures::install_built_skin(skin.string(), root.host("skins/default"))) {
        std::fprintf(stderr, "file_list_shots: no built skin in %s\n", skin.string().c_str());
        return 1;
    }
    for (const char* name : {"My Documents/Clips/Birthday party.wav", "My Documents/Clips/bells.ogg",
                             "My Documents/Clips/Interview - second take.mp3", "My Documents/Clips/lecture.mpc",
                             "My Documents/Clips/Morning Chorus.MP3", "My Documents/Clips/notes.txt",
                             "My Documents/Clips/Old ringtones/", "My Documents/Clips/Voice memos/",
                             "My Documents/Clips/Recording of the long rehearsal on Saturday evening.wav",
                             "My Documents/Clips/Seaside.wav", "My Documents/Clips/thunder.ogg", "My Documents/readme.txt",
                             "Program Files/", "Temp/", "Windows/"})
        make(root, name);

    platform::ensure_display();
    skinner::Application application(nullptr, u"FileListShots");
    Point work_origin, work_size;
    skinner::FormImpl::get_usable_area(work_origin, work_size, false);
    const Point screen = skinner::FormImpl::get_screen_size(nullptr);
    skinner::Properties properties(u"\\skins\\default\\default.skin", screen, work_size);
    if (!properties.is_loaded() || !properties.check_version(u"Vantrel_1.1", screen)) {
        std::fprintf(stderr, "file_list_shots: the main skin did not load from %s\n", skin.string().c_str());
        return 1;
    }
    ShotForm form(&properties);
    form.show(true);
    form.bar.set_visible(false);
    form.files.set_folder(u"\\My Documents\\Clips");
    form.files.select_path(u"\\My Documents\\Clips\\bells.ogg");
    form.files.set_focus();
    bool ok = shot(out, "files-1");
    for (int i = 0; i < 5; ++i) form.files.on_keydown(skinner::Key::Down);
    ok = shot(out, "files-2") && ok;
    form.files.set_folder(u"\\");
    form.files.select_path(u"\\My Documents");
    ok = shot(out, "files-3") && ok;

    form.panel.set_visible(false);
    form.bar.set_visible(true);
    const double markers[][2] = {{0.0, 0.0}, {0.2, 0.55}, {0.35, 1.0}};
    for (int i = 0; i < 3; ++i) {
        form.bar.set_markers(markers[i][0], markers[i][1]);
        ok = shot(out, "bar-" + std::to_string(i + 1)) && ok;
    }
    return ok ? 0 : 1;
}
