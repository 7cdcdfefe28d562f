#pragma once
// What makes the program the older build, Vantrel-legacy: its skin and pictures read out of a
// skin archive, its log file named without a time stamp, its window captions, its dialog class
// and picture report, and its language kept in the settings file with a menu of its own.
#include <memory>
#include <string>

#include "app/ProgramVariant.h"
#include "app/SettingsFile.h"
#include "legacy/LegacyLanguageMenu.h"
#include "ui/skin/FrameworkVariant.h"

namespace skinner {

class LegacyFrameworkVariant : public FrameworkVariant {
public:
    // The application's name alone: the older build reads no caption strings.
    std::u16string window_caption(const std::u16string& app_name, Properties* properties,
                                  const std::u16string& form_name) override;
    std::u16string dialog_class() override;
    // "name=" + the picture's name + "\nbase_path=" + where it was looked for, then its scale.
    std::u16string picture_failure_text(const Picture& picture) override;
};

}  // namespace skinner

namespace app {

constexpr const char16_t* legacy_about_title = u"ZEPH Vantrel v1.22";
constexpr const char16_t* settings_key_language = u"Language";

class LegacyProgramVariant : public ProgramVariant {
public:
    // "%app_path%/English.lng"; the settings may switch it once they are read.
    void load_start_language(skinner::Properties& properties) override;
    // The language the settings chose.
    void load_dialogs_language(skinner::Properties& properties) override;
    // The Language submenu ("Menu_Language"), then Help, About and Exit ("Menu_Help",
    // "Menu_About", "Menu_Exit").
    void create_main_menu(FormMain& form, skinner::MenuItem& menu) override;
    // "Language_" + name: the language is switched at once and the settings are saved.
    bool on_language_command(FormMain& form, const std::u16string& command) override;
    // The "Language" key (default "English").
    void load_settings(FormMain& form, SettingsFile& settings) override;
    void save_settings(FormMain& form, SettingsFile& settings) override;
    std::u16string about_title() override;

    const std::u16string& get_language() const { return language_; }

private:
    std::u16string language_ = skinner::legacy_default_language;
    // The file the settings were read from, saved again when the language changes.
    std::u16string settings_path_ = settings_file_path;
};

// Called by the older program first thing, before anything logs or loads a skin.
void install_legacy_build();
// Brings back the current build's pieces (for tests).
void uninstall_legacy_build();

}  // namespace app
