// A demo of the skinned forms: a main form from a compiled skin with a drawing pad, labels,
// buttons, a bar that fills with the pad's text and one that follows the pen, taking pen and key
// input, and a dialog that opens modally over it (and over itself).
//   form_demo              runs until the main form is closed (the desktop window's close)
//   form_demo --shots DIR  plays a script of pen and key input, saving the composed screen as
//                          DIR/form-N.png; with DEMO_X_SHOT=1 it also takes each shot of the
//                          whole X screen with "import -window root" (DIR/x-N.png)
// Each screen is one form class under form_demo/ and one form of form_demo/form_demo.json;
// PageDown on the main screen opens the list screen (a panel and a grid of 1,000 rows), PageUp
// the name screen (an edit field with its context menu).
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/display/Display.h"
#include "platform/display/Headless.h"
#include "platform/menu/MenuTracking.h"
#include "platform/window/Keys.h"
#include "tests/fixtures/TempDir.h"
#include "tests/helpers/form_demo/DemoDialog.h"
#include "tests/helpers/form_demo/DemoList.h"
#include "tests/helpers/form_demo/DemoMain.h"
#include "tests/helpers/form_demo/DemoName.h"
#include "ui/application/Application.h"
#include "ui/device/DeviceCapability.h"
#include "ui/forms/FormImpl.h"
#include "ui/skin/LanguageChoice.h"
#include "ui/skin/Properties.h"

