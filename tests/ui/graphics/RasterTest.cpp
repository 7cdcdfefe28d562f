#include <gtest/gtest.h>

#include <vector>

#include "ui/graphics/Raster.h"

using namespace skinner;

TEST(SpanOps, PixelRules) {
    struct Case {
        const char* what;
        std::unique_ptr<SpanOp> op;
        uint16_t dest;
        uint16_t source;
        uint16_t expected;
    };
    Case cases[] = {
        {"key copy skips the key", make_span_key_copy(), 0x1234, kColorKey, 0x1234},
        {"key copy copies", make_span_key_copy(), 0x1234, 0x0001, 0x0001},
        {"half with black halves", make_span_blend_half(), 0xFFFF, 0x0000, 0x7BEF},
        {"half with the opaque bit writes", make_span_blend_half(), 0xFFFF, 0x0020, 0x0020},
        {"half skips the key", make_span_blend_half(), 0xFFFF, kColorKey, 0xFFFF},
        {"quarter", make_span_blend_quarter(), 0xFFFF, 0x0001, uint16_t(0x0001 + (0xE79F >> 2))},
        {"three quarters", make_span_blend_three_quarters(), 0xFFFF, 0x0000, uint16_t(0x7BEF + 0x39E7)},
        {"opaque only needs the bit", make_span_opaque_only(), 0x1111, 0x001F, 0x1111},
        {"opaque only copies", make_span_opaque_only(), 0x1111, 0x003F, 0x003F},
        {"tint keeps at 256", make_span_tint({256, 256, 256}), 0x0000, 0xFFFF, 0xFFFF},
        {"tint halves at 128", make_span_tint({128, 128, 128}), 0x0000, 0xFFFF, 0x7BEF},
        {"tint drops a channel at 0", make_span_tint({0, 256, 256}), 0x0000, 0xFFFF, 0x07FF},
        {"tint or", make_span_tint_or({0, 0, 256}), 0xF800, 0xFFFF, 0xF81F},
    };
    for (Case& c : cases) {
        uint16_t d = c.dest;
        c.op->copy_span(&d, &d + 1, &c.source);
        EXPECT_EQ(d, c.expected) << c.what;
        std::unique_ptr<SpanOp> copy = c.op->clone();
        uint16_t e = c.dest;
        copy->copy_span(&e, &e + 1, &c.source);
        EXPECT_EQ(e, c.expected) << c.what << " (clone)";
    }
}

TEST(SpanOps, ScaledShiftedAndWrappedIndexing) {
    auto op = make_span_key_copy();
    const std::vector<uint16_t> source{10, 11, 12, 13};
    std::vector<uint16_t> dest(6, 0);
    op->copy_span_scaled(dest.data(), dest.data() + 6, source.data(), 0, 512);  // half a pixel per step
    EXPECT_EQ(dest, (std::vector<uint16_t>{10, 10, 11, 11, 12, 12}));

    uint16_t* end = op->copy_span_shifted(dest.data(), source.data(), 2, 4, 1);
    EXPECT_EQ(end, dest.data() + 4);
    EXPECT_EQ(std::vector<uint16_t>(dest.begin(), dest.begin() + 4), (std::vector<uint16_t>{11, 11, 12, 12}));

    end = op->copy_span_wrapped(dest.data(), source.data(), 2, 6, 0, 1, 3);
    EXPECT_EQ(end, dest.data() + 6);
    EXPECT_EQ(dest, (std::vector<uint16_t>{12, 11, 12, 11, 12, 11}));

    // An empty middle and a start outside the wrap range never read past the row.
    std::vector<uint16_t> one{7};
    std::fill(dest.begin(), dest.end(), 0);
    end = op->copy_span_wrapped(dest.data(), one.data(), 1, 5, 0, 1, 1);
    EXPECT_EQ(end, dest.data() + 5);
    EXPECT_EQ(dest, std::vector<uint16_t>(6, 0));
    op->copy_span_wrapped(dest.data(), one.data(), 5, 3, 0, 0, 1);
    EXPECT_EQ(dest, (std::vector<uint16_t>{7, 7, 7, 0, 0, 0}));
}

