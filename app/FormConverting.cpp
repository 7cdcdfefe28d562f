#include "app/FormConverting.h"

#include "base/Log.h"
#include "platform/window/Messages.h"
#include "ui/skin/Properties.h"

namespace app {

using skinner::Control;

namespace {

const char16_t* stage_key(int stage) { return stage == 2 ? u"Converting2" : u"Converting1"; }

}  // namespace

FormConverting::FormConverting(skinner::Form* parent, skinner::Properties* properties, const std::u16string& source_path,
                               const std::u16string& target_path, int start, int finish)
    : FormConverting(parent, properties, audio::AudioFormat::create_for_file(source_path), target_path, start, finish) {}

FormConverting::FormConverting(skinner::Form* parent, skinner::Properties* properties,
                               std::unique_ptr<audio::AudioFormat> format, const std::u16string& target_path, int start,
                               int finish)
    : Form(parent, properties, u"FormConverting"),
      worker_(std::move(format), target_path, start, finish),
      menu_(this, u"MenuMain", Control::KIND_SKIN),
      cancel_(this, u"btnCancel", Control::KIND_SKIN),
      progress_(this, u"pbConverting", Control::KIND_SKIN),
      status_(this, u"frmConverting", Control::KIND_SKIN),
      target_path_(target_path) {
    status_.set_text(properties->get_string(stage_key(1)));
    add_cancel_button(&cancel_);
}

FormConverting::~FormConverting() {
    worker_.stop();
    stop_timer();
    remove_cancel_button(&cancel_);
}

bool FormConverting::has_enough_space() { return worker_.converter().has_enough_space(); }

bool FormConverting::run() {
    // The worker's end arrives as an early tick of the timer, so the timer is set first.
    timer_ = set_timer(timer_period);
    worker_.post_end_to(get_hwnd(), WM_TIMER, timer_);
    if (!worker_.start()) {
        stop_timer();
        skinner::Log::instance() << "ERROR: FormConverting::run the worker did not start\n";
        return result_;
    }
    do_modal();
    stop_timer();
    // The loop ended with the work still running (the program is ending): that is a cancel.
    if (result_ && worker_.is_running()) {
        cancel();
    }
    return result_;
}

void FormConverting::on_timer(uint32_t id) {
    if (id != timer_ || timer_ == 0) {
        Form::on_timer(id);
        return;
    }
    progress_.set_position(worker_.converter().get_progress());
    show_stage(worker_.converter().get_stage());
    // A finished worker has only its thread's return left: wait for it, so the form closes
    // now and its close sees no running work to cancel.
    if (worker_.finished()) {
        worker_.join();
    }
    if (!worker_.is_running()) {
        // Killed before the close, so no later tick closes whatever dialog comes next.
        stop_timer();
        close();
    }
}

void FormConverting::on_control_event(Control* sender, const skinner::ButtonEvent&) {
    if (sender == &cancel_) {
        cancel();
        close();
    }
}

bool FormConverting::can_close() {
    if (result_ && worker_.is_running()) {
        cancel();
    }
    stop_timer();
    return true;
}

// The worker abandons its partial file, so whatever was under the target's name stays.
void FormConverting::cancel() {
    worker_.stop();
    if (worker_.succeeded()) {
        // It put the new file in place before it saw the stop: that file is the result.
        skinner::Log::instance() << u"FormConverting finished before the cancel {" << target_path_ << u"}\n";
        return;
    }
    result_ = false;
    skinner::Log::instance() << u"FormConverting cancelled {" << target_path_ << u"}\n";
}

void FormConverting::show_stage(int stage) {
    if (stage == 2 && shown_stage_ != 2) {
        shown_stage_ = 2;
        status_.set_text(get_properties()->get_string(stage_key(2)));
    }
}

void FormConverting::stop_timer() {
    kill_timer(timer_);
    timer_ = 0;
}

}  // namespace app
