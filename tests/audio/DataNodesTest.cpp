#include "audio/DataNodes.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using audio::AudioBlock;
using audio::ConverterNode;
using audio::DataFilter;
using audio::DataSink;
using audio::DataSource;

namespace {

AudioBlock pcm_block(uint32_t bytes, int channels = 1, int bits = 16, int rate = 8000) {
    AudioBlock block;
    block.buffer = skinner::SharedBuffer(bytes);
    block.buffer.fill(0);
    block.channels = channels;
    block.bits = bits;
    block.sample_rate = rate;
    return block;
}

// Hands out prepared blocks, then empty ones, counting the reads it answers.
class ScriptedSource : public DataSource {
public:
    std::vector<AudioBlock> blocks;
    int reads = 0;
    void read(AudioBlock& out, int) override {
        ++reads;
        out = AudioBlock();
        if (!blocks.empty()) {
            out = blocks.front();
            blocks.erase(blocks.begin());
        }
    }
};

class RecordingSink : public DataSink {
public:
    std::vector<AudioBlock> received;
    void on_data(const AudioBlock& block) override {
        // Pushes arrive under this node's lock, so taking it again must not deadlock.
        audio::NodeGuard again(node_lock());
        received.push_back(block);
    }
};

class PassConverter : public ConverterNode {
public:
    AudioBlock convert(const AudioBlock& coded) override { return coded; }
    int input_units_for(int) override { return 1; }
};

class HalvingFilter : public DataFilter {
public:
    AudioBlock process(const AudioBlock& in) override {
        AudioBlock out = in;
        out.buffer = skinner::SharedBuffer(in.buffer, 0, in.length() / 2);
        return out;
    }
};

}  // namespace

TEST(AudioBlock, FrameCount) {
    struct Case {
        uint32_t bytes;
        int channels, bits, frames;
    } cases[] = {
        {0, 2, 16, 0}, {10, 2, 16, 2}, {10, 1, 8, 10}, {9, 1, 24, 3}, {12, 3, 12, 2}, {10, 0, 16, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pcm_block(c.bytes, c.channels, c.bits).frame_count(), c.frames) << c.bytes << " " << c.channels;
    }
}

TEST(DataNodes, UnlinkedEndsDoNothing) {
    RecordingSink sink;
    AudioBlock pulled = sink.pull(100);
    EXPECT_TRUE(pulled.empty());
    EXPECT_EQ(pulled.channels, 0);
    EXPECT_EQ(pulled.bits, 0);
    EXPECT_EQ(pulled.sample_rate, 0);

    ScriptedSource source;
    source.push(pcm_block(4));  // unlinked: nothing happens
    EXPECT_EQ(source.downstream(), nullptr);
}

TEST(DataNodes, ReconnectClearsOldSinkFirst) {
    ScriptedSource source;
    RecordingSink first, second;
    source.connect(&first);
    EXPECT_EQ(first.upstream(), &source);
    source.connect(&second);
    EXPECT_EQ(first.upstream(), nullptr);
    EXPECT_EQ(second.upstream(), &source);
    source.push(pcm_block(4));
    EXPECT_TRUE(first.received.empty());
    ASSERT_EQ(second.received.size(), 1u);
    source.connect(nullptr);
    EXPECT_EQ(second.upstream(), nullptr);
    EXPECT_EQ(source.downstream(), nullptr);
}

TEST(DataNodes, ConverterHandsOutHeldBytesBeforePulling) {
    ScriptedSource source;
    source.blocks.push_back(pcm_block(3000));
    PassConverter converter;
    source.connect(&converter);
    RecordingSink player;
    converter.connect(&player);

    AudioBlock first = player.pull(1000);
    EXPECT_EQ(first.length(), 2000u);
    EXPECT_EQ(first.bits, 16);
    EXPECT_EQ(source.reads, 1);
    AudioBlock second = player.pull(1000);
    EXPECT_EQ(second.length(), 1000u);
    EXPECT_EQ(second.frame_count(), 500);
    EXPECT_EQ(source.reads, 1);
    AudioBlock end = player.pull(1000);
    EXPECT_TRUE(end.empty());
    EXPECT_EQ(end.channels, 0);
    EXPECT_EQ(source.reads, 2);
}

TEST(DataNodes, ConverterSkipsBlocksThatConvertToNothing) {
    class DropFirst : public ConverterNode {
    public:
        int seen = 0;
        AudioBlock convert(const AudioBlock& coded) override { return ++seen == 1 ? AudioBlock() : coded; }
        int input_units_for(int) override { return 1; }
    } converter;
    ScriptedSource source;
    source.blocks.push_back(pcm_block(2));
    source.blocks.push_back(pcm_block(8));
    source.connect(&converter);
    RecordingSink player;
    converter.connect(&player);
    EXPECT_EQ(player.pull(100).length(), 8u);
    EXPECT_EQ(source.reads, 2);
}

TEST(DataNodes, FilterWorksPulledAndPushed) {
    ScriptedSource source;
    source.blocks.push_back(pcm_block(40));
    HalvingFilter filter;
    RecordingSink tail;
    source.connect(&filter);
    filter.connect(&tail);
    EXPECT_EQ(tail.pull(10).length(), 20u);
    source.push(pcm_block(8));
    ASSERT_EQ(tail.received.size(), 1u);
    EXPECT_EQ(tail.received[0].length(), 4u);
}

TEST(DataNodes, ChainMayBeDeletedInAnyOrder) {
    auto source = std::make_unique<ScriptedSource>();
    auto filter = std::make_unique<HalvingFilter>();
    auto sink = std::make_unique<RecordingSink>();
    source->connect(filter.get());
    filter->connect(sink.get());
    filter.reset();
    EXPECT_EQ(source->downstream(), nullptr);
    EXPECT_EQ(sink->upstream(), nullptr);
    EXPECT_TRUE(sink->pull(10).empty());
    source->push(pcm_block(4));
    sink.reset();
    source.reset();
}
