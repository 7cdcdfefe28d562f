#pragma once
// MenuItem: one entry of a menu tree, as the menu bar, the soft keys and the popup menus
// compose it. Records are values: a copy copies its strings and its whole subtree.
#include <cstdint>
#include <string>
#include <vector>

namespace skinner {

class Control;
class MenuItem;

// The ordered entries of a drop-down menu.
class VBCollection {
public:
    // Ends the process ("pos is invalid") for a position outside the list.
    MenuItem& operator[](int position);
    const MenuItem& operator[](int position) const;
    // Appends a copy.
    void push_back(const MenuItem& item);
    // Defined after MenuItem: a vector's size and erase need the complete type (clang insists).
    int size() const;
    bool empty() const;
    void clear();
    MenuItem& back();

    std::vector<MenuItem>::iterator begin() { return items_.begin(); }
    std::vector<MenuItem>::iterator end() { return items_.end(); }
    std::vector<MenuItem>::const_iterator begin() const { return items_.begin(); }
    std::vector<MenuItem>::const_iterator end() const { return items_.end(); }

private:
    std::vector<MenuItem> items_;
};

class MenuItem {
public:
    MenuItem(const std::u16string& command_, const std::u16string& text_);

    // True when the record has no children.
    bool empty() const { return children.empty(); }
    // A separator follows the last child; nothing without children. Called between groups.
    void mark_last_child();
    // Gives this record and every descendant the target where theirs is still null.
    void set_target(Control* control);

    VBCollection children;
    // Delivered to the target when the entry is chosen.
    std::u16string command;
    // Receives the command and is asked to fill the menu; not owned.
    Control* target = nullptr;
    // "&" marks a mnemonic.
    std::u16string text;
    // Shown after a tab in popup menus when not empty.
    std::u16string shortcut_text;
    bool enabled = true;
    // Unless it is the last entry of its list.
    bool separator_after = false;
    bool checked = false;
    // Index of the entry's image in the bar's image strip; -1 for none.
    int32_t wince_bug_resource_id = -1;
};

inline int VBCollection::size() const { return static_cast<int>(items_.size()); }
inline bool VBCollection::empty() const { return items_.empty(); }
inline void VBCollection::clear() { items_.clear(); }
inline MenuItem& VBCollection::back() { return items_.back(); }

}  // namespace skinner
