#include "audio/FileReaderMP3.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/AudioFormatMP3.h"
#include "audio/DecoderMP3.h"
#include "audio/PcmSamples.h"
#include "audio/SpanConverter.h"
#include "tests/audio/support/WaveBytes.h"
#include "tests/fixtures/AudioFixtures.h"

using audio::AudioBlock;
using fixtures::Mp3Spec;

namespace {

// Pulls everything a format delivers; sample frames and blocks seen.
struct Drained {
    int64_t frames = 0;
    int blocks = 0;
    int channels = 0;
    int rate = 0;
};

Drained drain(audio::AudioFormat& format) {
    class Tail : public audio::DataSink {
    } tail;
    format.get_source()->connect(&tail);
    Drained drained;
    for (;;) {
        AudioBlock block = tail.pull(16384);
        if (block.empty()) {
            break;
        }
        drained.frames += block.frame_count();
        drained.blocks++;
        drained.channels = block.channels;
        drained.rate = block.sample_rate;
    }
    format.get_source()->connect(nullptr);
    return drained;
}

// Runs work on another thread and fails (ending the program) if it never returns.
template <class Work>
auto within_seconds(int seconds, Work work) {
    auto future = std::async(std::launch::async, work);
    if (future.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready) {
        ADD_FAILURE() << "no end after " << seconds << " s";
        std::abort();
    }
    return future.get();
}

int packet_count(const std::string& path) {
    std::string command = "ffprobe -v error -count_packets -select_streams a:0 -show_entries stream=nb_read_packets "
                          "-of csv=p=0 '" + path + "' > '" + path + ".count'";
    if (fixtures::run_command(command) != 0) {
        return -1;
    }
    std::vector<uint8_t> text = fixtures::read_bytes(path + ".count");
    return std::atoi(std::string(text.begin(), text.end()).c_str());
}

}  // namespace

TEST(FileReaderMP3, OpensWhatLameMakes) {
    fixtures::DeviceRoot root;
    struct Case {
        const char* name;
        Mp3Spec spec;
    } cases[] = {
        {"mono22.mp3", {{3.0, 22050, 1}, 64}},
        {"stereo44.mp3", {{3.0, 44100, 2}, 128}},
        {"stereo48.mp3", {{3.0, 48000, 2}, 192}},
        {"vbr44.mp3", {{3.0, 44100, 2, 16, 200, 4000}, 32, true}},
        {"tagged.mp3", {{3.0, 44100, 1}, 96, false, "A title", true}},
        {"v2only.mp3", {{3.0, 44100, 2}, 128, false, "", true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fixtures::make_mp3(root.host(c.name), c.spec));
        fixtures::ProbedAudio probed = fixtures::probe_audio(root.host(c.name));
        std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(fixtures::device_path(c.name));
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->get_name(), u"mp3");
        audio::AudioReader* reader = format->get_reader();
        EXPECT_EQ(reader->get_channels(), probed.channels);
        EXPECT_EQ(reader->get_sample_rate(), probed.sample_rate);
        EXPECT_EQ(reader->get_bits(), 16);
        if (!c.spec.vbr) {
            EXPECT_EQ(reader->get_bitrate(), c.spec.kbps * 1000);
        }
        // Timed through lame's header frame: within a frame of the source, VBR or not.
        const int samples_per_frame = probed.sample_rate >= 32000 ? 1152 : 576;
        EXPECT_NEAR(reader->get_duration(), c.spec.tone.seconds, static_cast<double>(samples_per_frame) / probed.sample_rate);

        Drained drained = drain(*format);
        EXPECT_EQ(drained.channels, probed.channels);
        EXPECT_EQ(drained.rate, probed.sample_rate);
        // Every frame decodes, the last one too; lame's own first frame holds its header, no audio.
        int packets = packet_count(root.host(c.name));
        EXPECT_EQ(drained.frames, int64_t{packets} * samples_per_frame);
        EXPECT_TRUE(reader->at_end());
    }
}

