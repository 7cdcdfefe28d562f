#pragma once
// Makes a saved file the phone's ringtone: through the shell's sound API when it has one,
// else (or when it fails) through the ringtone's registry value.
#include <string>

#include "platform/shell/SoundApi.h"

namespace app {

constexpr const char16_t* ringtone_key = u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\RingTone0";

// Where ringtones are saved (with its macro): My Documents on a Smartphone, else the Rings
// folder of Windows.
const char16_t* ringtone_folder();

void assign_ringtone(const std::u16string& path);

// The same with the sound call already looked up (null when missing).
void assign_ringtone_through(const std::u16string& path, SndSetSoundProc set_sound);

}  // namespace app
