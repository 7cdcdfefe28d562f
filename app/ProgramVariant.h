#pragma once
// What differs between the builds of the clip editor: the language chosen at start-up and for
// the dialogs skin, the main menu with its language commands, what the settings file keeps
// beside the folder and the selection, and the About form's title. A program may install its
// own variant at start-up (the older build does); without one, the current build's is used.
#include <memory>
#include <string>

namespace skinner {
class MenuItem;
class Properties;
}  // namespace skinner

namespace app {

class FormMain;
class SettingsFile;

// The registry subkey under which the current build keeps the chosen language.
constexpr const char16_t* language_title = u"ZEPH Vantrel";

class ProgramVariant {
public:
    virtual ~ProgramVariant() = default;
    // The language loaded right after the skin: the registry's choice, then the user's own.
    virtual void load_start_language(skinner::Properties& properties);
    // The language of the dialogs skin, loaded when the skin is first used: as at start-up.
    virtual void load_dialogs_language(skinner::Properties& properties);
    // The main form's menu "Menu": the Language submenu (two files or more), then Help,
    // About and Exit with the texts of the same keys.
    virtual void create_main_menu(FormMain& form, skinner::MenuItem& menu);
    // A language command ("Language#" + name); true when it was one and was carried out.
    virtual bool on_language_command(FormMain& form, const std::u16string& command);
    // Keys of the settings file beside "CurrentFolder" and "SelectedPath": none.
    virtual void load_settings(FormMain& form, SettingsFile& settings);
    virtual void save_settings(FormMain& form, SettingsFile& settings);
    virtual std::u16string about_title();
};

// Every later caller uses this variant; null brings back the current build's.
void install_program_variant(std::unique_ptr<ProgramVariant> variant);
ProgramVariant& program_variant();

// Help, About and Exit, their texts read from the keys given (in that order).
void append_help_about_exit(skinner::MenuItem& menu, skinner::Properties& properties, const char16_t* const (&keys)[3]);

}  // namespace app