TEST(FileReaderMP3, TitleFromTagElseFileName) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("a.mp3"), {{1.0, 22050, 1}, 32}));
    ASSERT_TRUE(fixtures::make_mp3(root.host("b.mp3"), {{1.0, 22050, 1}, 32, false, "Ring ring"}));
    EXPECT_EQ(audio::AudioFormat::create_for_file(fixtures::device_path("a.mp3"))->get_title(), u"a.mp3");
    EXPECT_EQ(audio::AudioFormat::create_for_file(fixtures::device_path("b.mp3"))->get_title(), u"Ring ring");
}

TEST(FileReaderMP3, WithoutAnEncodersHeaderTimesGoThroughEveryFrame) {
    // Without an encoder's header (-t) the first frame is audio, and time 0 its first sample.
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("t.mp3"), {.tone = {3.0, 44100, 2}, .kbps = 128, .extra_lame_options = "-t"}));
    audio::FileReaderMP3 reader(fixtures::device_path("t.mp3"));
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.get_bitrate(), 128000);
    // 2 s are 76.5625 frames of 417 or 418 bytes.
    EXPECT_NEAR(reader.seconds_to_position(2.0), 76.5625 * 417.96, 2.0);
    EXPECT_NEAR(reader.position_to_seconds(reader.seconds_to_position(2.0)), 2.0, 1.0 / 44100);
    EXPECT_EQ(reader.seconds_to_position(-1.0), 0);
    reader.set_time(1.0);
    EXPECT_EQ(reader.get_position(), reader.seconds_to_position(1.0));
    reader.seek(1 << 30);
    EXPECT_EQ(reader.get_position(), reader.get_length());
    EXPECT_TRUE(reader.at_end());
    reader.seek(0);
    EXPECT_FALSE(reader.at_end());
    // The first read after a seek resyncs on a real frame.
    AudioBlock block;
    reader.read(block, 0);
    ASSERT_GE(block.length(), 4u);
    audio::Mp3FrameInfo info;
    EXPECT_TRUE(audio::parse_mp3_frame_header(block.const_data(), info));
    EXPECT_EQ(info.sample_rate, 44100);
}

TEST(FileReaderMP3, PushesUnitsAndTimeSpans) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("p.mp3"), {{3.0, 44100, 1}, 64}));
    audio::FileReaderMP3 reader(fixtures::device_path("p.mp3"));
    ASSERT_TRUE(reader.is_open());
    class Count : public audio::DataSink {
    public:
        int blocks = 0;
        void on_data(const AudioBlock&) override { ++blocks; }
    } sink;
    reader.connect(&sink);
    EXPECT_TRUE(reader.push_units(5000));
    EXPECT_GE(reader.get_position(), 5000);
    EXPECT_LT(reader.get_position(), 5000 + 2 * 209);
    EXPECT_TRUE(reader.push_time_span(1.0));
    EXPECT_NEAR(reader.get_current_time(), 5000 / 8000.0 + 1.0, 0.05);
    EXPECT_FALSE(reader.push_time_span(100.0));  // the data ran out
    EXPECT_TRUE(reader.at_end());
    int blocks = sink.blocks;
    EXPECT_FALSE(reader.push_units(1000));
    EXPECT_EQ(sink.blocks, blocks);
    reader.connect(nullptr);
}

TEST(FileReaderMP3, SkipsLeadingId3v2TagWithFalseHeaders) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("real.mp3"), {{2.0, 44100, 2}, 128}));
    std::vector<uint8_t> audio_bytes = fixtures::read_bytes(root.host("real.mp3"));
    // A tag whose body holds a run of consistent MPEG-2 headers, 208 bytes apart.
    std::vector<uint8_t> body(4000, 0);
    for (size_t at = 100; at + 4 < body.size(); at += 208) {
        const uint8_t h[4] = {0xFF, 0xF3, 0x80, 0xC4};
        std::memcpy(body.data() + at, h, 4);
    }
    std::vector<uint8_t> file = {'I', 'D', '3', 3, 0, 0};
    uint32_t size = static_cast<uint32_t>(body.size());
    for (int shift : {21, 14, 7, 0}) {
        file.push_back(static_cast<uint8_t>((size >> shift) & 0x7F));
    }
    file.insert(file.end(), body.begin(), body.end());
    file.insert(file.end(), audio_bytes.begin(), audio_bytes.end());
    fixtures::write_bytes(root.host("tagged.mp3"), file);

    std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(fixtures::device_path("tagged.mp3"));
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->get_reader()->get_sample_rate(), 44100);
    EXPECT_EQ(format->get_reader()->get_bitrate(), 128000);
    Drained drained = drain(*format);
    EXPECT_EQ(drained.rate, 44100);
    EXPECT_EQ(drained.channels, 2);
}

