#include "platform/waveout/WaveOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Time.h"
#include "platform/threads/Threads.h"
#include "platform/window/Messages.h"
#include "tests/fixtures/TempDir.h"
#include "tests/platform/waveout/WaveOutProbe.h"

namespace {

using waveout_probe::Clock;
using waveout_probe::elapsed_ms;
using waveout_probe::next_message;
using waveout_probe::position;

WAVEFORMATEX pcm(DWORD rate, WORD bits, WORD channels) {
    WAVEFORMATEX f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    f.nAvgBytesPerSec = f.nBlockAlign * rate;
    return f;
}

// A buffer and its header; the bytes stay put while the device holds the header.
struct Buffer {
    explicit Buffer(std::vector<char> data) : bytes(std::move(data)) {
        header.lpData = bytes.data();
        header.dwBufferLength = static_cast<DWORD>(bytes.size());
    }
    Buffer(const Buffer&) = delete;
    std::vector<char> bytes;
    WAVEHDR header;
};

// 16-bit samples counting up from `first`, so any loss or repetition shows.
std::vector<char> ramp16(size_t samples, int16_t first) {
    std::vector<char> bytes(samples * 2);
    for (size_t i = 0; i < samples; ++i) {
        int16_t value = static_cast<int16_t>(first + static_cast<int16_t>(i));
        std::memcpy(&bytes[2 * i], &value, 2);
    }
    return bytes;
}

// Polls until the device's position reaches `frames` (it may take the pacing thread a
// few milliseconds to notice a step of the clock).
bool wait_position(HWAVEOUT device, DWORD frames, long timeout_ms = 3000) {
    auto start = Clock::now();
    while (position(device) < frames) {
        if (elapsed_ms(start) > timeout_ms) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

std::atomic<DWORD> manual_ticks{0};
DWORD manual_clock() {
    return manual_ticks.load();
}

struct WavFile {
    WORD channels = 0;
    DWORD rate = 0;
    WORD bits = 0;
    std::vector<char> data;
};

// Reads the plain 44-byte-header files the recorder writes.
WavFile read_wav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WavFile wav;
    if (bytes.size() < 44 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(&bytes[36], "data", 4) != 0) {
        return wav;
    }
    std::memcpy(&wav.channels, &bytes[22], 2);
    std::memcpy(&wav.rate, &bytes[24], 4);
    std::memcpy(&wav.bits, &bytes[34], 2);
    DWORD size = 0;
    std::memcpy(&size, &bytes[40], 4);
    EXPECT_EQ(size, bytes.size() - 44);
    wav.data.assign(bytes.begin() + 44, bytes.end());
    return wav;
}

class WaveOut : public ::testing::Test {
protected:
    void SetUp() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        use_device("null");
    }
    void TearDown() override {
        platform::set_tick_source(nullptr);
        use_device("null");
    }
    static void use_device(const std::string& kind) {
        setenv("VANTREL_AUDIO", kind.c_str(), 1);
        platform::reload_device_profile();
    }
    HWAVEOUT open(const WAVEFORMATEX& format) {
        HWAVEOUT device = nullptr;
        EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD),
                  MMSYSERR_NOERROR);
        MSG msg;
        EXPECT_TRUE(next_message(msg));
        EXPECT_EQ(msg.message, MM_WOM_OPEN);
        EXPECT_EQ(msg.wParam, reinterpret_cast<WPARAM>(device));
        return device;
    }
    static void submit(HWAVEOUT device, Buffer& buffer) {
        ASSERT_EQ(waveOutPrepareHeader(device, &buffer.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(device, &buffer.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    static void expect_done(HWAVEOUT device, Buffer& buffer) {
        MSG msg;
        ASSERT_TRUE(next_message(msg));
        EXPECT_EQ(msg.message, MM_WOM_DONE);
        EXPECT_EQ(msg.wParam, reinterpret_cast<WPARAM>(device));
        EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(&buffer.header));
        EXPECT_TRUE(buffer.header.dwFlags & WHDR_DONE);
        EXPECT_FALSE(buffer.header.dwFlags & WHDR_INQUEUE);
    }
    static void close(HWAVEOUT device) {
        ASSERT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
        MSG msg;
        ASSERT_TRUE(next_message(msg));
        EXPECT_EQ(msg.message, MM_WOM_CLOSE);
        EXPECT_EQ(msg.wParam, reinterpret_cast<WPARAM>(device));
    }
};

TEST_F(WaveOut, OpenRefusesWhatItCannotPlay) {
    struct Case {
        const char* name;
        UINT device_id;
        WAVEFORMATEX format;
        DWORD flags;
        MMRESULT expected;
    };
    WAVEFORMATEX not_pcm = pcm(8000, 16, 1);
    not_pcm.wFormatTag = 2;
    WAVEFORMATEX bad_align = pcm(8000, 16, 2);
    bad_align.nBlockAlign = 2;
    const Case cases[] = {
        {"second device", 1, pcm(8000, 16, 1), CALLBACK_THREAD, MMSYSERR_BADDEVICEID},
        {"coded format", WAVE_MAPPER, not_pcm, CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"24 bits", WAVE_MAPPER, pcm(8000, 24, 1), CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"three channels", WAVE_MAPPER, pcm(8000, 16, 3), CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"block align", WAVE_MAPPER, bad_align, CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"no rate", WAVE_MAPPER, pcm(0, 16, 1), CALLBACK_THREAD, WAVERR_BADFORMAT},
        {"window callback", WAVE_MAPPER, pcm(8000, 16, 1), 0x00010000, MMSYSERR_INVALFLAG},
        {"function callback", WAVE_MAPPER, pcm(8000, 16, 1), 0x00030000, MMSYSERR_INVALFLAG},
    };
    for (const Case& c : cases) {
        HWAVEOUT device = nullptr;
        EXPECT_EQ(waveOutOpen(&device, c.device_id, &c.format, GetCurrentThreadId(), 0, c.flags), c.expected)
            << c.name;
        EXPECT_EQ(device, nullptr) << c.name;
    }
    WAVEFORMATEX good = pcm(8000, 16, 1);
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &good, GetCurrentThreadId(), 0, CALLBACK_THREAD),
              MMSYSERR_INVALPARAM);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "a refused open posts nothing";

    use_device("bogus");
    HWAVEOUT device = nullptr;
    EXPECT_NE(waveOutOpen(&device, WAVE_MAPPER, &good, GetCurrentThreadId(), 0, CALLBACK_THREAD),
              MMSYSERR_NOERROR);
}

