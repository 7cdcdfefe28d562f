#include "tests/helpers/skin_shots/LayoutCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/display/Headless.h"
#include "platform/window/SystemInfo.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlCheckBox.h"
#include "ui/controls/ControlLabel.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormImpl.h"

namespace shots {

namespace {

using skinner::Control;
using skinner::Point;

std::string utf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string size_text(Point p) { return std::to_string(p.x) + "x" + std::to_string(p.y); }

// Every control of the form and of the forms its containers embed, the hidden ones too.
void visit(const skinner::FormBase& form, const std::function<void(Control&)>& each) {
    for (Control* c : form.get_controls()) {
        each(*c);
        if (skinner::FormBase* inner = c->get_embedded_form()) visit(*inner, each);
    }
}

void visit_forms(const skinner::FormBase& form, const std::function<void(const skinner::FormBase&)>& each) {
    each(form);
    for (Control* c : form.get_controls()) {
        if (skinner::FormBase* inner = c->get_embedded_form()) visit_forms(*inner, each);
    }
}

// Buttons whose role puts them on the soft keys are not drawn; nor are empty controls.
bool is_drawn(Control& c) {
    if (!c.is_visible() || c.get_size().x <= 0 || c.get_size().y <= 0) return false;
    if (auto* button = dynamic_cast<skinner::ControlButtonBase*>(&c)) {
        return !button->get_behaviour() || button->get_behaviour()->drawn;
    }
    return true;
}

// The control's rectangle on the screen.
RECT screen_rect(const Control& c) {
    RECT window{};
    GetWindowRect(c.get_form_root()->get_hwnd(), &window);
    const Point at = c.get_position();
    return RECT{window.left + at.x, window.top + at.y, window.left + at.x + c.get_size().x, window.top + at.y + c.get_size().y};
}

// The screen less the caption bar and the soft keys' (or the menu) bar.
RECT free_area() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

std::vector<std::u16string> words_of(std::u16string_view text) {
    std::vector<std::u16string> words(1);
    for (char16_t c : text) {
        if (c <= u' ' || c == u'\u200B') {
            if (!words.back().empty()) words.emplace_back();
        } else {
            words.back() += c;
        }
    }
    return words;
}

std::u16string_view trimmed(std::u16string_view line) {
    while (!line.empty() && (line.back() <= u' ' || line.back() == u'\u200B')) line.remove_suffix(1);
    return line;
}

// Relative luminance of an 0x00RRGGBB pixel, and the contrast ratio of two.
double luminance(uint32_t pixel) {
    auto channel = [](uint32_t v) {
        const double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(pixel >> 16 & 0xFF) + 0.7152 * channel(pixel >> 8 & 0xFF) + 0.0722 * channel(pixel & 0xFF);
}

double contrast(uint32_t a, uint32_t b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<uint32_t> pixels_in(const RECT& r) {
    const std::vector<uint32_t> screen = platform::headless::screen_pixels();
    const Point size = skinner::FormImpl::get_screen_size(nullptr);
    std::vector<uint32_t> out;
    for (LONG y = std::max(LONG(0), r.top); y < std::min(LONG(size.y), r.bottom); ++y) {
        for (LONG x = std::max(LONG(0), r.left); x < std::min(LONG(size.x), r.right); ++x) out.push_back(screen[y * size.x + x]);
    }
    return out;
}

// The innermost focused control of the form.
Control* focused_leaf(const skinner::FormBase& form) {
    Control* c = form.get_focused();
    while (c && c->get_embedded_form() && c->get_embedded_form()->get_focused()) c = c->get_embedded_form()->get_focused();
    return c;
}

}  // namespace

void LayoutCheck::fault(const Control& control, const std::string& where, const std::string& what) {
    // Parts made from a kind (a scroll bar's) have no name of their own.
    const std::u16string& name = control.get_name().empty() ? control.get_kind_name() : control.get_name();
    faults_.push_back(where + ": " + utf8(control.get_form()->get_form_name()) + "." + utf8(name) + " " + what);
}

void LayoutCheck::check_form(const skinner::Form& form, const std::string& where) {
    visit(form, [&](Control& c) {
        if (is_drawn(c)) check_control(c, where);
    });
}

void LayoutCheck::check_control(Control& c, const std::string& where) {
    check_placement(c, where);
    if (auto* label = dynamic_cast<skinner::ControlLabelImpl*>(&c)) {
        const std::vector<std::u16string>& lines = label->get_lines();
        const Point insets = label->get_border_min() + label->get_border_max();
        const Point room = c.get_size() - insets;
        const skinner::Font& font = label->get_font();
        int32_t height = 0;
        for (const std::u16string& line : lines) {
            const Point need = font.measure_text(trimmed(line));
            height += need.y;
            if (need.x > room.x) fault(c, where, "line \"" + utf8(line) + "\" is " + std::to_string(need.x) + " wide in " + std::to_string(room.x));
        }
        for (const std::u16string& word : words_of(label->get_text())) {
            const int32_t width = font.measure_text(word).x;
            if (width > room.x) fault(c, where, "word \"" + utf8(word) + "\" is " + std::to_string(width) + " wide in " + std::to_string(room.x));
        }
        // One line centres in the whole height less the smaller inset's twice (as it is drawn).
        const int32_t high = lines.size() == 1 ? room.y + 2 * std::min(label->get_border_min().y, label->get_border_max().y) : room.y;
        if (height > high) {
            fault(c, where, "text \"" + utf8(label->get_text()) + "\" takes " + std::to_string(lines.size()) + " lines, " +
                                std::to_string(height) + " high in " + std::to_string(high));
        }
        return;
    }
    auto* button = dynamic_cast<skinner::ControlButtonBase*>(&c);
    if (!button) return;
    std::vector<std::u16string> texts = {button->get_text()};
    if (auto* check = dynamic_cast<skinner::ControlCheckBoxImpl*>(&c)) texts = {check->get_normal_text(), check->get_checked_text()};
    const Point room = c.get_size() - button->get_border_min() - button->get_border_max();
    const skinner::ButtonStyles& styles = button->get_styles();
    for (const std::u16string& text : texts) {
        for (int state = 0; state < skinner::ButtonStyles::Count; ++state) {
            const Point need = styles[skinner::ButtonStyles::State(state)].font.measure_text(text);
            if (need.x > room.x || need.y > room.y) {
                fault(c, where, "text \"" + utf8(text) + "\" needs " + size_text(need) + " in " + size_text(room));
                break;
            }
        }
    }
}

void LayoutCheck::check_placement(Control& c, const std::string& where) {
    const RECT r = screen_rect(c);
    const RECT area = free_area();
    if (r.left < area.left || r.top < area.top || r.right > area.right || r.bottom > area.bottom) {
        fault(c, where,
              "lies at " + std::to_string(r.left) + "," + std::to_string(r.top) + " to " + std::to_string(r.right) + "," +
                  std::to_string(r.bottom) + ", off the free screen " + std::to_string(area.left) + "," + std::to_string(area.top) +
                  " to " + std::to_string(area.right) + "," + std::to_string(area.bottom));
    }
}

void LayoutCheck::check_label_texts(const skinner::Form& form, const std::u16string& name, const std::vector<std::u16string>& texts,
                                    const std::string& where) {
    visit(form, [&](Control& c) {
        auto* label = dynamic_cast<skinner::ControlLabelImpl*>(&c);
        if (!label || c.get_name() != name) return;
        for (const std::u16string& text : texts) {
            label->set_text(text);
            if (is_drawn(c)) check_control(c, where);
        }
    });
}

void LayoutCheck::check_focus_order(const skinner::Form& form, const std::string& where) {
    visit_forms(form, [&](const skinner::FormBase& f) {
        if (!f.is_shown()) return;
        std::vector<Control*> order;
        for (Control* c : f.get_controls()) {
            if (c->wants_focus() && c->is_visible() && c->is_enabled() && is_drawn(*c)) order.push_back(c);
        }
        std::stable_sort(order.begin(), order.end(), Control::less_by_tab_order);
        // b reads before a when it lies wholly above it, or beside it to the left.
        auto reads_before = [](const Control& b, const Control& a) {
            const Point bp = b.get_position(), ap = a.get_position();
            if (bp.y + b.get_size().y <= ap.y) return true;
            const bool side_by_side = bp.y < ap.y + a.get_size().y && ap.y < bp.y + b.get_size().y;
            return side_by_side && bp.x + b.get_size().x <= ap.x;
        };
        // Down comes round from the last control to the first: the walk may begin anywhere, so
        // it is read from the control that reads first.
        auto first = order.begin();
        for (auto it = order.begin(); it != order.end(); ++it) {
            if (reads_before(**it, **first)) first = it;
        }
        std::rotate(order.begin(), first, order.end());
        for (size_t i = 0; i < order.size(); ++i) {
            for (size_t j = i + 1; j < order.size(); ++j) {
                if (reads_before(*order[j], *order[i])) fault(*order[j], where, "reads before " + utf8(order[i]->get_name()) + " but Down reaches it after");
            }
        }
    });
}

void LayoutCheck::check_focus_looks(const skinner::Form& form, const std::string& where) {
    Control* was = focused_leaf(form);
    std::vector<Control*> buttons;
    // A held button shows its pressed look, focused or not.
    visit(form, [&](Control& c) {
        auto* button = dynamic_cast<skinner::ControlButtonBase*>(&c);
        if (button && !button->is_pressed() && is_drawn(c) && c.wants_focus() && c.is_enabled()) buttons.push_back(&c);
    });
    for (Control* c : buttons) check_focus_look(*c, where);
    if (was) was->set_focus();
    settle_();
}

void LayoutCheck::check_focus_look(Control& c, const std::string& where) {
    c.get_form()->set_focus(nullptr);
    settle_();
    const RECT r = screen_rect(c);
    const std::vector<uint32_t> plain = pixels_in(r);
    c.set_focus();
    settle_();
    if (!c.is_focused()) return;
    const std::vector<uint32_t> focused = pixels_in(r);
    size_t changed = 0;
    for (size_t i = 0; i < plain.size() && i < focused.size(); ++i) {
        if (contrast(plain[i], focused[i]) >= 3.0) ++changed;
    }
    // As much as a ring around the edge, twice the skin scale thick.
    const int32_t w = c.get_size().x, h = c.get_size().y, t = 2 * scale_;
    const size_t ring = size_t(w) * h - size_t(std::max(0, w - 2 * t)) * std::max(0, h - 2 * t);
    if (changed < ring) {
        fault(c, where, "focused changes " + std::to_string(changed) + " pixels by a contrast of 3 or more, fewer than a ring of " +
                            std::to_string(ring));
    }
}

}  // namespace shots
