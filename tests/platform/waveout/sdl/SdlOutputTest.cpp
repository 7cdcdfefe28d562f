// The "sdl" device through SDL's own file-writing driver: the same callback path as a
// sound card, with what the card would have played landing in a file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/threads/Threads.h"
#include "platform/waveout/WaveOut.h"
#include "platform/window/Messages.h"
#include "tests/fixtures/TempDir.h"
#include "tests/platform/waveout/WaveOutProbe.h"

namespace {

using waveout_probe::Clock;
using waveout_probe::elapsed_ms;
using waveout_probe::next_message;
using waveout_probe::position;

TEST(SdlOutput, PlaysEveryBufferOnceInOrderThroughTheCard) {
    fixtures::TempDir dir;
    std::string raw = dir.file("card.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    setenv("VANTREL_AUDIO", "sdl", 1);
    platform::reload_device_profile();

    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = 44100;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // notifications need this thread's queue
    HWAVEOUT device = nullptr;
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD),
              MMSYSERR_NOERROR);
    ASSERT_TRUE(next_message(msg));
    EXPECT_EQ(msg.message, MM_WOM_OPEN);

    // Three buffers of 100 ms, samples 1, 2, 3... so the file shows order and no repeats.
    constexpr int kFrames = 2205;
    std::vector<std::vector<int16_t>> data(3, std::vector<int16_t>(kFrames));
    std::vector<WAVEHDR> headers(3);
    for (int b = 0; b < 3; ++b) {
        for (int i = 0; i < kFrames; ++i) {
            data[b][i] = static_cast<int16_t>(1 + b * kFrames + i);
        }
        headers[b].lpData = reinterpret_cast<char*>(data[b].data());
        headers[b].dwBufferLength = kFrames * 2;
    }
    auto start = Clock::now();
    for (WAVEHDR& header : headers) {
        ASSERT_EQ(waveOutPrepareHeader(device, &header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(device, &header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    for (WAVEHDR& header : headers) {
        ASSERT_TRUE(next_message(msg));
        EXPECT_EQ(msg.message, MM_WOM_DONE);
        EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(&header));
        EXPECT_LE(position(device), 3u * kFrames);
    }
    EXPECT_GE(elapsed_ms(start), 250);
    EXPECT_EQ(position(device), 3u * kFrames);
    ASSERT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    ASSERT_TRUE(next_message(msg));
    EXPECT_EQ(msg.message, MM_WOM_CLOSE);

    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> played(bytes.size() / 2);
    std::memcpy(played.data(), bytes.data(), played.size() * 2);
    size_t first = 0;
    while (first < played.size() && played[first] == 0) {
        ++first;  // the card plays silence until the first buffer comes
    }
    ASSERT_LE(first + 3 * kFrames, played.size());
    for (int i = 0; i < 3 * kFrames; ++i) {
        ASSERT_EQ(played[first + i], 1 + i) << i;
    }
    for (size_t i = first + 3 * kFrames; i < played.size(); ++i) {
        ASSERT_EQ(played[i], 0) << "only silence after the last buffer";
    }
}

}  // namespace