TEST(FileReaderMP3, LayerTwoAtLowRatesOpens) {
    fixtures::DeviceRoot root;
    std::string command = "ffmpeg -v error -y -f lavfi -i sine=frequency=440:sample_rate=22050:duration=2 -c:a mp2 "
                          "-b:a 64k -f mp2 '" + root.host("low.mp2") + "'";
    ASSERT_EQ(fixtures::run_command(command), 0);
    std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(fixtures::device_path("low.mp2"));
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->get_reader()->get_sample_rate(), 22050);
    Drained drained = drain(*format);
    EXPECT_NEAR(static_cast<double>(drained.frames), 2.0 * 22050, 2 * 1152);
}

TEST(FileReaderMP3, BrokenInputsEndCleanly) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("good.mp3"), {{4.0, 44100, 2}, 128, false, "t"}));
    std::vector<uint8_t> good = fixtures::read_bytes(root.host("good.mp3"));
    ASSERT_GT(good.size(), 40000u);

    std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2) + 123);
    std::vector<uint8_t> garbage = good;
    for (size_t i = good.size() / 3; i < good.size() / 3 + 9000; ++i) {
        garbage[i] = static_cast<uint8_t>(i * 7919u >> 3);
    }
    std::vector<uint8_t> id3_only(good.end() - 128, good.end());
    std::vector<uint8_t> noise(50000);
    for (size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    }
    std::vector<uint8_t> headers_only;
    for (int i = 0; i < 50; ++i) {
        headers_only.insert(headers_only.end(), {0xFF, 0xFB, 0x90, 0x00});
    }
    std::vector<uint8_t> tail_cut(good.begin(), good.end() - 128 - 200);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool opens;
    } cases[] = {
        {"empty.mp3", {}, false},
        {"id3only.mp3", id3_only, false},
        {"noise.mp3", noise, false},
        {"headers.mp3", headers_only, false},
        {"truncated.mp3", truncated, true},
        {"garbage.mp3", garbage, true},
        {"tailcut.mp3", tail_cut, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::write_bytes(root.host(c.name), c.bytes);
        std::u16string path = fixtures::device_path(c.name);
        within_seconds(60, [&] {
            std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(path);
            EXPECT_EQ(format != nullptr, c.opens);
            if (format != nullptr) {
                Drained drained = drain(*format);
                EXPECT_GT(drained.frames, 0);
                EXPECT_TRUE(format->get_reader()->at_end());
                // Pushing past the end makes no progress and says so.
                format->get_reader()->seek(0);
                while (format->get_reader()->push_units(5000)) {
                }
                EXPECT_TRUE(format->get_reader()->at_end());
            }
            return 0;
        });
    }
}

TEST(FileReaderMP3, EveryTruncationOpensOrRefusesCleanly) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("short.mp3"),
                                   {.tone = {.seconds = 0.5, .sample_rate = 22050}, .kbps = 32, .id3v1_title = "t",
                                    .id3v2 = true}));
    std::vector<uint8_t> whole = fixtures::read_bytes(root.host("short.mp3"));
    for (size_t cut = 0; cut <= whole.size(); cut += 97) {
        std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(cut));
        fixtures::write_bytes(root.host("cut.mp3"), part);
        std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(fixtures::device_path("cut.mp3"));
        if (format != nullptr) {
            Drained drained = drain(*format);
            EXPECT_TRUE(format->get_reader()->at_end()) << cut;
            EXPECT_LE(drained.frames, 22050) << cut;
        }
    }
}

