#include "base/DeviceKind.h"

#include "base/Strings.h"
#include "platform/window/SystemInfo.h"

namespace skinner {

namespace {

struct KnownDevice {
    int kind;
    const char16_t* oem_name;
};

constexpr KnownDevice known_devices[] = {
    {1, u"Compaq iPAQ H3800"}, {2, u"Compale P6C"},  {3, u"Typhoon"},
    {4, u"Toshiba e310"},      {5, u"Toshiba e330"}, {6, u"Toshiba e740"},
    {7, u"Toshiba e750"},      {8, u"MotoQ"},        {9, u"SGH-i607"},
};

}  // namespace

int device_kind_of_oem(const std::u16string& oem_text) {
    const std::u16string oem = to_lower(oem_text);
    for (const KnownDevice& device : known_devices) {
        const std::u16string name = to_lower(device.oem_name);
        if (oem.compare(0, name.size(), name) != 0 || oem.size() < name.size()) {
            continue;
        }
        // Only the bare model name counts here: longer names that begin with it are other models.
        if (device.kind == device_kind_moto_q && oem.size() >= 6) {
            return device_kind_none;
        }
        return device.kind;
    }
    return device_kind_none;
}

int device_kind() {
    static const int kind = [] {
        WCHAR text[130] = {};
        if (!SystemParametersInfoW(SPI_GETOEMINFO, sizeof(text), text, 0)) {
            return device_kind_none;
        }
        text[129] = 0;
        return device_kind_of_oem(text);
    }();
    return kind;
}

}  // namespace skinner
