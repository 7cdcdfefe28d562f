// The skinned edit control: editing by keys, text and pen as one table of cases, the gating of
// a readonly or password field, the keys it leaves to the form, scrolling that keeps the caret
// in the field, and what it paints in each state. The test skin's box face puts a character
// every 6 pixels, so a pen at x inside the text means the boundary nearest x / 6.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/window/Keys.h"
#include "platform/window/Input.h"
#include "tests/ui/edit/support/EditTesting.h"

namespace edit_test {
namespace {

using skinner::ControlEditImpl;
using skinner::Key;
using skinner::Point;

// edtName's text starts at (14, 12) of the form: its position (10, 10) and BorderMin (4, 2).
constexpr int text_left = 14;
constexpr int pen_y = 20;

Point at_text(int x) { return {text_left + x, pen_y}; }

// Runs one action on an edit: keys with modifiers ("Ctrl+Shift+Left"), "type TEXT", or the pen
// at text x: "tap X", "double X" (the second press of a double tap), "drag X TO".
void act(ControlEditImpl& edit, const std::string& action) {
    std::istringstream words(action);
    std::string verb;
    words >> verb;
    if (verb == "type") {
        const std::string rest = action.size() > 5 ? action.substr(5) : "";
        edit.on_text(std::u16string(rest.begin(), rest.end()));
        return;
    }
    if (verb == "tap" || verb == "double" || verb == "drag") {
        int x = 0;
        int to = 0;
        words >> x;
        const bool moves = static_cast<bool>(words >> to);
        edit.on_mouse_down(at_text(x), verb == "double");
        if (moves) edit.on_mouse_move(at_text(to));
        edit.on_mouse_up(at_text(moves ? to : x), verb == "double");
        return;
    }
    struct Name {
        const char* name;
        Key key;
    };
    static const Name keys[] = {{"Left", Key::Left},     {"Right", Key::Right},   {"Home", Key::Home},
                                {"End", Key::End},       {"Backspace", Key::Backspace}, {"Del", Key::Del},
                                {"Insert", Key::Insert}, {"C", Key::C},           {"V", Key::V},
                                {"X", Key::X},           {"Enter", Key::Enter},   {"Up", Key::Up}};
    std::vector<unsigned> held;
    std::string rest = verb;
    for (size_t plus; (plus = rest.find('+')) != std::string::npos; rest = rest.substr(plus + 1)) {
        held.push_back(rest.substr(0, plus) == "Ctrl" ? VK_CONTROL : VK_SHIFT);
    }
    HeldKeys modifiers(held);
    bool found = false;
    for (const Name& k : keys) {
        if (rest == k.name) {
            EXPECT_TRUE(edit.on_keydown(k.key)) << action;
            found = true;
        }
    }
    EXPECT_TRUE(found) << "no such key: " << action;
}

class EditControl : public ::testing::Test {
protected:
    void SetUp() override {
        form.show(true);  // as its modal loop would: the form shows its focus
        pump();
        put_clipboard_text(u"XY");
    }
    void TearDown() override { pump(); }

    // Puts text and selection in place and forgets the events that made them.
    void prepare(ControlEditImpl& edit, const std::u16string& text, int anchor, int caret) {
        edit.set_text(text);
        edit.set_selection(anchor, caret);
        form.take_events();
    }

