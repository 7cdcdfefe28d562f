#pragma once
// An opened audio file: its reader, the decode node where the coding needs one, and the
// open-file factory that tries every known format in a fixed order.
#include <memory>
#include <string>

#include "audio/AudioReader.h"

namespace audio {

class AudioFormat {
public:
    // The title is the path's last component.
    AudioFormat(std::unique_ptr<FileReader> reader, const std::u16string& path, std::u16string name);
    AudioFormat(const AudioFormat&) = delete;
    AudioFormat& operator=(const AudioFormat&) = delete;
    virtual ~AudioFormat();

    // The node that delivers PCM: the decode node where there is one, else the reader.
    virtual DataSource* get_source();
    virtual AudioReader* get_reader();
    virtual std::u16string get_name() const;
    virtual std::u16string get_title() const;
    // Drops decoder state before a seek.
    virtual void reset();

    // The first format whose reader opens the file; null when none does.
    static std::unique_ptr<AudioFormat> create_for_file(const std::u16string& path);

protected:
    void set_title(std::u16string title) { title_ = std::move(title); }
    FileReader* reader() { return reader_.get(); }

private:
    std::u16string name_;
    std::unique_ptr<FileReader> reader_;
    std::u16string title_;
};

// A format whose reader hands out coded blocks that a decode node turns into PCM.
class AudioFormatDecoded : public AudioFormat {
public:
    AudioFormatDecoded(std::unique_ptr<FileReader> reader, std::unique_ptr<ConverterNode> decoder,
                       const std::u16string& path, std::u16string name);
    ~AudioFormatDecoded() override;
    DataSource* get_source() override;

protected:
    ConverterNode* decoder() { return decoder_.get(); }

private:
    std::unique_ptr<ConverterNode> decoder_;
};

}  // namespace audio
