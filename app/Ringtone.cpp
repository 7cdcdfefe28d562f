#include "app/Ringtone.h"

#include <algorithm>
#include <cstring>

#include "base/Log.h"
#include "base/Registry.h"
#include "platform/window/Modules.h"
#include "platform/shell/SoundApi.h"
#include "ui/application/Application.h"
#include "ui/device/DeviceCapability.h"
#include "ui/device/LibraryHandle.h"

namespace app {

namespace {

// Zero-filled; the path cut to fit with its terminating zero.
SNDFILEINFO ringtone_file_info(const std::u16string& path) {
    SNDFILEINFO info;
    std::memset(&info, 0, sizeof(info));
    const size_t length = std::min<size_t>(path.size(), MAX_PATH - 1);
    std::copy_n(path.data(), length, info.szPathName);
    info.sstType = SND_SOUNDTYPE_FILE;
    return info;
}

}  // namespace

const char16_t* ringtone_folder() {
    return skinner::static_capability_is_smartphone() ? u"%my_documents%" : u"%windows%/Rings";
}

void assign_ringtone(const std::u16string& path) {
    SndSetSoundProc set_sound = nullptr;
    if (HMODULE shell = skinner::shell_library().get()) {
        set_sound = reinterpret_cast<SndSetSoundProc>(GetProcAddressW(shell, u"SndSetSound"));
    }
    assign_ringtone_through(path, set_sound);
}

void assign_ringtone_through(const std::u16string& path, SndSetSoundProc set_sound) {
    skinner::Log::instance() << u"assign " << path << u"\n";
    if (set_sound) {
        const SNDFILEINFO info = ringtone_file_info(path);
        HRESULT result = set_sound(SND_EVENT_RINGTONELINE1, &info, TRUE);
        skinner::Log::instance() << u"SndSetSound " << static_cast<int>(result) << u"\n";
        if (result >= 0) {
            return;
        }
    }
    skinner::registry_write_string(ringtone_key, u"Sound", path);
}

}  // namespace app
