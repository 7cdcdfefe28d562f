#include "ui/graphics/Raster.h"

#include <algorithm>
#include <cstring>

namespace skinner {

uint16_t tint(uint16_t s, const TintFactors& f) {
    uint32_t red = ((uint32_t((s >> 8) & 0xF8) * uint32_t(f.red)) & 0xF800);
    uint32_t green = (((uint32_t((s >> 3) & 0xFC) * uint32_t(f.green)) >> 5) & 0x07E0);
    uint32_t blue = (((uint32_t(s & 0x1F) * 8 * uint32_t(f.blue)) >> 11) & 0xFFFF);
    return uint16_t((red + green) | blue);
}

namespace {

struct TintOrRule {
    TintFactors factors;
    uint16_t operator()(uint16_t d, uint16_t s) const { return uint16_t(tint(s, factors) | d); }
};

struct KeyCopyRule {
    uint16_t operator()(uint16_t d, uint16_t s) const { return s == kColorKey ? d : s; }
};

struct BlendQuarterRule {
    uint16_t operator()(uint16_t d, uint16_t s) const {
        if (s == kColorKey) return d;
        if (s & kOpaqueBit) return s;
        return uint16_t(s + ((d & 0xE79F) >> 2));
    }
};

struct BlendHalfRule {
    uint16_t operator()(uint16_t d, uint16_t s) const {
        if (s == kColorKey) return d;
        if (s & kOpaqueBit) return s;
        return uint16_t(s + ((d & 0xF7DF) >> 1));
    }
};

struct BlendThreeQuartersRule {
    uint16_t operator()(uint16_t d, uint16_t s) const {
        if (s == kColorKey) return d;
        if (s & kOpaqueBit) return s;
        uint16_t h = uint16_t((d & 0xF7DF) >> 1);
        return uint16_t(s + h + ((h & 0xF7DF) >> 1));
    }
};

struct OpaqueOnlyRule {
    uint16_t operator()(uint16_t d, uint16_t s) const { return (s != kColorKey && (s & kOpaqueBit)) ? s : d; }
};

struct TintRule {
    TintFactors factors;
    uint16_t operator()(uint16_t, uint16_t s) const { return tint(s, factors); }
};

// Every rule runs over whole spans; no virtual call per pixel.
template <class Rule>
class SpanRule : public SpanOp {
public:
    explicit SpanRule(Rule rule = {}) : rule_(rule) {}

    void copy_span(uint16_t* begin, uint16_t* end, const uint16_t* source) const override {
        for (uint16_t* d = begin; d < end; ++d, ++source) {
            *d = rule_(*d, *source);
        }
    }

    void copy_span_scaled(uint16_t* begin, uint16_t* end, const uint16_t* source, uint32_t position,
                          uint32_t step) const override {
        for (uint16_t* d = begin; d < end; ++d, position += step) {
            *d = rule_(*d, source[position >> 10]);
        }
    }

    uint16_t* copy_span_shifted(uint16_t* dest, const uint16_t* source, int32_t start, int32_t count,
                                int32_t shift) const override {
        for (int32_t k = start; k < start + count; ++k, ++dest) {
            *dest = rule_(*dest, source[k >> shift]);
        }
        return dest;
    }

    uint16_t* copy_span_wrapped(uint16_t* dest, const uint16_t* source, int32_t start, int32_t count, int32_t shift,
                                int32_t wrap_start, int32_t wrap_end) const override {
        if (count <= 0) {
            return dest;
        }
        if (wrap_end <= wrap_start) {
            return dest + count;  // nothing to repeat; never read outside the row
        }
        int32_t width = wrap_end - wrap_start;
        int32_t k = start;
        if (k < wrap_start || k >= wrap_end) {
            k = wrap_start + ((k - wrap_start) % width + width) % width;
        }
        for (int32_t i = 0; i < count; ++i, ++dest) {
            *dest = rule_(*dest, source[k >> shift]);
            if (++k == wrap_end) {
                k = wrap_start;
            }
        }
        return dest;
    }

