// Screenshots of every screen of the program as the product's skins draw it, on the headless
// display, for every kind of device, every screen the skins declare (at either scale, and
// turned), every language, in both programs:
//   skin_shots DIR            one folder DIR/SETUP per setup (english-pocketpc-240x320, ...,
//                             german-smartphone-220x176, legacy-german-pocketpc-480x640, ...),
//                             each holding the screens below; prints the setups that failed
//   skin_shots --here DIR [LANGUAGE] [--legacy]
//                             the screens of this process's own device profile into DIR
// The screens: the file list (files, files-scrolled), the marking panels (start, finish), the
// save panel (save, save-focused and save-focused-next after one and two Downs, save-playing,
// save-pressed), the fine-tuning panels (exact-start,
// exact-pressed, exact-finish), the dialogs over the main form (name, converting, report,
// question, about), then the screen turned a quarter (turned-save, turned-exact,
// turned-files). The main form is the program's own, on a clip made with sox, with a player
// that plays nothing, so the position bar shows where the screens put it.
// On every screen the layout is checked too (LayoutCheck): texts that do not fit, controls off
// the free screen, Down out of reading order and focus that hardly shows are reported, and the
// setup fails.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/FormAbout.h"
#include "app/FormConverting.h"
#include "app/FormMain.h"
#include "app/FormReport.h"
#include "app/FormSave.h"
#include "app/FormYesNo.h"
#include "app/PreviewPlayer.h"
#include "app/ProgramVariant.h"
#include "legacy/LegacyBuild.h"
#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/window/Modules.h"
#include "tests/fixtures/AudioFixtures.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/helpers/skin_shots/LayoutCheck.h"
#include "ui/application/Application.h"
#include "ui/controls/ControlProgressBar.h"
#include "ui/device/DeviceCapability.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/Properties.h"

namespace fs = std::filesystem;
using skinner::Point;

