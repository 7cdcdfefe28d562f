#include "ui/edit/ControlEdit.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/Log.h"
#include "base/Strings.h"
#include "ui/edit/Clipboard.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormImpl.h"
#include "ui/graphics/Painter.h"
#include "ui/menus/PopupMenu.h"

namespace skinner {

namespace {

constexpr double blink_seconds = 0.05;
// What a skin string property reads when the skin does not set it.
const std::u16string not_set = u"199901";

constexpr int h_left = 0;
constexpr int v_centre = 1;

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// A single-line field holds no control characters: they are dropped from typed and pasted text.
std::u16string without_control_characters(std::u16string_view text) {
    std::u16string kept;
    kept.reserve(text.size());
    for (char16_t c : text) {
        if (c >= 32) kept.push_back(c);
    }
    return kept;
}

int32_t length_of(const std::u16string& text) { return static_cast<int32_t>(text.size()); }

}  // namespace

ControlEditImpl::ControlEditImpl(FormBase* form, const std::u16string& name, int32_t kind) : Control(form, name, kind) {
    for (Color& c : colors_) c = Color{0, 0, 0, 255};
    text_ = get_string_property(u"Text", u"");
    set_gestures(true);
    load_edit_properties();
    relayout();
    if (is_skinned()) set_timer(blink_seconds);
}

ControlEditImpl::~ControlEditImpl() = default;

void ControlEditImpl::reload_properties() {
    Control::reload_properties();
    load_edit_properties();
}

void ControlEditImpl::load_edit_properties() {
    implementation_.reset();
    border_min_ = get_point_property(u"BorderMin", Point());
    border_max_ = get_point_property(u"BorderMax", Point());
    check_unsupported_string_property(u"InputMode");
    caret_width_ = 1;

    Picture& normal = pictures_[NORMAL];
    normal = get_picture_property(u"Normal", Picture());
    pictures_[HIGHLIGHTED] = get_picture_property(u"Highlighted", normal);
    pictures_[DISABLED] = get_picture_property(u"Disabled", normal);
    pictures_[READONLY] = get_picture_property(u"Readonly", pictures_[DISABLED]);
    pictures_[SELECTION] = get_picture_property(u"Selection", Picture());
    pictures_[HIGHLIGHTED_FOCUSED] = get_picture_property(u"HighlightedFocused", pictures_[HIGHLIGHTED]);
    pictures_[NORMAL_FOCUSED] = get_picture_property(u"NormalFocused", normal);

    fonts_[TEXT_NORMAL] = get_font_property(u"Normal", Font());
    fonts_[TEXT_DISABLED] = get_font_property(u"Disabled", fonts_[TEXT_NORMAL]);
    fonts_[TEXT_READONLY] = get_font_property(u"Readonly", fonts_[TEXT_DISABLED]);

    colors_[TEXT_NORMAL] = get_color_property(u"Normal", Color{0, 0, 0, 255});
    colors_[TEXT_DISABLED] = get_color_property(u"Disabled", colors_[TEXT_NORMAL]);
    colors_[TEXT_READONLY] = get_color_property(u"Readonly", colors_[TEXT_DISABLED]);
    selection_color_ = get_color_property(u"Selection", colors_[TEXT_NORMAL]);
    selection_focused_color_ = get_color_property(u"SelectionFocused", selection_color_);

    readonly_ = get_int_property(u"Readonly", 0) != 0;
    if (get_string_property(u"PasswordChar", not_set) != not_set) {
        Form* root = get_form_root();
        // The form may be half-built: the box's own loop must not hand it any message.
        std::unique_ptr<FormImpl::FormHold> hold;
        if (root) hold = std::make_unique<FormImpl::FormHold>(root->get_window());
        FormImpl::message_box(root, u"Unsupported", u"PasswordChar");
    }
    measured_ = false;

    implementation_ = make_edit_implementation(this);
    implementation_->set_rect(get_position(), get_size());
    implementation_->set_input_mode(input_mode_);
    implementation_->set_readonly(readonly_);
    implementation_->set_text(text_);
    implementation_->set_visible(is_visible());
}

void ControlEditImpl::set_text(const std::u16string& text) {
    if (text == text_) return;
    const int32_t old_end = length_of(text_);
    const bool anchor_at_end = anchor_ == old_end;
    const bool caret_at_end = caret_ == old_end;
    text_ = text;
    implementation_->set_text(text_);
    const int32_t end = length_of(text_);
    set_selection(anchor_at_end ? end : anchor_, caret_at_end ? end : caret_);
    notify_text_changed();
    invalidate();
}

void ControlEditImpl::set_selection(int32_t start, int32_t end) {
    // Clamped before the comparison, so that a text grown shorter never leaves them past its end.
    const int32_t length = length_of(text_);
    const int32_t anchor = boundary(std::clamp(start, 0, length), false);
    const int32_t caret = boundary(std::clamp(end, 0, length), false);
    if (anchor == anchor_ && caret == caret_) return;
    anchor_ = anchor;
    caret_ = caret;
    implementation_->set_selection(anchor_, caret_);
    invalidate();
}

void ControlEditImpl::set_password_char(char16_t password_char) {
    if (password_char == password_char_) return;
    password_char_ = password_char;
    measured_ = false;
    invalidate();
}

void ControlEditImpl::set_input_mode(const std::u16string& mode) {
    input_mode_ = mode;
    implementation_->set_input_mode(input_mode_);
}

void ControlEditImpl::notify_text_changed() { on_text_changed(this); }
void ControlEditImpl::fire(const ButtonEvent& event) { on_control_event(this, event); }

bool ControlEditImpl::on_form_activated() { return implementation_ && implementation_->take_focus(); }

void ControlEditImpl::on_focus_gained() {
    Form* root = get_form_root();
    if (root && is_enabled() && !readonly_) root->get_window()->set_input_panel(true);
    invalidate();
    // None only while a reload makes the next one.
    if (implementation_) implementation_->on_focus_gained();
}

void ControlEditImpl::on_focus_lost(Control*) {
    blink_counter_ = 0;
    if (Form* root = get_form_root()) root->get_window()->set_input_panel(false);
    invalidate();
    if (implementation_) implementation_->on_focus_lost();
}

void ControlEditImpl::on_visibility_changed(bool visible) {
    Control::on_visibility_changed(visible);
    if (implementation_) implementation_->set_visible(visible);
}

void ControlEditImpl::set_rect(Point position, Point size) {
    Control::set_rect(position, size);
    if (implementation_) implementation_->set_rect(position, size);
}

// Positions and measuring.

std::u16string ControlEditImpl::shown_text() const {
    return password_char_ ? std::u16string(text_.size(), password_char_) : text_;
}

void ControlEditImpl::measure() {
    const std::u16string shown = shown_text();
    FontRep* font = fonts_[text_state()].rep();
    if (measured_ && shown == measured_text_ && font == measured_font_) return;
    // Advances add up, so each character is measured once; a surrogate pair is measured whole,
    // its width counted at its second half.
    const Font& f = fonts_[text_state()];
    offsets_.assign(shown.size(), 0);
    int32_t x = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        const bool pair = is_high_surrogate(shown[i]) && i + 1 < shown.size() && is_low_surrogate(shown[i + 1]);
        if (pair) {
            offsets_[i] = x;
            x += f.measure_text(std::u16string_view(shown).substr(i, 2)).x;
            offsets_[++i] = x;
        } else {
            x += f.measure_text(std::u16string_view(shown).substr(i, 1)).x;
            offsets_[i] = x;
        }
    }
    measured_text_ = shown;
    measured_font_ = font;
    measured_ = true;
}

