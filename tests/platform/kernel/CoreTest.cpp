#include "platform/kernel/Core.h"

#include <gtest/gtest.h>

namespace {

struct Probe : platform::KernelObject {
    explicit Probe(int* destroyed) : destroyed(destroyed) {}
    ~Probe() override { ++*destroyed; }
    int* destroyed;
};

TEST(KernelCore, CloseHandleDestroysOnceAndFailsOnStaleHandle) {
    int destroyed = 0;
    HANDLE h = platform::insert_handle(std::make_shared<Probe>(&destroyed));
    EXPECT_NE(platform::find_handle_as<Probe>(h), nullptr);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(destroyed, 1);
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(KernelCore, HandlesAreNotReused) {
    int destroyed = 0;
    HANDLE first = platform::insert_handle(std::make_shared<Probe>(&destroyed));
    CloseHandle(first);
    HANDLE second = platform::insert_handle(std::make_shared<Probe>(&destroyed));
    EXPECT_NE(first, second);
    CloseHandle(second);
}

TEST(KernelCore, WaitOnObjectThatCannotBeWaitedFails) {
    int destroyed = 0;
    HANDLE h = platform::insert_handle(std::make_shared<Probe>(&destroyed));
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(intptr_t(12345)), 0), WAIT_FAILED);
    CloseHandle(h);
}

}  // namespace
