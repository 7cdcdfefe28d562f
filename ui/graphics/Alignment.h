#pragma once
// Text and picture alignments as the skin names them ("HAlignment", "VAlignment" and the
// picture control's own pair), and the {value, name} tables that the skin's strings are
// looked up in: exact and case-sensitive.
#include <cstdint>
#include <span>
#include <string_view>

namespace skinner {

// The values are those of the font's aligned drawing (Font::draw_text).
enum class HAlignment : int32_t { LEFT = 0, CENTER = 1, RIGHT = 2 };
enum class VAlignment : int32_t { TOP = 0, VCENTER = 1, BOTTOM = 2 };

struct NamedValue {
    int32_t value;
    std::u16string_view name;
};

inline constexpr NamedValue h_alignment_names[] = {{0, u"LEFT"}, {1, u"CENTER"}, {2, u"RIGHT"}};
inline constexpr NamedValue v_alignment_names[] = {{0, u"TOP"}, {1, u"VCENTER"}, {2, u"BOTTOM"}};

// The value of the row named exactly text; fallback when no row is.
constexpr int32_t value_of_name(std::span<const NamedValue> table, std::u16string_view text, int32_t fallback) {
    for (const NamedValue& row : table) {
        if (row.name == text) return row.value;
    }
    return fallback;
}

constexpr HAlignment h_alignment_of(std::u16string_view text) {
    return HAlignment(value_of_name(h_alignment_names, text, int32_t(HAlignment::CENTER)));
}
constexpr VAlignment v_alignment_of(std::u16string_view text) {
    return VAlignment(value_of_name(v_alignment_names, text, int32_t(VAlignment::VCENTER)));
}

// The offset that places an extent in room to spare: none, half of it (truncated) or all.
constexpr int32_t align_offset(int32_t alignment, int32_t room) {
    if (alignment == 0) return 0;
    if (alignment == 2) return room;
    return room / 2;
}
constexpr int32_t align_offset(HAlignment a, int32_t room) { return align_offset(int32_t(a), room); }
constexpr int32_t align_offset(VAlignment a, int32_t room) { return align_offset(int32_t(a), room); }

}  // namespace skinner
