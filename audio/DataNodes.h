#pragma once
// The two sides of every audio node, linking, and the filter and converter bases.
// Links are plain non-owning pointers; whoever builds a chain owns its nodes.
#include <atomic>

#include "audio/AudioBlock.h"
#include "base/CriticalSection.h"

namespace audio {

// Node locks must be re-entrant: push takes the downstream lock and on_data takes it again.
using NodeLock = skinner::CriticalSection;
using NodeGuard = skinner::ScopedLock;

class DataSource;

class DataSink {
public:
    DataSink() = default;
    DataSink(const DataSink&) = delete;
    DataSink& operator=(const DataSink&) = delete;

    virtual void on_data(const AudioBlock& block);
    // Waits for a thread still inside the node, then unlinks from upstream.
    virtual ~DataSink();

    // Up to frames sample frames from upstream; an empty block with format 0 when unlinked.
    AudioBlock pull(int frames);
    DataSource* upstream() const { return upstream_.load(); }
    NodeLock& node_lock() { return lock_; }

private:
    friend class DataSource;
    std::atomic<DataSource*> upstream_{nullptr};
    NodeLock lock_;
};

class DataSource {
public:
    DataSource() = default;
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    // Unlinks from the sink, so a chain can be deleted in any order.
    virtual ~DataSource();
    virtual void read(AudioBlock& out, int frames) = 0;

    // Unlinks from the old sink (if any), then links to sink; nullptr only unlinks.
    void connect(DataSink* sink);
    // Hands block to the downstream sink under its lock; nothing when unlinked.
    void push(const AudioBlock& block);
    DataSink* downstream() const { return downstream_.load(); }

private:
    friend class DataSink;
    std::atomic<DataSink*> downstream_{nullptr};
};

// A node with both sides that changes each block with process().
class DataFilter : public DataSink, public DataSource {
public:
    void on_data(const AudioBlock& block) override;
    virtual AudioBlock process(const AudioBlock& in) = 0;
    void read(AudioBlock& out, int frames) override;
};

// A decode node: converts pulled or pushed coded blocks and hands out PCM in pieces.
class ConverterNode : public DataSource, public DataSink {
public:
    ~ConverterNode() override;
    void read(AudioBlock& out, int frames) override;
    virtual AudioBlock convert(const AudioBlock& coded) = 0;
    // Upstream position units to pull for about frames output frames.
    virtual int input_units_for(int frames) = 0;
    void on_data(const AudioBlock& block) override;

protected:
    // Drops converted audio not yet handed out (after a seek).
    void clear_held();

private:
    AudioBlock held_;
};

}  // namespace audio
