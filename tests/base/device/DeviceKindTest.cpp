#include "base/DeviceKind.h"

#include <gtest/gtest.h>

#include <string>

namespace skinner {
namespace {

TEST(DeviceKind, OemTextPrefixIgnoringCase) {
    struct Case {
        const char16_t* oem;
        int kind;
    };
    const Case cases[] = {
        {u"Compaq iPAQ H3800", 1}, {u"Compale P6C", 2},    {u"typhoon m300", 3},   {u"Toshiba e310", 4},
        {u"Toshiba e330", 5},      {u"toshiba e740 rev2", 6}, {u"TOSHIBA E750", 7}, {u"MotoQ", 8},
        {u"motoq", 8},             {u"MotoQ9h", 0},         {u"SGH-i607", 9},       {u"Compaq iPAQ H3870", 0},
        {u"Toshiba e31", 0},       {u"", 0},                {u"Vantrel Linux device", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(device_kind_of_oem(c.oem), c.kind) << std::string(c.oem, c.oem + std::char_traits<char16_t>::length(c.oem));
    }
    EXPECT_EQ(device_kind(), 0);  // this platform's OEM text names none of them
}

}  // namespace
}  // namespace skinner
