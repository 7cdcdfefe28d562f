#pragma once
// Wave-out audio: waveOutOpen (the wave mapper, PCM, notifications posted to a thread),
// waveOutPrepareHeader, waveOutWrite, waveOutUnprepareHeader, waveOutReset, waveOutClose,
// waveOutGetPosition (TIME_SAMPLES) and waveOutSetVolume. The device behind them is
// chosen by VANTREL_AUDIO: "sdl" (the sound card), "null" (real-time pace, no sound) or
// "wav:PATH" (real-time pace, everything played recorded into a WAV file).
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/window/Messages.h"  // MM_WOM_OPEN, MM_WOM_DONE, MM_WOM_CLOSE

struct HWAVEOUT__;
using HWAVEOUT = HWAVEOUT__*;
using MMRESULT = UINT;
using DWORD_PTR = uintptr_t;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

constexpr UINT WAVE_MAPPER = 0xFFFFFFFF;
constexpr DWORD CALLBACK_NULL = 0x00000000;
constexpr DWORD CALLBACK_THREAD = 0x00020000;
constexpr WORD WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};

constexpr DWORD WHDR_DONE = 0x01;
constexpr DWORD WHDR_PREPARED = 0x02;
constexpr DWORD WHDR_INQUEUE = 0x10;

struct WAVEHDR {
    LPSTR lpData = nullptr;
    DWORD dwBufferLength = 0;
    DWORD dwBytesRecorded = 0;
    DWORD_PTR dwUser = 0;
    DWORD dwFlags = 0;
    DWORD dwLoops = 0;
    WAVEHDR* lpNext = nullptr;
    DWORD_PTR reserved = 0;
};

constexpr UINT TIME_SAMPLES = 0x0002;

struct MMTIME {
    UINT wType = 0;
    union {
        DWORD sample;
        DWORD ms;
        DWORD cb;
    } u = {0};
};

// Opens the wave mapper for a PCM format (8 or 16 bits, 1 or 2 channels). With
// CALLBACK_THREAD, dwCallback is the thread id that receives MM_WOM_OPEN, MM_WOM_DONE for
// each returned buffer (lParam: the header), and MM_WOM_CLOSE; wParam is the device.
MMRESULT waveOutOpen(HWAVEOUT* device, UINT device_id, const WAVEFORMATEX* format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags);
// Fails with WAVERR_STILLPLAYING while buffers are queued.
MMRESULT waveOutClose(HWAVEOUT device);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, UINT header_size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, UINT header_size);
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, UINT header_size);
// Stops at once and returns every queued buffer (each with its MM_WOM_DONE); the
// position starts again at 0.
MMRESULT waveOutReset(HWAVEOUT device);
// TIME_SAMPLES only: the sample frames heard since the open or the last reset.
MMRESULT waveOutGetPosition(HWAVEOUT device, MMTIME* time, UINT time_size);
// Left channel in the low word, right in the high word; 0xFFFF is full level.
MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);

namespace platform {

// How many wave-out devices are open now (for tests).
int wave_out_open_count();

// The files a "wav:PATH" device has recorded so far, in order: PATH, then PATH with
// "-2", "-3"... before its extension, a new one each time the format changes.
std::vector<std::string> wave_out_recordings();

}  // namespace platform
