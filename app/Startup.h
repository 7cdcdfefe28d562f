#pragma once
// The program's main function: the single-instance check, the application, the skin, the
// language, the main form with its settings, the modal loop, and the tear-down, each stage
// logged with its own duration.
#include <string>

#include "app/SettingsFile.h"
#include "platform/Types.h"

namespace app {

constexpr const char16_t* program_name = u"Vantrel";
constexpr const char16_t* skin_path = u"%app_path%/skins/default/default.skin";
constexpr const char16_t* skin_version = u"Vantrel_1.1";
constexpr const char16_t* skin_failed_text = u"Skin failed to load, because memory is low";

// Where the program finds its skin and keeps its settings; tests point them elsewhere.
struct StartupPaths {
    std::u16string skin = skin_path;
    std::u16string settings = settings_file_path;
    // Asked once no other instance took over, before anything is shown; null: always true.
    bool (*display_ready)() = nullptr;
};

// What run_vantrel returns when display_ready said no.
constexpr int no_display_exit_code = 1;

// Runs the program to its end; 0, or no_display_exit_code.
int run_vantrel(HINSTANCE instance, const std::u16string& command_line, const StartupPaths& paths = {});

}  // namespace app
