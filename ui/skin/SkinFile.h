#pragma once
// The binary skin file: read whole, checked once, then used in place. Every record is reached
// by a byte offset from the start of the file; nothing is copied out until a property is read.
#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace skinner {

static_assert(std::endian::native == std::endian::little, "skin files are read in place as little-endian");

// Record layouts of the property arrays (sizes fixed by the file format).
struct IntegerNode {
    static constexpr uint32_t Size = 8;
    uint16_t name;
    uint16_t unused;
    int32_t value;
};
struct PointNode {
    static constexpr uint32_t Size = 6;
    uint16_t name;
    int16_t x;
    int16_t y;
};
struct StringNode {
    static constexpr uint32_t Size = 4;
    uint16_t name;
    uint16_t value;
};
struct PictureNode {
    static constexpr uint32_t Size = 20;
    uint16_t name;
    uint16_t origin_x, origin_y;
    uint16_t border_min_x, border_min_y;
    uint16_t border_max_x, border_max_y;
    uint16_t end_x, end_y;
    uint8_t picture;
    uint8_t stretch;
};
struct ColorNode {
    static constexpr uint32_t Size = 6;
    uint16_t name;
    uint8_t red, green, blue, alpha;
};
struct FontNode {
    static constexpr uint32_t Size = 8;
    uint16_t name;
    uint16_t unused;
    uint32_t font;
};
static_assert(sizeof(IntegerNode) == IntegerNode::Size && sizeof(PointNode) == PointNode::Size &&
              sizeof(StringNode) == StringNode::Size && sizeof(PictureNode) == PictureNode::Size &&
              sizeof(ColorNode) == ColorNode::Size && sizeof(FontNode) == FontNode::Size);

// The six property arrays of a node, in the order of their offset pairs.
enum class PropertyType { Integer = 0, Point, String, Picture, Color, Font };
constexpr int kPropertyTypeCount = 6;
uint32_t record_size(PropertyType type);

struct SkinLayout {
    static constexpr uint32_t HeaderSize = 540;
    static constexpr uint32_t Identifier = 8;
    static constexpr uint32_t FormsRoot = 72;
    static constexpr uint32_t KindsRoot = 76;
    static constexpr uint32_t PictureCount = 80;
    static constexpr uint32_t FontCount = 84;
    static constexpr uint32_t NameList = 88;
    static constexpr uint32_t ScreenSizes = 92;
    static constexpr uint32_t DeviceLetters = 476;
    static constexpr uint32_t TextUnits = 32;  // units of the identifier and device-letters fields
    static constexpr uint32_t ScreenCount = 32;
    static constexpr uint32_t ScreenEntrySize = 12;
    static constexpr uint32_t NodeSize = 60;       // control and kind nodes
    static constexpr uint32_t FormNodeSize = 68;   // form nodes, before their automatic-control entries
    static constexpr uint32_t AutoEntrySize = 4;
    static constexpr uint32_t ShortOffsetLimit = 65536;
    static constexpr uint16_t Magic[4] = {0x0421, 0x043A, 0x0438, 0x043D};
};

// Skin names compare code unit by code unit as unsigned numbers; a prefix sorts first.
int compare_names(std::u16string_view a, std::u16string_view b);

// The header checks that make a file a loadable skin, in their order.
enum class HeaderFault { None, TooShort, BadIdentifier, BadDeviceLetters, BadMagic };
HeaderFault check_header(std::span<const uint8_t> bytes);

struct SkinPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const SkinPoint&) const = default;
};
struct SkinScreenSize {
    int32_t width = 0;
    int32_t height = 0;
};
struct SkinColor {
    uint8_t red = 0, green = 0, blue = 0, alpha = 255;
    bool operator==(const SkinColor&) const = default;
};
// A picture property as stored (scale 1), or scaled by the reader.
struct SkinPicture {
    uint32_t picture = 0;  // index into the picture names
    SkinPoint origin, border_min, border_max, end;
    bool stretch = false;
    bool operator==(const SkinPicture&) const = default;
};
// A tree node (form, kind or control); offset 0 is no node.
struct SkinNode {
    uint32_t offset = 0;
    explicit operator bool() const { return offset != 0; }
    bool operator==(const SkinNode&) const = default;
};
struct AutoControlEntry {
    std::u16string_view name;
    std::u16string_view type;
};

