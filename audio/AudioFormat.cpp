#include "audio/AudioFormat.h"

namespace audio {

namespace {

std::u16string last_component(const std::u16string& path) {
    size_t separator = path.find_last_of(u"\\/");
    return separator == std::u16string::npos ? path : path.substr(separator + 1);
}

}  // namespace

AudioFormat::AudioFormat(std::unique_ptr<FileReader> reader, const std::u16string& path, std::u16string name)
    : name_(std::move(name)), reader_(std::move(reader)), title_(last_component(path)) {}

AudioFormat::~AudioFormat() {
    title_.clear();
    reader_.reset();
}

DataSource* AudioFormat::get_source() { return reader_.get(); }

AudioReader* AudioFormat::get_reader() { return reader_.get(); }

std::u16string AudioFormat::get_name() const { return name_; }

std::u16string AudioFormat::get_title() const { return title_; }

void AudioFormat::reset() {}

AudioFormatDecoded::AudioFormatDecoded(std::unique_ptr<FileReader> reader, std::unique_ptr<ConverterNode> decoder,
                                       const std::u16string& path, std::u16string name)
    : AudioFormat(std::move(reader), path, std::move(name)), decoder_(std::move(decoder)) {
    if (this->reader() != nullptr && decoder_ != nullptr) {
        this->reader()->connect(decoder_.get());
    }
}

AudioFormatDecoded::~AudioFormatDecoded() {
    decoder_.reset();
}

DataSource* AudioFormatDecoded::get_source() { return decoder_.get(); }

}  // namespace audio