int32_t ControlEditImpl::x_of(int32_t position) {
    measure();
    const int32_t n = std::min(position, static_cast<int32_t>(offsets_.size()));
    return n > 0 ? offsets_[size_t(n - 1)] : 0;
}

int32_t ControlEditImpl::hit_index(Point point) {
    measure();
    const int32_t x = std::max(0, point.x - get_position().x - border_min_.x - scroll_);
    const int32_t n = std::min(length_of(text_), static_cast<int32_t>(offsets_.size()));
    for (int32_t i = 0; i < n; ++i) {
        const int32_t before = i > 0 ? offsets_[size_t(i - 1)] : 0;
        if (x < (before + offsets_[size_t(i)]) / 2) return boundary(i, false);
    }
    return boundary(n, false);
}

int32_t ControlEditImpl::boundary(int32_t position, bool forward) const {
    const bool inside_pair = position > 0 && position < length_of(text_) && is_high_surrogate(text_[size_t(position - 1)]) &&
                             is_low_surrogate(text_[size_t(position)]);
    if (!inside_pair) return position;
    return forward ? position + 1 : position - 1;
}

int32_t ControlEditImpl::word_start(int32_t position) const {
    const int32_t length = length_of(text_);
    const auto space_at = [&](int32_t i) { return i < length && is_space(text_[size_t(i)]); };
    int32_t i = position;
    while (i > 0 && space_at(i)) --i;
    while (i > 0 && !space_at(i)) --i;
    if (space_at(i)) ++i;
    return i;
}

