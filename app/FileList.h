#pragma once
// FileList: the file panel's list "lstFiles" of the current folder: an "up" entry (except at the
// root), the sub-folders, then the audio files (by extension), each row an icon, a spacer and
// the name. Activating an entry sends "Select", "PickFolder" or "PickUp" to the owner form,
// which also reads the selected path and the current folder and restores them at start-up.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/lists/ControlGrid.h"
#include "ui/lists/ListSelection.h"
#include "ui/graphics/Picture.h"

namespace app {

struct FileListItem {
    enum Type : int32_t { NONE = 0, UP = 1, FOLDER = 2, AUDIO_FILE = 4 };

    // Without a trailing separator; the up entry's is the parent folder as the path helpers
    // give it.
    std::u16string path;
    // The path's file name; empty for the up entry.
    std::u16string name;
    int32_t type = NONE;
};

// The extension, lower-cased, is "mp3", "wav", "ogg" or "mpc".
bool is_audio_file(std::u16string_view path);
// Macros expanded, from the root, without a trailing separator.
std::u16string make_folder_path(std::u16string_view path);
// The two paths' comparison keys (normalize_path) in code-unit order.
bool path_less(std::u16string_view a, std::u16string_view b);

class FileList : public skinner::ControlGrid, public skinner::ListSelection {
public:
    FileList(skinner::FormBase* form, const std::u16string& name);

    // A folder that does not exist shows the root.
    void set_folder(const std::u16string& path);
    // Reads the folder again, keeping the selected path selected where it still is.
    void refresh();
    // The grid's own layout, owed after a change of size.
    void refresh_layout() { ControlGrid::refresh(); }
    const std::u16string& get_folder() const { return folder_; }
    // Empty when nothing is selected.
    std::u16string get_selected_path() const;
    // An empty item (no path, type NONE) for an index outside the items.
    FileListItem item_at(int32_t index) const;
    // The item of that exact path, else the last one that sorts before it, else the first; and
    // brings it into view.
    void select_path(const std::u16string& path);
    bool is_at_root() const;
    const std::vector<FileListItem>& items() const { return items_; }

    // Raises the command of the item's type; nothing for an index outside the items.
    void activate_item(int32_t index);

    // The grid's model: three columns, the icon, a spacer and the name (the rest of the row).
    int32_t row_count() override { return int32_t(items_.size()); }
    int32_t column_count() override { return 3; }
    int32_t column_width(int32_t column) override;
    void draw_cell(int32_t column, int32_t row, skinner::Painter& painter, skinner::Point position, skinner::Point size,
                   bool selected, bool highlighted) override;

    // Enter activates the selected item, Esc goes up (except at the root).
    bool on_keydown(skinner::Key key) override;
    // Taken here: a click is not passed on to the form.
    void on_item_click(skinner::Control* sender, const skinner::GridCellEvent& event) override;
    void reload_properties() override;

private:
    void load_properties();
    const skinner::Picture* icon_of(int32_t type) const;

    std::u16string folder_ = u"/";
    std::vector<FileListItem> items_;
    int32_t icon_width_ = 1;
    int32_t indent_width_ = 0;
    skinner::Picture icon_up_;
    skinner::Picture icon_folder_;
    skinner::Picture icon_audio_file_;
};

}  // namespace app
