#include "audio/PlayerPCM.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "audio/AudioFormat.h"
#include "platform/device/DeviceProfile.h"
#include "platform/threads/Threads.h"
#include "platform/waveout/WaveOut.h"
#include "base/Log.h"
#include "base/Registry.h"
#include "tests/fixtures/AudioFixtures.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/TempDir.h"

namespace {

using audio::AudioBlock;
using audio::PlayerPCM;
using Clock = std::chrono::steady_clock;

long elapsed_ms(Clock::time_point since) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

template <class Condition>
bool wait_until(Condition condition, long timeout_ms = 10000) {
    auto start = Clock::now();
    while (!condition()) {
        if (elapsed_ms(start) > timeout_ms) {
            return false;
        }
        Sleep(2);
    }
    return true;
}

struct Segment {
    int rate;
    int bits;
    int channels;
    int frames;
    int first;  // the first sample's value; each later sample counts up by one
};

// Bytes of a segment: samples counting up (16-bit wraps, 8-bit wraps at 256), so a loss
// or a repetition shows in the recording.
std::vector<char> segment_bytes(const Segment& s, int from_frame = 0, int frames = -1) {
    if (frames < 0) {
        frames = s.frames - from_frame;
    }
    std::vector<char> bytes;
    int bytes_per_sample = s.bits / 8;
    for (int f = from_frame; f < from_frame + frames; ++f) {
        for (int c = 0; c < s.channels; ++c) {
            int value = s.first + f * s.channels + c;
            if (bytes_per_sample == 2) {
                int16_t sample = static_cast<int16_t>(value);
                char raw[2];
                std::memcpy(raw, &sample, 2);
                bytes.insert(bytes.end(), raw, raw + 2);
            } else {
                bytes.push_back(static_cast<char>(value & 0xFF));
            }
        }
    }
    return bytes;
}

// A source that plays its segments in order, at most the asked frames per read.
class ScriptedSource : public audio::DataSource {
public:
    explicit ScriptedSource(std::vector<Segment> segments) : segments_(std::move(segments)) {}

    void read(AudioBlock& out, int frames) override {
        std::lock_guard guard(lock_);
        ++reads_;
        out = AudioBlock();
        while (segment_ < segments_.size() && offset_ >= segments_[segment_].frames) {
            ++segment_;
            offset_ = 0;
        }
        if (segment_ == segments_.size()) {
            return;
        }
        const Segment& s = segments_[segment_];
        int count = std::min(frames, s.frames - offset_);
        std::vector<char> bytes = segment_bytes(s, offset_, count);
        offset_ += count;
        out.buffer = skinner::SharedBuffer(static_cast<uint32_t>(bytes.size()), bytes.data());
        out.channels = s.channels;
        out.bits = s.bits;
        out.sample_rate = s.rate;
    }

    int reads() {
        std::lock_guard guard(lock_);
        return reads_;
    }

    // Goes to a frame of the first segment, as a reader's seek does.
    void seek(int frame) {
        std::lock_guard guard(lock_);
        segment_ = 0;
        offset_ = frame;
    }

private:
    std::mutex lock_;
    std::vector<Segment> segments_;
    size_t segment_ = 0;
    int offset_ = 0;
    int reads_ = 0;
};

std::vector<char> wav_data(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 44) {
        return {};
    }
    return std::vector<char>(bytes.begin() + 44, bytes.end());
}

class Player : public ::testing::Test {
protected:
    void SetUp() override { record_to(dir_.file("heard.wav")); }
    void TearDown() override { use_device("null"); }
    static void use_device(const std::string& kind) {
        setenv("VANTREL_AUDIO", kind.c_str(), 1);
        platform::reload_device_profile();
    }
    void record_to(const std::string& path) {
        path_ = path;
        use_device("wav:" + path);
    }
    std::string recording(int number) const {
        return number == 1 ? path_ : dir_.file("heard-" + std::to_string(number) + ".wav");
    }

    fixtures::DeviceRoot root_;  // the registry and the log stay inside the test
    fixtures::TempDir dir_;
    std::string path_;
};

// Everything the log files in the device's Temp folder hold, as narrow text.
std::string log_text(const fixtures::DeviceRoot& root) {
    std::string text;
    for (const auto& entry : std::filesystem::directory_iterator(root.host("Temp"))) {
        std::string bytes = fixtures::read_file(entry.path().string());
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text.push_back(bytes[i + 1] == 0 ? bytes[i] : '?');
        }
    }
    return text;
}

