#include "ui/menus/SoftKeys.h"

#include <vector>

#include "platform/window/Window.h"
#include "ui/application/Application.h"
#include "ui/forms/Control.h"
#include "ui/forms/Form.h"
#include "ui/menus/MenuItem.h"
#include "ui/skin/Properties.h"

namespace skinner {

namespace {

// A copy: asking the application for a menu may change the list.
std::vector<SoftButton*> soft_buttons_of(Form* form) { return form->get_soft_buttons(); }

// A menu button's entries are asked of its target (the application fills the children); as one
// entry they stay a submenu, else they join the key's record directly.
void add_to_soft_key(SoftButton* button, MenuItem& record, bool as_one_entry) {
    MenuItem entry(u"", u"");
    button->fill_menu_item(entry);
    if (!button->opens_menu()) {
        record.children.push_back(entry);
        return;
    }
    if (entry.target) entry.target->create_menu(entry);
    if (as_one_entry) {
        record.children.push_back(entry);
    } else {
        for (const MenuItem& child : entry.children) record.children.push_back(child);
        if (record.text.empty()) record.text = entry.text;
    }
    // The key's record itself keeps no target: one that got no entries must not send its
    // placeholder command to the menu's owner.
    for (MenuItem& child : record.children) child.set_target(entry.target);
}

// One entry stands for the key itself; several get the key's default text.
void finish_soft_key(Form* form, MenuItem& record, const char16_t* text_key, const char16_t* default_text) {
    if (record.children.size() == 1) {
        const MenuItem only = record.children[0];
        record = only;
    } else if (record.children.size() > 1 && record.text.empty()) {
        Properties* properties = form->get_properties();
        record.text = properties ? properties->get_string(text_key, default_text) : std::u16string(default_text);
    }
}

bool is_key_placement(const std::u16string& placement) {
    return placement == placement_ok || placement == placement_menu || placement == placement_tab;
}

}  // namespace

void set_soft_button_registered(Form* root, SoftButton* button, bool& registered, bool wanted) {
    if (wanted == registered || !root) return;
    registered = wanted;
    if (wanted) {
        root->register_soft_button(button);
    } else {
        root->unregister_soft_button(button);
    }
}

void compose_left_soft_key(Form* form, MenuItem& record) {
    for (SoftButton* button : soft_buttons_of(form)) {
        if (button->placement() == placement_ok) add_to_soft_key(button, record, false);
    }
    finish_soft_key(form, record, u"menuSoftButtonOk", u"Action");
}

void compose_right_soft_key(Form* form, MenuItem& record) {
    const std::vector<SoftButton*> buttons = soft_buttons_of(form);
    for (SoftButton* button : buttons) {
        if (!is_key_placement(button->placement())) add_to_soft_key(button, record, true);
    }
    for (SoftButton* button : buttons) {
        if (button->placement() == placement_menu) add_to_soft_key(button, record, false);
    }
    for (SoftButton* button : buttons) {
        if (button->placement() != placement_tab) continue;
        // A group between separators.
        record.mark_last_child();
        add_to_soft_key(button, record, false);
        record.mark_last_child();
    }
    finish_soft_key(form, record, u"menuSoftButtonMenu", u"Menu");
}

void fill_toolbar_popup(Form* form, MenuItem& record) {
    for (SoftButton* button : soft_buttons_of(form)) {
        MenuItem own(u"", u"");
        button->fill_menu_item(own);
        if (own.command != record.command || !own.target) continue;
        own.target->create_menu(record);
        record.set_target(own.target);
    }
}

}  // namespace skinner
