#include "app/Startup.h"

#include <memory>

#include "app/FormMain.h"
#include "app/MessageBox.h"
#include "app/ProgramVariant.h"
#include "app/Ringtone.h"
#include "app/Settings.h"
#include "audio/FileWriterMP3.h"
#include "base/Log.h"
#include "ui/application/Application.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/Properties.h"
#include "ui/device/Stopwatch.h"
#include "ui/device/WaitCursor.h"

namespace app {

namespace {

using skinner::Application;
using skinner::Log;

// Each stage line carries the duration of its own stage.
void log_stage(skinner::Stopwatch& stopwatch, const char16_t* stage) {
    const double seconds = stopwatch.restart();
    Log::instance() << stage << seconds << u"\n";
}

}  // namespace

int run_vantrel(HINSTANCE instance, const std::u16string& command_line, const StartupPaths& paths) {
    skinner::Stopwatch stopwatch;
    const std::u16string line = command_line;
    if (Application::show_running_instance_open_bracket(line, program_name)) return 0;
    // Only now: a second start must not show a window, not even for a moment.
    if (paths.display_ready && !paths.display_ready()) {
        Application::show_running_instance_close_bracket();
        return no_display_exit_code;
    }

    auto wait_cursor = std::make_unique<skinner::WaitCursor>();
    Application application(instance, program_name);
    // No other instance writes ringtones now: a partial one is what a killed run left.
    audio::FileWriterMP3::remove_partial_files(ringtone_folder());
    skinner::Properties properties(paths.skin, skinner::FormImpl::get_screen_size(nullptr), skinner::Point());
    const skinner::Point screen = skinner::FormImpl::get_screen_size(nullptr);
    if (!properties.is_loaded() || !properties.check_version(skin_version, screen)) {
        wait_cursor.reset();
        Application::show_running_instance_close_bracket();
        message_box(nullptr, skin_failed_text, program_name, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    log_stage(stopwatch, u"==== skinner::Properties properties ");

    program_variant().load_start_language(properties);
    log_stage(stopwatch, u"==== load lang ");

    auto form = std::make_unique<FormMain>(nullptr, &properties);
    form->set_settings_path(paths.settings);
    log_stage(stopwatch, u"==== FormMain ");

    load_settings(*form, paths.settings);
    log_stage(stopwatch, u"==== load_settings ");

    wait_cursor.reset();
    Application::show_running_instance_close_bracket();
    form->do_modal();

    save_settings(*form, paths.settings);
    form.reset();
    return 0;
}

}  // namespace app
