#include "base/SharedPtr.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace skinner {
namespace {

struct Tracked {
    explicit Tracked(int* destroyed) : destroyed(destroyed) {}
    ~Tracked() { ++*destroyed; }
    int* destroyed;
};

TEST(SharedPtr, LastHandleDestroysTheObjectOnce) {
    int destroyed = 0;
    {
        SharedPtr<Tracked> first(new Tracked(&destroyed));
        SharedPtr<Tracked> copy = first;
        EXPECT_EQ(first.use_count(), 2);
        EXPECT_EQ(copy.get(), first.get());
        copy.release();
        EXPECT_FALSE(copy);
        copy.release();  // a second release of an emptied handle counts nothing
        EXPECT_EQ(first.use_count(), 1);
        EXPECT_EQ(destroyed, 0);
        first = first;  // self-assignment keeps the object
        EXPECT_EQ(first.use_count(), 1);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(SharedPtr, AssignmentReleasesTheOldObject) {
    int destroyed_a = 0;
    int destroyed_b = 0;
    SharedPtr<Tracked> a(new Tracked(&destroyed_a));
    SharedPtr<Tracked> b(new Tracked(&destroyed_b));
    a = b;
    EXPECT_EQ(destroyed_a, 1);
    EXPECT_EQ(b.use_count(), 2);
    SharedPtr<Tracked> empty;
    EXPECT_EQ(empty.use_count(), 0);
    a = empty;
    EXPECT_EQ(b.use_count(), 1);
    EXPECT_EQ(destroyed_b, 0);
}

TEST(SharedPtr, CopiesOnManyThreadsKeepTheCount) {
    int destroyed = 0;
    SharedPtr<Tracked> shared(new Tracked(&destroyed));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([shared] {
            for (int i = 0; i < 10000; ++i) {
                SharedPtr<Tracked> copy = shared;
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(shared.use_count(), 1);
    EXPECT_EQ(destroyed, 0);
}

}  // namespace
}  // namespace skinner
