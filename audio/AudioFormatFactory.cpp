// The open-file factory: the fixed order in which formats are tried, one line per format.
#include "audio/AudioFormat.h"

#include "audio/AudioFormatMP3.h"
#include "audio/FileReaderADPCM.h"
#include "audio/FileReaderGSM.h"
#include "audio/FileReaderMPC.h"
#include "audio/FileReaderPCM.h"
#include "audio/FileReaderVorbis.h"

namespace audio {

namespace {

using FormatOpener = std::unique_ptr<AudioFormat> (*)(const std::u16string& path);

template <class Format, class Reader>
std::unique_ptr<AudioFormat> open_as(const std::u16string& path) {
    return std::make_unique<Format>(std::make_unique<Reader>(path), path);
}

// The WAVE readers accept only their own format tags; the MP3 reader accepts any file with
// two consecutive matching MPEG headers, so it must come last.
const FormatOpener format_openers[] = {
    open_as<AudioFormatPCM, FileReaderPCM>,         // PCM WAVE
    open_as<AudioFormatADPCM, FileReaderADPCM>,     // MS ADPCM WAVE
    open_as<AudioFormatGSM, FileReaderGSM>,         // GSM 6.10 WAVE
    open_as<AudioFormatVorbis, FileReaderVorbis>,   // Ogg Vorbis
    open_as<AudioFormatMPC, FileReaderMPC>,         // Musepack
    open_as<AudioFormatMP3, FileReaderMP3>,         // MPEG audio
};

}  // namespace

std::unique_ptr<AudioFormat> AudioFormat::create_for_file(const std::u16string& path) {
    for (FormatOpener open : format_openers) {
        std::unique_ptr<AudioFormat> format = open(path);
        if (format != nullptr && format->get_reader() != nullptr && format->get_reader()->is_open()) {
            return format;
        }
    }
    return nullptr;
}

}  // namespace audio
