// FormMain's preview: the chain from the opened file through the fade filter to the player,
// and the timers that follow, loop and stop it by the visible panel.
#include <algorithm>
#include <cstdint>

#include "app/FormMain.h"
#include "base/Log.h"
#include "base/Registry.h"
#include "platform/kernel/Power.h"

namespace app {

std::unique_ptr<audio::AudioFormat> FormMain::open_audio_file(const std::u16string& path) {
    return audio::AudioFormat::create_for_file(path);
}

int FormMain::position_after(int position, double seconds) {
    return format_ ? format_->get_reader()->position_after(position, seconds) : position;
}

int FormMain::exact_finish_begin() { return std::max<int32_t>(start_, position_after(finish_, -exact_span)); }

void FormMain::start_play_timer() {
    kill_play_timer();
    play_timer_ = set_timer(play_delay);
}

void FormMain::kill_play_timer() {
    kill_timer(play_timer_);
    play_timer_ = 0;
}

void FormMain::cut_chain() {
    // connect takes the lock of the node downstream (the fade filter), which the player
    // thread holds while it pulls through the source.
    if (format_) format_->get_source()->connect(nullptr);
}

void FormMain::set_play_checked(bool checked) { save_panel_.play.set_checked(checked); }

bool FormMain::play_from(const std::u16string& path, int position) {
    kill_play_timer();
    std::unique_ptr<audio::AudioFormat> format = open_audio_file(path);
    if (!format) {
        stop_playing();
        return false;
    }
    player_->stop();
    // The player thread may still be pulling from the previous format: it is cut off
    // before it is deleted.
    cut_chain();
    format_ = std::move(format);
    format_->get_reader()->seek(std::max(position, 0));
    format_->get_source()->connect(&fade_);
    fade_.connect(&player_->sink());
    if (!player_->play()) {
        stop_playing();
        return false;
    }
    set_play_checked(true);
    return true;
}

void FormMain::stop_playing() {
    kill_play_timer();
    player_->stop();
    if (format_) {
        cut_chain();
        format_.reset();
    }
    set_play_checked(false);
}

int FormMain::get_play_position() {
    if (!format_) return 0;
    audio::AudioReader& reader = *format_->get_reader();
    const int rate = reader.get_sample_rate();
    const int queued = player_->get_unplayed_samples();
    const int position = reader.get_position();
    return rate > 0 && queued > 0 ? reader.position_after(position, -static_cast<double>(queued) / rate) : position;
}

void FormMain::seek_to(int position) {
    if (!format_) return;
    format_->reset();
    format_->get_reader()->seek(std::max(position, 0));
}

bool FormMain::is_selection_long_enough() {
    return start_ >= 0 && format_ && finish_ > position_after(start_, least_selection);
}

void FormMain::do_cancel() {
    skinner::Log::instance() << u"do_cancel\n";
    skinner::Control* panel = current_panel();
    if (panel != &file_panel_ && panel != &save_panel_) on_command(u"Cancel");
    if (panel == &save_panel_ && save_panel_.play.is_checked()) stop_playing();
}

void FormMain::on_timer(uint32_t id) {
    if (id == position_timer_) {
        on_position_timer();
    } else if (id == call_timer_) {
        on_call_timer();
    } else if (id == play_timer_ && id != 0) {
        on_play_timer();
    }
    Form::on_timer(id);
}

void FormMain::on_position_timer() {
    if (!format_) return;
    SystemIdleTimerReset();
    audio::AudioReader& reader = *format_->get_reader();
    const int position = get_play_position();
    const int reader_position = reader.get_position();
    const int shown_start = start_ < 0 ? position : start_;
    skinner::Control* panel = current_panel();
    // The bar's markers as times, not positions (an MP3's tags take bytes but no time), read
    // before a loop below may replace the reader.
    const double duration = reader.get_duration();
    const double first = reader.position_to_seconds(is_exact_panel(panel) ? start_ : shown_start);
    const double second = reader.position_to_seconds(is_exact_panel(panel) ? finish_ : position);
    const bool finished = player_->is_finished();
    const std::u16string path = file_list().get_selected_path();
    if (panel == &start_panel_) {
        if (finished) {
            show_panel(&file_panel_);
            stop_playing();
        }
    } else if (panel == &finish_panel_) {
        if (finished) {
            show_panel(&save_panel_);
            stop_playing();
        }
    } else if (panel == &save_panel_) {
        if (finished) {
            stop_playing();
        } else if (reader_position > finish_) {
            // The player plays out what it holds, then finishes.
            cut_chain();
        }
    } else if (panel == &exact_start_panel_) {
        if (finished) {
            fade_.reset_position();
            play_from(path, start_);
        } else if (fade_.get_time() > exact_span) {
            seek_to(start_);
            fade_.reset_position();
        }
    } else if (panel == &exact_finish_panel_) {
        const int begin = exact_finish_begin();
        if (finished) {
            fade_.reset_position();
            play_from(path, begin);
        } else if (reader_position > finish_) {
            seek_to(begin);
            fade_.reset_position();
        }
    }
    position_bar_.set_marker_range(0, duration, first, second);
}

void FormMain::on_call_timer() {
    if (format_ && skinner::is_call_active()) do_cancel();
}

void FormMain::on_play_timer() {
    if (!play_from(file_list().get_selected_path(), 0)) show_panel(&file_panel_);
}

}  // namespace app
