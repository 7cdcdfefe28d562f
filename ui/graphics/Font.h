#pragma once
// Fonts: FontSpec (point size, scale, bold, italic, underline, face) parsed from the skin's
// font descriptions; Font, a value-type handle into a process-wide cache of one platform
// font per font specification, which measures and draws text; and SharedFont, the raster library's font.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "base/SharedPtr.h"
#include "platform/gdi/Gdi.h"
#include "ui/graphics/Color.h"
#include "ui/graphics/Point.h"

namespace skinner {

class Painter;

struct FontSpec {
    explicit FontSpec(int32_t scale_ = 1) : scale(scale_) {}
    FontSpec(std::u16string face_, int32_t size_, int32_t scale_) : size(size_), scale(scale_), face(std::move(face_)) {}

    // Five fields separated by white space: size, bold, italic, underline, then the face
    // (the whole rest). Fields read before a failure keep their new values.
    bool parse(const char16_t* begin, const char16_t* end);
    bool parse(std::u16string_view text) { return parse(text.data(), text.data() + text.size()); }

    // The cache's order: scale, size, bold, italic, underline, face.
    friend bool operator<(const FontSpec& a, const FontSpec& b);
    friend bool operator==(const FontSpec& a, const FontSpec& b) { return !(a < b) && !(b < a); }

    int32_t size = 12;
    int32_t scale = 1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::u16string face = u"Tahoma";
};

// lfHeight for a FontRep: the point size at 96 dots per inch, rounded half up, negated;
// computed without overflow and kept to a sane pixel range.
LONG font_height_of(const FontSpec& spec);
// lfHeight for a SharedFont, from its table of small sizes.
LONG shared_font_height_of(const FontSpec& spec);

class FontRep {
public:
    explicit FontRep(const FontSpec& spec);
    ~FontRep();
    FontRep(const FontRep&) = delete;
    FontRep& operator=(const FontRep&) = delete;

    HFONT handle() const { return font_; }
    // (width, height) of the text, every line counted.
    Point measure_text(std::u16string_view text) const;
    // One line in (position, position + size). Alignments are the skin's "HAlignment"
    // (0 left, 1 centre, 2 right) and "VAlignment" (0 top, 1 centre, 2 bottom).
    void draw_text(Painter& painter, Color color, std::u16string_view text, Point position, Point size,
                   int h_alignment, int v_alignment) const;
    // As draw_text, shortened with a trailing U+2026 when wider than the rectangle.
    void draw_text_ellipsis(Painter& painter, Color color, std::u16string_view text, Point position, Point size,
                            int h_alignment, int v_alignment) const;

private:
    HFONT font_ = nullptr;
};

void draw_text_in_rect(HFONT font, Painter& painter, Color color, std::u16string_view text, Point position,
                       Point size, int h_alignment, int v_alignment, UINT extra_flags);

class FontCache {
public:
    struct Entry {
        int32_t handles = 0;
        FontRep* rep = nullptr;
    };
    using Map = std::map<FontSpec, Entry>;

    static Map::iterator find_or_create(const FontSpec& spec);
    // Entries in the cache (0 when no Font exists).
    static size_t size();
};

class Font {
public:
    Font();
    explicit Font(const FontSpec& spec);
    Font(const Font& other);
    Font& operator=(const Font& other);
    ~Font();

    FontRep* rep() const;

    // (0, 0) and nothing drawn without a font.
    Point measure_text(std::u16string_view text) const;
    void draw_text(Painter& painter, Color color, std::u16string_view text, Point position, Point size,
                   int h_alignment, int v_alignment) const;
    void draw_text_ellipsis(Painter& painter, Color color, std::u16string_view text, Point position, Point size,
                            int h_alignment, int v_alignment) const;

private:
    void take(const Font& other);
    void release();

    bool has_entry_ = false;
    FontCache::Map::iterator entry_{};
};

// The raster library's font, shared through a reference-counted handle.
class SharedFont {
public:
    explicit SharedFont(const FontSpec& spec);
    ~SharedFont();
    SharedFont(const SharedFont&) = delete;
    SharedFont& operator=(const SharedFont&) = delete;

    HFONT handle() const { return font_; }
    const FontSpec& spec() const { return spec_; }
    int32_t height() const { return height_; }
    int32_t descent() const { return descent_; }
    int32_t internal_leading() const { return internal_leading_; }

private:
    HFONT font_ = nullptr;
    FontSpec spec_;
    int32_t height_ = 0;
    int32_t descent_ = 0;
    int32_t internal_leading_ = 0;
};

// The raster library's default font (face "Empty", size 0: no platform font) and its copy.
const SharedPtr<SharedFont>& default_shared_font();
const SharedPtr<SharedFont>& default_shared_font_copy();

}  // namespace skinner
