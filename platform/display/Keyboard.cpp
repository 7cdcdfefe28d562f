#include "platform/display/Keyboard.h"

#include <algorithm>
#include <mutex>

#include "platform/Rects.h"
#include "platform/device/DeviceProfile.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/MenuLook.h"
#include "platform/window/InputPanel.h"
#include "platform/window/Keys.h"
#include "platform/window/WindowManager.h"
#include "platform/window/WindowTable.h"

namespace platform {

namespace {

namespace look = menu::look;

enum class Action { None, Type, Shift, Back, Enter, Page };

// Widths count in twentieths of the panel: a letter key is two, so a row of ten letters fills
// it and a row of nine sits half a key in. A key without a name is a gap.
struct KeySpec {
    std::u16string name;
    std::u16string label;
    int width = 2;
    Action action = Action::None;
};

constexpr int row_units = 20;
constexpr int row_count = 4;

using Row = std::vector<KeySpec>;
using Page = std::vector<Row>;

// Keys that type their own one character.
Row signs(std::u16string_view characters) {
    Row row;
    for (char16_t c : characters) {
        row.push_back(KeySpec{std::u16string(1, c), std::u16string(1, c), 2, Action::Type});
    }
    return row;
}

Row joined(std::initializer_list<Row> parts) {
    Row row;
    for (const Row& part : parts) {
        row.insert(row.end(), part.begin(), part.end());
    }
    return row;
}

// The bottom row both pages share, with the key that turns to the other page.
Row bottom_row(const char16_t* other_page) {
    return joined({{KeySpec{other_page, other_page, 4, Action::Page}}, signs(u","),
                   {KeySpec{u"space", u"", 8, Action::Type}}, signs(u"."),
                   {KeySpec{u"enter", u"\u21B5", 4, Action::Enter}}});
}

const std::vector<Page>& pages() {
    static const auto* all = [] {
        const KeySpec gap{u"", u"", 1, Action::None};
        auto* p = new std::vector<Page>;
        p->push_back(Page{
            signs(u"qwertyuiop"),
            joined({{gap}, signs(u"asdfghjkl"), {gap}}),
            joined({{KeySpec{u"shift", u"\u21E7", 3, Action::Shift}}, signs(u"zxcvbnm"),
                    {KeySpec{u"backspace", u"\u232B", 3, Action::Back}}}),
            bottom_row(u"123"),
        });
        p->push_back(Page{
            signs(u"1234567890"),
            signs(u"-_()'&!@#$"),
            joined({signs(u"+=%;[]{}"), {KeySpec{u"backspace", u"\u232B", 4, Action::Back}}}),
            bottom_row(u"abc"),
        });
        return p;
    }();
    return *all;
}

struct KeyboardState {
    std::mutex lock;
    size_t page = 0;     // lock
    bool shift = false;  // lock
    bool tracking = false;  // lock: a press began on the panel and the pen is still down
    int pressed = -1;    // lock: the key under the pen, counted through the page's rows
    unsigned raises = 0;  // lock: the panel's raise this state belongs to
};

KeyboardState& keyboard() {
    static auto* instance = new KeyboardState;
    return *instance;
}

// A panel that comes up again shows the letters, without shift, whatever it showed before.
void start_afresh_if_raised(KeyboardState& s) {
    unsigned raises = input_panel_raises();
    if (s.raises != raises) {
        s.raises = raises;
        s.page = 0;
        s.shift = false;
        s.pressed = -1;
    }
}

struct LaidKey {
    const KeySpec* spec;
    RECT rect;
};

int scale() {
    return std::max(1, device_profile().dpi / 96);
}

std::vector<LaidKey> lay_out(RECT panel, size_t page) {
    std::vector<LaidKey> keys;
    if (panel.right <= panel.left || panel.bottom <= panel.top) {
        return keys;
    }
    int width = panel.right - panel.left;
    int height = panel.bottom - panel.top;
    int inset = scale();
    const Page& rows = pages()[page];
    for (int r = 0; r < row_count; ++r) {
        LONG top = panel.top + height * r / row_count;
        LONG bottom = panel.top + height * (r + 1) / row_count;
        int at = 0;
        for (const KeySpec& spec : rows[static_cast<size_t>(r)]) {
            LONG left = panel.left + width * at / row_units;
            at += spec.width;
            LONG right = panel.left + width * at / row_units;
            if (!spec.name.empty()) {
                keys.push_back(LaidKey{&spec, RECT{left + inset, top + inset, right - inset, bottom - inset}});
            }
        }
    }
    return keys;
}

// The key under a point: the nearest one in its row, so the gaps between keys type too.
int key_at(const std::vector<LaidKey>& keys, RECT panel, POINT p) {
    if (!rect_contains(panel, p)) {
        return -1;
    }
    int best = -1;
    LONG best_distance = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        const RECT& k = keys[i].rect;
        LONG dx = p.x < k.left ? k.left - p.x : p.x >= k.right ? p.x - k.right + 1 : 0;
        LONG dy = p.y < k.top ? k.top - p.y : p.y >= k.bottom ? p.y - k.bottom + 1 : 0;
        LONG distance = dx + dy * 4;  // a key in another row is farther than one beside
        if (best < 0 || distance < best_distance) {
            best = static_cast<int>(i);
            best_distance = distance;
        }
    }
    return best;
}

std::u16string shown_label(const KeySpec& spec, bool shift) {
    std::u16string label = spec.label;
    if (shift && label.size() == 1 && label[0] >= u'a' && label[0] <= u'z') {
        label[0] = static_cast<char16_t>(label[0] - u'a' + u'A');
    }
    return label;
}

void panel_changed() {
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    screen_area_changed(input_panel_rect());
}

struct Colours {
    COLORREF face;
    COLORREF text;
};

Colours colours_of(const KeySpec& spec, bool pressed, bool shift) {
    if (pressed) {
        return {look::bar_pressed, look::bar_pressed_text};
    }
    if (spec.action == Action::Type) {
        return {look::menu, look::menu_text};
    }
    if (spec.action == Action::Shift && shift) {
        return {look::menu, look::menu_text};
    }
    return {look::bar_edge, look::bar_text};
}

void type_key(const KeySpec& spec, bool shift) {
    switch (spec.action) {
    case Action::Type: {
        inject_text(spec.name == u"space" ? std::u16string(u" ") : shown_label(spec, shift));
        break;
    }
    case Action::Back:
    case Action::Enter: {
        // As a keyboard gives it: the character comes from TranslateMessage.
        UINT vk = spec.action == Action::Back ? VK_BACK : VK_RETURN;
        inject_key(vk, true, false);
        inject_key(vk, false, false);
        break;
    }
    default:
        break;
    }
}

}  // namespace

