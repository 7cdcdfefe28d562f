#include "ui/menus/MenuItem.h"

#include "base/Log.h"

namespace skinner {

namespace {

void check_position(int position, int count) {
    if (position < 0 || position >= count) gluck(u"pos is invalid", u"VBCollection::operator[]");
}

}  // namespace

MenuItem& VBCollection::operator[](int position) {
    check_position(position, size());
    return items_[static_cast<size_t>(position)];
}

const MenuItem& VBCollection::operator[](int position) const {
    check_position(position, size());
    return items_[static_cast<size_t>(position)];
}

void VBCollection::push_back(const MenuItem& item) { items_.push_back(item); }

MenuItem::MenuItem(const std::u16string& command_, const std::u16string& text_) : command(command_), text(text_) {}

void MenuItem::mark_last_child() {
    if (!children.empty()) children.back().separator_after = true;
}

void MenuItem::set_target(Control* control) {
    if (!target) target = control;
    for (MenuItem& child : children) child.set_target(control);
}

}  // namespace skinner
