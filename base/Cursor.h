#pragma once
// A mouse cursor that a skin names ("ARROW", "HAND", ...); copied by handle.
#include <string>

#include "platform/Types.h"

namespace skinner {

class Cursor {
public:
    Cursor() = default;
    explicit Cursor(HCURSOR handle) : handle_(handle) {}

    // The system cursor of that name (exact case); an empty cursor for any other name.
    static Cursor from_name(const std::u16string& name);

    // Shows this cursor; the arrow when it is empty.
    void apply() const;

    HCURSOR handle() const { return handle_; }
    bool is_empty() const { return handle_ == nullptr; }

private:
    HCURSOR handle_ = nullptr;
};

// The skin's "Cursor" property: end when [begin, end) names a known cursor, else null.
const char16_t* parse_value(Cursor& out, const char16_t* begin, const char16_t* end);

}  // namespace skinner
