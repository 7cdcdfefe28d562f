#include "app/ConversionWorker.h"

#include "base/Log.h"

namespace app {

ConversionWorker::ConversionWorker(std::unique_ptr<audio::AudioFormat> format, const std::u16string& target_path,
                                   int start, int finish)
    : converter_(std::move(format), target_path) {
    converter_.set_span(start, finish);
}

ConversionWorker::~ConversionWorker() { stop(); }

void ConversionWorker::stop() {
    request_stop();
    converter_.request_stop();
    join();
}

void ConversionWorker::run() {
    const audio::ConversionResult result = converter_.convert();
    result_ = result;
    finished_ = true;
    skinner::Log::instance() << u"ConversionWorker result=" << static_cast<int>(result) << u"\n";
}

}  // namespace app