std::vector<PanelKey> input_panel_keys() {
    KeyboardState& s = keyboard();
    std::lock_guard guard(s.lock);
    start_afresh_if_raised(s);
    std::vector<PanelKey> keys;
    for (const LaidKey& k : lay_out(input_panel_rect(), s.page)) {
        keys.push_back(PanelKey{k.spec->name, shown_label(*k.spec, s.shift), k.rect});
    }
    return keys;
}

void draw_input_panel(PixelSurface& screen) {
    RECT panel = input_panel_rect();
    if (panel.right <= panel.left || panel.bottom <= panel.top) {
        return;
    }
    KeyboardState& s = keyboard();
    std::lock_guard guard(s.lock);
    start_afresh_if_raised(s);
    HDC dc = gdi_create_surface_dc(&screen, panel, nullptr);
    menu::fill(dc, panel, look::bar);
    int edge = scale();
    menu::fill(dc, RECT{panel.left, panel.top, panel.right, panel.top + edge}, look::bar_edge);
    std::vector<LaidKey> keys = lay_out(panel, s.page);
    for (size_t i = 0; i < keys.size(); ++i) {
        const LaidKey& k = keys[i];
        Colours c = colours_of(*k.spec, static_cast<int>(i) == s.pressed, s.shift);
        menu::fill(dc, k.rect, c.face);
        if (c.face == look::menu) {
            // A shade along the bottom lifts the light keys off the dark panel.
            menu::fill(dc, RECT{k.rect.left, k.rect.bottom - edge, k.rect.right, k.rect.bottom}, look::menu_separator);
        }
        menu::draw_text(dc, shown_label(*k.spec, s.shift), k.rect, DT_CENTER | DT_VCENTER | DT_NOPREFIX, c.text);
    }
    gdi_delete_surface_dc(dc);
}

bool input_panel_pen(PenAction action, POINT screen) {
    bool captured = action == PenAction::Down && GetCapture() != nullptr;
    RECT panel = input_panel_rect();
    KeyboardState& s = keyboard();
    std::unique_lock guard(s.lock);
    start_afresh_if_raised(s);
    if (action == PenAction::Down) {
        if (captured || !rect_contains(panel, screen)) {
            return false;
        }
        s.tracking = true;
        s.pressed = key_at(lay_out(panel, s.page), panel, screen);
        guard.unlock();
        panel_changed();
        return true;
    }
    if (!s.tracking) {
        return false;
    }
    std::vector<LaidKey> keys = lay_out(panel, s.page);
    int under = key_at(keys, panel, screen);
    if (action == PenAction::Move) {
        if (under == s.pressed) {
            return true;
        }
        s.pressed = under;
        guard.unlock();
        panel_changed();
        return true;
    }
    s.tracking = false;
    s.pressed = -1;
    if (under < 0) {
        guard.unlock();
        panel_changed();
        return true;
    }
    const KeySpec& spec = *keys[static_cast<size_t>(under)].spec;
    bool shift = s.shift;
    if (spec.action == Action::Shift) {
        s.shift = !s.shift;
    } else if (spec.action == Action::Page) {
        s.page = (s.page + 1) % pages().size();
        s.shift = false;
    } else if (spec.action == Action::Type && shown_label(spec, true) != shown_label(spec, false)) {
        s.shift = false;  // shift holds for one letter
    }
    guard.unlock();
    panel_changed();
    type_key(spec, shift);
    return true;
}

}  // namespace platform
