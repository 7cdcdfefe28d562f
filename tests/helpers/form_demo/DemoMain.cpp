#include "tests/helpers/form_demo/DemoMain.h"

#include <string>

#include "tests/helpers/form_demo/DemoDialog.h"
#include "tests/helpers/form_demo/DemoList.h"
#include "tests/helpers/form_demo/DemoName.h"
#include "ui/skin/LanguageChoice.h"
#include "ui/menus/LanguageMenu.h"
#include "ui/skin/Properties.h"

namespace form_demo {

const std::u16string language_title = u"ZEPH FormDemo";

DemoMain::DemoMain(skinner::Properties* properties)
    : Form(nullptr, properties, u"DemoMain"),
      title_(this, u"frmTitle", skinner::Control::KIND_SKIN),
      help_(this, u"frmHelp", skinner::Control::KIND_SKIN),
      pad_(this, u"padDraw"),
      text_bar_(this, u"pbText", skinner::Control::KIND_SKIN),
      track_(this, u"pbTrack", skinner::Control::KIND_SKIN),
      status_(this, u"frmStatus", skinner::Control::KIND_SKIN),
      dialog_(this, u"btnDialog", skinner::Control::KIND_SKIN),
      clear_(this, u"btnClear", skinner::Control::KIND_SKIN),
      hints_(this, u"chkHints", skinner::Control::KIND_SKIN),
      menu_main_(this, u"MenuMain", skinner::Control::KIND_CODE),
      dialog_item_(this, u"Dialog", u"Dialog", 0, skinner::placement_ok),
      menu_button_(this, u"Menu", u"Menu", 0, skinner::placement_menu) {
    // It only shows; the pen and the keys have nothing to do on it.
    text_bar_.set_want_focus(false);
}

void DemoMain::on_control_event(skinner::Control* sender, const skinner::ButtonEvent&) {
    if (sender == &dialog_) {
        open_dialog();
    } else if (sender == &clear_) {
        pad_.clear();
    }
}

void DemoMain::on_check_changed(skinner::Control* sender) {
    if (sender == &hints_) help_.set_visible(hints_.is_checked());
}

void DemoMain::on_command(const std::u16string& command) {
    if (command == u"Dialog") {
        open_dialog();
    } else if (command == u"Exit") {
        close();
    } else {
        // Every open form shows the new language at once.
        skinner::on_language_command(*get_properties(), language_title, command);
    }
}

void DemoMain::create_menu(skinner::MenuItem& menu) {
    if (menu.command != u"Menu") return;
    skinner::build_language_menu(*get_properties(), menu);
    menu.mark_last_child();
    menu.children.push_back(skinner::MenuItem(u"Exit", get_properties()->get_string(u"Exit")));
}

void DemoMain::on_value_changed(skinner::Control* sender, double value) {
    if (sender == &track_) track_.set_position(value);
}

void DemoMain::on_text_changed(skinner::Control* sender) {
    if (sender == &pad_) text_bar_.set_position(static_cast<double>(pad_.text().size()) / 24.0);
}

bool DemoMain::on_keydown(skinner::Key key) {
    if (Form::on_keydown(key)) return true;
    if (key == skinner::Key::PageDown) {
        open_list();
        return true;
    }
    if (key == skinner::Key::PageUp) {
        open_name();
        return true;
    }
    return false;
}

void DemoMain::open_name() {
    DemoName name(this, get_properties());
    name.do_modal();
}

void DemoMain::open_list() {
    DemoList list(this, get_properties());
    list.do_modal();
}

void DemoMain::open_dialog() {
    {
        DemoDialog dialog(this, get_properties(), 1);
        dialog.do_modal();
    }
    ++dialogs_closed_;
    const std::string text = "Dialogs closed: " + std::to_string(dialogs_closed_) + ". Pad: " +
                             std::to_string(pad_.stroke_count()) + " strokes, " + std::to_string(pad_.text().size()) +
                             " characters.";
    status_.set_text(std::u16string(text.begin(), text.end()));
}

}  // namespace form_demo
