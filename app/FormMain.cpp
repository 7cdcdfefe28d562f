#include "app/FormMain.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "app/MessageBox.h"
#include "app/ProgramVariant.h"
#include "base/FileSystem.h"
#include "base/Log.h"
#include "platform/kernel/Core.h"
#include "platform/kernel/Time.h"
#include "ui/forms/FormImpl.h"
#include "ui/menus/MenuItem.h"
#include "ui/skin/Properties.h"

namespace app {

namespace {

using skinner::Control;
using skinner::Key;
using skinner::Log;

}  // namespace

FormMain::FormMain(skinner::Form* parent, skinner::Properties* properties, std::unique_ptr<PreviewPlayer> player)
    : Form(parent, properties, u"FormMain"),
      menu_(this, u"MenuMain", KIND_SKIN),
      file_panel_(this),
      start_panel_(this, u"Start"),
      finish_panel_(this, u"Finish"),
      save_panel_(this),
      exact_start_panel_(this, u"Start"),
      exact_finish_panel_(this, u"Finish"),
      position_bar_(this, u"pbPosition"),
      player_(player ? std::move(player) : make_wave_out_player()) {
    show_panel(&file_panel_);
    file_list().refresh_layout();
    position_bar_.set_want_focus(false);
    position_timer_ = set_timer(position_period);
    call_timer_ = set_timer(call_period);
}

FormMain::~FormMain() {
    stop_playing();
    // The player's thread is joined before the filter it pulls from goes.
    fade_.connect(nullptr);
    player_.reset();
}

void FormMain::paint(skinner::Painter& painter, skinner::Point clip_origin, skinner::Point clip_size) {
    Form::paint(painter, clip_origin, clip_size);
    if (painted_) return;
    painted_ = true;
    Log::instance() << u"FormMain first frame painted at tick " << long(GetTickCount()) << u"\n";
}

void FormMain::show_panel(Control* target) {
    const bool file_was_visible = file_panel_.visible_flag();
    pressed_mark_ = -1;
    // Hidden first, so that the focus can go to the panel that shows.
    for (Control* panel : panels()) {
        if (panel != target) panel->set_visible(false);
    }
    if (target) target->set_visible(true);
    position_bar_.set_visible(is_marking_panel(target) || is_exact_panel(target));
    position_bar_.set_enabled(is_marking_panel(target));
    if (file_panel_.visible_flag() && !file_was_visible) file_list().refresh();
}

std::array<Control*, 6> FormMain::panels() {
    return {&file_panel_, &start_panel_, &finish_panel_, &save_panel_, &exact_start_panel_, &exact_finish_panel_};
}

Control* FormMain::current_panel() {
    for (Control* panel : panels()) {
        if (panel->visible_flag()) return panel;
    }
    return nullptr;
}

bool FormMain::is_marking_panel(Control* panel) { return panel == &start_panel_ || panel == &finish_panel_; }

bool FormMain::is_exact_panel(Control* panel) { return panel == &exact_start_panel_ || panel == &exact_finish_panel_; }

void FormMain::on_control_event(Control* sender, const skinner::ButtonEvent&) {
    if (sender == &start_panel_.button) {
        mark(start_panel_);
    } else if (sender == &finish_panel_.button) {
        mark(finish_panel_);
    } else if (sender == &save_panel_.play) {
        if (!save_panel_.play.is_checked()) {
            stop_playing();
        } else {
            fade_.set_ramp(0.0, 0.0, true);
            play_from(file_list().get_selected_path(), start_);
        }
    } else if (sender == &save_panel_.exact) {
        fade_.set_ramp(fade_span, exact_span, false);
        play_from(file_list().get_selected_path(), start_);
        show_panel(&exact_start_panel_);
    } else if (sender == &save_panel_.save) {
        make_ringtone(false);
    } else if (sender == &save_panel_.assign) {
        on_command(u"Assign");
    } else if (sender == &save_panel_.exit) {
        on_command(u"Exit");
    } else if (sender == &exact_start_panel_.confirm_panel.confirm || sender == &exact_finish_panel_.confirm_panel.confirm) {
        on_command(u"Confirm");
    } else if (sender == &exact_start_panel_.left || sender == &exact_start_panel_.right ||
               sender == &exact_finish_panel_.left || sender == &exact_finish_panel_.right) {
        fine_tune(sender);
    }
}

void FormMain::on_state_changed(Control* sender) {
    Form::on_state_changed(sender);
    for (skinner::ControlButton* button : {&start_panel_.button, &finish_panel_.button}) {
        if (sender == button && button->is_pressed()) pressed_mark_ = get_play_position();
    }
}

void FormMain::mark(PanelOneButton& panel) {
    // What was heard as the button went down; a click without a press (a soft key) marks now.
    const int position = pressed_mark_ >= 0 ? pressed_mark_ : get_play_position();
    pressed_mark_ = -1;
    const int32_t marked = position < 1 ? 0 : position;
    if (&panel == &start_panel_) {
        start_ = marked;
        if (!format_) play_from(file_list().get_selected_path(), 0);
        if (!is_selection_long_enough()) {
            refuse_short_selection();
        } else {
            show_panel(&finish_panel_);
        }
        return;
    }
    finish_ = marked;
    if (!is_selection_long_enough()) {
        refuse_short_selection();
        return;
    }
    stop_playing();
    show_panel(&save_panel_);
}

void FormMain::refuse_short_selection() {
    // Without a format the preview did not start: there is no selection to speak of.
    const bool opened = format_ != nullptr;
    // Stopped first, so that nothing plays behind the message.
    on_command(u"Cancel");
    if (!opened) return;
    skinner::Properties& p = *get_properties();
    message_box(get_hwnd(), p.get_string(u"Too_short_selection"), p.get_string(u"skin_ProgramName", u"Vantrel"),
                MB_OK | MB_ICONEXCLAMATION);
}

void FormMain::fine_tune(Control* arrow) {
    if (!format_) return;
    const int64_t length = format_->get_reader()->get_length();
    // A press moves by one unit at least, also where a unit lasts longer than a step.
    auto step = [this](int position, double seconds) {
        const int moved = position_after(position, seconds);
        if (moved != position) return moved;
        return seconds < 0 ? position - 1 : position + 1;
    };
    if (arrow == &exact_start_panel_.left) {
        const int moved = step(start_, -fine_step);
        start_ = moved > 0 ? moved : 0;
    } else if (arrow == &exact_start_panel_.right) {
        const int moved = step(start_, fine_step);
        const int limit = position_after(finish_, -least_selection);
        start_ = moved >= limit ? limit : moved;
    } else if (arrow == &exact_finish_panel_.left) {
        const int moved = step(finish_, -fine_step);
        const int least_finish = position_after(start_, least_selection);
        finish_ = least_finish < moved ? moved : least_finish;
    } else if (arrow == &exact_finish_panel_.right) {
        const int moved = step(finish_, fine_step);
        finish_ = static_cast<int32_t>(moved < length ? moved : length);
    }
}

void FormMain::on_command(const std::u16string& command) {
    if (program_variant().on_language_command(*this, command)) return;
    if (command == u"Select") {
        select_file();
    } else if (command == u"Cancel") {
        stop_playing();
        show_panel(is_exact_panel(current_panel()) ? static_cast<Control*>(&save_panel_) : &file_panel_);
    } else if (command == u"Start") {
        pressed_mark_ = -1;
        start_panel_.button.click();
    } else if (command == u"Finish") {
        pressed_mark_ = -1;
        finish_panel_.button.click();
    } else if (command == u"Assign") {
        if (!make_ringtone(true).empty()) {
            close();
        } else {
            show_panel(&save_panel_);
        }
    } else if (command == u"PickUp") {
        if (!file_list().is_at_root()) open_folder(file_list().item_at(0).path);
    } else if (command == u"PickFolder") {
        open_folder(file_list().get_selected_path());
    } else if (command == u"Help") {
        if (!skinner::execute_file(u"%app_path%/" + get_properties()->get_string(u"Help_link"), u"")) {
            tell_when_no_opener(GetLastError(), get_hwnd(), *get_properties());
        }
    } else if (command == u"About") {
        show_about();
    } else if (command == u"Exit") {
        close();
    } else if (command == u"Confirm") {
        confirm();
    } else if (command == u"#ScreenResolution#") {
        reload_skin_for_screen();
    }
}

void FormMain::select_file() {
    const FileListItem item = file_list().item_at(file_list().get_selected());
    if (!skinner::FileInfo(item.path).exists()) {
        file_list().refresh();
        return;
    }
    if (item.type != FileListItem::AUDIO_FILE) {
        open_folder(item.path);
        return;
    }
    start_ = -1;
    // Opened here only for the length: the preview opens the file again when it starts.
    std::unique_ptr<audio::AudioFormat> format = open_audio_file(item.path);
    if (!format) {
        skinner::Properties& p = *get_properties();
        message_box(get_hwnd(), p.get_string(u"Invalid_media_type"), p.get_string(u"skin_ProgramName", u"Vantrel"),
                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    fade_.set_ramp(0.0, 0.0, true);
    finish_ = format->get_reader()->get_length();
    position_bar_.set_markers(0.0, 0.0);
    show_panel(&start_panel_);
    start_play_timer();
}

void FormMain::confirm() {
    Control* panel = current_panel();
    if (panel == &exact_start_panel_) {
        const int begin = exact_finish_begin();
        if (player_->is_finished()) {
            play_from(file_list().get_selected_path(), begin);
        } else {
            seek_to(begin);
        }
        fade_.set_ramp(0.0, fade_span, true);
        show_panel(&exact_finish_panel_);
    } else if (panel == &exact_finish_panel_) {
        stop_playing();
        show_panel(&save_panel_);
    }
}

void FormMain::reload_skin_for_screen() {
    skinner::Properties& p = *get_properties();
    p.load_skin(p.get_skin_path(), skinner::FormImpl::get_screen_size(nullptr), skinner::Point());
}

bool FormMain::on_keydown(Key key) {
    Log::instance() << u"FormMain::on_keydown " << key << u"\n";
    if (Form::on_keydown(key)) return true;
    Control* panel = current_panel();
    const bool left_or_right = key == Key::Left || key == Key::Right;
    if (left_or_right && is_marking_panel(panel) && format_) {
        audio::AudioReader& reader = *format_->get_reader();
        const int position = reader.get_position();
        const int length = reader.get_length();
        // A twentieth of the file's time: its bytes may be a cover's as much as audio.
        const double step = reader.get_duration() / 20;
        if (key == Key::Right) {
            seek_to(std::min(position_after(position, step), length));
        } else if (start_ < 0 && reader.position_to_seconds(position) < step) {
            // Only while the start is unset: the preview starts over from the beginning.
            stop_playing();
            start_play_timer();
        } else {
            seek_to(std::max(position_after(position, -step), start_));
        }
        return true;
    }
    if (key == Key::Right && panel == &start_panel_ && !format_) {
        if (!play_from(file_list().get_selected_path(), 0)) {
            show_panel(&file_panel_);
        } else {
            audio::AudioReader& reader = *format_->get_reader();
            seek_to(reader.seconds_to_position(reader.get_duration() / 20));
        }
        return true;
    }
    if (key == Key::Esc && panel != &file_panel_) {
        on_command(u"Cancel");
        return true;
    }
    return false;
}

void FormMain::create_menu(skinner::MenuItem& menu) {
    if (menu.command == u"Menu") program_variant().create_main_menu(*this, menu);
}

void FormMain::on_value_changed(Control* sender, double value) {
    if (sender != &position_bar_ || !format_) return;
    // The bar spans the file's time, not its bytes.
    audio::AudioReader& reader = *format_->get_reader();
    const int target = reader.seconds_to_position(reader.get_duration() * value);
    seek_to(std::max(target, start_));
}

// Going up selects the folder one came from.
void FormMain::open_folder(const std::u16string& path) {
    const std::u16string came_from = make_folder_path(file_list().get_folder());
    file_list().set_folder(path);
    file_list().select_path(came_from);
}

}  // namespace app
