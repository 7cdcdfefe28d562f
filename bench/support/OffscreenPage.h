#pragma once
// A 480 x 640 bitmap of the screen's format, selected into a memory DC, that benchmarks draw a
// control onto as a form's paint would.
#include <chrono>

#include "ui/forms/Control.h"
#include "ui/graphics/Painter.h"

namespace bench {

class OffscreenPage {
public:
    OffscreenPage() : bitmap_(CreateCompatibleBitmap(screen_.dc(), 480, 640)), selector_(screen_.dc(), bitmap_) {}
    ~OffscreenPage() { DeleteObject(bitmap_); }
    OffscreenPage(const OffscreenPage&) = delete;
    OffscreenPage& operator=(const OffscreenPage&) = delete;

    // Milliseconds the paint took.
    double draw(skinner::Control& control) {
        const auto start = std::chrono::steady_clock::now();
        skinner::Painter painter(selector_.dc(), {0, 0}, {480, 640});
        control.paint(painter, {0, 0}, {480, 640});
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }

private:
    skinner::ScreenDC screen_;
    HBITMAP bitmap_;
    skinner::HDCSelector selector_;
};

}  // namespace bench
