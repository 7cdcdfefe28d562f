// Fonts: faces matched by name through fontconfig and rendered by FreeType, the test face,
// CreateFontIndirectW and GetTextMetricsW.
#include "platform/gdi/Fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/gdi/GdiObjects.h"
#include "platform/kernel/Core.h"

namespace platform::gdi {

namespace {

constexpr int kDefaultEm = 16;
constexpr int kMaxHeight = 4096;

std::string utf8_of(const WCHAR* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string face_name_of(const LOGFONTW& font) {
    size_t n = 0;
    while (n < size_t(LF_FACESIZE) && font.lfFaceName[n] != 0) {
        ++n;
    }
    return std::u16string(font.lfFaceName, n);
}

bool same_name_ignoring_case(const std::u16string& a, const char16_t* b) {
    size_t n = std::char_traits<char16_t>::length(b);
    if (a.size() != n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z') x = char16_t(x - 32);
        if (y >= u'a' && y <= u'z') y = char16_t(y - 32);
        if (x != y) {
            return false;
        }
    }
    return true;
}

class TestBoxFace : public FontFace {
public:
    TestBoxFace(int em, const LOGFONTW& font) {
        metrics_.em = em;
        metrics_.descent = em / 4;
        metrics_.ascent = em - metrics_.descent;
        advance_ = std::max(1, em / 2) + (font.lfWeight >= 600 ? 1 : 0);
        metrics_.average_width = advance_;
        metrics_.max_width = advance_;
        metrics_.weight = font.lfWeight == 0 ? FW_NORMAL : font.lfWeight;
        metrics_.italic = font.lfItalic != 0;
        metrics_.underline = font.lfUnderline != 0;
        box_.advance = advance_;
        box_.width = std::max(1, advance_ - 1);
        box_.height = metrics_.ascent;
        box_.top = metrics_.ascent;
        box_.coverage.assign(size_t(box_.width) * size_t(box_.height), 255);
        space_.advance = advance_;
    }

    const Glyph& glyph(char32_t c) override {
        if (c < 0x20) {
            return control_;
        }
        return c == U' ' ? space_ : box_;
    }

private:
    int advance_ = 1;
    Glyph box_;
    Glyph space_;
    Glyph control_;
};

FT_Library library() {
    static FT_Library instance = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) {
            report("FreeType could not be initialised");
            return FT_Library(nullptr);
        }
        return l;
    }();
    return instance;
}

struct FaceFile {
    std::string path;
    int index = 0;
};

// fontconfig answers with the nearest face it has, so a missing face falls back to a real one.
FaceFile match_face(const std::string& family, bool bold, bool italic) {
    static bool ready = [] {
        if (FcInit() != FcTrue) {
            return false;
        }
        std::atexit(FcFini);  // fontconfig keeps its configuration until told to let go
        return true;
    }();
    FaceFile found;
    if (ready) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.empty() ? "sans-serif" : family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        if (match) {
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
                found.path = reinterpret_cast<const char*>(file);
                if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) {
                    found.index = index;
                }
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    if (found.path.empty()) {
        found.path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    }
    return found;
}

class FreeTypeFace : public FontFace {
public:
    ~FreeTypeFace() override {
        std::lock_guard guard(font_lock());
        if (face_) {
            FT_Done_Face(face_);
        }
    }

    bool open(const LOGFONTW& font, int height) {
        bool bold = font.lfWeight >= 600;
        bool italic = font.lfItalic != 0;
        FaceFile file = match_face(utf8_of(font.lfFaceName, face_name_of(font).size()), bold, italic);
        FT_Library lib = library();
        if (!lib || FT_New_Face(lib, file.path.c_str(), file.index, &face_) != 0) {
            face_ = nullptr;
            return false;
        }
        int em = kDefaultEm;
        if (height < 0) {
            em = -height;
        } else if (height > 0) {
            // A positive height asks for the cell (ascent + descent).
            int cell_units = face_->ascender - face_->descender;
            em = cell_units > 0 ? int((int64_t(height) * face_->units_per_EM + cell_units / 2) / cell_units) : height;
            em = std::max(1, em);
        }
        if (FT_Set_Pixel_Sizes(face_, 0, FT_UInt(em)) != 0) {
            return false;
        }
        embolden_ = bold && !(face_->style_flags & FT_STYLE_FLAG_BOLD);
        slant_ = italic && !(face_->style_flags & FT_STYLE_FLAG_ITALIC);
        const FT_Size_Metrics& m = face_->size->metrics;
        metrics_.em = em;
        metrics_.ascent = int((m.ascender + 63) >> 6);
        metrics_.descent = int((-m.descender + 63) >> 6);
        metrics_.max_width = int((m.max_advance + 63) >> 6);
        metrics_.weight = font.lfWeight == 0 ? FW_NORMAL : font.lfWeight;
        metrics_.italic = italic;
        metrics_.underline = font.lfUnderline != 0;
        metrics_.average_width = glyph(U'x').advance;
        return true;
    }