int32_t ControlEditImpl::word_end(int32_t position) const {
    const int32_t length = length_of(text_);
    int32_t i = position;
    while (i < length && !is_space(text_[size_t(i)])) ++i;
    while (i < length && is_space(text_[size_t(i)])) ++i;
    return i;
}

// Editing.

void ControlEditImpl::edited(std::u16string text, int32_t position) {
    const bool changed = text != text_;
    text_ = std::move(text);
    anchor_ = caret_ = position;
    if (changed) notify_text_changed();
    invalidate();
}

void ControlEditImpl::replace_selection(const std::u16string& text) {
    const size_t low = size_t(std::min(anchor_, caret_));
    const size_t high = size_t(std::max(anchor_, caret_));
    edited(text_.substr(0, low) + text + text_.substr(high), static_cast<int32_t>(low + text.size()));
}

void ControlEditImpl::delete_selection() {
    if (readonly_) return;
    replace_selection(u"");
}

void ControlEditImpl::delete_next() {
    if (has_selection()) {
        delete_selection();
    } else if (caret_ < length_of(text_)) {
        const int32_t next = boundary(caret_ + 1, true);
        edited(text_.substr(0, size_t(caret_)) + text_.substr(size_t(next)), caret_);
    }
}

void ControlEditImpl::delete_previous() {
    if (has_selection()) {
        delete_selection();
    } else if (caret_ > 0) {
        const int32_t previous = boundary(caret_ - 1, false);
        edited(text_.substr(0, size_t(previous)) + text_.substr(size_t(caret_)), previous);
    }
}

bool ControlEditImpl::copy() {
    // With nothing selected the clipboard keeps what it holds.
    if (!can_copy()) return false;
    const size_t low = size_t(std::min(anchor_, caret_));
    const std::u16string selected = text_.substr(low, size_t(std::max(anchor_, caret_)) - low);
    const size_t bytes = (selected.size() + 1) * sizeof(char16_t);
    ClipboardWriter writer(ClipboardFormat::UNICODETEXT, static_cast<UINT>(bytes), true);
    if (!writer.has_memory()) return false;
    std::memcpy(writer.data(), selected.c_str(), bytes);
    return true;
}

void ControlEditImpl::cut() {
    // Only what reached the clipboard leaves the text.
    if (!readonly_ && copy()) delete_selection();
}

bool ControlEditImpl::clipboard_has_text() {
    ClipboardReader reader(ClipboardFormat::UNICODETEXT);
    if (!reader.has_data()) return false;
    const UINT size = reader.size();
    return size >= 2 && size % 2 == 0 && !without_control_characters(reader.text()).empty();
}

void ControlEditImpl::paste() {
    if (readonly_) return;
    std::u16string text;
    {
        ClipboardReader reader(ClipboardFormat::UNICODETEXT);
        if (!reader.has_data()) return;
        const UINT size = reader.size();
        if (size < 2 || size % 2 != 0) return;
        text = without_control_characters(reader.text());
    }
    // Nothing to insert leaves the selection as it is.
    if (!text.empty()) replace_selection(text);
}

// Keys and text.

void ControlEditImpl::restart_blink() { blink_counter_ = 0; }

void ControlEditImpl::move_left() {
    int32_t target = boundary(std::max(caret_ - 1, 0), false);
    if (is_key_down(Key::Ctrl)) target = word_start(target);
    if (!is_key_down(Key::Shift)) {
        anchor_ = caret_ = target;
    } else if (caret_ != 0) {
        caret_ = target;
    }
}

void ControlEditImpl::move_right() {
    int32_t target = boundary(std::min(caret_ + 1, length_of(text_)), true);
    if (is_key_down(Key::Ctrl)) target = word_end(target);
    caret_ = target;
    if (!is_key_down(Key::Shift)) anchor_ = target;
}