namespace {

struct Setup {
    std::string name;
    std::string device;
    std::string screen;
    std::string language;
    bool legacy;
};

// The screens the skins declare, at scale 1 and 2, each also turned a quarter.
const char* const kScreens[] = {"240x320", "320x240", "240x240", "176x220", "220x176",
                                "480x640", "640x480", "480x480", "352x440", "440x352"};

std::vector<Setup> all_setups() {
    std::vector<Setup> setups;
    for (bool legacy : {false, true}) {
        // The older build draws from the same skin: its longer texts are the German ones.
        for (const char* language : {"english", "german"}) {
            if (legacy && std::string(language) != "german") continue;
            for (const char* device : {"pocketpc", "smartphone"}) {
                for (const char* screen : kScreens) {
                    const std::string name = std::string(legacy ? "legacy-" : "") + language + "-" + device + "-" + screen;
                    setups.push_back({name, device, screen, language, legacy});
                }
            }
        }
    }
    return setups;
}

// A player that plays nothing and never finishes: the reader stays where the screens seek.
class SilentPlayer : public app::PreviewPlayer {
public:
    audio::DataSink& sink() override { return sink_; }
    bool play() override { return true; }
    bool stop() override { return true; }
    bool is_finished() override { return false; }
    int get_unplayed_samples() override { return 0; }

private:
    audio::DataSink sink_;
};

// Steps run one at a time from a thread timer, each once the messages before it were handled;
// a step may open a modal form, and the next ones then run inside its loop.
class Script {
public:
    explicit Script(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        running_ = this;
        timer_ = SetTimer(nullptr, 0, 20, tick);
    }
    ~Script() {
        KillTimer(nullptr, timer_);
        running_ = nullptr;
    }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // While one lives, no step starts: a shot's own waits for paints must not run the next.
    class Hold {
    public:
        Hold() { ++held_; }
        ~Hold() { --held_; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

private:
    static void tick(HWND, UINT, uintptr_t, DWORD) {
        Script* script = running_;
        if (!script || held_ > 0 || script->next_ >= script->steps_.size()) return;
        // Taken before it runs: a step that opens a modal form runs the next ones from inside it.
        std::function<void()> step = script->steps_[script->next_++];
        step();
    }

    static inline Script* running_ = nullptr;
    static inline int held_ = 0;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    uintptr_t timer_ = 0;
};

void settle() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A window's back buffer starts cyan and a direct paint fills magenta: a pixel of either is
// one that no picture covered (a transparent part of a form's background).
bool fully_painted() {
    for (uint32_t pixel : platform::headless::screen_pixels()) {
        if (pixel == 0x0000FFFF || pixel == 0x00FF00FF) return false;
    }
    return true;
}

std::unique_ptr<skinner::Properties> load_skin(const std::u16string& path, const std::u16string& language) {
    const Point screen = skinner::FormImpl::get_screen_size(nullptr);
    auto skin = std::make_unique<skinner::Properties>(path, screen, Point());
    if (!skin->is_loaded() || !skin->check_version(u"Vantrel_1.1", screen) || !skin->load_strings(u"\\" + language + u".lng")) {
        std::fprintf(stderr, "skin_shots: a skin did not load\n");
        return nullptr;
    }
    return skin;
}

void make_file(const fixtures::DeviceRoot& root, const std::string& relative) {
    const fs::path host = root.host(relative);
    fs::create_directories(host.parent_path());
    fixtures::write_file(host.string(), "");
}

// The texts a dialog's label may show, besides the one it opens with.
const char16_t* const kReports[] = {u"Empty_name", u"Too_long_name", u"Bad_name", u"Same_name", u"Can't_make_ringtone"};

// The screens of this process's device profile.
int shoot_here(const std::string& out, const std::u16string& language, bool legacy) {
    fs::create_directories(out);
    const fs::path bin = fs::canonical("/proc/self/exe").parent_path().parent_path().parent_path() / "bin";
    // The older build's skins (the main one packed in an archive) lie in its own folder.
    const fs::path skins = legacy ? bin / "legacy" / "skins" : bin / "skins";
    if (legacy) app::install_legacy_build();
    fixtures::DeviceRoot root;
    for (const char* folder : {"default", "settings"}) {
        fs::create_directories(root.host(std::string("skins/") + folder));
        fs::copy(skins / folder, root.host(std::string("skins/") + folder), fs::copy_options::recursive);
    }
    for (const char* lng : {"english.lng", "german.lng"}) fs::copy_file(bin / lng, root.host(lng));
    fixtures::ToneSpec tone;
    tone.seconds = 20.0;
    fs::create_directories(root.host("My Documents/Clips"));
    if (!fixtures::make_wav(root.host("My Documents/Clips/Morning Chorus.wav"), tone)) {
        std::fprintf(stderr, "skin_shots: sox could not make the clip\n");
        return 1;
    }
    for (const char* name : {"Birthday party.wav", "bells.ogg", "Interview - second take.mp3", "lecture.mpc",
                             "Recording of the long rehearsal on Saturday evening.wav", "Seaside.wav", "thunder.ogg",
                             "Old ringtones/a.mp3", "Voice memos/a.wav"})
        make_file(root, std::string("My Documents/Clips/") + name);
    for (int i = 1; i <= 40; ++i) make_file(root, "My Documents/Clips/Old ringtones/Ringtone " + std::to_string(i) + ".mp3");

    platform::ensure_display();
    skinner::Application application(platform::program_instance(), u"Vantrel");
    auto skin = load_skin(u"\\skins\\default\\default.skin", language);
    auto dialogs = load_skin(u"\\skins\\settings\\dialogs.skin", language);
    if (!skin || !dialogs) return 1;

    app::FormMain form(nullptr, skin.get(), std::make_unique<SilentPlayer>());
    const std::u16string clips = u"\\My Documents\\Clips";
    const std::u16string clip = clips + u"\\Morning Chorus.wav";
    const std::u16string rings = skinner::static_capability_is_smartphone() ? u"\\My Documents" : u"\\Windows\\Rings";
    // A scaled integer of the skin over its stored value.
    const int scale = skin->get_scaled_int(u"", u"kindVScroll", u"MinButtonSize", 12) / skin->get_int(u"", u"kindVScroll", u"MinButtonSize", 12);
    shots::LayoutCheck check(scale, settle);
    // Told as they are found: a later screen may end the program.
    size_t told = 0;
    auto tell = [&check, &told, &out] {
        for (; told < check.faults().size(); ++told) std::fprintf(stderr, "skin_shots: %s: %s\n", out.c_str(), check.faults()[told].c_str());
    };
    bool ok = true;
    skinner::Form* dialog = nullptr;
    auto shot = [&](const char* name) {
        return [&ok, &out, &check, &form, &dialog, &tell, name] {
            const Script::Hold hold;
            settle();
            const std::string path = out + "/" + name + ".png";
            if (!fully_painted()) {
                std::fprintf(stderr, "skin_shots: %s shows pixels that nothing painted\n", path.c_str());
                ok = false;
            }
            if (platform::headless::save_screen_png(path)) {
                std::printf("%s\n", path.c_str());
            } else {
                std::fprintf(stderr, "skin_shots: could not write %s\n", path.c_str());
                ok = false;
            }
            // The dialog is the active form while it shows; the main form was checked before.
            const skinner::Form& top = dialog ? *dialog : form;
            check.check_form(top, name);
            check.check_focus_order(top, name);
            check.check_focus_looks(top, name);
            tell();
        };
    };
    // The label of the open dialog shows each of the texts.
    auto texts = [&](const std::u16string& label, std::vector<std::u16string> shown) {
        return [&check, &dialog, &tell, label, shown, name = std::string("texts of ") + std::string(label.begin(), label.end())] {
            if (dialog) check.check_label_texts(*dialog, label, shown, name);
            tell();
        };
    };
    // Puts the play position at a fraction of the clip and lets the position timer show it.
    auto play_at = [&form](double fraction) {
        return [&form, fraction] {
            if (audio::AudioFormat* format = form.get_format()) {
                form.seek_to(static_cast<int>(format->get_reader()->get_length() * fraction));
            }
            form.on_timer(form.get_position_timer());
        };
    };
    // The centre of a control, on the screen.
    auto point_at = [](skinner::Control& control) {
        RECT window{};
        GetWindowRect(control.get_form_root()->get_hwnd(), &window);
        const Point p = control.get_position() + Point(control.get_size().x / 2, control.get_size().y / 2);
        return Point(window.left + p.x, window.top + p.y);
    };
    auto close_dialog = [&dialog] {
        if (dialog) dialog->close();
    };
    auto run_dialog = [&dialog](skinner::Form& f) {
        dialog = &f;
        f.do_modal();
        dialog = nullptr;
    };
    std::vector<std::u16string> reports;
    for (const char16_t* key : kReports) reports.push_back(skin->get_string(key));

    Script script({
        [&] {
            form.open_folder(clips);
            form.file_list().select_path(clip);
            form.file_list().set_focus();
        },
        shot("files"),
        [&] {
            form.open_folder(clips + u"\\Old ringtones");
            form.file_list().select_path(clips + u"\\Old ringtones\\Ringtone 5.mp3");
        },
        shot("files-scrolled"),
        [&] {
            form.open_folder(clips);
            form.file_list().select_path(clip);
            form.on_command(u"Select");
            form.on_timer(form.get_play_timer());
        },
        play_at(0.3),
        shot("start"),
        [&] { form.start_panel().button.click(); },
        play_at(0.72),
        shot("finish"),
        [&] { form.finish_panel().button.click(); },
        shot("save"),
        // Down from the check box: the focus on the main action.
        [&] { form.on_keydown(skinner::Key::Down); },
        shot("save-focused"),
        [&] { form.on_keydown(skinner::Key::Down); },
        shot("save-focused-next"),
        [&] {
            form.save_panel().play.set_focus();
            form.save_panel().play.click();
        },
        play_at(0.5),
        shot("save-playing"),
        // Held under the pen, then let go away from it, which leaves it unpressed.
        [&] {
            const Point p = point_at(form.save_panel().assign);
            platform::headless::pen_down(p.x, p.y);
        },
        shot("save-pressed"),
        [&] {
            const Point p = point_at(form.save_panel().assign);
            platform::headless::pen_move(p.x, p.y + form.save_panel().assign.get_size().y * 4);
            platform::headless::pen_up(p.x, p.y + form.save_panel().assign.get_size().y * 4);
        },
        [&] { form.save_panel().exact.click(); },
        play_at(0.4),
        shot("exact-start"),
        [&] { form.exact_start_panel().right.set_pressed(true); },
        shot("exact-pressed"),
        [&] {
            form.exact_start_panel().right.set_pressed(false);
            form.on_command(u"Confirm");
        },
        play_at(0.7),
        shot("exact-finish"),
        [&] { form.on_command(u"Confirm"); },
        [&] {
            app::FormSave save(&form, skin.get(), skin->get_string(u"Ringtone_will_be_assigned") + u" " + rings,
                               u"Morning Chorus_001", u"%windows%/Rings");
            run_dialog(save);
        },
        shot("name"),
        texts(u"frmReport", {skin->get_string(u"Ringtone_will_be_saved") + u" " + rings}),
        close_dialog,
        [&] {
            app::FormConverting converting(&form, skin.get(), u"\\missing.wav", u"\\Windows\\Rings\\x.mp3", 0, 1);
            for (skinner::Control* c : converting.get_controls()) {
                if (auto* bar = dynamic_cast<skinner::ControlProgressBarImpl*>(c)) bar->set_position(0.4);
            }
            run_dialog(converting);
        },
        shot("converting"),
        texts(u"frmConverting", {skin->get_string(u"Converting1"), skin->get_string(u"Converting2")}),
        close_dialog,
        [&] {
            app::FormReport report(&form, skin.get(), skin->get_string(u"Bad_name"));
            run_dialog(report);
        },
        shot("report"),
        texts(u"frmReport", reports),
        close_dialog,
        [&] {
            app::FormYesNo question(&form, skin.get(), skin->get_string(u"Replace_existing_file"));
            run_dialog(question);
        },
        shot("question"),
        close_dialog,
        [&] {
            app::FormAbout about(&form, dialogs.get(), u"FormAbout", app::program_variant().about_title());
            run_dialog(about);
        },
        shot("about"),
        close_dialog,
        // The screen turned a quarter, as F5 turns it: the program lays itself out anew.
        [&] { platform::headless::turn_screen(); },
        shot("turned-save"),
        [&] { form.save_panel().exact.click(); },
        play_at(0.4),
        shot("turned-exact"),
        [&] {
            form.on_command(u"Cancel");
            form.on_command(u"Cancel");
        },
        shot("turned-files"),
        [&] { form.close(); },
    });
    form.do_modal();
    return ok && check.faults().empty() ? 0 : 1;
}

// Every setup in a process of its own, since the device profile is read once per process; a
// few at a time.
int shoot_all(const std::string& out) {
    const std::string self = fs::canonical("/proc/self/exe").string();
    const std::vector<Setup> setups = all_setups();
    std::atomic<size_t> next = 0;
    std::atomic<int> failed = 0;
    auto work = [&] {
        for (size_t i = next++; i < setups.size(); i = next++) {
            const Setup& s = setups[i];
            const std::string folder = out + "/" + s.name;
            const std::string command = "VANTREL_DISPLAY=headless VANTREL_AUDIO=null VANTREL_OS_MAJOR=5 VANTREL_DEVICE=" + s.device +
                                        " VANTREL_SCREEN=" + s.screen + " '" + self + "' --here '" + folder + "' " + s.language +
                                        (s.legacy ? " --legacy" : "") + " > /dev/null";
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "skin_shots: %s failed\n", s.name.c_str());
                ++failed;
            }
        }
    };
    std::vector<std::thread> workers;
    for (int i = 0; i < 4; ++i) workers.emplace_back(work);
    for (std::thread& t : workers) t.join();
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2) return shoot_all(fs::absolute(argv[1]).string());
    if (argc >= 3 && std::string(argv[1]) == "--here") {
        const std::string language = argc >= 4 ? argv[3] : "english";
        const bool legacy = argc >= 5 && std::string(argv[4]) == "--legacy";
        return shoot_here(fs::absolute(argv[2]).string(), std::u16string(language.begin(), language.end()), legacy);
    }
    std::fprintf(stderr, "usage: skin_shots DIR | skin_shots --here DIR [LANGUAGE [--legacy]]\n");
    return 2;
}
