#pragma once
// Font faces behind HFONT: FreeType faces matched through fontconfig, and the test face.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace platform::gdi {

// One glyph's coverage (0..255), placed relative to the pen position on the baseline.
struct Glyph {
    int advance = 0;
    int left = 0;  // from the pen position to the first column
    int top = 0;   // from the baseline up to the first row
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
};

struct FontMetrics {
    int em = 0;
    int ascent = 0;
    int descent = 0;
    int average_width = 0;
    int max_width = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
};

class FontFace {
public:
    virtual ~FontFace() = default;
    const FontMetrics& metrics() const { return metrics_; }
    // Call with font_lock() held; the reference stays valid while the face lives.
    virtual const Glyph& glyph(char32_t c) = 0;

protected:
    FontMetrics metrics_;
};

// FreeType is not thread-safe: every use of a face holds this lock.
std::recursive_mutex& font_lock();

// Null when no face can be had (no font on the machine, or a height beyond reason).
std::shared_ptr<FontFace> create_face(const LOGFONTW& font);
// The face of the stock font that every DC starts with.
std::shared_ptr<FontFace> system_face();

}  // namespace platform::gdi
