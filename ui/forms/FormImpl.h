#pragma once
// FormImpl: the window side of a Form. It registers the window class, creates the native
// window and hooks it, chooses the menu bar manager for the device, keeps the invalid area and
// the back buffer, paints the form, and turns window messages into the form's operations:
// pointer, key and text input, timers, activation, size and settings changes, close requests,
// menu commands and command lines handed over by a second instance. It also computes the work
// area in which forms are placed.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/Key.h"
#include "platform/window/Window.h"
#include "ui/graphics/Point.h"
#include "ui/forms/WindowHook.h"

namespace skinner {

class Control;
class Form;
class MenuManager;
class Properties;

class FormImpl : public WindowHook {
public:
    // Creates the window (a popup owned by the parent's window when there is a parent) with
    // the caption of the language strings, and attaches itself to it.
    FormImpl(Form* parent, Properties* properties, const std::u16string& form_name);
    // Detaches, destroys the window and the back buffer, deletes the menu manager.
    ~FormImpl() override;

    LRESULT window_proc(UINT message, WPARAM wParam, LPARAM lParam, HookFlags& flags) override;

    // The form that messages reach; null while there is none (before it is built, after it
    // began to die).
    void set_form(Form* form) { form_ = form; }
    Form* get_form() const { return form_; }
    HWND get_window() const { return window_; }
    MenuManager* get_menu_manager() const { return menu_manager_.get(); }

    // Adds a rectangle to the invalid area (their bounding rectangle) and invalidates it.
    void invalidate(Point origin, Point size);
    // The whole form becomes invalid and the back buffer is made afresh at the next paint.
    void reset_paint();
    void move(Point position, Point size);
    // Sends WM_CLOSE as the program's own request (Form::close).
    void send_close();
    // Shows and raises the window, or the enabled window that a modal form opened over it.
    void bring_to_front();
    // The caption's OK button (Pocket PC) clicks the first usable registered button.
    void register_button_ok(Control* button);
    void unregister_button_ok(Control* button);
    void set_focus_if_activated();
    void set_input_panel(bool up);
    // The work area: the screen less the bars, or the visible desktop while the input panel is
    // up (when asked to take it into account).
    static void get_usable_area(Point& origin, Point& size, bool use_input_panel);
    // Width and height of the screen, and optionally its vertical dots per inch.
    static Point get_screen_size(int* dpi);
    static bool is_key_down(Key key);
    // A key-down message that only repeats an Enter already held: it acts on nothing, so that
    // one press does not go on to the panel or dialog that the press itself brought up.
    static bool is_held_enter(WPARAM virtual_key, LPARAM flags);
    // MessageBoxW over the form's window (none without a form), style 0.
    static int message_box(const Form* form, const std::u16string& text, const std::u16string& title);

    // While held, messages that would reach the form are ignored: a form still being built
    // (a message box shown from inside its construction) must not see input or paint.
    class FormHold {
    public:
        explicit FormHold(FormImpl* window);
        ~FormHold();
        FormHold(const FormHold&) = delete;
        FormHold& operator=(const FormHold&) = delete;

    private:
        FormImpl* window_;
    };

    Point get_invalid_origin() const { return invalid_origin_; }
    Point get_invalid_size() const { return invalid_size_; }
    HBITMAP get_back_buffer() const { return back_buffer_; }
    bool is_flicker() const { return flicker_; }
    const std::vector<Control*>& get_ok_buttons() const { return ok_buttons_; }

private:
    // The message's handling; false when the procedure returns at once (no menu rebuild).
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, HookFlags& flags, LRESULT& result);
    void pointer_down(int button, Point point, bool double_click);
    void pointer_up(int button, Point point);
    void release_held_buttons();
    // A close request from outside (the top bar, the desktop) to a form under a modal one goes
    // to the innermost modal form instead; true when it was passed on.
    bool pass_to_modal_form(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void paint_back_buffer(HDC window_dc, const RECT& client);
    void paint_direct(HDC window_dc, const RECT& client);

    HWND window_ = nullptr;
    std::unique_ptr<MenuManager> menu_manager_;
    std::vector<std::u16string> pending_command_lines_;
    std::vector<Control*> ok_buttons_;
    std::array<bool, 3> button_down_{};
    std::array<bool, 3> double_click_{};
    Point last_pointer_{-1, -1};
    bool flicker_ = false;
    Point invalid_origin_;
    Point invalid_size_;
    HBITMAP back_buffer_ = nullptr;
    Form* form_ = nullptr;
    int hold_count_ = 0;
    bool closing_by_program_ = false;
};

// Whether the window is a skinned form's own: only those take the form's private messages
// (in the user range, where a menu bar's tool-bar messages also lie).
bool is_form_window(HWND window);

}  // namespace skinner
