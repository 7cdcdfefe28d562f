#include "audio/DataNodes.h"

#include <algorithm>

namespace audio {

void DataSink::on_data(const AudioBlock&) {}

DataSink::~DataSink() {
    NodeGuard wait_for_user(lock_);
    // A source left linked to a node that is gone would push into freed memory.
    if (DataSource* source = upstream_.exchange(nullptr)) {
        source->downstream_ = nullptr;
    }
}

DataSource::~DataSource() {
    if (DataSink* sink = downstream_.load()) {
        NodeGuard guard(sink->lock_);
        if (sink->upstream_.load() == this) {
            sink->upstream_ = nullptr;
        }
        downstream_ = nullptr;
    }
}

AudioBlock DataSink::pull(int frames) {
    AudioBlock out;
    if (DataSource* source = upstream_.load()) {
        source->read(out, frames);
    }
    return out;
}

void DataSource::connect(DataSink* sink) {
    if (DataSink* old = downstream_.load()) {
        NodeGuard guard(old->lock_);
        old->upstream_ = nullptr;
        downstream_ = nullptr;
    }
    if (sink != nullptr) {
        NodeGuard guard(sink->lock_);
        sink->upstream_ = this;
        downstream_ = sink;
    }
}

void DataSource::push(const AudioBlock& block) {
    DataSink* sink = downstream_.load();
    if (sink == nullptr) {
        return;
    }
    NodeGuard guard(sink->node_lock());
    // The link may have changed while we waited for the lock.
    if (DataSink* now = downstream_.load()) {
        now->on_data(block);
    }
}

void DataFilter::on_data(const AudioBlock& block) {
    NodeGuard guard(node_lock());
    push(process(block));
}

void DataFilter::read(AudioBlock& out, int frames) {
    NodeGuard guard(node_lock());
    out = process(pull(frames));
}

ConverterNode::~ConverterNode() {
    NodeGuard guard(node_lock());
    held_ = AudioBlock();
}

void ConverterNode::on_data(const AudioBlock& block) {
    NodeGuard guard(node_lock());
    push(convert(block));
}

void ConverterNode::clear_held() {
    NodeGuard guard(node_lock());
    held_ = AudioBlock();
}

void ConverterNode::read(AudioBlock& out, int frames) {
    NodeGuard guard(node_lock());
    while (held_.empty()) {
        AudioBlock pulled = pull(input_units_for(frames));
        if (pulled.empty()) {
            break;
        }
        held_ = convert(pulled);
    }
    uint32_t frame_bytes = static_cast<uint32_t>(((held_.bits + 7) / 8) * held_.channels);
    uint32_t wanted = frames > 0 ? static_cast<uint32_t>(frames) * frame_bytes : 0;
    uint32_t take = std::min(wanted, held_.length());
    out = AudioBlock();
    out.buffer = skinner::SharedBuffer(held_.buffer, 0, take);
    out.copy_format_from(held_);
    if (take == 0) {
        out.copy_format_from(AudioBlock());
        if (frame_bytes == 0) {
            held_ = AudioBlock();  // bytes without a format can never be handed out
        }
        return;
    }
    AudioBlock rest;
    rest.buffer = skinner::SharedBuffer(held_.buffer, take, held_.length() - take);
    rest.copy_format_from(held_);
    held_ = rest;
}

}  // namespace audio
