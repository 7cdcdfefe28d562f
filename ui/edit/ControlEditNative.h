#pragma once
// What an edit control leaves to the device: the edit implementation. The base, skinned, lets
// the control draw and edit by itself (Pocket PC); ControlEditNativeImpl puts the system's
// native "edit" window over the control and keeps the two in step (Smartphone, where text is
// entered with the phone's keys).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/window/Window.h"
#include "ui/graphics/Point.h"
#include "ui/forms/WindowHook.h"

namespace skinner {

class ControlEditImpl;

class EditImplementation {
public:
    explicit EditImplementation(bool skinned_ = true) : skinned(skinned_) {}
    virtual ~EditImplementation() = default;
    EditImplementation(const EditImplementation&) = delete;
    EditImplementation& operator=(const EditImplementation&) = delete;

    virtual void set_input_mode(const std::u16string& mode);
    virtual void set_text(const std::u16string& text);
    // Asked when the form is activated: true when the implementation took the focus itself.
    virtual bool take_focus();
    virtual void set_selection(int32_t start, int32_t end);
    virtual void set_readonly(bool readonly);
    virtual void set_visible(bool visible);
    virtual void on_focus_gained();
    virtual void on_focus_lost();
    virtual void set_rect(Point position, Point size);

    // True: the edit control paints, takes keys and text, and blinks its caret itself.
    bool skinned;
};

// The native implementation on a Smartphone, the skinned one elsewhere.
std::unique_ptr<EditImplementation> make_edit_implementation(ControlEditImpl* control);

class ControlEditNativeImpl : public EditImplementation {
public:
    // Creates the native edit window as a child of the control's form window.
    explicit ControlEditNativeImpl(ControlEditImpl* control);
    // Destroys the edit window.
    ~ControlEditNativeImpl() override;

    void set_input_mode(const std::u16string& mode) override;
    void set_text(const std::u16string& text) override;
    bool take_focus() override;
    void set_selection(int32_t start, int32_t end) override;
    void set_readonly(bool readonly) override;
    void set_visible(bool visible) override;
    void on_focus_gained() override;
    void on_focus_lost() override;
    void set_rect(Point position, Point size) override;

    // The edit window reported a change: the control takes its text (and selection).
    void on_en_change();

    HWND get_window() const { return edit_hook_.attached_window(); }

private:
    // On the edit window: focus logging and keys for the form.
    class EditWindowHook : public WindowHook {
    public:
        explicit EditWindowHook(ControlEditNativeImpl* owner) : owner_(owner) {}
        LRESULT window_proc(UINT message, WPARAM wParam, LPARAM lParam, HookFlags& flags) override;

    private:
        ControlEditNativeImpl* owner_;
    };

    // On the form window: the edit window's change notifications.
    class FormWindowHook : public WindowHook {
    public:
        explicit FormWindowHook(ControlEditNativeImpl* owner) : owner_(owner) {}
        LRESULT window_proc(UINT message, WPARAM wParam, LPARAM lParam, HookFlags& flags) override;

    private:
        ControlEditNativeImpl* owner_;
    };

    HWND form_window() const;
    void on_set_focus(HWND old_focus);
    void on_kill_focus(HWND new_focus);

    EditWindowHook edit_hook_;
    ControlEditImpl* control_;
    FormWindowHook form_hook_;
};

}  // namespace skinner
