#pragma once
// The text of a single-line edit and its selection, without the window: the anchor is where
// the selection began, the caret its moving end. Positions are UTF-16 indices from 0 to the
// length that never fall inside a surrogate pair.
#include <string>
#include <string_view>

namespace platform::edit {

class EditText {
public:
    const std::u16string& text() const { return text_; }
    int length() const { return static_cast<int>(text_.size()); }
    int anchor() const { return anchor_; }
    int caret() const { return caret_; }
    int start() const { return anchor_ < caret_ ? anchor_ : caret_; }
    int end() const { return anchor_ < caret_ ? caret_ : anchor_; }
    bool has_selection() const { return anchor_ != caret_; }
    std::u16string selected() const;

    // New text with the caret and the anchor at its start.
    void assign(std::u16string_view text);
    // Clamped to the text and moved off the middle of a surrogate pair.
    void select(int anchor, int caret);
    // The caret goes to position; the anchor follows unless the selection is extended.
    void move_caret(int position, bool extend);

    // Each returns whether the text changed. The caret ends after what was inserted, or where
    // the deleted span began.
    bool replace_selection(std::u16string_view with);
    bool delete_selection();
    bool delete_backward();  // the selection, else the character before the caret
    bool delete_forward();   // the selection, else the character after the caret

    // One character back or forward (a surrogate pair is one), kept within the text.
    int previous(int position) const;
    int next(int position) const;
    // Ctrl+Left: back over spaces, then over the word. Ctrl+Right: over the word, then spaces.
    int word_start_before(int position) const;
    int word_end_after(int position) const;
    // A double tap: the word there with the spaces after it, or the run of spaces there.
    void select_word_at(int position);

private:
    int clamp(int position) const;
    bool is_space_at(int index) const;

    std::u16string text_;
    int anchor_ = 0;
    int caret_ = 0;
};

// Text as a single line takes it: characters below 32 (line breaks, tabs) are left out, and so
// is a surrogate without its partner.
std::u16string single_line(std::u16string_view text);

}  // namespace platform::edit