class SkinFile {
public:
    SkinFile() = default;
    // Copies refer to their own bytes (the name lists are views into them).
    SkinFile(const SkinFile& other);
    SkinFile& operator=(const SkinFile& other);
    // A moved-from file is empty (not loaded).
    SkinFile(SkinFile&& other) noexcept;
    SkinFile& operator=(SkinFile&& other) noexcept;

    // Takes the file's bytes and checks the header and every offset, array, string, record size,
    // index and tree in them. On failure the file stays empty and `error` says what broke.
    bool load(std::vector<uint8_t> bytes, std::string* error = nullptr);
    bool is_loaded() const { return size_ != 0; }
    uint32_t size() const { return size_; }

    std::u16string_view identifier() const { return fixed_text(SkinLayout::Identifier); }
    std::u16string_view device_letters() const { return fixed_text(SkinLayout::DeviceLetters); }
    SkinScreenSize screen_size(uint32_t index) const;
    uint32_t picture_count() const { return word(SkinLayout::PictureCount); }
    uint32_t font_count() const { return word(SkinLayout::FontCount); }
    const std::vector<std::u16string_view>& picture_names() const { return picture_names_; }
    const std::vector<std::u16string_view>& font_specs() const { return font_specs_; }

    SkinNode forms_root() const { return SkinNode{word(SkinLayout::FormsRoot)}; }
    SkinNode kinds_root() const { return SkinNode{word(SkinLayout::KindsRoot)}; }
    SkinNode left(SkinNode node) const { return SkinNode{word(node.offset)}; }
    SkinNode right(SkinNode node) const { return SkinNode{word(node.offset + 4)}; }
    std::u16string_view name(SkinNode node) const { return string_at(word(node.offset + 8)); }
    SkinNode controls_root(SkinNode form) const { return SkinNode{word(form.offset + 60)}; }
    uint32_t auto_control_count(SkinNode form) const { return word(form.offset + 64); }
    AutoControlEntry auto_control(SkinNode form, uint32_t index) const;

    // Binary search tree lookup from a root; no node when absent.
    SkinNode find(SkinNode root, std::u16string_view name) const;

    // Binary search over one property array of a node.
    uint32_t record_count(SkinNode node, PropertyType type) const;
    std::optional<int32_t> find_integer(SkinNode node, std::u16string_view name) const;
    std::optional<SkinPoint> find_point(SkinNode node, std::u16string_view name) const;
    std::optional<std::u16string_view> find_string(SkinNode node, std::u16string_view name) const;
    std::optional<SkinPicture> find_picture(SkinNode node, std::u16string_view name) const;
    std::optional<SkinColor> find_color(SkinNode node, std::u16string_view name) const;
    std::optional<uint32_t> find_font(SkinNode node, std::u16string_view name) const;
    // The name of the record at an index of an array (for listing a node's properties).
    std::u16string_view record_name(SkinNode node, PropertyType type, uint32_t index) const;

private:
    uint32_t word(uint64_t offset) const;
    uint16_t half(uint64_t offset) const;
    uint8_t byte(uint64_t offset) const;
    std::u16string_view string_at(uint64_t offset) const;
    std::u16string_view fixed_text(uint32_t offset) const;
    // Offset of the record of that name in the node's array, 0 when absent.
    uint32_t find_record(SkinNode node, PropertyType type, std::u16string_view name) const;
    void list_names();

    friend class SkinValidator;
    std::vector<char16_t> units_;  // the file's bytes, held in 16-bit units so strings read in place
    uint32_t size_ = 0;            // the file's length in bytes
    std::vector<std::u16string_view> picture_names_;
    std::vector<std::u16string_view> font_specs_;
};

// Scaling of stored values: coordinates and scaled integers are multiplied, saturating at the
// 32-bit range instead of overflowing.
int32_t scale_value(int64_t value, int32_t scale);
SkinPoint scale_point(SkinPoint point, int32_t scale);
SkinPicture scale_picture(SkinPicture picture, int32_t scale);

}  // namespace skinner