TEST(SpanOps, KeyRowLeavesTheDestination) {
    std::vector<uint16_t> source(9, kColorKey);
    std::vector<uint16_t> dest{1, 2, 3, 4, 5, 6, 7, 8, 9};
    make_span_key_copy()->copy_span(dest.data(), dest.data() + dest.size(), source.data());
    EXPECT_EQ(dest, (std::vector<uint16_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(Brightness, LevelsScaleEachChannelWhateverTheAlignment) {
    struct Case {
        int level;
        uint16_t in;
        uint16_t out;
    };
    const Case cases[] = {
        {0, 0xFFFF, 0x0000}, {8, 0xFFFF, 0x7BEF}, {9, 0x0000, 0x0861}, {16, 0x1234, 0x1234},
        {4, 0xFFFF, 0x39E7}, {12, 0xFFFF, uint16_t(0xFFFF - 0x39E7)}, {1, 0xFFFF, 0x0861},
    };
    for (const Case& c : cases) {
        // Seven pixels at an odd and an even start: single pixels and pairs must agree.
        alignas(4) uint16_t row[9];
        for (int start : {0, 1}) {
            std::fill(row, row + 9, c.in);
            brightness_levels[size_t(c.level)](row + start, row + start + 7);
            for (int i = start; i < start + 7; ++i) {
                EXPECT_EQ(row[i], c.out) << "level " << c.level << " start " << start << " pixel " << i;
            }
            EXPECT_EQ(row[start + 7], c.in) << "past the end stays";
        }
    }
    // Each level keeps channels apart: a pure channel stays pure.
    for (int level = 0; level <= 16; ++level) {
        for (uint16_t channel : {uint16_t(0xF800), uint16_t(0x07E0), uint16_t(0x001F)}) {
            uint16_t p[2] = {channel, channel};
            brightness_levels[size_t(level)](p, p + 2);
            if (level == 9 || level == 10 || level == 11 || level == 5) {
                EXPECT_EQ(p[0] & ~channel & ~0x0861, 0) << level;  // only the rounding constant elsewhere
            } else {
                EXPECT_EQ(p[0] & ~channel, 0) << level;
            }
            EXPECT_EQ(p[0], p[1]);
        }
    }
}

TEST(NineSliceLayout, BordersShareAShortLengthAndClipsKeepThePhase) {
    Segment s = layout_segment(0, 4, 0, 10, 20, 30, 0, 100);
    EXPECT_EQ(s.first_count, 2);
    EXPECT_EQ(s.last_count, 1);
    EXPECT_EQ(s.last_start, 29);
    EXPECT_EQ(s.middle_count, 1);

    // L = 10, a middle source of 4, clipped by 15 at the start.
    s = layout_segment(0, 40, 0, 10, 14, 24, 15, 100);
    EXPECT_EQ(s.dest_start, 15);
    EXPECT_EQ(s.length, 25);
    EXPECT_EQ(s.first_count, 0);
    EXPECT_EQ(s.middle_phase, 1);
    EXPECT_EQ(s.middle_count, 20 - 5);
    EXPECT_EQ(s.last_count, 10);

    // Clipped at the end: the last part goes first, then the middle.
    s = layout_segment(0, 40, 0, 10, 14, 24, 0, 25);
    EXPECT_EQ(s.length, 25);
    EXPECT_EQ(s.last_count, 0);
    EXPECT_EQ(s.middle_count, 15);
    EXPECT_EQ(s.first_count, 10);

    // Clipped into the last part, and past it.
    s = layout_segment(0, 40, 0, 10, 14, 24, 35, 100);
    EXPECT_EQ(s.last_start, 14 + 5);
    EXPECT_EQ(s.last_count, 5);
    s = layout_segment(0, 40, 0, 10, 14, 24, 40, 100);
    EXPECT_EQ(s.length, 0);
}

namespace {

// A block whose pixel (x, y) is x + 16 * y.
std::unique_ptr<PixelBlock> numbered_block(int w, int h) {
    auto block = PixelBlock::create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) block->row(y)[x] = uint16_t(x + 16 * y);
    return block;
}

}  // namespace

TEST(RasterImage, DrawsNineSlicesWithTiledMiddleAndMagnification) {
    auto source = numbered_block(4, 3);
    RasterImage image(source);
    EXPECT_EQ(source, nullptr) << "the image takes the block over";
    EXPECT_EQ(image.get_size(), Point(4, 3));

    auto target_block = PixelBlock::create(8, 4);
    for (int y = 0; y < 4; ++y) std::fill(target_block->row(y), target_block->row(y) + 8, 0xFFFF);
    RasterTarget target{0, 0, 8, 4, target_block.get()};
    auto op = make_span_key_copy();
    // Borders of one pixel; the middle columns 1..2 and the middle row 1 repeat.
    image.draw(target, {0, 0}, {7, 4}, {0, 0}, {1, 1}, {3, 2}, {4, 3}, 0, 0, *op);
    std::vector<uint16_t> top(target_block->row(0), target_block->row(0) + 8);
    EXPECT_EQ(top, (std::vector<uint16_t>{0, 1, 2, 1, 2, 1, 3, 0xFFFF}));
    EXPECT_EQ(target_block->row(1)[0], 16);
    EXPECT_EQ(target_block->row(2)[1], 17);
    EXPECT_EQ(target_block->row(3)[6], 35);

    // Shift 1: every source pixel shows twice; clipped by the target to 3 columns.
    RasterTarget clipped{1, 0, 4, 4, target_block.get()};
    image.draw(clipped, {0, 0}, {8, 2}, {0, 0}, {0, 0}, {8, 6}, {8, 6}, 0, 1, *op);
    std::vector<uint16_t> row0(target_block->row(0), target_block->row(0) + 8);
    EXPECT_EQ(row0, (std::vector<uint16_t>{0, 0, 1, 1, 2, 1, 3, 0xFFFF}));
    EXPECT_EQ(target_block->row(1)[2], 1) << "row 1 still shows source row 0";

    // Points beyond the block are brought inside it: nothing reads past the block.
    image.draw(target, {0, 0}, {8, 4}, {-5, -5}, {50, 50}, {60, 60}, {900, 900}, 0, 0, *op);
    image.draw(target, {-3, -3}, {1000, 1000}, {0, 0}, {1, 1}, {3, 2}, {4, 3}, 0, 0, *op);
}

TEST(RasterImage, FilterRedKeepsRedAndTheOpaqueBit) {
    auto block = PixelBlock::create(3, 1);
    block->row(0)[0] = 0xFFFF;
    block->row(0)[1] = kColorKey;
    block->row(0)[2] = 0x07DF;
    RasterImage image(block);
    image.filter_red();
    EXPECT_EQ(image.block()->row(0)[0], 0xF820);
    EXPECT_EQ(image.block()->row(0)[1], kColorKey);
    EXPECT_EQ(image.block()->row(0)[2], 0x0000);
}

TEST(PixelBlock, RowsArePaddedToFourBytes) {
    EXPECT_EQ(PixelBlock::create(1, 1)->stride, 4);
    auto block = PixelBlock::create(3, 2);
    EXPECT_EQ(block->stride, 8);
    EXPECT_EQ(PixelBlock::create(0, 2), nullptr);
    EXPECT_TRUE(default_raster_image());
    EXPECT_EQ(default_raster_image()->get_size(), Point(1, 1));
}