    TestClock clock;  // timers wait for the test: the caret blinks only when told
    EditForm form;
};

TEST_F(EditControl, EditsByKeysTextAndPen) {
    struct Case {
        std::u16string text;
        int anchor, caret;
        std::string action;
        std::u16string want_text;
        int want_anchor, want_caret;
        std::vector<std::string> want_events;
        std::u16string want_clipboard = u"XY";
    };
    const std::u16string smile = u"a\U0001F600b";  // a, a surrogate pair, b
    const Case cases[] = {
        {u"abc", 1, 1, "type XY", u"aXYbc", 3, 3, {"text edtName"}},
        {u"abcd", 1, 3, "type Z", u"aZd", 2, 2, {"text edtName"}},
        {u"abc", 3, 1, "type \r", u"abc", 3, 1, {}},  // control characters are not typed
        {u"abc", 1, 2, "type", u"", 0, 0, {"text edtName"}},  // an empty text clears the field
        {u"abc", 0, 0, "Backspace", u"abc", 0, 0, {}},
        {u"abc", 2, 2, "Backspace", u"ac", 1, 1, {"text edtName"}},
        {u"abcd", 3, 1, "Backspace", u"ad", 1, 1, {"text edtName"}},
        {u"abc", 1, 1, "Del", u"ac", 1, 1, {"text edtName"}},
        {u"abc", 3, 3, "Del", u"abc", 3, 3, {}},
        {u"abcd", 1, 3, "Del", u"ad", 1, 1, {"text edtName"}},
        {u"abc", 0, 2, "Left", u"abc", 1, 1, {}},
        {u"abc", 2, 0, "Shift+Left", u"abc", 2, 0, {}},
        {u"abc", 2, 2, "Shift+Left", u"abc", 2, 1, {}},
        {u"ab cd", 5, 5, "Ctrl+Left", u"ab cd", 3, 3, {}},
        {u"ab cd", 3, 3, "Ctrl+Left", u"ab cd", 0, 0, {}},
        {u"ab cd", 1, 1, "Ctrl+Right", u"ab cd", 3, 3, {}},
        {u"ab cd", 0, 0, "Ctrl+Shift+Right", u"ab cd", 0, 3, {}},
        {u"abc", 3, 3, "Right", u"abc", 3, 3, {}},
        {u"abc", 1, 1, "Shift+Right", u"abc", 1, 2, {}},
        {u"abc", 2, 2, "Home", u"abc", 0, 0, {}},
        {u"abc", 2, 2, "Shift+Home", u"abc", 2, 0, {}},
        {u"abc", 1, 1, "End", u"abc", 3, 3, {}},
        {u"abc", 1, 1, "Shift+End", u"abc", 1, 3, {}},
        {u"abc", 1, 2, "Ctrl+V", u"aXYc", 3, 3, {"text edtName"}},
        {u"abc", 3, 3, "Shift+Insert", u"abcXY", 5, 5, {"text edtName"}},
        {u"abcd", 1, 3, "Ctrl+X", u"ad", 1, 1, {"text edtName"}, u"bc"},
        {u"abcd", 3, 1, "Shift+Del", u"ad", 1, 1, {"text edtName"}, u"bc"},
        {u"abcd", 3, 1, "Ctrl+C", u"abcd", 3, 1, {}, u"bc"},
        {u"abcd", 0, 4, "Ctrl+Insert", u"abcd", 0, 4, {}, u"abcd"},
        // Copying or cutting nothing leaves the clipboard as it was.
        {u"abcd", 2, 2, "Ctrl+C", u"abcd", 2, 2, {}},
        {u"abcd", 2, 2, "Ctrl+X", u"abcd", 2, 2, {}},
        // A surrogate pair is one character to the keys.
        {smile, 3, 3, "Backspace", u"ab", 1, 1, {"text edtName"}},
        {smile, 1, 1, "Del", u"ab", 1, 1, {"text edtName"}},
        {smile, 3, 3, "Left", smile, 1, 1, {}},
        {smile, 1, 1, "Right", smile, 3, 3, {}},
        {smile, 0, 0, "Shift+End", smile, 0, 4, {}},
        // The pen: a tap puts the caret at the nearest boundary, a drag selects, a double tap
        // selects a word and its trailing spaces; each release fires.
        {u"abcdef", 0, 0, "tap 14", u"abcdef", 2, 2, {"fire edtName 0 28 20"}},
        {u"abcdef", 0, 0, "tap 500", u"abcdef", 6, 6, {"fire edtName 0 514 20"}},
        {u"abcdef", 5, 5, "tap -9", u"abcdef", 0, 0, {"fire edtName 0 5 20"}},
        {u"abcdef", 0, 0, "drag 8 26", u"abcdef", 1, 4, {"fire edtName 0 40 20"}},
        {u"abc  de", 0, 0, "double 8", u"abc  de", 0, 5, {"fire edtName 1 22 20"}},
        {u"abc  de", 0, 0, "double 38", u"abc  de", 5, 7, {"fire edtName 1 52 20"}},
        {u"abc  de", 0, 0, "double 26", u"abc  de", 0, 5, {"fire edtName 1 40 20"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.text) + " [" + std::to_string(c.anchor) + "," + std::to_string(c.caret) + "] " + c.action);
        put_clipboard_text(u"XY");
        prepare(form.name, c.text, c.anchor, c.caret);
        act(form.name, c.action);
        EXPECT_EQ(form.name.get_text(), c.want_text);
        EXPECT_EQ(form.name.get_anchor(), c.want_anchor);
        EXPECT_EQ(form.name.get_caret(), c.want_caret);
        EXPECT_EQ(form.take_events(), c.want_events);
        EXPECT_EQ(clipboard_text(), c.want_clipboard);
    }
}

TEST_F(EditControl, ReadonlyAndPasswordFieldsGateTheirActions) {
    struct Case {
        std::string action;
        bool readonly_changes;       // the readonly field's text
        bool readonly_copies;        // what the readonly field puts on the clipboard
        bool password_changes;
        bool password_copies;
    };
    const Case cases[] = {
        {"type Q", false, false, true, false},
        {"Backspace", false, false, true, false},
        {"Del", false, false, true, false},
        {"Ctrl+V", false, false, true, false},
        {"Shift+Insert", false, false, true, false},
        {"Ctrl+X", false, false, false, false},
        {"Shift+Del", false, false, false, false},
        {"Ctrl+C", false, true, false, false},
        {"Ctrl+Insert", false, true, false, false},
    };
    form.name.set_password_char(u'*');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        put_clipboard_text(u"XY");
        prepare(form.readonly, u"fixed text", 0, 5);
        act(form.readonly, c.action);
        EXPECT_EQ(form.readonly.get_text() != u"fixed text", c.readonly_changes);
        EXPECT_EQ(clipboard_text() != u"XY", c.readonly_copies);
        EXPECT_EQ(form.take_events().empty(), !c.readonly_changes);

        put_clipboard_text(u"XY");
        prepare(form.name, u"secret", 0, 3);
        act(form.name, c.action);
        EXPECT_EQ(form.name.get_text() != u"secret", c.password_changes);
        EXPECT_EQ(clipboard_text() != u"XY", c.password_copies);
    }
    // The readonly field still moves its caret and selection.
    prepare(form.readonly, u"fixed text", 0, 0);
    act(form.readonly, "Shift+End");
    EXPECT_EQ(form.readonly.get_caret(), 10);
}

TEST_F(EditControl, LeavesOtherKeysToTheForm) {
    prepare(form.name, u"abc", 1, 1);
    for (Key key : {Key::C, Key::V, Key::X, Key::Insert, Key::Enter, Key::Esc, Key::Up, Key::Down, Key::Tab, Key::A}) {
        EXPECT_FALSE(form.name.on_keydown(key)) << int(key);
    }
    // While the pen drags a selection the keys and the text wait.
    form.name.on_mouse_down(at_text(0), false);
    EXPECT_FALSE(form.name.on_keydown(Key::Left));
    EXPECT_TRUE(form.name.on_text(u"z"));
    form.name.on_mouse_up(at_text(0), false);
    EXPECT_EQ(form.name.get_text(), u"abc");
}

TEST_F(EditControl, SetTextKeepsTheEndsThatStoodAtTheEndAndClampsTheRest) {
    prepare(form.name, u"abcdef", 2, 6);
    form.name.set_text(u"abcdefgh");
    EXPECT_EQ(form.name.get_anchor(), 2);
    EXPECT_EQ(form.name.get_caret(), 8);
    EXPECT_EQ(form.take_events(), std::vector<std::string>{"text edtName"});
    // Shorter than where the ends stood: they come to its end, so nothing reads past it.
    prepare(form.name, u"abcdef", 4, 4);
    form.name.set_text(u"ab");
    EXPECT_EQ(form.name.get_anchor(), 2);
    EXPECT_EQ(form.name.get_caret(), 2);
    form.name.set_text(u"ab");
    EXPECT_EQ(form.take_events(), std::vector<std::string>{"text edtName"});
    form.name.set_selection(-3, 99);
    EXPECT_EQ(form.name.get_anchor(), 0);
    EXPECT_EQ(form.name.get_caret(), 2);
}

// Paints name (focused, so the caret shows) and returns the canvas.
class EditPaint : public EditControl {
protected:
    void paint_name() {
        pump();
        canvas = std::make_unique<Canvas>();
        canvas->paint(form.name);
    }
    std::unique_ptr<Canvas> canvas;
};

constexpr uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, yellow = 0xFFFF00, magenta = 0xFF00FF,
                   cyan = 0x00FFFF, white = 0xFFFFFF;

TEST_F(EditPaint, TypingPastTheRightEdgeScrollsTheCaretOnePixelInside) {
    ASSERT_TRUE(form.name.is_focused());
    // The inner field is 92 pixels wide (x 14 to 105): 15 characters fit, the 16th scrolls.
    prepare(form.name, u"", 0, 0);
    for (int i = 0; i < 15; ++i) form.name.on_text(u"a");
    paint_name();
    EXPECT_EQ(form.name.get_scroll(), 0);
    form.name.on_text(u"a");
    paint_name();
    EXPECT_EQ(form.name.get_scroll(), -5);
    EXPECT_EQ(canvas->pixel(105, 26), cyan) << "the caret in the last inner column";
    EXPECT_EQ(canvas->pixel(106, 26), yellow) << "the border beyond it";

    act(form.name, "Home");
    paint_name();
    EXPECT_EQ(form.name.get_scroll(), 0);
    EXPECT_EQ(canvas->pixel(14, 26), cyan);
    act(form.name, "End");
    paint_name();
    EXPECT_EQ(form.name.get_scroll(), -5);
    // Shortened again, the text comes back to the left edge.
    for (int i = 0; i < 3; ++i) act(form.name, "Backspace");
    paint_name();
    EXPECT_EQ(form.name.get_scroll(), 0);

    // Scrolled, the pen finds the character under it.
    prepare(form.name, std::u16string(20, u'b'), 20, 20);
    paint_name();
    EXPECT_EQ(form.name.get_scroll(), -29);
    act(form.name, "tap 1");  // x 1 on the screen is x 30 of the text
    EXPECT_EQ(form.name.get_caret(), 5);
}

TEST_F(EditPaint, DrawsTheSelectionBehindItsTextAndTheCaretAtItsEnd) {
    prepare(form.name, u"abcd", 1, 3);
    paint_name();
    EXPECT_EQ(canvas->pixel(12, 26), yellow) << "focused background";
    EXPECT_EQ(canvas->pixel(15, 16), 0x000080u) << "unselected text";
    EXPECT_EQ(canvas->pixel(21, 16), 0x8000FFu) << "selected text, focused";
    EXPECT_EQ(canvas->pixel(25, 16), cyan) << "between selected characters";
    EXPECT_EQ(canvas->pixel(32, 26), cyan) << "the caret after the selection";
    EXPECT_EQ(canvas->pixel(33, 26), yellow);
    EXPECT_EQ(canvas->pixel(19, 26), yellow) << "before the selection";

    // The caret at the selection's start: the selection begins one column later.
    prepare(form.name, u"abcd", 3, 1);
    paint_name();
    EXPECT_EQ(canvas->pixel(20, 26), yellow);
    EXPECT_EQ(canvas->pixel(21, 26), cyan);
    EXPECT_EQ(canvas->pixel(31, 26), cyan);
    EXPECT_EQ(canvas->pixel(32, 26), yellow);

    // Half a blink period later the caret hides; an edit without the focus shows none.
    prepare(form.name, u"abcd", 2, 2);
    for (int i = 0; i < 5; ++i) form.name.on_timer(form.name.get_timer_id());
    paint_name();
    EXPECT_EQ(canvas->pixel(26, 26), yellow);
    for (int i = 0; i < 5; ++i) form.name.on_timer(form.name.get_timer_id());
    paint_name();
    EXPECT_EQ(canvas->pixel(26, 26), cyan);
}

TEST_F(EditPaint, LooksFollowTheState) {
    form.other.set_text(u"ab");
    Canvas plain;
    plain.paint(form.other);
    EXPECT_EQ(plain.pixel(12, 72), red);
    EXPECT_EQ(plain.pixel(15, 76), 0x000080u);

    form.set_hover(&form.other);
    Canvas hovered;
    hovered.paint(form.other);
    EXPECT_EQ(hovered.pixel(12, 72), green);
    form.set_hover(&form.name);
    paint_name();
    EXPECT_EQ(canvas->pixel(12, 12), magenta) << "hovered and focused";
    form.set_hover(nullptr);

    Canvas readonly;
    readonly.paint(form.readonly);
    EXPECT_EQ(readonly.pixel(12, 42), white);
    EXPECT_EQ(readonly.pixel(15, 46), 0x008080u);

    form.other.set_enabled(false);
    Canvas disabled;
    disabled.paint(form.other);
    EXPECT_EQ(disabled.pixel(12, 72), blue);
    EXPECT_EQ(disabled.pixel(15, 76), 0x808000u);
    form.other.set_enabled(true);
    EXPECT_TRUE(form.other.hit_test({20, 80}));
    EXPECT_FALSE(form.other.hit_test({20, 95}));
}

TEST_F(EditControl, LosingTheFocusStopsTheCaretAndTypingStillGoesToTheFocusedField) {
    form.other.set_focus();
    EXPECT_FALSE(form.name.is_focused());
    EXPECT_TRUE(form.other.is_focused());
    prepare(form.other, u"", 0, 0);
    EXPECT_TRUE(form.on_text(u"hi"));
    EXPECT_EQ(form.other.get_text(), u"hi");
    EXPECT_EQ(form.take_events(), std::vector<std::string>{"text edtOther"});
    form.name.set_focus();
}

}  // namespace
}  // namespace edit_test
