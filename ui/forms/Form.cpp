#include "ui/forms/Form.h"

#include <algorithm>

#include "base/Log.h"
#include "base/Strings.h"
#include "ui/application/Application.h"
#include "ui/device/DeviceCapability.h"
#include "ui/forms/FormButton.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/FrameworkVariant.h"
#include "ui/forms/MenuManager.h"
#include "ui/skin/Properties.h"
#include "ui/forms/SoftButton.h"
#include "ui/device/Stopwatch.h"

namespace skinner {

namespace {

std::vector<Form*>& open_forms() {
    static std::vector<Form*> forms;
    return forms;
}

Form* modal_form = nullptr;
uint32_t next_timer_id = 1;

bool is_smartphone() {
    static const bool smartphone = static_capability_is_smartphone();
    return smartphone;
}

// The character of a lone WM_CHAR stands for a key only where it is one: a digit, a capital,
// space, Backspace, Tab, Enter or Escape. '(' must not pass for VK_DOWN, nor '%' for VK_LEFT.
WPARAM key_of_lone_character(WPARAM c) {
    const bool key = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == ' ' || c == 0x08 || c == 0x09 ||
                     c == 0x0D || c == 0x1B;
    return key ? c : 0;
}

// Presses or releases the first enabled, visible button of the list; the release fires it.
void press_first(const std::vector<FormButton*>& buttons, bool down) {
    auto it = std::find_if(buttons.begin(), buttons.end(), [](FormButton* b) { return b->can_be_pressed(); });
    if (it == buttons.end()) return;
    Log::instance() << "Button found!!!\n";
    (*it)->set_pressed(down);
}

void log_modal_stage(int stage) {
    Log::instance() << elapsed_since_program_start() << " Form::do_modal: " << stage << "\n";
}

}  // namespace

FormWindowHolder::FormWindowHolder(Form* parent, Properties* properties, const std::u16string& form_name)
    : window_(std::make_unique<FormImpl>(parent, properties, form_name)) {}

FormWindowHolder::~FormWindowHolder() = default;

Form::Form(Form* parent, Properties* properties, const std::u16string& form_name, Control* sink)
    : FormWindowHolder(parent, properties, form_name),
      FormBase(this, properties, form_name, KIND_SKIN, sink),
      parent_form_(parent) {
    // From here on the window's messages reach the form: apply_position's WM_SIZE lays it out.
    window_->set_form(this);
    open_forms().push_back(this);
    load_properties();
    create_auto_controls();
}

Form::~Form() {
    window_->set_form(nullptr);
    // While the whole form still stands: the dying controls repaint through its window.
    delete_auto_controls();
    std::erase(open_forms(), this);
    if (modal_form == this) modal_form = nullptr;
}

void Form::reload_properties() {
    FormBase::reload_properties();
    load_properties();
    relayout();
    Properties* p = get_properties();
    if (!p) return;
    const std::u16string missing(1, u'\0');
    std::u16string caption = p->get_string(get_form_name() + u"_caption", missing);
    if (caption == missing) caption = p->get_string(u"skin_ProgramName", missing);
    if (caption != missing) SetWindowTextW(get_hwnd(), caption.c_str());
}

bool Form::on_keydown(Key key) {
    if (FormBase::on_keydown(key)) return true;
    if (key == Key::Esc) {
        press_first(cancel_buttons_, true);
    } else if (key == Key::Enter) {
        press_first(default_buttons_, true);
    }
    return false;
}

bool Form::on_keyup(Key key) {
    if (Control* focused = get_focused(); focused && focused->on_keyup(key)) return true;
    if (key == Key::Enter) {
        press_first(default_buttons_, false);
    } else if (key == Key::Esc) {
        press_first(cancel_buttons_, false);
    }
    return false;
}

void Form::on_activate() {}
void Form::on_deactivate() {}

namespace {

struct Placement {
    int32_t position;
    int32_t length;
};

// One axis of the start position: w0, ws the work area; ref, ref_size the reference rectangle
// (the parent, else the work area); skin the "Position" value; current the window's place.
Placement place_axis(int32_t mode, int32_t min, int32_t size, int32_t w0, int32_t ws, int32_t ref, int32_t ref_size,
                     int32_t skin, int32_t current) {
    switch (mode) {
    case 0: return {skin, min};
    // A form larger than the work area starts at its edge, not under the bar before it.
    case 1: return {w0 + std::max(0, (ws - min) / 2), min};
    case 2: return {ref + (ref_size - min) / 2, min};
    case 3: return {w0, std::max(min, ws)};
    case 4: return {w0, min};
    case 5: return {w0 + ws - min, min};
    default: return {current, size};
    }
}

}  // namespace

void Form::apply_position() {
    const Point min = get_minimum_size();
    const Point size = max_point(get_size(), min);
    RECT r;
    GetWindowRect(get_hwnd(), &r);
    const Point current(r.left, r.top);
    const Point skin = get_point_property(u"Position", Point());
    if (start_position_x_ == 6 || start_position_y_ == 6) {
        // The window keeps the place it was made with; the form takes the window's size.
        RECT client;
        GetClientRect(get_hwnd(), &client);
        const Point client_size(client.right - client.left, client.bottom - client.top);
        if (client_size != get_size() && client_size != Point()) set_rect(Point(), client_size);
        return;
    }
    if (get_size() == Point()) return;
    Point w0, ws;
    FormImpl::get_usable_area(w0, ws, true);
    Point ref = w0, ref_size = ws;
    if (parent_form_) {
        RECT pr;
        GetWindowRect(parent_form_->get_hwnd(), &pr);
        ref = Point(pr.left, pr.top);
        ref_size = parent_form_->get_size();
    }
    const Placement x = place_axis(start_position_x_, min.x, size.x, w0.x, ws.x, ref.x, ref_size.x, skin.x, current.x);
    const Placement y = place_axis(start_position_y_, min.y, size.y, w0.y, ws.y, ref.y, ref_size.y, skin.y, current.y);
    window_->move({x.position, y.position}, {x.length, y.length});
}

bool Form::can_close() { return true; }

void Form::bring_to_front(const std::u16string&) { window_->bring_to_front(); }

void Form::on_picture_failed_to_load(const Picture& picture) {
    // The top form tells the user before any form closes: a form's end message would end the
    // message box at once.
    if (parent_form_) parent_form_->on_picture_failed_to_load(picture);
    if (!parent_form_) {
        Properties* p = get_properties();
        const std::u16string title = p ? p->get_string(u"on_picture_failed_to_load", u"Out of memory") : u"Out of memory";
        FormImpl::message_box(this, framework_variant().picture_failure_text(picture), title);
    }
    if (in_modal_) close();
}

void Form::load_properties() {
    background_ = get_picture_property(u"Background", Picture());
    start_position_ = get_int_property(u"StartPosition", 0);
    start_position_x_ = get_int_property(u"StartPositionX", start_position_);
    start_position_y_ = get_int_property(u"StartPositionY", start_position_);
    apply_position();
    window_->reset_paint();
    refresh_menus();
}

void Form::do_modal() {
    Form* previous = modal_form;
    modal_form = this;
    in_modal_ = true;
    log_modal_stage(1);
    log_modal_stage(2);
    show(true);
    log_modal_stage(3);
    run_modal_loop();
    show(false);
    in_modal_ = false;
    modal_form = previous;
    if (previous) previous->refresh_menus();
}

void Form::run_modal_loop() {
    // Remembered by handle: a form destroyed meanwhile is not touched again.
    std::vector<HWND> disabled;
    if (parent_form_) {
        for (Form* f : open_forms()) {
            if (f == this || !IsWindowEnabled(f->get_hwnd())) continue;
            EnableWindow(f->get_hwnd(), FALSE);
            disabled.push_back(f->get_hwnd());
        }
    }
    if (main_menu_ && window_->get_menu_manager()) window_->get_menu_manager()->rebuild(this);
    std::vector<MSG> held_ends;
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // An outer loop must end too.
            const auto& forms = open_forms();
            if (std::any_of(forms.begin(), forms.end(), [&](Form* f) { return f != this && f->in_modal_; }))
                PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) continue;
        if (msg.message == WM_END_MODAL && msg.hwnd && msg.hwnd != get_hwnd()) {
            // Meant for an outer loop: it gets the message once this loop has ended.
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            const auto& forms = open_forms();
            const bool waiting = std::any_of(forms.begin(), forms.end(),
                                             [&](Form* f) { return f->in_modal_ && f->get_hwnd() == msg.hwnd; });
            if (waiting) held_ends.push_back(msg);
            continue;
        }
        if (!pump(msg)) break;
    }
    for (const MSG& end : held_ends) PostMessageW(end.hwnd, end.message, end.wParam, end.lParam);
    for (HWND h : disabled) {
        if (IsWindow(h)) EnableWindow(h, TRUE);
    }
    if (parent_form_ && IsWindowVisible(parent_form_->get_hwnd())) parent_form_->get_window()->bring_to_front();
}

