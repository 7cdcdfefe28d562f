#include "ui/device/DeviceCapability.h"

#include <string>

#include "base/Log.h"
#include "base/Strings.h"
#include "platform/window/SystemInfo.h"

namespace skinner {

bool static_capability_is_smartphone() {
    WCHAR text[200] = {};
    SystemParametersInfoW(SPI_GETPLATFORMTYPE, 200, text, 0);
    text[199] = 0;
    std::u16string platform_type = text;
    Log::instance() << u"static_capability_is_smartphone=" << platform_type << u"\n";
    return to_lower(platform_type) == u"smartphone";
}

bool device_has_soft_keys() {
    if (static_capability_is_smartphone()) return true;
    OSVERSIONINFOW version;
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwMajorVersion >= 5;
}

}  // namespace skinner
