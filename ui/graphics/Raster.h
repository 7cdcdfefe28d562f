#pragma once
// The RGB565 raster library: span operations that copy a row of source pixels onto a row of
// destination pixels (colour key, translucency, tint), seventeen brightness levels, and
// RasterImage, a nine-sliced picture over a PixelBlock drawn by rows of span operations.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/PixelBlock.h"
#include "base/SharedPtr.h"
#include "ui/graphics/Point.h"

namespace skinner {

// Source pixel values with a meaning of their own.
constexpr uint16_t kColorKey = 0xF81F;     // transparent
constexpr uint16_t kOpaqueBit = 0x0020;    // the translucent rules copy such a pixel as it is

class SpanOp {
public:
    virtual ~SpanOp() = default;
    // Pixel i of the source onto pixel i of [begin, end).
    virtual void copy_span(uint16_t* begin, uint16_t* end, const uint16_t* source) const = 0;
    // The source index is position >> 10; position grows by step after each pixel.
    virtual void copy_span_scaled(uint16_t* begin, uint16_t* end, const uint16_t* source, uint32_t position,
                                  uint32_t step) const = 0;
    // For k = start .. start + count - 1 the source index is k >> shift. Returns the
    // destination after the last pixel written.
    virtual uint16_t* copy_span_shifted(uint16_t* dest, const uint16_t* source, int32_t start, int32_t count,
                                        int32_t shift) const = 0;
    // As copy_span_shifted, but k goes back to wrap_start when it reaches wrap_end. An empty
    // wrap range writes nothing (the destination pointer still advances by count).
    virtual uint16_t* copy_span_wrapped(uint16_t* dest, const uint16_t* source, int32_t start, int32_t count,
                                        int32_t shift, int32_t wrap_start, int32_t wrap_end) const = 0;
    virtual std::unique_ptr<SpanOp> clone() const = 0;
};

// Tint factors are in units of 1/256 (256 keeps a channel).
struct TintFactors {
    int32_t red = 256;
    int32_t green = 256;
    int32_t blue = 256;
};

uint16_t tint(uint16_t s, const TintFactors& factors);

std::unique_ptr<SpanOp> make_span_tint_or(TintFactors factors);
std::unique_ptr<SpanOp> make_span_key_copy();
std::unique_ptr<SpanOp> make_span_blend_quarter();
std::unique_ptr<SpanOp> make_span_blend_half();
std::unique_ptr<SpanOp> make_span_blend_three_quarters();
std::unique_ptr<SpanOp> make_span_opaque_only();
std::unique_ptr<SpanOp> make_span_tint(TintFactors factors);

// Level k scales every pixel of [begin, end) in place by k / 16 per channel.
using BrightnessLevel = void (*)(uint16_t* begin, uint16_t* end);
extern const std::array<BrightnessLevel, 17> brightness_levels;

// One axis of a nine-slice layout.
struct Segment {
    int32_t dest_start = 0;
    int32_t length = 0;
    int32_t first_start = 0;
    int32_t first_count = 0;
    int32_t last_start = 0;
    int32_t last_count = 0;
    int32_t middle_phase = 0;
    int32_t middle_count = 0;
};

// Lays out destination [p, p + n) over source points a <= b <= c <= d, clipped to [lo, hi).
Segment layout_segment(int32_t p, int32_t n, int32_t a, int32_t b, int32_t c, int32_t d, int32_t lo, int32_t hi);

struct RasterTarget {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    PixelBlock* block = nullptr;
};

class RasterImage {
public:
    // Takes the block over; the creator is left without it.
    explicit RasterImage(std::unique_ptr<PixelBlock>& block);
    virtual ~RasterImage() = default;

    virtual Point get_size() const;
    // Draws the nine slices given by the outer minimum a, inner minimum b, inner maximum c
    // and outer maximum d (source units; coordinate k reads pixel k >> shift) into
    // (position, position + size), clipped by the target. Points outside the block are
    // brought inside it first.
    virtual void draw(const RasterTarget& target, Point position, Point size, Point a, Point b, Point c, Point d,
                      uint32_t unused, int32_t shift, const SpanOp& op) const;
    // Keeps red and the opaque bit of every pixel but the colour key.
    virtual void filter_red();
    virtual const std::u16string& name() const { return name_; }

    const PixelBlock* block() const { return block_.get(); }

private:
    std::u16string name_;
    std::unique_ptr<PixelBlock> block_;
};

// The raster library's default image: a 1 x 1 block, made at start-up.
const SharedPtr<RasterImage>& default_raster_image();

}  // namespace skinner