TEST_F(Player, EmptySourceFinishesWithoutOpeningADevice) {
    ScriptedSource empty({});
    PlayerPCM player;
    empty.connect(&player);
    EXPECT_TRUE(player.is_finished()) << "finished until the first play";
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(wait_until([&] { return player.is_finished(); }));
    EXPECT_GE(empty.reads(), 1);
    EXPECT_EQ(platform::wave_out_open_count(), 0);
    EXPECT_FALSE(std::filesystem::exists(path_));
    EXPECT_EQ(player.get_unplayed_samples(), 0);
    EXPECT_EQ(player.buffer_size(), 0);

    PlayerPCM unlinked;
    ASSERT_TRUE(unlinked.play());
    EXPECT_TRUE(wait_until([&] { return unlinked.is_finished(); }));
}

TEST_F(Player, BuffersHoldTwoHundredMillisecondsOfTheFormat) {
    struct Case {
        int rate, bits, channels;
        int bytes;
    };
    const Case cases[] = {
        {8000, 16, 1, 3200},  // 1600 frames
        {44100, 16, 2, 35280},
        {22050, 8, 1, 4410},
        {11025, 16, 2, 8820},
    };
    int number = 1;
    for (const Case& c : cases) {
        Segment segment{c.rate, c.bits, c.channels, c.rate / 4, 0};  // 250 ms
        ScriptedSource source({segment});
        PlayerPCM player;
        source.connect(&player);
        ASSERT_TRUE(player.play());
        ASSERT_TRUE(wait_until([&] { return player.is_finished(); })) << c.rate;
        EXPECT_EQ(player.buffer_size(), c.bytes) << c.rate;
        EXPECT_TRUE(wav_data(recording(number)) == segment_bytes(segment)) << c.rate;
        ++number;
    }
    EXPECT_TRUE(wait_until([] { return platform::wave_out_open_count() == 0; }));
}

TEST_F(Player, UnplayedCountFollowsTheDeviceAndIsNeverNegative) {
    Segment segment{8000, 16, 1, 8000, 0};  // 1 s
    ScriptedSource source({segment});
    PlayerPCM player;
    source.connect(&player);
    EXPECT_EQ(player.get_unplayed_samples(), 0);
    ASSERT_TRUE(player.play());
    int highest = 0;
    bool finished = false;
    auto start = Clock::now();
    while (!finished && elapsed_ms(start) < 10000) {
        finished = player.is_finished();
        int unplayed = player.get_unplayed_samples();
        ASSERT_GE(unplayed, 0);
        ASSERT_LE(unplayed, segment.frames);
        highest = std::max(highest, unplayed);
        Sleep(5);
    }
    ASSERT_TRUE(finished);
    EXPECT_GT(highest, 4000) << "the whole second is pulled at once";
    EXPECT_GE(elapsed_ms(start), 950);
    EXPECT_EQ(player.get_unplayed_samples(), 0);
    EXPECT_TRUE(wav_data(path_) == segment_bytes(segment));
}

// Also while draining: a source whose end is already in the device's buffers.
TEST_F(Player, StopWhilePlayingResetsClosesAndFinishes) {
    struct Case {
        const char* name;
        int seconds;
    };
    const Case cases[] = {{"playing", 20}, {"draining", 1}};
    int number = 0;
    for (const Case& c : cases) {
        record_to(dir_.file(std::string(c.name) + ".wav"));
        Segment segment{8000, 16, 1, 8000 * c.seconds, ++number};
        ScriptedSource source({segment});
        PlayerPCM player;
        source.connect(&player);
        ASSERT_TRUE(player.play());
        ASSERT_TRUE(wait_until([&] { return wav_data(path_).size() >= 2 * 1000; })) << c.name;
        EXPECT_FALSE(player.is_finished()) << c.name;
        auto stopped = Clock::now();
        ASSERT_TRUE(player.stop());
        EXPECT_TRUE(player.is_finished()) << c.name;
        ASSERT_TRUE(wait_until([] { return platform::wave_out_open_count() == 0; })) << c.name;
        EXPECT_LT(elapsed_ms(stopped), 300) << c.name << ": the queued audio is not played out";
        EXPECT_EQ(player.get_unplayed_samples(), 0) << c.name;
        size_t heard = wav_data(path_).size();
        EXPECT_LT(heard, 2u * 4000) << c.name;
        Sleep(100);
        EXPECT_EQ(wav_data(path_).size(), heard) << c.name << ": nothing plays after the stop";
        EXPECT_TRUE(wav_data(path_) == segment_bytes(segment, 0, static_cast<int>(heard / 2))) << c.name;
        EXPECT_TRUE(player.is_finished()) << c.name;
    }
}