    std::unique_ptr<SpanOp> clone() const override {
        return std::unique_ptr<SpanOp>(new (std::nothrow) SpanRule(rule_));
    }

private:
    Rule rule_;
};

// Brightness levels, written once for a 16-bit pixel or a word of two pixels: the masks are
// doubled for words so that no channel spills into its neighbour.
template <class T, int Level>
T scale(T x) {
    constexpr bool word = sizeof(T) == 4;
    constexpr T m1 = word ? T(0x08610861) : T(0x0861);
    constexpr T m2 = word ? T(0x18E318E3) : T(0x18E3);
    constexpr T m4 = word ? T(0x39E739E7) : T(0x39E7);
    constexpr T m8 = word ? T(0x7BEF7BEF) : T(0x7BEF);
    constexpr T one = m1;
    switch (Level) {
    case 0: return T(0);
    case 1: return T((x >> 4) & m1);
    case 2: return T((x >> 3) & m2);
    case 3: return T(((x >> 2) & m4) - ((x >> 4) & m1));
    case 4: return T((x >> 2) & m4);
    case 5: return T(((x >> 2) & m4) + ((x >> 4) & m1) + one);
    case 6: return T(((x >> 1) & m8) - ((x >> 3) & m2));
    case 7: return T(((x >> 1) & m8) - ((x >> 4) & m1));
    case 8: return T((x >> 1) & m8);
    case 9: return T(((x >> 1) & m8) + ((x >> 4) & m1) + one);
    case 10: return T(((x >> 1) & m8) + ((x >> 3) & m2) + one);
    case 11: return T(((x >> 1) & m8) + ((x >> 3) & m2) + ((x >> 4) & m1) + one);
    case 12: return T(x - ((x >> 2) & m4));
    case 13: return T(x - ((x >> 2) & m4) + ((x >> 4) & m1));
    case 14: return T(x - ((x >> 3) & m2));
    case 15: return T(x - ((x >> 4) & m1));
    default: return x;
    }
}

template <int Level>
void brightness(uint16_t* begin, uint16_t* end) {
    uint16_t* p = begin;
    if (p < end && (reinterpret_cast<uintptr_t>(p) & 3) != 0) {
        *p = scale<uint16_t, Level>(*p);
        ++p;
    }
    for (; end - p >= 2; p += 2) {
        uint32_t pair;
        std::memcpy(&pair, p, 4);
        pair = scale<uint32_t, Level>(pair);
        std::memcpy(p, &pair, 4);
    }
    if (p < end) {
        *p = scale<uint16_t, Level>(*p);
    }
}

template <size_t... Levels>
constexpr std::array<BrightnessLevel, sizeof...(Levels)> make_levels(std::index_sequence<Levels...>) {
    return {&brightness<int(Levels)>...};
}

}  // namespace

const std::array<BrightnessLevel, 17> brightness_levels = make_levels(std::make_index_sequence<17>());

std::unique_ptr<SpanOp> make_span_tint_or(TintFactors factors) {
    return std::make_unique<SpanRule<TintOrRule>>(TintOrRule{factors});
}
std::unique_ptr<SpanOp> make_span_key_copy() {
    return std::make_unique<SpanRule<KeyCopyRule>>();
}
std::unique_ptr<SpanOp> make_span_blend_quarter() {
    return std::make_unique<SpanRule<BlendQuarterRule>>();
}
std::unique_ptr<SpanOp> make_span_blend_half() {
    return std::make_unique<SpanRule<BlendHalfRule>>();
}
std::unique_ptr<SpanOp> make_span_blend_three_quarters() {
    return std::make_unique<SpanRule<BlendThreeQuartersRule>>();
}
std::unique_ptr<SpanOp> make_span_opaque_only() {
    return std::make_unique<SpanRule<OpaqueOnlyRule>>();
}
std::unique_ptr<SpanOp> make_span_tint(TintFactors factors) {
    return std::make_unique<SpanRule<TintRule>>(TintRule{factors});
}

Segment layout_segment(int32_t p, int32_t n, int32_t a, int32_t b, int32_t c, int32_t d, int32_t lo, int32_t hi) {
    Segment s;
    s.dest_start = p;
    s.length = n;
    s.first_start = a;
    int32_t left = b - a;
    int32_t right = d - c;
    if (n > left + right) {
        s.first_count = left;
        s.last_start = c;
        s.last_count = right;
    } else {
        // The borders share out what there is.
        int32_t f = n / 2;
        int32_t g = (n - 1) / 2;
        if (f > left) {
            g += f - left;
            f = left;
        }
        if (g > right) {
            f += g - right;
            g = right;
        }
        s.first_count = f;
        s.last_start = d - g;
        s.last_count = g;
    }
    s.middle_count = n - s.first_count - s.last_count;

    if (p < lo) {
        int32_t k = lo - p;
        s.dest_start = lo;
        s.length = n - k;
        if (k < s.first_count) {
            s.first_start += k;
            s.first_count -= k;
        } else {
            int32_t m = k - s.first_count;
            s.first_count = 0;
            if (m < s.middle_count) {
                s.middle_count -= m;
                s.middle_phase = c > b ? m % (c - b) : 0;
            } else {
                m -= s.middle_count;
                s.middle_count = 0;
                s.last_start += m;
                s.last_count -= m;
                if (s.last_count <= 0) {
                    s.last_count = 0;
                    s.length = 0;
                }
            }
        }
    }
    if (s.length > 0 && s.dest_start + s.length > hi) {
        int32_t o = s.dest_start + s.length - hi;
        s.length -= o;
        int32_t from_last = std::min(o, s.last_count);
        s.last_count -= from_last;
        o -= from_last;
        int32_t from_middle = std::min(o, s.middle_count);
        s.middle_count -= from_middle;
        o -= from_middle;
        s.first_count -= std::min(o, s.first_count);
    }
    if (s.length <= 0) {
        s = Segment{s.dest_start, 0, a, 0, 0, 0, 0, 0};
    }
    return s;
}

RasterImage::RasterImage(std::unique_ptr<PixelBlock>& block) : block_(std::move(block)) {}

Point RasterImage::get_size() const {
    return block_ ? Point{block_->width, block_->height} : Point{};
}

namespace {

// Source points in order and inside the block's extent (block size << shift) on one axis.
void order_points(int32_t& a, int32_t& b, int32_t& c, int32_t& d, int32_t extent) {
    a = std::clamp(a, 0, extent);
    b = std::clamp(b, a, extent);
    c = std::clamp(c, b, extent);
    d = std::clamp(d, c, extent);
}

}  // namespace

void RasterImage::draw(const RasterTarget& target, Point position, Point size, Point a, Point b, Point c, Point d,
                       uint32_t, int32_t shift, const SpanOp& op) const {
    if (!block_ || !target.block || shift < 0 || shift > 15) {
        return;
    }
    // Never past the target's own pixels, whatever its clip says.
    int32_t left = std::max({target.left, position.x, 0});
    int32_t top = std::max({target.top, position.y, 0});
    int32_t right = std::min<int64_t>({int64_t(target.right), int64_t(position.x) + size.x, int64_t(target.block->width)});
    int32_t bottom =
        std::min<int64_t>({int64_t(target.bottom), int64_t(position.y) + size.y, int64_t(target.block->height)});
    if (right <= left || bottom <= top) {
        return;
    }
    int64_t extent_x = std::min<int64_t>(int64_t(block_->width) << shift, INT32_MAX);
    int64_t extent_y = std::min<int64_t>(int64_t(block_->height) << shift, INT32_MAX);
    order_points(a.x, b.x, c.x, d.x, int32_t(extent_x));
    order_points(a.y, b.y, c.y, d.y, int32_t(extent_y));
    Segment xs = layout_segment(position.x, size.x, a.x, b.x, c.x, d.x, left, right);
    Segment ys = layout_segment(position.y, size.y, a.y, b.y, c.y, d.y, top, bottom);
    if (xs.length <= 0 || ys.length <= 0) {
        return;
    }
    auto draw_row = [&](int32_t dest_y, int32_t source_row) {
        const uint16_t* src = block_->row(source_row >> shift);
        uint16_t* dest = target.block->row(dest_y) + xs.dest_start;
        dest = op.copy_span_shifted(dest, src, xs.first_start, xs.first_count, shift);
        dest = op.copy_span_wrapped(dest, src, b.x + xs.middle_phase, xs.middle_count, shift, b.x, c.x);
        op.copy_span_shifted(dest, src, xs.last_start, xs.last_count, shift);
    };
    int32_t y = ys.dest_start;
    for (int32_t i = 0; i < ys.first_count; ++i) {
        draw_row(y++, ys.first_start + i);
    }
    if (c.y > b.y) {
        int32_t counter = b.y + ys.middle_phase;
        for (int32_t i = 0; i < ys.middle_count; ++i) {
            draw_row(y++, counter);
            if (++counter == c.y) {
                counter = b.y;
            }
        }
    } else {
        y += ys.middle_count;  // no middle rows to repeat
    }
    for (int32_t i = 0; i < ys.last_count; ++i) {
        draw_row(y++, ys.last_start + i);
    }
}

void RasterImage::filter_red() {
    if (!block_) {
        return;
    }
    for (int32_t y = 0; y < block_->height; ++y) {
        uint16_t* row = block_->row(y);
        for (int32_t x = 0; x < block_->width; ++x) {
            if (row[x] != kColorKey) {
                row[x] &= 0xF820;
            }
        }
    }
}

const SharedPtr<RasterImage>& default_raster_image() {
    static const SharedPtr<RasterImage> image = [] {
        std::unique_ptr<PixelBlock> block = PixelBlock::create(1, 1);
        if (block) {
            block->pixels[0] = 0;
        }
        return SharedPtr<RasterImage>(new RasterImage(block));
    }();
    return image;
}

}  // namespace skinner
