#pragma once
// Atomic reference-count steps; both return the new value.
#include <cstdint>

namespace skinner {

int32_t atomic_increment(int32_t* value);
int32_t atomic_decrement(int32_t* value);

}  // namespace skinner
