#include "app/FileList.h"

#include <algorithm>

#include "base/FileSystem.h"
#include "base/Path.h"
#include "base/Strings.h"
#include "ui/graphics/Alignment.h"
#include "ui/graphics/Painter.h"

namespace app {

using skinner::Point;

namespace {

bool is_separator(char16_t c) { return c == u'\\' || c == u'/'; }

// Collects the audio files and the folders of one folder, each with its sort key.
class FolderReader : public skinner::FileVisitor {
public:
    struct Entry {
        std::u16string key;
        FileListItem item;
    };

    bool on_file(const std::u16string& path) override {
        if (is_audio_file(path)) add(path, FileListItem::AUDIO_FILE);
        return true;
    }
    bool on_directory(const std::u16string& path) override {
        add(path, FileListItem::FOLDER);
        return true;
    }

    // By type (folders before files), then by name as path_less orders them; names that only
    // differ in case (a case-sensitive host) keep one order whatever the folder's.
    std::vector<Entry>& sorted() {
        std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            if (a.item.type != b.item.type) return a.item.type < b.item.type;
            if (a.key != b.key) return a.key < b.key;
            return a.item.name < b.item.name;
        });
        return entries_;
    }

private:
    void add(const std::u16string& path, int32_t type) {
        std::u16string name = skinner::get_file_name(path);
        // One key per item rather than one per comparison: a folder of thousands sorts at once.
        std::u16string key = skinner::normalize_path(name);
        entries_.push_back({std::move(key), {path, std::move(name), type}});
    }

    std::vector<Entry> entries_;
};

}  // namespace

bool is_audio_file(std::u16string_view path) {
    const size_t dot = skinner::find_extension_dot(path);
    if (dot == std::u16string_view::npos) return false;
    const std::u16string extension = skinner::to_lower(std::u16string(path.substr(dot + 1)));
    return extension == u"mp3" || extension == u"wav" || extension == u"ogg" || extension == u"mpc";
}

std::u16string make_folder_path(std::u16string_view path) {
    // Expanded first: a path that begins with a macro keeps it at its start.
    std::u16string folder = skinner::expand_path(path);
    if (!folder.empty() && is_separator(folder.back())) folder.pop_back();
    if (folder.empty() || !is_separator(folder.front())) folder.insert(folder.begin(), u'\\');
    return folder;
}

bool path_less(std::u16string_view a, std::u16string_view b) {
    return skinner::normalize_path(a) < skinner::normalize_path(b);
}

FileList::FileList(skinner::FormBase* form, const std::u16string& name) : ControlGrid(form, name, KIND_SKIN) {
    load_properties();
}

void FileList::load_properties() {
    icon_width_ = get_scaled_int_property(u"IconWidth", 1);
    indent_width_ = get_scaled_int_property(u"IndentWidth", 0);
    icon_up_ = get_picture_property(u"IconUp", skinner::Picture());
    icon_folder_ = get_picture_property(u"IconFolder", skinner::Picture());
    icon_audio_file_ = get_picture_property(u"IconAudioFile", skinner::Picture());
}

void FileList::reload_properties() {
    ControlGrid::reload_properties();
    load_properties();
}

void FileList::set_folder(const std::u16string& path) {
    folder_ = skinner::FileInfo(path).exists() ? make_folder_path(path) : u"/";
    refresh();
}

bool FileList::is_at_root() const { return folder_.empty() || folder_ == u"/" || folder_ == u"\\"; }

void FileList::refresh() {
    const std::u16string selected = get_selected_path();
    items_.clear();
    if (!is_at_root()) items_.push_back({skinner::get_parent_directory(folder_), u"", FileListItem::UP});
    FolderReader reader;
    skinner::find_files(reader, folder_, u"*", u"*", false);
    std::vector<FolderReader::Entry>& entries = reader.sorted();
    items_.reserve(items_.size() + entries.size());
    for (FolderReader::Entry& e : entries) items_.push_back(std::move(e.item));
    // The grid's rows and page first: bringing the selection into view needs them.
    ControlGrid::refresh();
    select_path(selected);
}

std::u16string FileList::get_selected_path() const { return item_at(get_selected()).path; }

FileListItem FileList::item_at(int32_t index) const {
    if (index < 0 || size_t(index) >= items_.size()) return {};
    return items_[size_t(index)];
}

void FileList::select_path(const std::u16string& path) {
    const int32_t rows = row_count();
    int32_t index = -1;
    if (path.empty()) index = 0;
    for (int32_t i = rows - 1; i >= 0 && index < 0; --i) {
        if (items_[size_t(i)].path == path) index = i;
    }
    if (index < 0) {
        const std::u16string key = skinner::normalize_path(path);
        for (int32_t i = rows - 1; i >= 1 && index < 0; --i) {
            if (skinner::normalize_path(items_[size_t(i)].path) < key) index = i;
        }
    }
    index = std::max(index, 0);
    set_selected(index);
    // The item after it comes into view too, so that the list shows there is more.
    ensure_row_visible(std::min(index + 1, rows - 1));
    ensure_row_visible(index);
    invalidate();
}

void FileList::activate_item(int32_t index) {
    switch (item_at(index).type) {
    case FileListItem::AUDIO_FILE: on_command(u"Select"); break;
    case FileListItem::FOLDER: on_command(u"PickFolder"); break;
    case FileListItem::UP: on_command(u"PickUp"); break;
    default: break;
    }
}

int32_t FileList::column_width(int32_t column) {
    if (column == 0) return icon_width_;
    if (column == 1) return indent_width_;
    return -1;
}

const skinner::Picture* FileList::icon_of(int32_t type) const {
    switch (type) {
    case FileListItem::UP: return &icon_up_;
    case FileListItem::FOLDER: return &icon_folder_;
    case FileListItem::AUDIO_FILE: return &icon_audio_file_;
    default: return nullptr;
    }
}

void FileList::draw_cell(int32_t column, int32_t row, skinner::Painter& painter, Point position, Point size,
                         bool selected, bool highlighted) {
    const skinner::ItemStyle& style = get_item_style(selected, highlighted);
    style.picture.draw(painter, position, size);
    if (row < 0 || size_t(row) >= items_.size()) return;
    const FileListItem& item = items_[size_t(row)];
    if (column == 0) {
        if (const skinner::Picture* icon = icon_of(item.type)) {
            const Point icon_size = icon->get_size();
            icon->draw(painter, position + (size - icon_size) / 2.0, icon_size);
        }
    } else if (column == 2) {
        style.font.draw_text_ellipsis(painter, style.color, item.name, position, size, int(skinner::HAlignment::LEFT),
                                      int(skinner::VAlignment::VCENTER));
    }
}

bool FileList::on_keydown(skinner::Key key) {
    if (ControlGrid::on_keydown(key)) return true;
    if (key == skinner::Key::Enter) {
        activate_item(get_selected());
        return true;
    }
    if (key == skinner::Key::Esc && !is_at_root()) {
        on_command(u"PickUp");
        return true;
    }
    return false;
}

void FileList::on_item_click(skinner::Control*, const skinner::GridCellEvent& event) {
    if (item_at(event.row).type == FileListItem::AUDIO_FILE)
        on_command(u"Select");
    else
        activate_item(event.row);
}

}  // namespace app
