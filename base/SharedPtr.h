#pragma once
// A reference-counted pointer with a separately allocated count that changes atomically.
#include <atomic>
#include <cstdint>
#include <utility>

#include "base/Atomic.h"

namespace skinner {

template <class T>
class SharedPtr {
public:
    SharedPtr() = default;
    explicit SharedPtr(T* object) : object_(object), count_(object != nullptr ? new int32_t(1) : nullptr) {}
    SharedPtr(const SharedPtr& other) : object_(other.object_), count_(other.count_) {
        if (count_ != nullptr) {
            atomic_increment(count_);
        }
    }
    SharedPtr(SharedPtr&& other) noexcept { swap(other); }
    // By value: safe for self-assignment, and the new object is held before the old goes.
    SharedPtr& operator=(SharedPtr other) noexcept {
        swap(other);
        return *this;
    }
    ~SharedPtr() { release(); }

    // Gives up this handle's share; the last one destroys the object. Either way this
    // handle is empty afterwards, so a second release never counts twice.
    void release() {
        if (count_ != nullptr && atomic_decrement(count_) == 0) {
            delete object_;
            delete count_;
        }
        object_ = nullptr;
        count_ = nullptr;
    }

    T* get() const { return object_; }
    T& operator*() const { return *object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // Handles sharing the object (0 for an empty pointer).
    int32_t use_count() const {
        return count_ != nullptr ? std::atomic_ref<int32_t>(*count_).load() : 0;
    }

    void swap(SharedPtr& other) noexcept {
        std::swap(object_, other.object_);
        std::swap(count_, other.count_);
    }

private:
    T* object_ = nullptr;
    int32_t* count_ = nullptr;
};

}  // namespace skinner