uint16_t sample_at(const std::vector<char>& bytes, size_t index) {
    uint16_t value = 0;
    std::memcpy(&value, &bytes[2 * index], 2);
    return value;
}

// A play at once after a stop (as a new preview does, with a seek between): the old
// device's queue is dropped at once and playback goes on from the new position, every
// sample after it heard once and in order.
TEST_F(Player, PlayRightAfterStopReplacesTheDevice) {
    Segment segment{8000, 16, 1, 8000 * 8, 0};  // 16-bit mono: a sample's value is its frame
    ScriptedSource source({segment});
    PlayerPCM player;
    source.connect(&player);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(wait_until([&] { return wav_data(path_).size() >= 2 * 1600; }));
    for (int target : {40000, 12000, 30000}) {
        size_t heard = wav_data(path_).size() / 2;
        ASSERT_TRUE(player.stop());
        source.seek(target);
        ASSERT_TRUE(player.play());
        ASSERT_TRUE(wait_until([&] { return wav_data(path_).size() / 2 >= heard + 2400; })) << target;
        EXPECT_LE(platform::wave_out_open_count(), 1);
        // Well under the 1.2 s the old device held: a few milliseconds may pass before the
        // player thread takes the commands.
        std::vector<char> bytes = wav_data(path_);
        size_t jump = heard;
        while (jump < heard + 800 && sample_at(bytes, jump) != target) {
            ++jump;
        }
        ASSERT_EQ(sample_at(bytes, jump), target) << "the old queue kept playing";
        for (size_t i = jump; i < bytes.size() / 2; ++i) {
            ASSERT_EQ(sample_at(bytes, i), uint16_t(target + (i - jump))) << "sample " << i << " after " << target;
        }
    }
    EXPECT_FALSE(player.is_finished());
    ASSERT_TRUE(player.stop());
    ASSERT_TRUE(wait_until([] { return platform::wave_out_open_count() == 0; }));
}

TEST_F(Player, FormatChangeDrainsAndReopensWithoutFinishing) {
    Segment stereo{44100, 16, 2, 22050, 0};  // 0.5 s
    Segment mono{22050, 16, 1, 11025, 5000};
    ScriptedSource source({stereo, mono});
    PlayerPCM player;
    source.connect(&player);
    ASSERT_TRUE(player.play());
    ASSERT_TRUE(wait_until([&] { return player.is_finished(); }));
    // Finished only at the very end: both parts were heard completely by then.
    EXPECT_TRUE(wav_data(recording(1)) == segment_bytes(stereo));
    EXPECT_TRUE(wav_data(recording(2)) == segment_bytes(mono));
    EXPECT_TRUE(wait_until([] { return platform::wave_out_open_count() == 0; }));
}

TEST_F(Player, DeviceThatCannotOpenEndsThePlayAsFinished) {
    struct Case {
        const char* name;
        Segment segment;
        std::string device;
    };
    const Case cases[] = {
        {"24-bit samples", {8000, 24, 1, 8000, 0}, "null"},
        {"recording not writable", {8000, 16, 1, 8000, 0}, "wav:" + dir_.file("missing/heard.wav")},
    };
    std::filesystem::create_directories(root_.host("Temp"));
    ASSERT_TRUE(skinner::registry_write_dword(u"HKEY_CURRENT_USER\\Software\\ZEPH", u"Log", 1));
    for (const Case& c : cases) {
        use_device(c.device);
        ScriptedSource source({c.segment});
        PlayerPCM player;
        source.connect(&player);
        ASSERT_TRUE(player.play());
        EXPECT_TRUE(wait_until([&] { return player.is_finished(); }, 3000)) << c.name;
        EXPECT_EQ(player.get_unplayed_samples(), 0) << c.name;
        EXPECT_EQ(platform::wave_out_open_count(), 0) << c.name;
    }
    ASSERT_TRUE(skinner::registry_write_dword(u"HKEY_CURRENT_USER\\Software\\ZEPH", u"Log", 0));
    skinner::Log::instance();  // the switch is read at every message: this closes the file
    std::string log = log_text(root_);
    EXPECT_NE(log.find("ERROR: PlayerThread::open_device waveOutOpen failed 32\n"), std::string::npos) << log;
    EXPECT_NE(log.find("ERROR: PlayerThread::open_device waveOutOpen failed 1\n"), std::string::npos) << log;
}