TEST(FileReaderMP3, SeeksWhileAnotherThreadPulls) {
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("play.mp3"), {.tone = {.seconds = 6.0, .channels = 2}, .kbps = 128}));
    std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(fixtures::device_path("play.mp3"));
    ASSERT_NE(format, nullptr);
    class Tail : public audio::DataSink {
    } player;
    format->get_source()->connect(&player);
    std::atomic<bool> done{false};
    std::atomic<int64_t> pulled{0};
    std::thread pulling([&] {
        while (!done) {
            AudioBlock block = player.pull(16384);
            if (!block.empty()) {
                EXPECT_EQ(block.channels, 2);
                EXPECT_EQ(block.sample_rate, 44100);
                pulled += block.frame_count();
            }
        }
    });
    audio::AudioReader* reader = format->get_reader();
    for (int i = 0; i < 200; ++i) {
        reader->seek((i * 7919) % reader->get_length());
        format->reset();
        EXPECT_GE(reader->get_position(), 0);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    done = true;
    pulling.join();
    EXPECT_GT(pulled.load(), 0);
    format->get_source()->connect(nullptr);
}

TEST(FileReaderMP3, FramesOfEveryBitRateAreTimedWithoutAnEncodersHeader) {
    // A few 320 kbit/s frames in front of a long 64 kbit/s stream: every frame counts the same
    // time whatever its bit rate, so neither the first frame's rate nor an average times it.
    fixtures::DeviceRoot root;
    auto make = [&](const std::string& name, double seconds, int kbps) {
        return fixtures::make_mp3(root.host(name), {.tone = {.seconds = seconds}, .kbps = kbps, .extra_lame_options = "-t"});
    };
    ASSERT_TRUE(make("head.mp3", 0.1, 320));
    ASSERT_TRUE(make("short.mp3", 15.0, 64));
    ASSERT_TRUE(make("long.mp3", 125.0, 64));
    std::vector<uint8_t> head = fixtures::read_bytes(root.host("head.mp3"));
    const int head_packets = packet_count(root.host("head.mp3"));
    for (const char* body : {"short.mp3", "long.mp3"}) {
        SCOPED_TRACE(body);
        std::vector<uint8_t> file = head;
        std::vector<uint8_t> rest = fixtures::read_bytes(root.host(body));
        file.insert(file.end(), rest.begin(), rest.end());
        fixtures::write_bytes(root.host("joined.mp3"), file);
        const int packets = packet_count(root.host("joined.mp3"));
        const double seconds = packets * 1152.0 / 44100;
        audio::FileReaderMP3 reader(fixtures::device_path("joined.mp3"));
        ASSERT_TRUE(reader.is_open());
        EXPECT_DOUBLE_EQ(reader.get_duration(), seconds);
        EXPECT_NEAR(reader.get_bitrate(), file.size() * 8.0 / seconds, 1000);
        // The head's end lies as many frames in as it has.
        EXPECT_NEAR(reader.position_to_seconds(static_cast<int>(head.size())), head_packets * 1152.0 / 44100, 1e-9);
        EXPECT_EQ(reader.get_position(), 0);
    }
}