namespace {

namespace h = platform::headless;
using form_demo::DemoDialog;
using form_demo::DemoList;
using form_demo::DemoMain;
using form_demo::DemoName;
using skinner::Point;

DemoMain* main_form = nullptr;
std::string shot_folder;
bool x_shots = false;
int shots = 0;
size_t script_step = 0;

void shot() {
    ++shots;
    const std::string name = shot_folder + "/form-" + std::to_string(shots) + ".png";
    if (!h::save_screen_png(name)) std::fprintf(stderr, "form_demo: could not write %s\n", name.c_str());
    if (x_shots) fixtures::run_command("import -window root " + shot_folder + "/x-" + std::to_string(shots) + ".png");
    std::printf("shot %d\n", shots);
}

// The screen point at a fraction of a control's rectangle.
POINT screen_point(const skinner::Control& control, double fx, double fy) {
    POINT p{control.get_position().x + static_cast<int>(control.get_size().x * fx),
            control.get_position().y + static_cast<int>(control.get_size().y * fy)};
    ClientToScreen(control.get_form_root()->get_hwnd(), &p);
    return p;
}

void tap(const skinner::Control& control) {
    const POINT p = screen_point(control, 0.5, 0.5);
    h::tap(p.x, p.y);
}

// The pen along the track bar, from one fraction of it to another.
void drag_track(double from, double to) {
    const POINT a = screen_point(main_form->track_bar(), from, 0.5);
    const POINT b = screen_point(main_form->track_bar(), to, 0.5);
    // The release reports no value: the last move is where the thumb stays.
    h::pen_down(a.x, a.y);
    h::pen_move(b.x, b.y);
    h::pen_up(b.x, b.y);
}

void pen_to(double fx, double fy) {
    const POINT p = screen_point(main_form->pad(), fx, fy);
    h::pen_move(p.x, p.y);
}

DemoDialog* innermost_dialog() { return dynamic_cast<DemoDialog*>(skinner::Form::get_modal_form()); }
DemoList* list_screen() { return dynamic_cast<DemoList*>(skinner::Form::get_modal_form()); }
DemoName* name_screen() { return dynamic_cast<DemoName*>(skinner::Form::get_modal_form()); }

// Text as the desktop keyboard types it: each letter and the space with its key.
void type_on_desktop(const std::u16string& text) {
    for (char16_t c : text) {
        const char16_t upper = c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
        const UINT key = (upper >= u'A' && upper <= u'Z') ? UINT(upper) : c == u' ' ? VK_SPACE : 0;
        h::desktop_type(key, std::u16string(1, c));
    }
}

// The pen held still on the name field, beside its text, opens the field's context menu
// there; the next tick lifts it.
void hold_on_name() {
    const POINT p = screen_point(name_screen()->name(), 0.55, 0.5);
    h::pen_down(p.x, p.y);
}

void lift_from_name() {
    const POINT p = screen_point(name_screen()->name(), 0.55, 0.5);
    h::pen_up(p.x, p.y);
}

// Taps an entry of the open menu (depth 0) or of its open submenu (depth 1); separators count.
// The name field's menu: Cut 0, Copy 1, Paste 2, Delete 3, Select All 5.
void choose(size_t entry, int depth = 0) {
    const std::vector<RECT> entries = platform::menu::open_menu_items(depth);
    if (entry >= entries.size()) {
        std::fprintf(stderr, "form_demo: no menu entry %zu\n", entry);
        return;
    }
    const RECT& r = entries[entry];
    h::tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The script: one step per tick; a step that opens a dialog returns only when it closes, and
// the next steps run from inside the dialog's loop meanwhile.
const std::vector<std::function<void()>> script = {
    [] { shot(); },
    [] { drag_track(0.1, 0.7); },  // the thumb follows; the pad's stroke takes the focus back
    [] {
        const POINT p = screen_point(main_form->pad(), 0.08, 0.75);
        h::pen_down(p.x, p.y);
    },
    // A zigzag, one corner a tick: moves that wait in the queue merge into the last one.
    [] { pen_to(0.2, 0.4); },
    [] { pen_to(0.32, 0.85); },
    [] { pen_to(0.44, 0.4); },
    [] { pen_to(0.56, 0.85); },
    [] { pen_to(0.68, 0.4); },
    [] { pen_to(0.8, 0.85); },
    [] {
        const POINT p = screen_point(main_form->pad(), 0.92, 0.4);
        h::pen_up(p.x, p.y);
        h::type_text(u"hello forms 42");
    },
    [] { h::key_press(VK_BACK); },  // the pad takes Backspace itself
    [] { shot(); },
    [] { h::key_press(VK_TAB); },   // the focus goes on to the first button
    [] { h::key_press(VK_RETURN); },  // which opens the dialog
    [] { shot(); },
    [] { tap(innermost_dialog()->again_button()); },  // one more over it
    [] { shot(); },
    [] { h::key_press(VK_ESCAPE); },  // the cancel button closes the top one
    [] { h::key_press(VK_ESCAPE); },  // and the other (the pen left the focus on Again)
    [] { shot(); },
    [] { h::key_press(VK_NEXT); },  // PageDown opens the list screen, its grid focused
    [] { shot(); },
    [] {
        for (int i = 0; i < 3; ++i) h::key_press(VK_DOWN);  // row 3
        const POINT p = screen_point(list_screen()->grid().get_painter(), 0.5, 0.5);
        h::wheel(p.x, p.y, -3);  // nine rows further down
    },
    [] { tap(list_screen()->grid().get_vertical_bar().get_max_button()); },  // one row more
    [] {
        const POINT p = screen_point(list_screen()->grid().get_painter(), 0.5, 0.6);
        h::tap(p.x, p.y);  // selects the row under the pen
    },
    [] { shot(); },
    [] { h::key_press(VK_END); },  // the last row, scrolled into view
    [] { shot(); },
    [] {
        const POINT p = screen_point(list_screen()->grid().get_vertical_bar().get_track(), 0.5, 0.5);
        h::pen_down(p.x, p.y);
    },
    [] {
        const POINT p = screen_point(list_screen()->grid().get_vertical_bar(), 0.5, 0.5);
        h::pen_move(p.x, p.y);  // the thumb dragged to the middle
    },
    [] {
        const POINT p = screen_point(list_screen()->grid().get_vertical_bar(), 0.5, 0.5);
        h::pen_up(p.x, p.y);
    },
    [] { shot(); },
    [] { h::key_press(VK_ESCAPE); },  // Close
    [] { h::key_press(VK_PRIOR); },   // PageUp opens the name screen, its field focused
    [] { type_on_desktop(u"Morning bell"); },
    [] { shot(); },
    [] {
        // A double tap beyond the text selects its last word.
        const POINT p = screen_point(name_screen()->name(), 0.92, 0.5);
        h::tap(p.x, p.y);
        h::tap(p.x, p.y);
    },
    [] { shot(); },
    [] { hold_on_name(); },
    [] { lift_from_name(); },
    [] { shot(); },
    [] { choose(0); },  // Cut
    [] { shot(); },
    [] { hold_on_name(); },
    [] { lift_from_name(); },
    [] { shot(); },
    [] { choose(2); },  // Paste: the word comes back
    [] {
        shot();
        const std::u16string name = name_screen()->name().get_text();
        std::printf("name: %s\n", std::string(name.begin(), name.end()).c_str());
    },
    [] { h::key_press(VK_ESCAPE); },  // Close
    // The menu bar: F2, the right soft key, drops its menu down (Language first, then Exit).
    [] { h::key_press(VK_F2); },
    [] { shot(); },
    [] { h::key_press(VK_RIGHT); },  // into the Language submenu
    [] { shot(); },
    [] { choose(1, 1); },  // german: every open form takes the new language
    [] { shot(); },
    [] { h::key_press(VK_F1); },  // the left soft key opens the dialog straight away
    [] { shot(); },
    [] { h::key_press(VK_F2); },  // the dialog's own right key is its Close button
    [] { tap(main_form->hints_check_box()); },  // unchecked: the hints go
    [] { shot(); },
    [] { h::key_press(VK_F2); },
    [] { h::key_press(VK_RIGHT); },
    [] { choose(0, 1); },  // english again
    [] { shot(); },
    [] { main_form->close(); },
};
constexpr int pocket_shots = 21;

// On a Smartphone the form's buttons and its check box are entries of the right soft key, and
// the keys' menus are popups that the pen chooses from.
const std::vector<std::function<void()>> phone_script = {
    [] { shot(); },
    [] { h::key_press(VK_F2); },  // Open dialog, Clear pad, Hints (checked), Language, Exit
    [] { shot(); },
    [] { choose(3); },  // Language
    [] { shot(); },
    [] { choose(1, 1); },  // german
    [] { shot(); },
    [] { h::key_press(VK_F2); },
    [] { choose(2); },  // Hints, checked: unchecked, the hints go
    [] { h::key_press(VK_F2); },
    [] { shot(); },
    [] { h::key_press(VK_ESCAPE); },  // the menu closes
    [] { h::key_press(VK_F1); },  // the left soft key opens the dialog
    [] { shot(); },
    [] { h::key_press(VK_F2); },  // the dialog's right key: Again, Close
    [] { shot(); },
    [] { choose(1); },  // Close
    [] { h::key_press(VK_F2); },
    [] { choose(3); },
    [] { choose(0, 1); },  // english again
    [] { shot(); },
    [] { main_form->close(); },
};
constexpr int phone_shots = 8;

const std::vector<std::function<void()>>& the_script() {
    static const bool phone = skinner::static_capability_is_smartphone();
    return phone ? phone_script : script;
}

void run_script(HWND, UINT, uintptr_t, DWORD) {
    const std::vector<std::function<void()>>& steps = the_script();
    if (script_step < steps.size()) steps[script_step++]();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--shots") {
        shot_folder = argv[2];
        const char* x = std::getenv("DEMO_X_SHOT");
        x_shots = x && *x == '1';
    }
    platform::DisplayBackend& display = platform::ensure_display();
    std::printf("display: %s\n", display.name());

    // The program's own instance: its resources hold the menu bars.
    skinner::Application application(GetModuleHandleW(nullptr), u"FormDemo");
    Point work_origin, work_size;
    skinner::FormImpl::get_usable_area(work_origin, work_size, false);
    const Point screen = skinner::FormImpl::get_screen_size(nullptr);
    skinner::Properties properties(u"%app_path%/skins/form_demo/form_demo.skin", screen, work_size);
    if (!properties.is_loaded() || !properties.check_version(u"Vantrel_1.1", screen)) {
        std::fprintf(stderr, "form_demo: the demo skin did not load\n");
        return 2;
    }
    skinner::select_language(properties, form_demo::language_title);
    DemoMain form(&properties);
    main_form = &form;
    uintptr_t timer = 0;
    if (!shot_folder.empty()) timer = SetTimer(nullptr, 0, 300, run_script);
    form.do_modal();
    if (timer) KillTimer(nullptr, timer);
    main_form = nullptr;
    std::printf("dialogs closed: %d\n", form.dialogs_closed());
    const bool phone = skinner::static_capability_is_smartphone();
    const bool played = phone ? shots == phone_shots && form.dialogs_closed() == 1
                              : shots == pocket_shots && form.dialogs_closed() == 2;
    return shot_folder.empty() || played ? 0 : 1;
}
