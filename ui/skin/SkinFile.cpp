#include "ui/skin/SkinFile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace skinner {

namespace {

constexpr uint32_t kRecordSizes[kPropertyTypeCount] = {IntegerNode::Size, PointNode::Size, StringNode::Size,
                                                       PictureNode::Size, ColorNode::Size, FontNode::Size};
// Arrays whose records hold 32-bit fields start on a multiple of 4, the others on an even offset.
constexpr uint32_t kRecordAlign[kPropertyTypeCount] = {4, 2, 2, 2, 2, 4};
const char* const kTypeNames[kPropertyTypeCount] = {"integer", "point", "string", "picture", "colour", "font"};

uint32_t load_word(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
uint16_t load_half(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// A fixed field of 32 units: a zero unit among them and only zero units after it.
bool fixed_text_ok(std::span<const uint8_t> bytes, uint32_t offset) {
    uint32_t i = 0;
    while (i < SkinLayout::TextUnits && load_half(bytes.data() + offset + 2 * i) != 0) ++i;
    if (i == SkinLayout::TextUnits) return false;
    for (; i < SkinLayout::TextUnits; ++i)
        if (load_half(bytes.data() + offset + 2 * i) != 0) return false;
    return true;
}

}  // namespace

uint32_t record_size(PropertyType type) { return kRecordSizes[static_cast<int>(type)]; }

int compare_names(std::u16string_view a, std::u16string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) return uint16_t(a[i]) < uint16_t(b[i]) ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

HeaderFault check_header(std::span<const uint8_t> bytes) {
    if (bytes.size() < SkinLayout::HeaderSize) return HeaderFault::TooShort;
    if (!fixed_text_ok(bytes, SkinLayout::Identifier)) return HeaderFault::BadIdentifier;
    if (!fixed_text_ok(bytes, SkinLayout::DeviceLetters)) return HeaderFault::BadDeviceLetters;
    for (int i = 0; i < 4; ++i)
        if (load_half(bytes.data() + 2 * i) != SkinLayout::Magic[i]) return HeaderFault::BadMagic;
    return HeaderFault::None;
}

// Walks everything the lookups can reach and checks it against the file, so that the lookups
// themselves need no checks beyond the one in the read helpers.
class SkinValidator {
public:
    explicit SkinValidator(const SkinFile& file) : f_(file) {
        // next_zero_[i]: index of the first zero unit at or after unit i (units_ when none).
        const uint32_t units = f_.size_ / 2;
        next_zero_.resize(units + 1);
        next_zero_[units] = units;
        for (uint32_t i = units; i-- > 0;) next_zero_[i] = f_.units_[i] == 0 ? i : next_zero_[i + 1];
        stamp_.assign(f_.size_ / 4 + 1, 0);
    }

    bool run() {
        if (!name_list()) return false;
        if (!tree(f_.word(SkinLayout::FormsRoot), true, "forms tree")) return false;
        if (!tree(f_.word(SkinLayout::KindsRoot), false, "kinds tree")) return false;
        return true;
    }

    std::string error;

private:
    bool fail(const std::string& message) {
        error = message;
        return false;
    }
    static std::string at(uint64_t offset) { return " at offset " + std::to_string(offset); }

    bool string_ok(uint64_t offset, const char* what) {
        if (offset % 2 != 0) return fail(std::string(what) + " string is not at an even offset" + at(offset));
        if (offset + 2 > f_.size_) return fail(std::string(what) + " string lies outside the file" + at(offset));
        if (next_zero_[offset / 2] * 2 + 2 > f_.size_)
            return fail(std::string(what) + " string has no terminator inside the file" + at(offset));
        return true;
    }

    bool name_list() {
        uint64_t offset = f_.word(SkinLayout::NameList);
        const uint64_t count = uint64_t(f_.picture_count()) + f_.font_count();
        for (uint64_t i = 0; i < count; ++i) {
            if (!string_ok(offset, i < f_.picture_count() ? "picture name" : "font specification")) return false;
            offset = uint64_t(next_zero_[offset / 2]) * 2 + 2;
        }
        return true;
    }

    bool records(uint32_t node, PropertyType type) {
        const int t = static_cast<int>(type);
        const uint32_t start = f_.word(node + 12 + 8 * t);
        const uint32_t end = f_.word(node + 16 + 8 * t);
        const std::string what = std::string(kTypeNames[t]) + " array of the node" + at(node);
        if (start > end || end > f_.size_) return fail(what + " lies outside the file");
        if (start == end) return true;
        if ((end - start) % kRecordSizes[t] != 0) return fail(what + " is not a whole number of records");
        if (start % kRecordAlign[t] != 0) return fail(what + " is not aligned");
        for (uint32_t r = start; r < end; r += kRecordSizes[t]) {
            if (!string_ok(f_.half(r), "property name")) return false;
            switch (type) {
                case PropertyType::String:
                    if (!string_ok(f_.half(r + 2), "string value")) return false;
                    break;
                case PropertyType::Picture: {
                    if (f_.byte(r + 18) >= f_.picture_count()) return fail("picture index out of range" + at(r));
                    uint16_t c[8];
                    for (int i = 0; i < 8; ++i) c[i] = f_.half(r + 2 + 2 * i);
                    // origin <= BorderMin <= BorderMax <= end on each axis, or the nine slices turn inside out
                    for (int axis = 0; axis < 2; ++axis)
                        if (!(c[axis] <= c[2 + axis] && c[2 + axis] <= c[4 + axis] && c[4 + axis] <= c[6 + axis]))
                            return fail("picture rectangle out of order" + at(r));
                    break;
                }
                case PropertyType::Font:
                    if (f_.word(r + 4) >= f_.font_count()) return fail("font index out of range" + at(r));
                    break;
                default:
                    break;
            }
        }
        return true;
    }

    bool node(uint32_t offset, bool form) {
        if (offset % 4 != 0) return fail("node is not aligned" + at(offset));
        const uint64_t fixed = form ? SkinLayout::FormNodeSize : SkinLayout::NodeSize;
        if (offset + fixed > f_.size_) return fail("node lies outside the file" + at(offset));
        if (!string_ok(f_.word(offset + 8), "node name")) return false;
        for (int t = 0; t < kPropertyTypeCount; ++t)
            if (!records(offset, static_cast<PropertyType>(t))) return false;
        if (!form) return true;
        const uint64_t count = f_.word(offset + 64);
        if (offset + fixed + count * SkinLayout::AutoEntrySize > f_.size_)
            return fail("automatic-control entries lie outside the file" + at(offset));
        for (uint64_t i = 0; i < count; ++i) {
            const uint64_t e = offset + fixed + i * SkinLayout::AutoEntrySize;
            if (!string_ok(f_.half(e), "automatic-control name") || !string_ok(f_.half(e + 2), "automatic-control type"))
                return false;
        }
        return tree(f_.word(offset + 60), false, "controls tree");
    }

    // Visits a tree without recursion; a node met twice within one tree means a cycle.
    bool tree(uint32_t root, bool forms, const char* what) {
        if (root == 0) return true;
        const uint32_t id = ++trees_;
        std::vector<uint32_t> pending{root};
        while (!pending.empty()) {
            const uint32_t offset = pending.back();
            pending.pop_back();
            if (offset % 4 != 0 || offset >= f_.size_) return fail(std::string(what) + ": bad node offset" + at(offset));
            if (stamp_[offset / 4] == id) return fail(std::string(what) + " has a cycle" + at(offset));
            stamp_[offset / 4] = id;
            if (!node(offset, forms)) return false;
            if (const uint32_t l = f_.word(offset)) pending.push_back(l);
            if (const uint32_t r = f_.word(offset + 4)) pending.push_back(r);
        }
        return true;
    }

    const SkinFile& f_;
    std::vector<uint32_t> next_zero_;
    std::vector<uint32_t> stamp_;
    uint32_t trees_ = 0;
};

bool SkinFile::load(std::vector<uint8_t> bytes, std::string* error) {
    *this = SkinFile();
    auto failed = [&](const std::string& message) {
        *this = SkinFile();
        if (error) *error = message;
        return false;
    };
    switch (check_header(bytes)) {
        case HeaderFault::None: break;
        case HeaderFault::TooShort: return failed("file is shorter than the 540-byte header");
        case HeaderFault::BadIdentifier: return failed("skin identifier field is not terminated properly");
        case HeaderFault::BadDeviceLetters: return failed("device letters field is not terminated properly");
        case HeaderFault::BadMagic: return failed("bad magic");
    }
    if (bytes.size() > std::numeric_limits<uint32_t>::max() - 8) return failed("file is too large");
    size_ = static_cast<uint32_t>(bytes.size());
    units_.assign((bytes.size() + 1) / 2 + 1, 0);  // one spare zero unit after the last byte
    std::memcpy(units_.data(), bytes.data(), bytes.size());
    SkinValidator validator(*this);
    if (!validator.run()) return failed(validator.error);
    list_names();
    return true;
}

void SkinFile::list_names() {
    picture_names_.clear();
    font_specs_.clear();
    if (!is_loaded()) return;
    uint64_t offset = word(SkinLayout::NameList);
    for (uint32_t i = 0; i < picture_count() + uint64_t(font_count()); ++i) {
        std::u16string_view s = string_at(offset);
        (i < picture_count() ? picture_names_ : font_specs_).push_back(s);
        offset += 2 * (s.size() + 1);
    }
}

SkinFile::SkinFile(const SkinFile& other) : units_(other.units_), size_(other.size_) { list_names(); }

SkinFile::SkinFile(SkinFile&& other) noexcept
    : units_(std::move(other.units_)),
      size_(std::exchange(other.size_, 0)),
      picture_names_(std::move(other.picture_names_)),
      font_specs_(std::move(other.font_specs_)) {
    other.units_.clear();
    other.picture_names_.clear();
    other.font_specs_.clear();
}

SkinFile& SkinFile::operator=(SkinFile&& other) noexcept {
    if (this != &other) {
        units_ = std::move(other.units_);
        size_ = std::exchange(other.size_, 0);
        picture_names_ = std::move(other.picture_names_);
        font_specs_ = std::move(other.font_specs_);
        other.units_.clear();
        other.picture_names_.clear();
        other.font_specs_.clear();
    }
    return *this;
}

SkinFile& SkinFile::operator=(const SkinFile& other) {
    if (this != &other) {
        units_ = other.units_;
        size_ = other.size_;
        list_names();
    }
    return *this;
}

uint32_t SkinFile::word(uint64_t offset) const {
    if (offset + 4 > size_) return 0;
    return load_word(reinterpret_cast<const uint8_t*>(units_.data()) + offset);
}
uint16_t SkinFile::half(uint64_t offset) const {
    if (offset + 2 > size_) return 0;
    return load_half(reinterpret_cast<const uint8_t*>(units_.data()) + offset);
}
uint8_t SkinFile::byte(uint64_t offset) const {
    if (offset >= size_) return 0;
    return reinterpret_cast<const uint8_t*>(units_.data())[offset];
}

std::u16string_view SkinFile::string_at(uint64_t offset) const {
    if (offset % 2 != 0 || offset + 2 > size_) return {};
    const char16_t* s = units_.data() + offset / 2;
    const char16_t* last = units_.data() + size_ / 2;
    const char16_t* z = std::find(s, last, u'\0');
    return std::u16string_view(s, z - s);
}

std::u16string_view SkinFile::fixed_text(uint32_t offset) const {
    if (!is_loaded()) return {};
    const char16_t* s = units_.data() + offset / 2;
    return std::u16string_view(s, std::find(s, s + SkinLayout::TextUnits, u'\0') - s);
}

SkinScreenSize SkinFile::screen_size(uint32_t index) const {
    if (index >= SkinLayout::ScreenCount) return {};
    const uint32_t e = SkinLayout::ScreenSizes + index * SkinLayout::ScreenEntrySize;
    return {static_cast<int32_t>(word(e)), static_cast<int32_t>(word(e + 4))};
}

AutoControlEntry SkinFile::auto_control(SkinNode form, uint32_t index) const {
    if (!form || index >= auto_control_count(form)) return {};
    const uint64_t e = uint64_t(form.offset) + SkinLayout::FormNodeSize + uint64_t(index) * SkinLayout::AutoEntrySize;
    return {string_at(half(e)), string_at(half(e + 2))};
}

SkinNode SkinFile::find(SkinNode root, std::u16string_view wanted) const {
    // The validator has ruled out cycles, so the walk ends; the bound is belt and braces.
    for (uint32_t steps = 0; root && steps <= size_ / 4; ++steps) {
        const int c = compare_names(wanted, name(root));
        if (c == 0) return root;
        root = c < 0 ? left(root) : right(root);
    }
    return {};
}

uint32_t SkinFile::record_count(SkinNode node, PropertyType type) const {
    if (!node) return 0;
    const int t = static_cast<int>(type);
    const uint32_t start = word(node.offset + 12 + 8 * t), end = word(node.offset + 16 + 8 * t);
    return end > start ? (end - start) / kRecordSizes[t] : 0;
}

std::u16string_view SkinFile::record_name(SkinNode node, PropertyType type, uint32_t index) const {
    if (index >= record_count(node, type)) return {};
    const int t = static_cast<int>(type);
    return string_at(half(uint64_t(word(node.offset + 12 + 8 * t)) + uint64_t(index) * kRecordSizes[t]));
}

uint32_t SkinFile::find_record(SkinNode node, PropertyType type, std::u16string_view wanted) const {
    const uint32_t count = record_count(node, type);
    if (count == 0) return 0;
    const int t = static_cast<int>(type);
    const uint32_t start = word(node.offset + 12 + 8 * t);
    uint32_t low = 0, high = count;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        const uint32_t record = start + middle * kRecordSizes[t];
        const int c = compare_names(wanted, string_at(half(record)));
        if (c == 0) return record;
        if (c < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return 0;
}

std::optional<int32_t> SkinFile::find_integer(SkinNode node, std::u16string_view n) const {
    const uint32_t r = find_record(node, PropertyType::Integer, n);
    if (!r) return std::nullopt;
    return static_cast<int32_t>(word(r + 4));
}

std::optional<SkinPoint> SkinFile::find_point(SkinNode node, std::u16string_view n) const {
    const uint32_t r = find_record(node, PropertyType::Point, n);
    if (!r) return std::nullopt;
    return SkinPoint{static_cast<int16_t>(half(r + 2)), static_cast<int16_t>(half(r + 4))};
}

std::optional<std::u16string_view> SkinFile::find_string(SkinNode node, std::u16string_view n) const {
    const uint32_t r = find_record(node, PropertyType::String, n);
    if (!r) return std::nullopt;
    return string_at(half(r + 2));
}

std::optional<SkinPicture> SkinFile::find_picture(SkinNode node, std::u16string_view n) const {
    const uint32_t r = find_record(node, PropertyType::Picture, n);
    if (!r) return std::nullopt;
    auto point = [&](uint32_t at) { return SkinPoint{half(at), half(at + 2)}; };
    SkinPicture p;
    p.origin = point(r + 2);
    p.border_min = point(r + 6);
    p.border_max = point(r + 10);
    p.end = point(r + 14);
    p.picture = byte(r + 18);
    p.stretch = byte(r + 19) != 0;
    return p;
}

std::optional<SkinColor> SkinFile::find_color(SkinNode node, std::u16string_view n) const {
    const uint32_t r = find_record(node, PropertyType::Color, n);
    if (!r) return std::nullopt;
    return SkinColor{byte(r + 2), byte(r + 3), byte(r + 4), byte(r + 5)};
}

std::optional<uint32_t> SkinFile::find_font(SkinNode node, std::u16string_view n) const {
    const uint32_t r = find_record(node, PropertyType::Font, n);
    if (!r) return std::nullopt;
    return word(r + 4);
}

int32_t scale_value(int64_t value, int32_t scale) {
    const int64_t v = value * scale;
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

SkinPoint scale_point(SkinPoint p, int32_t scale) { return {scale_value(p.x, scale), scale_value(p.y, scale)}; }

SkinPicture scale_picture(SkinPicture p, int32_t scale) {
    p.origin = scale_point(p.origin, scale);
    p.border_min = scale_point(p.border_min, scale);
    p.border_max = scale_point(p.border_max, scale);
    p.end = scale_point(p.end, scale);
    return p;
}

}  // namespace skinner
