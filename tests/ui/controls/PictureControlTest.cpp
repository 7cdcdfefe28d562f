// The picture control: shrunk to fit with its aspect kept, never enlarged, aligned; an empty
// picture draws nothing.
#include <gtest/gtest.h>

#include "tests/ui/controls/support/ControlsSkin.h"
#include "ui/controls/ControlPicture.h"

using namespace skinner;
using controls_test::Canvas;
using controls_test::TestForm;

TEST(PicturePlacement, ShrinksToFitKeepingTheAspectAndAligns) {
    struct Case {
        Point picture;
        Point size;  // of the control at (10, 20)
        HAlignment h;
        VAlignment v;
        Point at;
        Point drawn;
    };
    using H = HAlignment;
    using V = VAlignment;
    const Case cases[] = {
        {{100, 50}, {50, 50}, H::CENTER, V::VCENTER, {10, 32}, {50, 25}},
        {{50, 100}, {50, 50}, H::CENTER, V::VCENTER, {22, 20}, {25, 50}},
        {{20, 20}, {100, 60}, H::RIGHT, V::BOTTOM, {90, 60}, {20, 20}},
        {{20, 20}, {100, 60}, H::LEFT, V::TOP, {10, 20}, {20, 20}},
        {{20, 20}, {100, 60}, H::CENTER, V::VCENTER, {50, 40}, {20, 20}},
        {{30, 10}, {30, 10}, H::RIGHT, V::BOTTOM, {10, 20}, {30, 10}},
        {{200, 30}, {50, 50}, H::CENTER, V::VCENTER, {10, 41}, {50, 7}},
        {{0, 20}, {50, 50}, H::CENTER, V::VCENTER, {10, 20}, {0, 0}},
        {{20, 20}, {-5, 50}, H::CENTER, V::VCENTER, {8, 45}, {0, 0}},
    };
    for (const Case& c : cases) {
        const PicturePlacement p = place_picture(c.picture, {10, 20}, c.size, c.h, c.v);
        EXPECT_EQ(p.position, c.at) << c.picture.x << "x" << c.picture.y << " in " << c.size.x << "x" << c.size.y;
        EXPECT_EQ(p.size, c.drawn) << c.picture.x << "x" << c.picture.y << " in " << c.size.x << "x" << c.size.y;
    }
}

TEST(PictureControl, PaintsOnlyTheFittedRectangle) {
    struct Case {
        const char16_t* name;
        uint32_t colour;
        Point at;
        Point drawn;
    };
    const Case cases[] = {
        {u"picWide", 0x00ff00, {10, 242}, {50, 25}},   // 100 by 50 in 50 by 50 at (10, 230)
        {u"picSmall", 0x0000ff, {150, 270}, {20, 20}},  // 20 by 20 in 100 by 60 at (70, 230), RIGHT and BOTTOM
        {u"picNone", 0, {0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        TestForm form;
        ControlPicture picture(&form, c.name, 0);
        EXPECT_FALSE(picture.wants_focus());
        EXPECT_FALSE(picture.hit_test(picture.get_position()));
        Canvas canvas;
        canvas.paint(picture);
        const int area = c.drawn.x * c.drawn.y;
        if (area > 0) {
            EXPECT_EQ(canvas.count(c.colour), area) << controls_test::narrow(c.name);
            EXPECT_EQ(canvas.at(c.at.x, c.at.y) & 0xFFFFFF, c.colour);
            EXPECT_EQ(canvas.at(c.at.x + c.drawn.x - 1, c.at.y + c.drawn.y - 1) & 0xFFFFFF, c.colour);
        }
        EXPECT_EQ(canvas.count(0x808080), canvas.width() * canvas.height() - area) << controls_test::narrow(c.name);
    }
}

TEST(PictureControl, SetPictureReplacesThePictureAndRepaints) {
    TestForm form;
    ControlPicture none(&form, u"picNone", 0);
    ControlPicture wide(&form, u"picWide", 0);
    form.settle();
    none.set_picture(wide.get_picture());
    EXPECT_EQ(form.invalid_size(), none.get_size());
    Canvas canvas;
    canvas.paint(none);
    EXPECT_EQ(canvas.count(0x00ff00), 40 * 20);  // 100 by 50 in 40 by 40
    none.set_picture(Picture());
    Canvas empty;
    empty.paint(none);
    EXPECT_EQ(empty.count(0x808080), empty.width() * empty.height());
}
