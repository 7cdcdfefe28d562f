// The label: line breaking, the size it asks for, and where its lines are drawn (centred in
// the band between its insets, shortened with an ellipsis), compared against the font drawing
// the same text in the expected rectangle.
#include <gtest/gtest.h>

#include "tests/ui/controls/support/ControlsSkin.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlLabel.h"
#include "ui/controls/ControlPicture.h"
#include "ui/graphics/Painter.h"

using namespace skinner;
using controls_test::Canvas;
using controls_test::TestForm;
using controls_test::properties;

namespace {

// Ten pixels a character; 'W' is fifty, a zero-width space nothing.
int32_t fixed_width(std::u16string_view text) {
    int32_t w = 0;
    for (char16_t c : text) w += c == u'W' ? 50 : c == u'\u200B' ? 0 : 10;
    return w;
}

}  // namespace

TEST(LabelWrap, BreaksAtTheLastOpportunityBeforeTheLineOverflows) {
    struct Case {
        const char* what;
        std::u16string text;
        int32_t width;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {"two words and their blank fit, the third does not", u"one two three", 80, {u"one two ", u"three"}},
        {"a blank that would start a line is dropped", u"one  two", 40, {u"one ", u"two"}},
        {"a line feed ends a line", u"ab\ncd", 100, {u"ab", u"cd"}},
        {"a text ending in a line feed ends in an empty line", u"ab\n", 100, {u"ab", u""}},
        {"a word longer than the line breaks where it overflows", u"abcdefg", 30, {u"abc", u"def", u"g"}},
        {"a zero-width space is a break opportunity", u"abc\u200Bdef", 40, {u"abc\u200B", u"def"}},
        {"a character wider than the line that starts one has an empty line above its own", u"W", 30, {u"", u"W"}},
        {"... also after a line feed", u"a\nW", 30, {u"a", u"", u"W"}},
        {"... but after other characters it only sits alone", u"aWb", 30, {u"a", u"W", u"b"}},
        {"an empty text is one empty line", u"", 30, {u""}},
        {"everything fits", u"one two", 70, {u"one two"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wrap_text(c.text, c.width, fixed_width), c.lines) << c.what;
    }
    // Without a font every text measures 0: only line feeds break.
    EXPECT_EQ(wrap_text(u"a b c\nd", 0, [](std::u16string_view) { return 0; }),
              (std::vector<std::u16string>{u"a b c", u"d"}));
}

TEST(Label, WrapsToItsWidthLessTheInsetsAndRelaysOutWhenResized) {
    TestForm form;
    ControlLabelImpl label(&form, u"lblWrap", 0);
    const Font font = properties().get_font(u"FormControls", u"lblWrap", u"Normal", Font());
    label.set_text(u"one two three four");
    const size_t lines_at_100 = label.get_lines().size();
    EXPECT_GE(lines_at_100, 2u);
    for (const std::u16string& line : label.get_lines()) EXPECT_LE(font.measure_text(line).x, 100) << "fits";
    label.set_rect(label.get_position(), {400, 40});
    EXPECT_EQ(label.get_lines(), std::vector<std::u16string>{u"one two three four"});
}

TEST(Label, AutoSizeAsksForItsTextPlusTheInsets) {
    TestForm form;
    ControlLabelImpl label(&form, u"lblAuto", 0);  // insets (3, 2) and (5, 6), skin size 10 by 10
    const Font font = properties().get_font(u"FormControls", u"lblAuto", u"Normal", Font());
    label.set_text(u"Hello");
    const Point text = font.measure_text(u"Hello");
    EXPECT_EQ(label.get_preferred_text_size(), text + Point(8, 8));
    EXPECT_EQ(label.get_preferred_size(), max_point(text + Point(8, 8), {10, 10}));
    label.set_text(u"");
    EXPECT_EQ(label.get_preferred_text_size(), Point(8, 8));
    EXPECT_EQ(label.get_preferred_size(), Point(10, 10));
    // Without auto size only the insets are asked for.
    ControlLabelImpl plain(&form, u"lblCentre", 0);
    EXPECT_EQ(plain.get_preferred_text_size(), Point(0, 14));
}

TEST(Label, DrawsItsLinesWhereTheSkinPutsThem) {
    struct Line {
        std::u16string text;
        Point offset;  // from the label's position
        Point size;    // -1: the line height
        int v_alignment;
        bool ellipsis;
    };
    struct Case {
        const char* what;
        const char16_t* name;
        std::u16string text;
        int32_t height;  // 0: the skin's; else in line heights times 10
        int h_alignment;
        std::vector<Line> lines;
    };
    const Case cases[] = {
        {"one line centred in the band between the smaller inset above and below", u"lblCentre", u"Mid", 0, 1,
         {{u"Mid", {0, 0}, {100, 34}, 1, false}}},
        {"one line shortened to fit", u"lblEllipsisOne", u"a rather long line of text", 0, 0,
         {{u"a rather long line of text", {0, 0}, {60, 20}, 0, true}}},
        {"the last line that fits is marked when lines stay hidden", u"lblEllipsis", u"aaa\nbbb\nccc", 25, 0,
         {{u"aaa", {0, 0}, {60, -1}, 0, false}, {u"bbb\u2026", {0, 1}, {60, -1}, 0, true}}},
        {"... and left alone when it is the text's last line", u"lblEllipsis", u"aaa\nbbb", 25, 0,
         {{u"aaa", {0, 0}, {60, -1}, 0, false}, {u"bbb", {0, 1}, {60, -1}, 0, false}}},
    };
    for (const Case& c : cases) {
        TestForm form;
        ControlLabelImpl label(&form, c.name, 0);
        const Font font = properties().get_font(u"FormControls", c.name, u"Normal", Font());
        const int32_t line_height = font.measure_text(u"aaa").y;
        if (c.height) label.set_rect(label.get_position(), {label.get_size().x, line_height * c.height / 10});
        label.set_text(c.text);
        Canvas drawn;
        drawn.paint(label);

        Canvas expected;
        Painter painter(expected.dc(), {0, 0}, {expected.width(), expected.height()});
        properties().get_picture(u"FormControls", c.name, u"Normal", Picture()).draw(painter, label.get_position(), label.get_size());
        const Color colour = properties().get_color(u"FormControls", c.name, u"Normal", Color());
        painter.push_clip(label.get_position(), label.get_size());
        for (const Line& l : c.lines) {
            const Point at = label.get_position() + Point(l.offset.x, l.offset.y * line_height);
            const Point size(l.size.x, l.size.y < 0 ? line_height : l.size.y);
            if (l.ellipsis) {
                font.draw_text_ellipsis(painter, colour, l.text, at, size, c.h_alignment, l.v_alignment);
            } else {
                font.draw_text(painter, colour, l.text, at, size, c.h_alignment, l.v_alignment);
            }
        }
        EXPECT_EQ(drawn.differences(expected), 0) << c.what;
        EXPECT_GT(drawn.count(0xffffff), 0) << c.what;
    }
}

TEST(Label, DisabledLabelTakesItsDisabledColour) {
    TestForm form;
    ControlLabelImpl label(&form, u"lblDisabled", 0);
    Canvas enabled;
    enabled.paint(label);
    label.set_enabled(false);
    Canvas disabled;
    disabled.paint(label);
    EXPECT_GT(enabled.count(0xff0000), 0);
    EXPECT_EQ(enabled.count(0x0000ff), 0);
    EXPECT_GT(disabled.count(0x0000ff), 0);
    EXPECT_EQ(disabled.count(0xff0000), 0);
}

TEST(Label, TapsOnLabelsAndPicturesReachTheControlBehindThem) {
    for (const char16_t* over : {u"lblOver", u"picOver"}) {
        TestForm form;
        ControlButton button(&form, u"btnPlain", 0);  // (10, 40), 40 by 20
        std::unique_ptr<Control> cover;
        if (over[0] == u'l') {
            cover = std::make_unique<ControlLabelImpl>(&form, over, 0);
        } else {
            cover = std::make_unique<ControlPicture>(&form, over, 0);
        }
        ASSERT_EQ(cover->get_position(), button.get_position());
        EXPECT_FALSE(cover->wants_focus());
        form.take_events();
        form.on_mouse_down({20, 50}, false);
        EXPECT_EQ(form.get_captured(), &button) << controls_test::narrow(over);
        form.on_mouse_up({20, 50}, false);
        EXPECT_EQ(form.take_events(), (std::vector<std::string>{"state btnPlain", "state btnPlain", "fire btnPlain 0 20 50"}));
    }
}