namespace {

// A source whose loudness keeps changing (so a variable bit rate does too), with short 1 kHz
// marks at known times, louder than anything else but not so loud that decoding clips them.
std::vector<uint8_t> marked_noise(double seconds, int rate, int channels, const std::vector<double>& marks) {
    const double levels[] = {0.08, 0.2, 0.02, 0.18, 0.12, 0.15};
    const int frames = static_cast<int>(seconds * rate);
    std::vector<uint8_t> data(static_cast<size_t>(frames) * channels * 2);
    uint32_t random = 12345;
    double smooth[2] = {0, 0};
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        double mark_value = 0;
        bool in_mark = false;
        for (double mark : marks) {
            if (t >= mark && t < mark + 0.025) {
                mark_value = 0.6 * std::sin(2 * M_PI * 1000.0 * (t - mark));
                in_mark = true;
            }
        }
        for (int c = 0; c < channels; ++c) {
            // Each channel its own noise, so that stereo costs what stereo costs.
            random = random * 1664525u + 1013904223u;
            smooth[c] = 0.2 * smooth[c] + 0.8 * (static_cast<double>(random >> 8) / (1 << 23) - 1.0);
            const double v = in_mark ? mark_value : levels[static_cast<int>(t / 0.7) % 6] * smooth[c];
            audio::write_s16(data.data() + (static_cast<size_t>(i) * channels + c) * 2, static_cast<int16_t>(v * 32767));
        }
    }
    return fixtures::riff_wave({{"fmt ", fixtures::fmt_common(1, static_cast<uint16_t>(channels), static_cast<uint32_t>(rate),
                                                              static_cast<uint16_t>(2 * channels), 16).b},
                                {"data", data}});
}

struct SpanOutcome {
    double onset = -1;  // seconds into the converted file of the first loud sample
    int64_t frames = 0;
    int kbps = 0;
};

SpanOutcome convert_span(const fixtures::DeviceRoot& root, const std::string& source, double start, double finish) {
    SpanOutcome outcome;
    audio::SpanConverter converter(fixtures::device_path(source), fixtures::device_path("span.mp3"));
    converter.set_span_seconds(start, finish);
    if (converter.convert() != audio::ConversionResult::done) {
        ADD_FAILURE() << source << " " << start;
        return outcome;
    }
    outcome.frames = converter.get_frames_encoded();
    outcome.kbps = converter.get_output_bitrate() / 1000;
    fixtures::DecodedAudio decoded = fixtures::decode_audio(root.host("span.mp3"));
    for (size_t i = 0; i < decoded.samples.size(); ++i) {
        if (std::abs(int{decoded.samples[i]}) > 0.55 * 32768) {
            outcome.onset = static_cast<double>(i) / decoded.sample_rate;
            break;
        }
    }
    return outcome;
}

}  // namespace