// Everything the engine decodes from a file, pulled directly, as the player would.
struct Decoded {
    std::vector<char> bytes;
    int rate = 0;
    int channels = 0;
};

Decoded decode_directly(const std::u16string& path) {
    Decoded decoded;
    std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(path);
    if (!format) {
        return decoded;
    }
    audio::DataSink tail;
    format->get_source()->connect(&tail);
    for (;;) {
        AudioBlock block = tail.pull(16384);
        if (block.empty()) {
            break;
        }
        decoded.bytes.insert(decoded.bytes.end(), block.const_data(), block.const_data() + block.length());
        decoded.rate = block.sample_rate;
        decoded.channels = block.channels;
    }
    format->get_source()->connect(nullptr);
    return decoded;
}

std::vector<char> bytes_of(const std::vector<int16_t>& samples) {
    std::vector<char> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

// The recording holds exactly what the engine decodes; for PCM WAVE that is exactly the
// file's samples, as ffmpeg reads them.
TEST_F(Player, PlayingADecodedFileRecordsExactlyItsPcm) {
    struct Case {
        const char* name;
        fixtures::ToneSpec tone;
        int mp3_kbps;  // 0: a PCM WAVE file
    };
    const Case cases[] = {
        {"stereo.wav", {1.0, 44100, 2}, 0},
        {"mono.wav", {1.0, 8000, 1}, 0},
        {"stereo.mp3", {1.5, 44100, 2}, 128},
        {"mono.mp3", {1.0, 22050, 1}, 64},
    };
    int number = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string host = root_.host(c.name);
        if (c.mp3_kbps == 0) {
            ASSERT_TRUE(fixtures::make_wav(host, c.tone));
        } else {
            fixtures::Mp3Spec spec;
            spec.tone = c.tone;
            spec.kbps = c.mp3_kbps;
            ASSERT_TRUE(fixtures::make_mp3(host, spec));
        }
        Decoded expected = decode_directly(fixtures::device_path(c.name));
        ASSERT_GT(expected.bytes.size(), 0u);
        ASSERT_EQ(expected.rate, c.tone.sample_rate);
        if (c.mp3_kbps == 0) {
            fixtures::DecodedAudio reference = fixtures::decode_audio(host);
            ASSERT_TRUE(reference.ok);
            ASSERT_TRUE(bytes_of(reference.samples) == expected.bytes);
        }

        std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(fixtures::device_path(c.name));
        ASSERT_NE(format, nullptr);
        PlayerPCM player;
        format->get_source()->connect(&player);
        ASSERT_TRUE(player.play());
        ASSERT_TRUE(wait_until([&] { return player.is_finished(); }));
        format->get_source()->connect(nullptr);
        EXPECT_TRUE(wav_data(recording(number)) == expected.bytes)
            << wav_data(recording(number)).size() << " bytes heard of " << expected.bytes.size();
        ++number;
    }
}

TEST_F(Player, PushedBlockIsAFatalError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PlayerPCM player;
            player.on_data(AudioBlock());
        },
        ::testing::ExitedWithCode(static_cast<int>(skinner::gluck_exit_code)), "");
}

TEST_F(Player, DestroyingAPlayingPlayerClosesItsDevice) {
    Segment segment{22050, 16, 2, 22050 * 10, 0};
    ScriptedSource source({segment});
    {
        PlayerPCM player;
        source.connect(&player);
        ASSERT_TRUE(player.play());
        ASSERT_TRUE(wait_until([] { return platform::wave_out_open_count() == 1; }));
        Sleep(50);
    }
    EXPECT_EQ(platform::wave_out_open_count(), 0);
    EXPECT_EQ(source.downstream(), nullptr);
}

}  // namespace