bool Form::pump(const MSG& msg) {
    const bool translated = TranslateMessage(&msg) != FALSE;
    DispatchMessageW(&msg);
    if (msg.message == WM_END_MODAL) return false;
    if (is_smartphone()) return true;
    // A key that closed a popup menu went to the menu bar: it is no form's key.
    const bool keys = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_CHAR;
    if (keys && !is_form_window(msg.hwnd)) return true;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        MSG ch;
        WPARAM character = 0;
        // Only the key's own character: the one just translated, or the desktop's text right
        // behind it. A later key's text must not be taken (End then "x" would lose the End).
        const bool own = translated || (PeekMessageW(&ch, msg.hwnd, 0, 0, PM_NOREMOVE) && ch.message == WM_CHAR);
        if (own && PeekMessageW(&ch, msg.hwnd, WM_CHAR, WM_CHAR, PM_REMOVE) && ch.wParam >= 32) character = ch.wParam;
        if (!FormImpl::is_held_enter(msg.wParam, msg.lParam)) {
            SendMessageW(msg.hwnd, WM_KEY_WITH_CHAR, msg.wParam, static_cast<LPARAM>(character));
        }
    } else if (msg.message == WM_CHAR) {
        const LPARAM character = msg.wParam < 32 ? 0 : static_cast<LPARAM>(msg.wParam);
        SendMessageW(msg.hwnd, WM_KEY_WITH_CHAR, key_of_lone_character(msg.wParam), character);
    }
    return true;
}

