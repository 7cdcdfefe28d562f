#pragma once
// The menu bar of a Pocket PC form: the shell's bar (SHCreateMenuBar) at the bottom of the
// screen, composed afresh from the form's soft buttons after every change. In soft-key mode it
// has two keys, the left and the right soft key; in tool-bar mode one button per soft button,
// with images from the program's bitmap strip. A drop-down's entries are asked of the
// application as it opens.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window/Window.h"
#include "ui/menus/ShellMenuBarManager.h"

namespace skinner {

class Control;
class MenuItem;

class MenuManagerImplPocket : public ShellMenuBarManager {
public:
    explicit MenuManagerImplPocket(bool soft_key_mode);
    // Destroys the bar and gives its tool-bar identifier back to the pool.
    ~MenuManagerImplPocket() override;
    MenuManagerImplPocket(const MenuManagerImplPocket&) = delete;
    MenuManagerImplPocket& operator=(const MenuManagerImplPocket&) = delete;

    void on_menu_command(Form* form, WPARAM wParam, LPARAM lParam) override;
    void on_init_menu_popup(Form* form, WPARAM wParam, LPARAM lParam) override;
    void on_hotkey(Form* form, WPARAM wParam, LPARAM lParam) override;
    void set_visible(Form* form, bool visible) override;

    void build(Form* form) override;

    bool is_soft_key_mode() const { return soft_key_mode_; }
    int32_t get_tool_bar_id() const { return tool_bar_id_; }
    int32_t get_first_image() const { return first_image_; }
    int32_t get_image_count() const { return image_count_; }
    size_t get_fixed_count() const { return fixed_count_; }
    const std::vector<std::u16string>& get_commands() const { return commands_; }
    const std::vector<Control*>& get_targets() const { return targets_; }

    // Menu commands take identifiers from here on.
    static constexpr size_t first_command_id = 100;
    // The two buttons of a soft-key bar's resource.
    static constexpr int soft_key_left_id = 40000;
    static constexpr int soft_key_right_id = 40001;

private:
    void compose(Form* form) override;

    void load_images();
    // Deletes every button and the drop-down menus they carried, and every command entry.
    void clear_buttons();
    void destroy_button_menus();
    void add_button(const MenuItem& record, bool has_menu, bool last, int& index);

    HWND parent_ = nullptr;
    int32_t tool_bar_id_ = -1;
    std::vector<std::u16string> commands_;
    std::vector<Control*> targets_;
    // The drop-down menus of the bar's buttons, which the bar does not destroy.
    std::vector<HMENU> button_menus_;
    size_t fixed_count_ = 0;
    int32_t first_image_ = -1;
    int32_t image_count_ = 0;
    bool soft_key_mode_;
};

// The tool-bar identifiers that bars of each mode take while they exist (at most five each).
std::vector<int32_t>& soft_key_bar_ids();
std::vector<int32_t>& tool_bar_ids();

}  // namespace skinner
