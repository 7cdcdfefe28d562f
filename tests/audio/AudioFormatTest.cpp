#include "audio/AudioFormat.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "tests/fixtures/TempDir.h"

using audio::AudioBlock;
using audio::AudioFormat;
using audio::AudioFormatDecoded;

namespace {

// A reader over a fixed number of 4-byte coded blocks; positions count blocks.
class CountingReader : public audio::FileReader {
public:
    explicit CountingReader(int blocks) : blocks_(blocks) {}
    void read(AudioBlock& out, int) override {
        out = AudioBlock();
        if (position_ < blocks_) {
            ++position_;
            out.buffer = skinner::SharedBuffer(4);
            out.buffer.fill(static_cast<uint8_t>(position_));
        }
    }
    bool is_open() override { return true; }
    bool at_end() override { return position_ >= blocks_; }
    int get_channels() override { return 1; }
    int get_bits() override { return 16; }
    int get_sample_rate() override { return 8000; }
    int get_bitrate() override { return 16000; }
    int seconds_to_position(double s) override { return static_cast<int>(s * 1000); }
    double position_to_seconds(int p) override { return p / 1000.0; }
    int get_length() override { return blocks_; }
    int get_position() override { return position_; }
    void seek(int p) override { position_ = p; }
    bool push_time_span(double) override { return false; }
    bool push_units(int) override { return false; }

private:
    int blocks_;
    int position_ = 0;
};

// Turns each 4-byte coded block into two 16-bit mono samples.
class TaggingDecoder : public audio::ConverterNode {
public:
    AudioBlock convert(const AudioBlock& coded) override {
        AudioBlock out;
        out.buffer = coded.buffer;
        out.channels = 1;
        out.bits = 16;
        out.sample_rate = 8000;
        return out;
    }
    int input_units_for(int) override { return 1; }
};

}  // namespace

TEST(AudioFormat, TitleIsLastPathComponent) {
    struct Case {
        std::u16string path, title;
    } cases[] = {
        {u"\\Music\\a.mp3", u"a.mp3"}, {u"/x/y/b.wav", u"b.wav"}, {u"\\Mixed/dir\\c.ogg", u"c.ogg"}, {u"plain", u"plain"},
    };
    for (const Case& c : cases) {
        auto reader = std::make_unique<CountingReader>(1);
        CountingReader* raw = reader.get();
        AudioFormat format(std::move(reader), c.path, u"PCM");
        EXPECT_EQ(format.get_title(), c.title);
        EXPECT_EQ(format.get_name(), u"PCM");
        EXPECT_EQ(format.get_source(), static_cast<audio::DataSource*>(raw));
        EXPECT_EQ(format.get_reader(), static_cast<audio::AudioReader*>(raw));
    }
}

TEST(AudioFormat, TimesGoThroughReaderUnits) {
    CountingReader reader(5000);
    EXPECT_DOUBLE_EQ(reader.get_duration(), 5.0);
    reader.set_time(1.5);
    EXPECT_EQ(reader.get_position(), 1500);
    EXPECT_DOUBLE_EQ(reader.get_current_time(), 1.5);
}

TEST(AudioFormat, DecodedFormatDeliversThroughDecodeNode) {
    auto reader = std::make_unique<CountingReader>(2);
    audio::FileReader* raw_reader = reader.get();
    AudioFormatDecoded format(std::move(reader), std::make_unique<TaggingDecoder>(), u"\\a.wav", u"ADPCM");
    EXPECT_NE(format.get_source(), static_cast<audio::DataSource*>(raw_reader));

    class Tail : public audio::DataSink {
    } tail;
    format.get_source()->connect(&tail);
    AudioBlock first = tail.pull(1);
    EXPECT_EQ(first.length(), 2u);
    EXPECT_EQ(first.bits, 16);
    EXPECT_EQ(first.const_data()[0], 1);
    format.get_source()->connect(nullptr);
}

TEST(AudioFormat, FactoryRefusesWhatNoReaderOpens) {
    fixtures::TempDir dir;
    std::string text = dir.file("notes.txt");
    std::ofstream(text) << "just some words, not audio\n";
    // A FIFO would hold every reader in its open until a writer came.
    const std::string fifo = dir.file("pipe.mp3");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    struct Case {
        std::string path;
    } cases[] = {{text}, {dir.file("missing.mp3")}, {dir.path()}, {fifo}};
    for (const Case& c : cases) {
        std::u16string path(c.path.begin(), c.path.end());
        EXPECT_EQ(AudioFormat::create_for_file(path), nullptr) << c.path;
    }
}