void Form::close() {
    Log::instance() << "Form WM_CLOSE sent\n";
    window_->send_close();
}

uint32_t Form::set_timer(double seconds) {
    const uint32_t id = next_timer_id++;
    SetTimer(get_hwnd(), id, static_cast<UINT>(seconds * 1000), nullptr);
    return id;
}

void Form::kill_timer(uint32_t id) {
    if (id != 0) KillTimer(get_hwnd(), id);
}

void Form::register_menu_main(Control* menu) {
    if (main_menu_) gluck(u"Menu main is already exists", u"Form::register_menu_main");
    main_menu_ = menu;
    refresh_menus();
}

void Form::unregister_menu_main(Control* menu) {
    if (menu != main_menu_) gluck(u"Menus do not match", u"Form::unregister_menu_main");
    main_menu_ = nullptr;
    refresh_menus();
}

void Form::refresh_menus() {
    if (!main_menu_) return;
    if (MenuManager* manager = window_->get_menu_manager()) manager->invalidate(this);
    main_menu_->invalidate();
}

void Form::register_soft_button(SoftButton* button) {
    soft_buttons_.push_back(button);
    std::stable_sort(soft_buttons_.begin(), soft_buttons_.end(),
                     [](SoftButton* a, SoftButton* b) { return a->order() < b->order(); });
    refresh_menus();
}

void Form::unregister_soft_button(SoftButton* button) {
    std::erase(soft_buttons_, button);
    refresh_menus();
}

void Form::add_default_button(FormButton* button) { default_buttons_.push_back(button); }
void Form::add_cancel_button(FormButton* button) { cancel_buttons_.push_back(button); }
void Form::remove_default_button(FormButton* button) { std::erase(default_buttons_, button); }
void Form::remove_cancel_button(FormButton* button) { std::erase(cancel_buttons_, button); }

HWND Form::get_hwnd() const { return window_->get_window(); }

const std::vector<Form*>& Form::get_open_forms() { return open_forms(); }
Form* Form::get_modal_form() { return modal_form; }

// The skin's properties tell the open forms of a new language from here, beside the list of them.
void Properties::notify_forms() {
    // A copy: a form's reload may open or close forms.
    const std::vector<Form*> forms = Form::get_open_forms();
    for (Form* form : forms) {
        const auto& open = Form::get_open_forms();
        if (form->get_properties() == this && std::find(open.begin(), open.end(), form) != open.end()) form->reload_properties();
    }
}

}  // namespace skinner