bool ControlEditImpl::on_keydown(Key key) {
    if (!is_skinned() || selecting_) return false;
    const bool ctrl = is_key_down(Key::Ctrl);
    const bool shift = is_key_down(Key::Shift);
    switch (key) {
    case Key::C:
        if (!ctrl) return false;
        copy();
        return true;
    case Key::Insert:
        if (ctrl) {
            copy();
        } else if (shift) {
            paste();
        } else {
            return false;
        }
        return true;
    case Key::V:
        if (!ctrl) return false;
        paste();
        return true;
    case Key::X:
        if (!ctrl) return false;
        cut();
        return true;
    case Key::Del:
        if (shift) {
            cut();
        } else if (!readonly_) {
            delete_next();
            invalidate();
        }
        return true;
    case Key::Left:
        move_left();
        break;
    case Key::Right:
        move_right();
        break;
    case Key::Backspace:
        if (!readonly_) {
            delete_previous();
            invalidate();
        }
        return true;
    case Key::Home:
        caret_ = 0;
        if (!shift) anchor_ = 0;
        break;
    case Key::End:
        caret_ = length_of(text_);
        if (!shift) anchor_ = caret_;
        break;
    case Key::ContextMenu: {
        const int32_t inner_height = get_size().y - border_min_.y - border_max_.y;
        open_context_menu({get_position().x + border_min_.x + scroll_ + x_of(caret_), get_position().y + border_min_.y + inner_height / 2});
        return true;
    }
    default:
        return false;
    }
    restart_blink();
    invalidate();
    return true;
}

bool ControlEditImpl::on_text(const std::u16string& text) {
    if (!is_skinned()) return false;
    // A password field's characters stay out of the log.
    Log::instance() << "on_text" << (password_char_ ? std::u16string(text.size(), u'*') : text) << "\n";
    if (readonly_) return false;
    if (selecting_) return true;
    if (text.empty()) {
        set_text(u"");
        return true;
    }
    const std::u16string typed = without_control_characters(text);
    if (typed.empty()) return true;
    replace_selection(typed);
    restart_blink();
    return true;
}

// Pen.

void ControlEditImpl::on_mouse_enter() { invalidate(); }
void ControlEditImpl::on_mouse_leave() { invalidate(); }

void ControlEditImpl::on_mouse_down(Point point, bool double_click) {
    selecting_ = true;
    anchor_ = caret_ = hit_index(point);
    if (double_click) {
        caret_ = word_end(caret_);
        anchor_ = word_start(anchor_);
    }
    last_down_ = point;
    invalidate();
}

void ControlEditImpl::on_mouse_move(Point point) {
    if (!selecting_) return;
    caret_ = hit_index(point);
    invalidate();
}

void ControlEditImpl::on_mouse_up(Point point, bool double_click) {
    if (!selecting_) return;
    selecting_ = false;
    if (point != last_down_) caret_ = hit_index(point);
    fire(ButtonEvent{double_click ? 1 : 0, point.x, point.y});
    invalidate();
    restart_blink();
}

void ControlEditImpl::on_mouse_down_2(Point, bool) {}

void ControlEditImpl::on_mouse_up_2(Point point, bool) { open_context_menu(point); }

// The context menu.

MenuItem ControlEditImpl::make_context_menu() const {
    const bool selection = has_selection();
    const bool password = password_char_ != 0;
    const bool whole = std::min(anchor_, caret_) == 0 && std::max(anchor_, caret_) == length_of(text_);
    MenuItem menu(u"", u"");
    const auto add = [&](const char16_t* command, const char16_t* english, bool enabled) {
        MenuItem item(command, get_language_string(command, english));
        item.enabled = enabled;
        menu.children.push_back(item);
    };
    add(u"menuCut", u"Cut", selection && !readonly_ && !password);
    add(u"menuCopy", u"Copy", selection && !password);
    add(u"menuPaste", u"Paste", !readonly_ && clipboard_has_text());
    add(u"menuDelete", u"Delete", selection && !readonly_);
    menu.children.back().separator_after = true;
    add(u"menuSelectAll", u"Select All", !text_.empty() && !whole);
    return menu;
}

void ControlEditImpl::run_menu_command(const std::u16string& command) {
    if (command == u"menuCut") {
        cut();
    } else if (command == u"menuCopy") {
        copy();
    } else if (command == u"menuPaste") {
        paste();
    } else if (command == u"menuDelete") {
        delete_selection();
    } else if (command == u"menuSelectAll") {
        set_selection(0, length_of(text_));
    }
}

