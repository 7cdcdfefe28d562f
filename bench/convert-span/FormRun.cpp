#include "bench/convert-span/FormRun.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "app/FormConverting.h"
#include "base/FileSystem.h"
#include "platform/display/Display.h"
#include "platform/window/Modules.h"
#include "ui/application/Application.h"
#include "ui/controls/ControlButton.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/Properties.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point began) { return std::chrono::duration<double>(Clock::now() - began).count(); }

// The built skin and strings are copied into the work folder, which the device can reach even
// in a sandbox.
std::unique_ptr<skinner::Properties> load_program_skin(const std::string& host_work, const std::u16string& device_work,
                                                       std::string& error) {
    namespace fs = std::filesystem;
    const fs::path bin = fs::canonical("/proc/self/exe").parent_path().parent_path().parent_path() / "bin";
    std::error_code failed;
    fs::copy(bin / "skins/default", fs::path(host_work) / "skin", fs::copy_options::recursive, failed);
    if (!failed) fs::copy_file(bin / "english.lng", fs::path(host_work) / "english.lng", failed);
    if (failed) {
        error = "the built skin could not be copied: " + failed.message();
        return nullptr;
    }
    auto properties = std::make_unique<skinner::Properties>(device_work + u"\\skin\\default.skin",
                                                            skinner::FormImpl::get_screen_size(nullptr), skinner::Point());
    if (!properties->is_loaded() || !properties->load_strings(device_work + u"\\english.lng")) {
        error = "the built skin did not load";
        return nullptr;
    }
    return properties;
}

// Runs the form; when cancel_in_stage is 1 or 2, presses Cancel once that pass is a third
// through and returns how long the press took (-1 when the pass ended before it was seen).
double run_form(app::FormConverting& form, int cancel_in_stage, double& worker_seconds) {
    static std::function<void()> poll;
    double cancel_ms = -1.0;
    const Clock::time_point began = Clock::now();
    std::atomic<bool> watching{true};
    std::thread watcher([&] {
        while (watching && !form.worker().finished()) std::this_thread::sleep_for(std::chrono::microseconds(200));
        worker_seconds = seconds_since(began);
    });
    poll = [&] {
        const auto& converter = form.worker().converter();
        if (cancel_in_stage == 0 || converter.get_stage() != cancel_in_stage || converter.get_progress() < 0.33) return;
        cancel_in_stage = 0;
        for (skinner::Control* c : form.get_controls()) {
            if (c->get_name() != u"btnCancel") continue;
            const Clock::time_point pressed = Clock::now();
            static_cast<skinner::ControlButton*>(c)->click();
            cancel_ms = seconds_since(pressed) * 1000.0;
        }
    };
    const uintptr_t timer = SetTimer(nullptr, 0, 1, [](HWND, UINT, uintptr_t, DWORD) { poll(); });
    form.run();
    KillTimer(nullptr, timer);
    watching = false;
    watcher.join();
    return cancel_ms;
}

}  // namespace

FormRun convert_through_form(const std::u16string& input, const std::u16string& output, double seconds, int runs,
                             const std::string& host_work, const std::u16string& device_work) {
    FormRun result;
    platform::ensure_display();
    skinner::Application application(platform::program_instance(), u"convert-span");
    std::unique_ptr<skinner::Properties> skin = load_program_skin(host_work, device_work, result.error);
    if (!skin) return result;

    auto format = audio::AudioFormat::create_for_file(input);
    if (!format) {
        result.error = "unreadable or unsupported input";
        return result;
    }
    const int finish = format->get_reader()->seconds_to_position(seconds);
    format.reset();
    // The best of a few runs: the machine may be busy with other work.
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point began = Clock::now();
        app::FormConverting form(nullptr, skin.get(), input, output, 0, finish);
        double worker_seconds = 0.0;
        run_form(form, 0, worker_seconds);
        const double form_seconds = seconds_since(began);
        if (!form.succeeded()) {
            result.error = "the conversion failed";
            return result;
        }
        result.form_seconds = run == 0 ? form_seconds : std::min(result.form_seconds, form_seconds);
        result.worker_seconds = run == 0 ? worker_seconds : std::min(result.worker_seconds, worker_seconds);
        result.kbps = form.get_output_bitrate() / 1000;
    }
    for (int stage : {1, 2}) {
        // A cancel keeps what was there: the runs before left their file.
        skinner::delete_file(output);
        app::FormConverting form(nullptr, skin.get(), input, output, 0, finish);
        double ignored = 0.0;
        const double cancel_ms = run_form(form, stage, ignored);
        if (cancel_ms >= 0) {
            result.cancel_ms = std::max(result.cancel_ms, cancel_ms);
            result.cancel_left_file = result.cancel_left_file || skinner::FileInfo(output).exists();
        }
        skinner::delete_file(output);
    }
    result.ok = true;
    return result;
}
