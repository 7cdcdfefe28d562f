#include "base/SharedBuffer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>
#include <vector>

using skinner::SharedBuffer;

namespace {

SharedBuffer counting_buffer(uint32_t size) {
    std::vector<uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    return SharedBuffer(size, bytes.data());
}

}  // namespace

TEST(SharedBuffer, WriteThroughCopyDetachesAndLeavesOriginal) {
    SharedBuffer first = counting_buffer(100);
    SharedBuffer copy(first);
    EXPECT_EQ(first.use_count(), 2);
    EXPECT_EQ(copy.const_data(), first.const_data());

    copy.data()[0] = 0xAA;
    EXPECT_EQ(first.use_count(), 1);
    EXPECT_EQ(copy.use_count(), 1);
    EXPECT_EQ(first.const_data()[0], 0);
    EXPECT_EQ(copy.const_data()[0], 0xAA);
    EXPECT_EQ(copy.const_data()[99], 99);
}

TEST(SharedBuffer, SliceOutlivesParentAndWritesInPlace) {
    SharedBuffer* parent = new SharedBuffer(counting_buffer(100));
    SharedBuffer slice(*parent, 10, 20);
    ASSERT_EQ(slice.length(), 20u);
    EXPECT_EQ(slice.const_data()[0], 10);
    EXPECT_EQ(slice.const_data()[19], 29);
    delete parent;

    EXPECT_EQ(slice.use_count(), 1);
    const uint8_t* before = slice.const_data();
    EXPECT_EQ(slice.data(), before);  // held once: no copy, whatever the offset
    EXPECT_EQ(slice.data()[0], 10);
}

TEST(SharedBuffer, FillingSharedSliceDetachesIt) {
    SharedBuffer parent = counting_buffer(100);
    SharedBuffer slice(parent, 10, 20);
    slice.fill(0);
    EXPECT_EQ(slice.use_count(), 1);
    EXPECT_EQ(parent.use_count(), 1);
    for (uint32_t i = 0; i < 20; ++i) {
        EXPECT_EQ(slice.const_data()[i], 0);
    }
    EXPECT_EQ(parent.const_data()[10], 10);
    EXPECT_EQ(parent.const_data()[29], 29);
}

TEST(SharedBuffer, SliceOutsideParentIsCutToParent) {
    SharedBuffer parent = counting_buffer(100);
    SharedBuffer middle(parent, 40, 20);  // bytes 40..59
    struct Case {
        uint32_t offset, length, expected_length;
        int first_byte;
    } cases[] = {
        {0, 20, 20, 40},
        {15, 10, 5, 55},
        {20, 5, 0, -1},
        {500, 5, 0, -1},
        {5, 0xFFFFFFFF, 15, 45},
    };
    for (const Case& c : cases) {
        SharedBuffer slice(middle, c.offset, c.length);
        EXPECT_EQ(slice.length(), c.expected_length) << c.offset;
        if (c.first_byte >= 0) {
            EXPECT_EQ(slice.const_data()[0], c.first_byte) << c.offset;
        }
        // Writing through a cut slice only ever touches its own bytes.
        SharedBuffer shared(slice);
        shared.fill(0xEE);
    }
    EXPECT_EQ(parent.const_data()[60], 60);
}

TEST(SharedBuffer, WriteAtCopiesWhatFits) {
    SharedBuffer source = counting_buffer(10);
    struct Case {
        uint32_t position, expected;
    } cases[] = {{0, 10}, {15, 5}, {20, 0}, {21, 0}, {0xFFFFFFFF, 0}};
    for (const Case& c : cases) {
        SharedBuffer target(20);
        target.fill(0xFF);
        EXPECT_EQ(target.write_at(c.position, source), c.expected) << c.position;
        for (uint32_t i = 0; i < c.expected; ++i) {
            EXPECT_EQ(target.const_data()[c.position + i], i);
        }
    }
}

TEST(SharedBuffer, WriteAtFromOverlappingViewOfSameBlock) {
    SharedBuffer whole = counting_buffer(20);
    SharedBuffer tail(whole, 5, 10);
    SharedBuffer keep(whole);
    EXPECT_EQ(whole.write_at(0, tail), 10u);
    EXPECT_EQ(whole.const_data()[0], 5);
    EXPECT_EQ(whole.const_data()[9], 14);
    EXPECT_EQ(keep.const_data()[0], 0);  // other handles keep the old bytes
}

TEST(SharedBuffer, EmptyBufferIsValid) {
    SharedBuffer empty;
    EXPECT_EQ(empty.length(), 0u);
    EXPECT_NE(empty.const_data(), nullptr);
    {
        SharedBuffer copy(empty);
        SharedBuffer assigned;
        assigned = copy;
        EXPECT_EQ(empty.use_count(), 3);
        copy.fill(1);
    }
    EXPECT_EQ(empty.use_count(), 1);
}

TEST(SharedBuffer, SelfAssignmentKeepsBlock) {
    SharedBuffer buffer = counting_buffer(8);
    SharedBuffer& same = buffer;
    buffer = same;
    EXPECT_EQ(buffer.use_count(), 1);
    EXPECT_EQ(buffer.const_data()[7], 7);
}

TEST(SharedBuffer, CopiesReleasedOnOtherThreads) {
    SharedBuffer original = counting_buffer(64);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&original] {
            for (int i = 0; i < 10000; ++i) {
                SharedBuffer copy(original);
                SharedBuffer slice(copy, 1, 2);
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(original.use_count(), 1);
}
