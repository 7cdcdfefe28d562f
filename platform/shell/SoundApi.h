#pragma once
// The shell's sound API as the program looks it up by name ("SndSetSound" in "aygshell.dll");
// this platform's shell library does not export it, so callers take their fallback.
#include "platform/Types.h"

using HRESULT = int32_t;

constexpr int SND_EVENT_RINGTONELINE1 = 1;
constexpr int SND_SOUNDTYPE_FILE = 1;

struct SNDFILEINFO {
    WCHAR szPathName[MAX_PATH];
    WCHAR szDisplayName[MAX_PATH];
    int sstType;
};

using SndSetSoundProc = HRESULT (*)(int sound_event, const SNDFILEINFO* info, BOOL suppress_ui);
