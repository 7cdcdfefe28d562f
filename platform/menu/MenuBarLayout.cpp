#include "platform/menu/MenuBarParts.h"

#include "platform/device/DeviceProfile.h"
#include "platform/menu/MenuLook.h"

namespace platform::menu::menu_bar {

BarTable& bars() {
    static auto* instance = new BarTable;
    return *instance;
}

std::shared_ptr<Bar> find_bar(HWND window) {
    BarTable& t = bars();
    BarLock guard(t.lock);
    for (auto& bar : t.bars) {
        if (bar->window == window) {
            return bar;
        }
    }
    return nullptr;
}

bool has_soft_keys() {
    const DeviceProfile& p = device_profile();
    return p.type == DeviceType::Smartphone || p.os_major >= 5;
}

bool has_image(const Bar& bar, const Button& b) {
    return b.image >= 0 && static_cast<size_t>(b.image) < bar.images.size();
}

// The buttons a bar shows, in order, leaving out hidden ones.
std::vector<int> shown_buttons(const Bar& bar) {
    std::vector<int> out;
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        if (!bar.buttons[i].hidden()) {
            out.push_back(static_cast<int>(i));
        }
    }
    return out;
}

// Two text buttons on a soft-key device are the soft keys: the left and right halves of the bar.
bool soft_key_layout(const Bar& bar) {
    if (!has_soft_keys()) {
        return false;
    }
    int count = 0;
    for (int i : shown_buttons(bar)) {
        const Button& b = bar.buttons[static_cast<size_t>(i)];
        if (b.separator()) {
            continue;
        }
        if (has_image(bar, b)) {
            return false;
        }
        ++count;
    }
    return count <= 2;
}

// The button behind soft key 0 (left) or 1 (right), or -1.
int soft_key_button(const Bar& bar, int key) {
    int seen = 0;
    for (int i : shown_buttons(bar)) {
        if (!bar.buttons[static_cast<size_t>(i)].separator() && seen++ == key) {
            return i;
        }
    }
    return -1;
}

int bar_width() {
    return device_profile().screen_width;
}

// Each button's rectangle in the bar's client coordinates; empty for hidden ones.
std::vector<RECT> lay_out(const Bar& bar) {
    int b = bar_height();
    std::vector<RECT> rects(bar.buttons.size());
    if (soft_key_layout(bar)) {
        int half = bar_width() / 2;
        for (int key = 0; key < 2; ++key) {
            int i = soft_key_button(bar, key);
            if (i >= 0) {
                rects[static_cast<size_t>(i)] = RECT{key * half, 0, key == 0 ? half : bar_width(), b};
            }
        }
        return rects;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    int pad = std::max(2, text_height() / 2);
    int x = 0;
    for (size_t i = 0; i < bar.buttons.size(); ++i) {
        const Button& button = bar.buttons[i];
        if (button.hidden()) {
            continue;
        }
        int width = b / 3;
        if (!button.separator()) {
            int content = (has_image(bar, button) ? bar.image_width : 0) + text_width(dc, button.text);
            if (has_image(bar, button) && !button.text.empty()) {
                content += pad;
            }
            if (button.drops_down() && !button.text.empty()) {
                content += text_height() * 4 / 3;
            }
            width = std::max(b, content + 2 * pad);
        }
        rects[i] = RECT{x, 0, x + width, b};
        x += width;
    }
    DeleteDC(dc);
    return rects;
}

int button_at(const Bar& bar, POINT client) {
    std::vector<RECT> rects = lay_out(bar);
    for (size_t i = 0; i < rects.size(); ++i) {
        const RECT& r = rects[i];
        if (!bar.buttons[i].separator() && client.x >= r.left && client.x < r.right && client.y >= r.top &&
            client.y < r.bottom) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace platform::menu::menu_bar
