#pragma once
// FormMain: the program's only top-level form. It shows one of six panels at a time and walks
// the user through the job: pick a file, mark the start, mark the finish, then listen,
// fine-tune or save. It owns the preview: the opened file's nodes, the fade filter and the
// player, driven by a position timer, a call timer and a one-shot play timer.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/Panels.h"
#include "app/PositionBar.h"
#include "app/PreviewPlayer.h"
#include "app/SettingsFile.h"
#include "audio/AudioFormat.h"
#include "audio/FadeFilter.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/forms/Form.h"

namespace app {

class FormConverting;

constexpr const char16_t* dialogs_skin_file = u"%app_path%/skins/settings/dialogs.skin";

class FormMain : public skinner::Form {
public:
    // Fixed spans of the preview, in seconds.
    static constexpr double exact_span = 4.0;
    static constexpr double fade_span = 2.0;
    static constexpr double fine_step = 0.1;
    static constexpr double least_selection = 0.5;
    static constexpr double position_period = 0.1;
    static constexpr double call_period = 0.5;
    static constexpr double play_delay = 1.0;

    // player null: the wave-out player.
    FormMain(skinner::Form* parent, skinner::Properties* properties, std::unique_ptr<PreviewPlayer> player = nullptr);
    ~FormMain() override;

    // Exactly the target is visible; the position bar shows with the marking and fine-tuning
    // panels and takes the pen only while marking.
    void show_panel(skinner::Control* target);

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;
    void on_command(const std::u16string& command) override;
    void on_value_changed(skinner::Control* sender, double value) override;
    // A mode button going down notes what is heard then: the mark is taken at the press.
    void on_state_changed(skinner::Control* sender) override;
    void create_menu(skinner::MenuItem& menu) override;
    bool on_keydown(skinner::Key key) override;
    void on_timer(uint32_t id) override;
    // The first paint is logged with the tick count, for the start-up's measure.
    void paint(skinner::Painter& painter, skinner::Point clip_origin, skinner::Point clip_size) override;

    // The preview.
    bool play_from(const std::u16string& path, int position);
    void stop_playing();
    // The reader's position less the audio still queued in the device.
    int get_play_position();
    void seek_to(int position);
    bool is_selection_long_enough();
    // Steps back from marking or fine-tuning (an active call); on the save panel only stops.
    void do_cancel();

    // Shows the folder in the file list, with the folder one came from selected.
    void open_folder(const std::u16string& path);
    // Saves the selection as a ringtone (and assigns it); the saved path, empty when none.
    std::u16string make_ringtone(bool assign);
    // The About form from the dialogs skin, then the settings saved.
    void show_about();
    // Loads the dialogs skin once; false (after a message box) while it is not usable.
    bool load_dialogs_skin();
    skinner::Properties* get_dialogs_skin() const { return dialogs_skin_.get(); }
    // Where show_about finds the dialogs skin and saves the settings.
    void set_dialogs_skin_path(const std::u16string& path) { dialogs_skin_path_ = path; }
    void set_settings_path(const std::u16string& path) { settings_path_ = path; }

    FileList& file_list() { return file_panel_.files; }
    PositionBar& position_bar() { return position_bar_; }
    PanelFile& file_panel() { return file_panel_; }
    PanelOneButton& start_panel() { return start_panel_; }
    PanelOneButton& finish_panel() { return finish_panel_; }
    PanelSave& save_panel() { return save_panel_; }
    PanelExact& exact_start_panel() { return exact_start_panel_; }
    PanelExact& exact_finish_panel() { return exact_finish_panel_; }
    // The visible panel.
    skinner::Control* current_panel();

    int32_t get_start() const { return start_; }
    int32_t get_finish() const { return finish_; }
    audio::AudioFormat* get_format() const { return format_.get(); }
    audio::FadeFilter& fade() { return fade_; }
    PreviewPlayer& player() { return *player_; }
    uint32_t get_position_timer() const { return position_timer_; }
    uint32_t get_call_timer() const { return call_timer_; }
    uint32_t get_play_timer() const { return play_timer_; }

protected:
    // The open-file factory; tests open files of their own making.
    virtual std::unique_ptr<audio::AudioFormat> open_audio_file(const std::u16string& path);
    // The converting form of the selection; tests put forms of their own in its place.
    virtual std::unique_ptr<FormConverting> make_converting_form(const std::u16string& source, const std::u16string& target);

private:
    void on_position_timer();
    void on_call_timer();
    void on_play_timer();
    void start_play_timer();
    void kill_play_timer();
    // Cuts the link between the format's data source and the fade filter, under the filter's
    // lock, so the player thread is never inside the source while it goes.
    void cut_chain();
    void set_play_checked(bool checked);
    void select_file();
    void mark(PanelOneButton& panel);
    void fine_tune(skinner::Control* arrow);
    void confirm();
    void reload_skin_for_screen();
    // The selected file from the start of the exact-finish loop.
    int exact_finish_begin();
    // The open reader's position a span of seconds after position (before it when negative).
    int position_after(int position, double seconds);
    // Back to the file list, saying why.
    void refuse_short_selection();
    // The six panels in their order.
    std::array<skinner::Control*, 6> panels();
    bool is_marking_panel(skinner::Control* panel);
    bool is_exact_panel(skinner::Control* panel);

    skinner::ControlMenuMainImpl menu_;
    PanelFile file_panel_;
    PanelOneButton start_panel_;
    PanelOneButton finish_panel_;
    PanelSave save_panel_;
    PanelExact exact_start_panel_;
    PanelExact exact_finish_panel_;
    PositionBar position_bar_;
    uint32_t position_timer_ = 0;
    uint32_t play_timer_ = 0;
    uint32_t call_timer_ = 0;
    std::unique_ptr<skinner::Properties> dialogs_skin_;
    std::u16string dialogs_skin_path_ = dialogs_skin_file;
    std::u16string settings_path_ = settings_file_path;
    int32_t start_ = -1;
    int32_t finish_ = 0;
    // The play position as a mode button went down; -1 when none is pending.
    int pressed_mark_ = -1;
    std::unique_ptr<audio::AudioFormat> format_;
    // Declared before the player: the player's thread is joined before the filter it pulls
    // from goes.
    audio::FadeFilter fade_;
    std::unique_ptr<PreviewPlayer> player_;
    bool painted_ = false;
};

}  // namespace app
