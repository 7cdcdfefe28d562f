#include "platform/edit/EditText.h"

#include <algorithm>

namespace platform::edit {

namespace {

bool is_high_surrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}

bool is_low_surrogate(char16_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

bool is_space(char16_t c) {
    return c == u' ' || c == u'\t' || c == 0x00A0 || c == 0x3000 || (c >= 0x2000 && c <= 0x200A);
}

}  // namespace

std::u16string single_line(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (is_high_surrogate(c)) {
            if (i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
                out.push_back(c);
                out.push_back(text[++i]);
            }
        } else if (c >= 32 && !is_low_surrogate(c)) {
            out.push_back(c);
        }
    }
    return out;
}

std::u16string EditText::selected() const {
    return text_.substr(static_cast<size_t>(start()), static_cast<size_t>(end() - start()));
}

void EditText::assign(std::u16string_view text) {
    text_.assign(text);
    anchor_ = 0;
    caret_ = 0;
}

int EditText::clamp(int position) const {
    position = std::clamp(position, 0, length());
    if (position > 0 && position < length() && is_low_surrogate(text_[static_cast<size_t>(position)]) &&
        is_high_surrogate(text_[static_cast<size_t>(position - 1)])) {
        --position;
    }
    return position;
}

void EditText::select(int anchor, int caret) {
    anchor_ = clamp(anchor);
    caret_ = clamp(caret);
}

void EditText::move_caret(int position, bool extend) {
    caret_ = clamp(position);
    if (!extend) {
        anchor_ = caret_;
    }
}

bool EditText::replace_selection(std::u16string_view with) {
    int from = start();
    bool changed = has_selection() || !with.empty();
    text_.replace(static_cast<size_t>(from), static_cast<size_t>(end() - from), with);
    anchor_ = caret_ = from + static_cast<int>(with.size());
    return changed;
}

bool EditText::delete_selection() {
    return replace_selection(std::u16string_view());
}

bool EditText::delete_backward() {
    if (!has_selection()) {
        anchor_ = previous(caret_);
    }
    return delete_selection();
}

bool EditText::delete_forward() {
    if (!has_selection()) {
        anchor_ = next(caret_);
    }
    return delete_selection();
}

int EditText::previous(int position) const {
    return clamp(std::max(0, position - 1));
}

int EditText::next(int position) const {
    if (position >= length()) {
        return length();
    }
    int after = position + 1;
    if (after < length() && is_high_surrogate(text_[static_cast<size_t>(position)]) &&
        is_low_surrogate(text_[static_cast<size_t>(after)])) {
        ++after;
    }
    return after;
}

bool EditText::is_space_at(int index) const {
    return is_space(text_[static_cast<size_t>(index)]);
}

int EditText::word_start_before(int position) const {
    int p = clamp(position);
    while (p > 0 && is_space_at(p - 1)) {
        --p;
    }
    while (p > 0 && !is_space_at(p - 1)) {
        --p;
    }
    return clamp(p);
}

int EditText::word_end_after(int position) const {
    int p = clamp(position);
    while (p < length() && !is_space_at(p)) {
        ++p;
    }
    while (p < length() && is_space_at(p)) {
        ++p;
    }
    return clamp(p);
}

void EditText::select_word_at(int position) {
    int p = clamp(position);
    if (text_.empty()) {
        select(0, 0);
        return;
    }
    // The character under the tap: the one after the position, or the last one at the end.
    int at = p < length() ? p : p - 1;
    int from = at;
    int to = at;
    if (is_space_at(at)) {
        while (from > 0 && is_space_at(from - 1)) {
            --from;
        }
        while (to < length() && is_space_at(to)) {
            ++to;
        }
    } else {
        while (from > 0 && !is_space_at(from - 1)) {
            --from;
        }
        to = word_end_after(at);
    }
    select(from, to);
}

}  // namespace platform::edit