    const Glyph& glyph(char32_t c) override {
        auto it = glyphs_.find(c);
        if (it != glyphs_.end()) {
            return it->second;
        }
        Glyph& g = glyphs_[c];
        if (c < 0x20 || FT_Load_Char(face_, FT_ULong(c), FT_LOAD_DEFAULT) != 0) {
            return g;
        }
        FT_GlyphSlot slot = face_->glyph;
        if (embolden_) {
            FT_GlyphSlot_Embolden(slot);
        }
        if (slant_) {
            FT_GlyphSlot_Oblique(slot);
        }
        // Whole-pixel advances, so that a longer prefix is never narrower.
        g.advance = int((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
            return g;
        }
        const FT_Bitmap& b = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = int(b.width);
        g.height = int(b.rows);
        g.coverage.resize(size_t(g.width) * size_t(g.height));
        for (int y = 0; y < g.height; ++y) {
            const uint8_t* row = b.buffer + ptrdiff_t(y) * b.pitch;
            for (int x = 0; x < g.width; ++x) {
                uint8_t v = b.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0) : row[x];
                g.coverage[size_t(y) * size_t(g.width) + size_t(x)] = v;
            }
        }
        return g;
    }

private:
    FT_Face face_ = nullptr;
    bool embolden_ = false;
    bool slant_ = false;
    std::map<char32_t, Glyph> glyphs_;
};

}  // namespace

std::recursive_mutex& font_lock() {
    static std::recursive_mutex lock;
    return lock;
}

std::shared_ptr<FontFace> create_face(const LOGFONTW& font) {
    if (font.lfHeight < -kMaxHeight || font.lfHeight > kMaxHeight) {
        report("CreateFontIndirectW: height beyond reason");
        return nullptr;
    }
    if (same_name_ignoring_case(face_name_of(font), platform::test_face_name)) {
        int em = font.lfHeight == 0 ? kDefaultEm : (font.lfHeight < 0 ? -font.lfHeight : font.lfHeight);
        return std::make_shared<TestBoxFace>(em, font);
    }
    std::lock_guard guard(font_lock());
    auto face = std::make_shared<FreeTypeFace>();
    if (!face->open(font, font.lfHeight)) {
        report("CreateFontIndirectW: no usable font file");
        return nullptr;
    }
    return face;
}

std::shared_ptr<FontFace> system_face() {
    static std::shared_ptr<FontFace> face = [] {
        LOGFONTW font;
        font.lfHeight = -kDefaultEm;
        font.lfWeight = FW_NORMAL;
        return create_face(font);
    }();
    return face;
}

}  // namespace platform::gdi

using namespace platform::gdi;

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto face = create_face(*font);
    if (!face) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_shared<Font>();
    object->face = std::move(face);
    return static_cast<HFONT>(insert_object(object));
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics) {
    auto context = find_dc(dc);
    if (!context || !metrics) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::shared_ptr<FontFace> face = context->font && context->font->face ? context->font->face : system_face();
    if (!face) {
        return FALSE;
    }
    const FontMetrics& m = face->metrics();
    *metrics = TEXTMETRICW{};
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmHeight = m.ascent + m.descent;
    metrics->tmInternalLeading = std::max(0, metrics->tmHeight - m.em);
    metrics->tmAveCharWidth = m.average_width;
    metrics->tmMaxCharWidth = m.max_width;
    metrics->tmWeight = m.weight;
    metrics->tmItalic = m.italic ? 1 : 0;
    metrics->tmUnderlined = m.underline ? 1 : 0;
    return TRUE;
}