TEST_F(WaveOut, ReturnsBuffersInOrderAtTheirRealTimePace) {
    HWAVEOUT device = open(pcm(8000, 16, 1));
    Buffer a(ramp16(800, 0)), b(ramp16(800, 800)), c(ramp16(800, 1600));  // 100 ms each
    auto start = Clock::now();
    submit(device, a);
    submit(device, b);
    submit(device, c);
    EXPECT_LE(position(device), 800u * 3);
    expect_done(device, a);
    EXPECT_GE(elapsed_ms(start), 95);
    EXPECT_GE(position(device), 800u);
    expect_done(device, b);
    expect_done(device, c);
    long took = elapsed_ms(start);
    EXPECT_GE(took, 295);
    EXPECT_LT(took, 2000);
    EXPECT_EQ(position(device), 2400u);
    for (Buffer* buffer : {&a, &b, &c}) {
        EXPECT_EQ(waveOutUnprepareHeader(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        EXPECT_FALSE(buffer->header.dwFlags & WHDR_PREPARED);
    }
    close(device);
    EXPECT_EQ(waveOutWrite(device, &a.header, sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(device), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOut, PositionFollowsTheClockAndNeverRunsAhead) {
    manual_ticks = 1000;
    platform::set_tick_source(manual_clock);
    HWAVEOUT device = open(pcm(8000, 16, 1));
    Buffer second(ramp16(8000, 0));
    submit(device, second);
    Sleep(30);
    EXPECT_EQ(position(device), 0u) << "the clock has not moved";

    manual_ticks = 1250;
    ASSERT_TRUE(wait_position(device, 2000));
    Sleep(30);
    EXPECT_EQ(position(device), 2000u);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "nothing returned before its end";

    manual_ticks = 5000;  // far past the end: the position stops at what was written
    expect_done(device, second);
    EXPECT_EQ(position(device), 8000u);

    // After running dry the clock starts again with the next buffer.
    Buffer more(ramp16(800, 0));
    submit(device, more);
    Sleep(30);
    EXPECT_EQ(position(device), 8000u);
    manual_ticks = 5050;
    ASSERT_TRUE(wait_position(device, 8400));
    Sleep(20);
    EXPECT_EQ(position(device), 8400u);
    manual_ticks = 5100;
    expect_done(device, more);
    EXPECT_EQ(position(device), 8800u);
    close(device);
}

TEST_F(WaveOut, ResetReturnsEveryQueuedBufferAtOnce) {
    HWAVEOUT device = open(pcm(44100, 16, 2));
    std::vector<std::unique_ptr<Buffer>> buffers;
    for (int i = 0; i < 4; ++i) {
        buffers.push_back(std::make_unique<Buffer>(ramp16(2 * 44100, 0)));  // 1 s each
        submit(device, *buffers.back());
    }
    Buffer unprepared(ramp16(100, 0));
    EXPECT_EQ(waveOutWrite(device, &unprepared.header, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveOutWrite(device, &buffers[0]->header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(device, &buffers[0]->header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
    Sleep(50);

    auto start = Clock::now();
    ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    for (auto& buffer : buffers) {
        EXPECT_TRUE(buffer->header.dwFlags & WHDR_DONE);
        EXPECT_FALSE(buffer->header.dwFlags & WHDR_INQUEUE);
    }
    EXPECT_EQ(position(device), 0u);
    for (auto& buffer : buffers) {
        expect_done(device, *buffer);
    }
    EXPECT_LT(elapsed_ms(start), 500);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "each buffer returns once";
    for (auto& buffer : buffers) {
        EXPECT_EQ(waveOutUnprepareHeader(device, &buffer->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    close(device);
}

TEST_F(WaveOut, WithoutACallbackBuffersStillReturn) {
    HWAVEOUT device = nullptr;
    WAVEFORMATEX format = pcm(8000, 8, 1);
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    Buffer buffer(std::vector<char>(400, char(0x80)));
    submit(device, buffer);
    auto start = Clock::now();
    // The flag changes with the position, under the device's lock: once the position
    // has reached the end, the flag can be read.
    ASSERT_TRUE(wait_position(device, 400));
    EXPECT_GE(elapsed_ms(start), 45);
    EXPECT_TRUE(buffer.header.dwFlags & WHDR_DONE);
    EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WaveOut, WavDeviceRecordsWhatWasPlayedOneFilePerFormat) {
    fixtures::TempDir dir;
    std::string path = dir.file("heard.wav");
    use_device("wav:" + path);

    // Stereo 22050 Hz in two buffers, the second with a stray byte that is no frame.
    HWAVEOUT device = open(pcm(22050, 16, 2));
    Buffer a(ramp16(2 * 1000, 0));
    std::vector<char> tail = ramp16(2 * 500, 2000);
    tail.push_back(42);
    Buffer b(tail);
    submit(device, a);
    submit(device, b);
    expect_done(device, a);
    expect_done(device, b);
    close(device);

    // Mono at half volume goes to the next file.
    device = open(pcm(8000, 16, 1));
    ASSERT_EQ(waveOutSetVolume(device, 0x80008000), MMSYSERR_NOERROR);
    Buffer quiet(ramp16(400, 1000));
    submit(device, quiet);
    expect_done(device, quiet);
    close(device);

    // The first format again: a third file, as the formats are recorded in order.
    device = open(pcm(22050, 16, 2));
    Buffer again(ramp16(2 * 300, 7));
    submit(device, again);
    expect_done(device, again);
    close(device);

    std::vector<std::string> files = platform::wave_out_recordings();
    ASSERT_EQ(files, (std::vector<std::string>{path, dir.file("heard-2.wav"), dir.file("heard-3.wav")}));

    WavFile first = read_wav(files[0]);
    EXPECT_EQ(first.channels, 2);
    EXPECT_EQ(first.rate, 22050u);
    EXPECT_EQ(first.bits, 16);
    std::vector<char> expected = ramp16(2 * 1500, 0);
    EXPECT_TRUE(first.data == expected) << "recorded " << first.data.size() << " bytes";

    WavFile second = read_wav(files[1]);
    EXPECT_EQ(second.channels, 1);
    EXPECT_EQ(second.rate, 8000u);
    ASSERT_EQ(second.data.size(), 800u);
    for (size_t i = 0; i < 400; ++i) {
        int16_t sample = 0;
        std::memcpy(&sample, &second.data[2 * i], 2);
        EXPECT_EQ(sample, static_cast<int16_t>((1000 + i) * 0x8000 / 0xFFFF)) << i;
    }

    EXPECT_TRUE(read_wav(files[2]).data == ramp16(2 * 300, 7));
}

TEST_F(WaveOut, WavDeviceRecordsOnlyWhatWasHeardBeforeAReset) {
    fixtures::TempDir dir;
    std::string path = dir.file("cut.wav");
    use_device("wav:" + path);
    manual_ticks = 0;
    platform::set_tick_source(manual_clock);
    HWAVEOUT device = open(pcm(8000, 16, 1));
    Buffer buffer(ramp16(8000, 0));
    submit(device, buffer);
    manual_ticks = 250;
    ASSERT_TRUE(wait_position(device, 2000));
    ASSERT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    expect_done(device, buffer);
    close(device);
    EXPECT_TRUE(read_wav(path).data == ramp16(2000, 0));
}

TEST_F(WaveOut, WavDeviceThatCannotWriteFailsTheOpen) {
    use_device("wav:/nonexistent-folder/x.wav");
    HWAVEOUT device = nullptr;
    WAVEFORMATEX format = pcm(8000, 16, 1);
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, GetCurrentThreadId(), 0, CALLBACK_THREAD), MMSYSERR_ERROR);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

// With a sound card this plays 0.3 s of near silence; without one it falls back to the
// null device. Either way the buffers come back in order and the position ends right.
TEST_F(WaveOut, SdlDevicePlaysOrFallsBackToNull) {
    use_device("sdl");
    HWAVEOUT device = open(pcm(22050, 16, 1));
    Buffer a(std::vector<char>(2 * 3307, 0)), b(std::vector<char>(2 * 3307, 0));
    auto start = Clock::now();
    submit(device, a);
    submit(device, b);
    expect_done(device, a);
    expect_done(device, b);
    EXPECT_GE(elapsed_ms(start), 280);
    EXPECT_EQ(position(device), 2u * 3307);
    close(device);
}

}  // namespace
