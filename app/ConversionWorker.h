#pragma once
// The converting form's worker: a thread that runs the span conversion. The user-interface
// thread only reads its atomic progress, stage and result, and asks it to stop.
#include <atomic>
#include <memory>
#include <string>

#include "audio/SpanConverter.h"
#include "base/Thread.h"

namespace app {

class ConversionWorker : public skinner::Thread {
public:
    // Converts the span (in the reader's units) of a source opened for it (null: no source).
    ConversionWorker(std::unique_ptr<audio::AudioFormat> format, const std::u16string& target_path, int start,
                     int finish);
    ~ConversionWorker() override;

    audio::SpanConverter& converter() { return converter_; }
    const audio::SpanConverter& converter() const { return converter_; }

    // Ends the work at its next step and waits for the thread.
    void stop();
    // Before start: a work that ends by itself posts this message, so its window sees the end
    // at once rather than at its next poll.
    void post_end_to(HWND window, UINT message, WPARAM wparam);
    // Whether the work ran to its end with a complete file.
    bool succeeded() const { return finished_ && result_ == audio::ConversionResult::done; }
    // Meaningful once the work has ended.
    audio::ConversionResult result() const { return result_; }
    bool finished() const { return finished_; }

protected:
    void run() override;

private:
    audio::SpanConverter converter_;
    std::atomic<audio::ConversionResult> result_{audio::ConversionResult::stopped};
    std::atomic<bool> finished_{false};
    HWND end_window_ = nullptr;
    UINT end_message_ = 0;
    WPARAM end_wparam_ = 0;
};

}  // namespace app
