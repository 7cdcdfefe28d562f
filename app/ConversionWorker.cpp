#include "app/ConversionWorker.h"

#include "base/Log.h"
#include "platform/window/Messages.h"

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

void ConversionWorker::post_end_to(HWND window, UINT message, WPARAM wparam) {
    end_window_ = window;
    end_message_ = message;
    end_wparam_ = wparam;
}

void ConversionWorker::run() {
    const audio::ConversionResult result = converter_.convert();
    result_ = result;
    finished_ = true;
    skinner::Log::instance() << u"ConversionWorker result=" << static_cast<int>(result) << u"\n";
    // A stopped work is being joined by the window's own thread, which needs no message.
    if (end_window_ != nullptr && !stop_requested()) {
        PostMessageW(end_window_, end_message_, end_wparam_, 0);
    }
}

}  // namespace app