void ControlEditImpl::open_context_menu(Point point) {
    const MenuItem menu = make_context_menu();
    const std::u16string command = track_popup_menu(get_form_root(), menu, point, 0, 0).first;
    run_menu_command(command);
}

// Caret blink and painting.

void ControlEditImpl::on_timer(uint32_t) {
    if (!is_skinned() || !is_focused()) return;
    const bool shown = blink_counter_ < blink_period_ / 2;
    blink_counter_ = (blink_counter_ + 1) % blink_period_;
    if (shown != (blink_counter_ < blink_period_ / 2)) invalidate();
}

ControlEditImpl::TextState ControlEditImpl::text_state() const {
    if (readonly_) return TEXT_READONLY;
    return is_enabled() ? TEXT_NORMAL : TEXT_DISABLED;
}

const Picture& ControlEditImpl::background() const {
    if (readonly_) return pictures_[READONLY];
    if (!is_enabled()) return pictures_[DISABLED];
    if (is_hovered()) return pictures_[is_focused() ? HIGHLIGHTED_FOCUSED : HIGHLIGHTED];
    return pictures_[is_focused() ? NORMAL_FOCUSED : NORMAL];
}

const Picture& ControlEditImpl::hit_picture() const {
    if (readonly_) return pictures_[READONLY];
    if (!is_enabled()) return pictures_[DISABLED];
    return pictures_[is_hovered() ? HIGHLIGHTED : NORMAL];
}

bool ControlEditImpl::hit_test(Point point) {
    if (!implementation_) return false;
    return !hit_picture().is_transparent_at(point, get_position(), get_size());
}

void ControlEditImpl::paint(Painter& painter, Point, Point) {
    background().draw(painter, get_position(), get_size());
    if (is_skinned()) paint_text(painter);
}

void ControlEditImpl::paint_text(Painter& painter) {
    const TextState state = text_state();
    const Font& font = fonts_[state];
    const std::u16string shown = shown_text();
    measure();

    const Point inner_position = get_position() + border_min_;
    const Point inner_size = get_size() - border_min_ - border_max_;
    const int32_t usable = inner_size.x - caret_width_;
    const int32_t full = x_of(length_of(shown));
    if (scroll_ + full < usable) scroll_ = usable - full;
    if (scroll_ > 0) scroll_ = 0;
    const int32_t caret_x = scroll_ + x_of(caret_);
    if (caret_x < 0) {
        scroll_ -= caret_x;
    } else if (caret_x > usable) {
        scroll_ += usable - caret_x;
    }

    const bool caret_shows = !selecting_ && blink_counter_ < blink_period_ / 2 && is_focused();
    const int32_t low = std::min(anchor_, caret_);
    const int32_t high = std::max(anchor_, caret_);
    const int32_t left = inner_position.x + scroll_;
    painter.push_clip(inner_position, inner_size);

    int32_t span_start = left + x_of(low);
    int32_t span_end = left + x_of(high);
    if (caret_shows) {
        // The caret is the selection's one extra column, or the gap at its start.
        if (caret_ >= anchor_) {
            span_end += caret_width_;
        } else {
            span_start += caret_width_;
        }
    }
    if (span_end > span_start) pictures_[SELECTION].draw(painter, {span_start, inner_position.y}, {span_end - span_start, inner_size.y});

    // Runs that change colour at the selection's ends; they meet at the caret.
    const Color normal = colors_[state];
    const Color selected = is_focused() ? selection_focused_color_ : selection_color_;
    const int32_t length = length_of(shown);
    const int32_t cuts[] = {0, low, high, length};
    const int32_t inner_right = inner_position.x + inner_size.x;
    for (size_t i = 0; i + 1 < std::size(cuts); ++i) {
        const int32_t from = cuts[i];
        const int32_t to = cuts[i + 1];
        if (to <= from) continue;
        const int32_t x = left + x_of(from);
        const int32_t end = left + x_of(to);
        if (end <= inner_position.x || x >= inner_right) continue;
        font.draw_text(painter, i == 1 ? selected : normal, std::u16string_view(shown).substr(size_t(from), size_t(to - from)),
                       {x, inner_position.y}, {std::max(end, inner_right) - x, inner_size.y}, h_left, v_centre);
    }
    painter.pop_clip();
}

}  // namespace skinner
