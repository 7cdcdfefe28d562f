// preview-cpu [SECONDS]
//   Runs the main form on the program's skin at 480 x 640 with a clip of 30 s chosen in its
//   file list, lets the preview start, then measures the CPU time of the whole process (every
//   thread: the form's timers, the player, the display, the audio device) over SECONDS
//   (default 10) of playing, as a share of one core. The display and the audio device are those
//   of VANTREL_DISPLAY and VANTREL_AUDIO (the desktop window and the sound card by default,
//   else headless and the null device).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/FormMain.h"
#include "platform/display/Display.h"
#include "platform/window/Modules.h"
#include "ui/application/Application.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/Properties.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

struct Measure {
    app::FormMain* form = nullptr;
    double seconds = 10.0;
    Clock::time_point started;
    double cpu_at_start = 0.0;
    bool measuring = false;
    double share = -1.0;
    bool played = false;
};
Measure measure;

// Once a second: waits for the preview to play for a second, then measures, then closes.
void tick(HWND, UINT, uintptr_t, DWORD) {
    Measure& m = measure;
    if (!m.measuring) {
        if (!m.form->get_format()) return;
        if (!m.played) {
            m.played = true;
            return;
        }
        m.measuring = true;
        m.started = Clock::now();
        m.cpu_at_start = cpu_seconds();
        return;
    }
    const double wall = std::chrono::duration<double>(Clock::now() - m.started).count();
    if (wall < m.seconds) return;
    m.share = (cpu_seconds() - m.cpu_at_start) / wall;
    if (!m.form->get_format()) m.share = -1.0;  // the preview stopped on the way
    m.form->close();
}

}  // namespace

int main(int argc, char** argv) {
    measure.seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    char pattern[] = "/tmp/vantrel-preview-XXXXXX";
    if (!mkdtemp(pattern)) return 2;
    const std::string folder = pattern;
    const std::string clip = folder + "/Preview.wav";
    const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + clip + "' synth 30 sine 220-880 gain -6";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "preview-cpu: sox could not make the clip\n");
        return 2;
    }
    platform::DisplayBackend& display = platform::ensure_display();
    {
        skinner::Application application(GetModuleHandleW(nullptr), u"Vantrel");
        const skinner::Point screen = skinner::FormImpl::get_screen_size(nullptr);
        skinner::Properties properties(widen(PREVIEW_CPU_SKIN), screen, skinner::Point());
        if (!properties.check_version(u"Vantrel_1.1", screen)) {
            std::fprintf(stderr, "preview-cpu: the program's skin did not load\n");
            return 2;
        }
        properties.load_strings(widen(PREVIEW_CPU_LANGUAGE));
        app::FormMain form(nullptr, &properties);
        form.open_folder(widen(folder));
        form.file_list().select_path(form.file_list().item_at(1).path);
        form.on_command(u"Select");
        measure.form = &form;
        const uintptr_t timer = SetTimer(nullptr, 0, 1000, tick);
        form.do_modal();
        KillTimer(nullptr, timer);
    }
    fs::remove_all(folder);
    const char* audio = std::getenv("VANTREL_AUDIO");
    std::printf("display=%s audio=%s\n", display.name(), audio ? audio : "sdl (default)");
    if (measure.share < 0) {
        std::printf("the preview did not play through the measure\n");
        return 1;
    }
    std::printf("preview playing: %.2f%% of one core over %.1f s (all threads)\n", measure.share * 100.0, measure.seconds);
    return 0;
}