TEST(FileReaderMP3, VbrSpansStartAndEndAtTheAskedTimes) {
    // Each span starts 0.4 s before a mark: the mark must come as far into the converted span as
    // it does when the same span is cut from the uncompressed source.
    fixtures::DeviceRoot root;
    struct Case {
        const char* name;
        int rate, channels;
        double seconds;
        const char* lame;
        std::vector<double> marks;
        // A file without an encoder's header begins with its encoder's and decoder's delay,
        // which it does not state (lame's: 576 + 529 samples); it also pads its last frame.
        bool headerless = false;
        // Bytes of a leading ID3v2 tag whose stated size ends that far into the first frame.
        int damaged_tag = 0;
    } cases[] = {
        {"v2_44_stereo.mp3", 44100, 2, 12.0, "-V 2", {2.31, 9.07}},
        {"v4_44_stereo_t.mp3", 44100, 2, 3.0, "-V 4 -t", {0.6, 2.1}, true},
        {"v0_44_stereo_t_long.mp3", 44100, 2, 60.0, "-V 0 -t", {40.4, 46.1}, true},
        {"v4_22_mono_t.mp3", 22050, 1, 8.0, "-V 4 -t", {3.3, 6.9}, true},
        {"v4_44_stereo_bad_tag.mp3", 44100, 2, 12.0, "-V 4", {2.31, 9.07}, false, 100},
        {"v5_48_mono_id3.mp3", 48000, 1, 12.0, "-V 5 --tt t --add-id3v2", {1.13, 10.42}},
        {"v0_48_stereo.mp3", 48000, 2, 3.0, "-V 0", {0.52, 1.61}},
        {"v4_44_mono_long.mp3", 44100, 1, 60.0, "-V 4 --tt t --id3v2-only", {33.3, 57.9}},
        {"v4_44_stereo_long.mp3", 44100, 2, 180.0, "-V 4", {95.55, 170.3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string wav = std::string(c.name) + ".wav";
        fixtures::write_bytes(root.host(wav), marked_noise(c.seconds, c.rate, c.channels, c.marks));
        ASSERT_EQ(fixtures::run_command("lame --quiet " + std::string(c.lame) + " '" + root.host(wav) + "' '" +
                                        root.host(c.name) + "'"),
                  0);
        if (c.damaged_tag > 0) {
            // A 2000-byte tag that says it is 100 bytes longer: it ends inside the Info frame.
            std::vector<uint8_t> file = {'I', 'D', '3', 3, 0, 0};
            const uint32_t size = 2000 + static_cast<uint32_t>(c.damaged_tag);
            for (int shift : {21, 14, 7, 0}) file.push_back(static_cast<uint8_t>((size >> shift) & 0x7F));
            file.resize(10 + 2000, 0);
            const std::vector<uint8_t> stream = fixtures::read_bytes(root.host(c.name));
            file.insert(file.end(), stream.begin(), stream.end());
            fixtures::write_bytes(root.host(c.name), file);
        }
        const int samples_per_frame = c.rate < 32000 ? 576 : 1152;
        const double delay = c.headerless ? (576 + 529.0) / c.rate : 0.0;
        {
            audio::FileReaderMP3 reader(fixtures::device_path(c.name));
            ASSERT_TRUE(reader.is_open());
            // A file without a header: its delay and up to a frame of padding at its end.
            const double padding = c.headerless ? (0.5 * samples_per_frame) / c.rate : 0.0;
            EXPECT_NEAR(reader.get_duration(), c.seconds + delay + padding, (c.headerless ? 0.6 : 1.0) * samples_per_frame / c.rate);
            // ffprobe estimates the rate of a file without a header from its first frames.
            const double bit_rate = c.headerless ? fixtures::read_bytes(root.host(c.name)).size() * 8 / reader.get_duration()
                                                 : fixtures::probe_audio(root.host(c.name)).bit_rate;
            EXPECT_NEAR(reader.get_bitrate(), bit_rate, bit_rate * 0.03);
        }
        for (double mark : c.marks) {
            SCOPED_TRACE(mark);
            const double start = mark - 0.4;
            const double finish = std::min(mark + 1.1, c.seconds);
            SpanOutcome expected = convert_span(root, wav, start, finish);
            SpanOutcome got = convert_span(root, c.name, start, finish);
            ASSERT_GT(expected.onset, 0);
            ASSERT_GT(got.onset, 0);
            ASSERT_EQ(got.kbps, expected.kbps);  // the same encoder settings, so the same delay
            const double start_error = expected.onset + delay - got.onset;
            const double length_error = static_cast<double>(got.frames - expected.frames) / c.rate;
            EXPECT_LT(std::abs(start_error), 0.030);
            EXPECT_LT(std::abs(start_error + length_error), 0.030);  // the end
            EXPECT_LE(std::abs(got.frames - expected.frames), samples_per_frame);
        }
    }
}

TEST(FileReaderMP3, AfterASeekTheAudioIsThatOfTheWholeStream) {
    // The frames before the target come first, their samples marked to be dropped, so that the
    // decoder has the bits the target's frame takes from them: from the target on, the samples
    // are those of a decode from the start, also when the target lies inside a frame.
    fixtures::DeviceRoot root;
    struct Case {
        const char* name;
        Mp3Spec spec;
    } cases[] = {
        {"vbr.mp3", {.tone = {4.0, 44100, 2, 16, 300, 5000}, .kbps = 32, .vbr = true}},
        {"cbr.mp3", {.tone = {4.0, 44100, 2, 16, 300, 5000}, .kbps = 128, .extra_lame_options = "-t"}},
        {"low.mp3", {.tone = {4.0, 22050, 1, 16, 300, 5000}, .kbps = 32, .extra_lame_options = "-t"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fixtures::make_mp3(root.host(c.name), c.spec));
        audio::FileReaderMP3 reader(fixtures::device_path(c.name));
        ASSERT_TRUE(reader.is_open());
        // Every frame of a decode from the start, with where it starts.
        std::vector<int> starts;
        std::vector<std::vector<uint8_t>> decoded;
        {
            audio::DecoderMP3 decoder;
            for (;;) {
                int at = reader.get_position();
                AudioBlock block;
                reader.read(block, 0);
                if (block.empty()) {
                    break;
                }
                EXPECT_EQ(block.drop_frames, 0);
                AudioBlock pcm = decoder.convert(block);
                starts.push_back(at);
                decoded.emplace_back(pcm.const_data(), pcm.const_data() + pcm.length());
            }
        }
        ASSERT_GT(starts.size(), 100u);
        const size_t frame_bytes = 2 * static_cast<size_t>(reader.get_channels());
        for (size_t k : {size_t{1}, size_t{37}, starts.size() / 2, starts.size() - 3}) {
            for (bool inside : {false, true}) {
                SCOPED_TRACE(std::to_string(k) + (inside ? " inside" : ""));
                const int length = starts[k + 1] - starts[k];
                const int target = starts[k] + (inside ? length / 2 : 0);
                const size_t dropped = inside ? frame_bytes * static_cast<size_t>(std::lround(
                                                                  (length / 2) * (decoded[k].size() / frame_bytes) /
                                                                  static_cast<double>(length)))
                                              : 0;
                audio::DecoderMP3 decoder;
                reader.seek(target);
                EXPECT_EQ(reader.get_position(), target);
                int priming = 0;
                AudioBlock pcm;
                for (;;) {
                    AudioBlock block;
                    reader.read(block, 0);
                    ASSERT_FALSE(block.empty());
                    pcm = decoder.convert(block);
                    if (!pcm.empty()) {
                        break;
                    }
                    ++priming;
                }
                EXPECT_GE(priming, 1);
                EXPECT_GT(reader.get_position(), target);
                const std::vector<uint8_t> expected(decoded[k].begin() + static_cast<std::ptrdiff_t>(dropped), decoded[k].end());
                EXPECT_TRUE(std::vector<uint8_t>(pcm.const_data(), pcm.const_data() + pcm.length()) == expected);
            }
        }
    }
}

TEST(FileReaderMP3, VbriHeaderFrameIsNoAudio) {
    // A header in the layout of another encoder in front of a stream without lame's own: it
    // gives no encoder delay, so the length is that of the frames.
    fixtures::DeviceRoot root;
    ASSERT_TRUE(fixtures::make_mp3(root.host("plain.mp3"),
                                   {.tone = {3.0, 44100, 2, 16, 300, 5000}, .kbps = 32, .vbr = true, .extra_lame_options = "-t"}));
    std::vector<uint8_t> plain = fixtures::read_bytes(root.host("plain.mp3"));
    const int packets = packet_count(root.host("plain.mp3"));
    audio::Mp3FrameInfo first;
    ASSERT_TRUE(audio::parse_mp3_frame_header(plain.data(), first));
    std::vector<uint8_t> header(static_cast<size_t>(first.frame_length), 0);
    std::memcpy(header.data(), plain.data(), 4);
    auto be32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
    };
    std::memcpy(header.data() + 36, "VBRI", 4);
    be32(46, static_cast<uint32_t>(plain.size() + header.size()));
    be32(50, static_cast<uint32_t>(packets));
    std::vector<uint8_t> file = header;
    file.insert(file.end(), plain.begin(), plain.end());
    fixtures::write_bytes(root.host("vbri.mp3"), file);

    std::unique_ptr<audio::AudioFormat> format = audio::AudioFormat::create_for_file(fixtures::device_path("vbri.mp3"));
    ASSERT_NE(format, nullptr);
    EXPECT_DOUBLE_EQ(format->get_reader()->get_duration(), packets * 1152.0 / 44100);
    EXPECT_NEAR(format->get_reader()->get_bitrate(), plain.size() * 8.0 / (packets * 1152.0 / 44100), 1000);
    EXPECT_EQ(drain(*format).frames, int64_t{packets} * 1152);
}
