// Screenshots of the save flow's dialogs and the About form as the skins draw them, on the
// headless display in a device root of its own, each over the main form's background:
//   dialog_shots DIR   saves DIR/save.png (the name dialog), converting.png, report.png,
//                      question.png and about.png
// The device and screen are the profile's (VANTREL_DEVICE, VANTREL_SCREEN).
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/FormAbout.h"
#include "app/FormConverting.h"
#include "app/FormReport.h"
#include "app/FormSave.h"
#include "app/FormYesNo.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/window/Modules.h"
#include "tests/fixtures/DeviceRoot.h"
#include "ui/application/Application.h"
#include "ui/controls/ControlProgressBar.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/Properties.h"

namespace fs = std::filesystem;
using skinner::Point;

namespace {

void settle() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Runs the form modally and saves the screen from inside its loop.
bool shot(skinner::Form& form, const std::string& path) {
    static std::function<void()> take;
    bool ok = false;
    take = [&] {
        settle();
        ok = platform::headless::save_screen_png(path);
        std::printf("%s\n", path.c_str());
        form.close();
    };
    const uintptr_t timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, uintptr_t id, DWORD) {
        KillTimer(nullptr, id);
        take();
    });
    form.do_modal();
    KillTimer(nullptr, timer);
    if (!ok) std::fprintf(stderr, "dialog_shots: could not write %s\n", path.c_str());
    return ok;
}

std::unique_ptr<skinner::Properties> load_skin(const std::u16string& path, Point screen, Point work_size) {
    auto skin = std::make_unique<skinner::Properties>(path, screen, work_size);
    if (!skin->is_loaded() || !skin->check_version(u"", screen) || !skin->load_strings(u"\\english.lng")) {
        std::fprintf(stderr, "dialog_shots: a skin did not load\n");
        return nullptr;
    }
    return skin;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog_shots DIR\n");
        return 2;
    }
    const std::string out = fs::absolute(argv[1]).string();
    fs::create_directories(out);
    const fs::path bin = fs::canonical("/proc/self/exe").parent_path().parent_path().parent_path() / "bin";
    fixtures::DeviceRoot root;
    for (const char* folder : {"default", "settings"}) {
        fs::create_directories(root.host(std::string("skins/") + folder));
        fs::copy(bin / "skins" / folder, root.host(std::string("skins/") + folder), fs::copy_options::recursive);
    }
    fs::copy_file(bin / "english.lng", root.host("english.lng"));

    platform::ensure_display();
    skinner::Application application(platform::program_instance(), u"Vantrel");
    Point work_origin, work_size;
    skinner::FormImpl::get_usable_area(work_origin, work_size, false);
    const Point screen = skinner::FormImpl::get_screen_size(nullptr);
    auto skin = load_skin(u"\\skins\\default\\default.skin", screen, work_size);
    auto dialogs = load_skin(u"\\skins\\settings\\dialogs.skin", screen, Point());
    if (!skin || !dialogs) return 1;

    skinner::Form main(nullptr, skin.get(), u"FormMain");
    main.show(true);
    const std::u16string folder = u"\\Windows\\Rings";
    bool ok = true;
    {
        app::FormSave save(&main, skin.get(), skin->get_string(u"Ringtone_will_be_assigned") + u" " + folder,
                           u"Morning Chorus_001", u"%windows%/Rings");
        ok = shot(save, out + "/save.png") && ok;
    }
    {
        app::FormConverting converting(&main, skin.get(), u"\\missing.wav", u"\\Windows\\Rings\\x.mp3", 0, 1);
        for (skinner::Control* c : converting.get_controls()) {
            if (auto* bar = dynamic_cast<skinner::ControlProgressBarImpl*>(c)) bar->set_position(0.4);
        }
        ok = shot(converting, out + "/converting.png") && ok;
    }
    {
        app::FormReport report(&main, skin.get(), skin->get_string(u"Can't_make_ringtone"));
        ok = shot(report, out + "/report.png") && ok;
    }
    {
        app::FormYesNo question(&main, skin.get(), skin->get_string(u"Replace_existing_file"));
        ok = shot(question, out + "/question.png") && ok;
    }
    {
        app::FormAbout about(&main, dialogs.get(), u"FormAbout", app::about_title);
        ok = shot(about, out + "/about.png") && ok;
    }
    return ok ? 0 : 1;
}
