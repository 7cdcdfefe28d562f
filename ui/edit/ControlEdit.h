#pragma once
// The one-line text box. On a Pocket PC the framework draws and edits it itself: background
// pictures by state, the text in the skin's fonts and colours, a blinking caret, a selection
// made with the pen or the keys, sideways scrolling that keeps the caret in view, clipboard
// keys and a tap-and-hold context menu. On a Smartphone a native edit window does the work
// (ControlEditNativeImpl) and the control only keeps the text in step.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/forms/Control.h"
#include "ui/edit/ControlEditNative.h"
#include "ui/menus/MenuItem.h"

namespace skinner {

class ControlEditImpl : public Control {
public:
    ControlEditImpl(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlEditImpl() override;

    void reload_properties() override;
    bool on_form_activated() override;
    void on_focus_gained() override;
    void on_focus_lost(Control* next) override;
    void on_visibility_changed(bool visible) override;
    void set_rect(Point position, Point size) override;
    void paint(Painter& painter, Point clip_origin, Point clip_size) override;
    bool hit_test(Point point) override;
    void on_mouse_enter() override;
    void on_mouse_leave() override;
    void on_mouse_move(Point point) override;
    void on_mouse_down(Point point, bool double_click) override;
    void on_mouse_up(Point point, bool double_click) override;
    void on_mouse_down_2(Point point, bool double_click) override;
    void on_mouse_up_2(Point point, bool double_click) override;
    bool on_text(const std::u16string& text) override;
    bool on_keydown(Key key) override;
    void on_timer(uint32_t id) override;

    // Raises on_text_changed with this control as the sender.
    virtual void notify_text_changed();
    // Raises on_control_event with this control as the sender.
    virtual void fire(const ButtonEvent& event);

    std::u16string get_text() const { return text_; }
    // Keeps the anchor and the caret at the end where they stood at the old end.
    void set_text(const std::u16string& text);
    // Both ends are clamped to the text.
    void set_selection(int32_t start, int32_t end);
    // Set from code only (no skin property sets them): a password character shows the text as
    // that character repeated and keeps it off the clipboard; 0 for none.
    void set_password_char(char16_t password_char);
    // The phone's input mode for the native edit: "TextDefault" or "Numbers".
    void set_input_mode(const std::u16string& mode);

    int32_t get_anchor() const { return anchor_; }
    int32_t get_caret() const { return caret_; }
    int32_t get_scroll() const { return scroll_; }
    char16_t get_password_char() const { return password_char_; }
    bool is_readonly() const { return readonly_; }
    bool is_skinned() const { return implementation_ && implementation_->skinned; }
    EditImplementation* get_implementation() const { return implementation_.get(); }

    // The context menu as it would open now: Cut, Copy, Paste, Delete and Select All, each
    // enabled when it can do something.
    MenuItem make_context_menu() const;
    // What a chosen entry of the context menu does; an empty or unknown command does nothing.
    void run_menu_command(const std::u16string& command);

private:
    friend class ControlEditNativeImpl;

    enum PictureState { NORMAL, HIGHLIGHTED, DISABLED, READONLY, SELECTION, NORMAL_FOCUSED, HIGHLIGHTED_FOCUSED };
    enum TextState { TEXT_NORMAL, TEXT_DISABLED, TEXT_READONLY };

    void load_edit_properties();
    const Picture& background() const;
    const Picture& hit_picture() const;
    TextState text_state() const;
    bool has_selection() const { return anchor_ != caret_; }
    bool can_copy() const { return has_selection() && password_char_ == 0; }
    // The clipboard holds text that a paste would insert.
    static bool clipboard_has_text();

    // The text as shown, and the x of each character boundary in it, measured when stale.
    std::u16string shown_text() const;
    void measure();
    int32_t x_of(int32_t position);
    int32_t hit_index(Point point);
    // A position inside a surrogate pair moves to the pair's start (or end, going forward).
    int32_t boundary(int32_t position, bool forward) const;
    int32_t word_start(int32_t position) const;
    int32_t word_end(int32_t position) const;

    void move_left();
    void move_right();
    void restart_blink();
    // False when nothing reached the clipboard.
    bool copy();
    void cut();
    void paste();
    void delete_selection();
    void delete_next();
    void delete_previous();
    void replace_selection(const std::u16string& text);
    // The text changed by an edit: the selection collapses at the position, the form hears.
    void edited(std::u16string text, int32_t position);
    void open_context_menu(Point point);
    void paint_text(Painter& painter);

    std::unique_ptr<EditImplementation> implementation_;
    std::array<Picture, 7> pictures_;
    std::array<Font, 3> fonts_;
    std::array<Color, 3> colors_;
    Color selection_color_;
    Color selection_focused_color_;
    Point last_down_;
    std::u16string input_mode_;
    std::u16string text_;
    int32_t anchor_ = 0;
    int32_t caret_ = 0;
    int32_t blink_counter_ = 0;
    int32_t blink_period_ = 10;
    int32_t caret_width_ = 1;
    Point border_min_;
    Point border_max_;
    bool selecting_ = false;
    bool readonly_ = false;
    int32_t scroll_ = 0;
    // offsets_[i]: the width of the first i + 1 characters of measured_text_ in measured_font_.
    std::vector<int32_t> offsets_;
    std::u16string measured_text_;
    FontRep* measured_font_ = nullptr;
    bool measured_ = false;
    char16_t password_char_ = 0;
};

}  // namespace skinner
