#include "base/Atomic.h"

#include "platform/threads/Threads.h"

namespace skinner {

int32_t atomic_increment(int32_t* value) {
    return InterlockedIncrement(value);
}

int32_t atomic_decrement(int32_t* value) {
    return InterlockedDecrement(value);
}

}  // namespace skinner
