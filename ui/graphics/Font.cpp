#include "ui/graphics/Font.h"

#include <algorithm>
#include <climits>

#include "base/Log.h"
#include "platform/kernel/Time.h"
#include "ui/graphics/Painter.h"

namespace skinner {

namespace {

// Beyond this many pixels a font height is a mistake in the skin, not a wish.
constexpr int64_t kMaxFontPixels = 1024;

bool is_white(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

const char16_t* skip_white(const char16_t* p, const char16_t* end) {
    while (p < end && is_white(*p)) {
        ++p;
    }
    return p;
}

enum class ReadResult { Read, Empty, NoDigits };

// An optional sign and decimal digits; saturates instead of overflowing.
ReadResult read_int(const char16_t*& p, const char16_t* end, int32_t& out) {
    p = skip_white(p, end);
    if (p == end) {
        return ReadResult::Empty;
    }
    bool negative = false;
    if (*p == u'+' || *p == u'-') {
        negative = *p == u'-';
        ++p;
    }
    if (p == end || *p < u'0' || *p > u'9') {
        return ReadResult::NoDigits;
    }
    int64_t value = 0;
    while (p < end && *p >= u'0' && *p <= u'9') {
        value = std::min<int64_t>(value * 10 + (*p - u'0'), int64_t(INT32_MAX) + 1);
        ++p;
    }
    if (negative) {
        value = -value;
    }
    out = int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    return ReadResult::Read;
}

LONG clamp_height(int64_t height) {
    return LONG(std::clamp<int64_t>(height, -kMaxFontPixels, kMaxFontPixels));
}

LOGFONTW log_font_of(const FontSpec& spec, LONG height, BYTE quality) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = spec.italic ? 1 : 0;
    lf.lfUnderline = spec.underline ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = quality;
    size_t n = std::min<size_t>(spec.face.size(), LF_FACESIZE - 1);
    std::copy_n(spec.face.begin(), n, lf.lfFaceName);
    lf.lfFaceName[n] = 0;
    return lf;
}

UINT h_flag(int alignment) {
    return alignment == 1 ? DT_CENTER : alignment == 2 ? DT_RIGHT : DT_LEFT;
}

UINT v_flag(int alignment) {
    return alignment == 1 ? DT_VCENTER : alignment == 2 ? DT_BOTTOM : DT_TOP;
}

// The map lives while any Font exists; the first user makes it, the last one frees it.
FontCache::Map* cache_map = nullptr;
int32_t cache_users = 0;

void add_user() {
    if (cache_users++ == 0) {
        cache_map = new FontCache::Map;
    }
}

void remove_user() {
    if (--cache_users == 0) {
        delete cache_map;
        cache_map = nullptr;
    }
}

}  // namespace

bool FontSpec::parse(const char16_t* begin, const char16_t* end) {
    const char16_t* p = begin;
    ReadResult r = read_int(p, end, size);
    if (r == ReadResult::NoDigits) {
        size = 0;
    }
    if (r != ReadResult::Read) {
        return false;
    }
    for (bool* flag : {&bold, &italic, &underline}) {
        int32_t value = 0;
        if (read_int(p, end, value) != ReadResult::Read) {
            return false;
        }
        *flag = value != 0;
    }
    p = skip_white(p, end);
    face.assign(p, end);
    return true;
}

bool operator<(const FontSpec& a, const FontSpec& b) {
    if (a.scale != b.scale) return a.scale < b.scale;
    if (a.size != b.size) return a.size < b.size;
    if (a.bold != b.bold) return b.bold;
    if (a.italic != b.italic) return b.italic;
    if (a.underline != b.underline) return b.underline;
    return a.face < b.face;
}

LONG font_height_of(const FontSpec& spec) {
    int64_t points = int64_t(spec.size) * spec.scale;
    return clamp_height(-((points * 96 + 36) / 72));
}

LONG shared_font_height_of(const FontSpec& spec) {
    static constexpr int32_t table[20] = {0, 1, 3, 4, 6, 7, 8, 10, 11, 12, 14, 15, 16, 18, 19, 20, 21, 23, 24, 25};
    int64_t n = int64_t(spec.size) * spec.scale;
    if (n >= 0 && n < 20) {
        return -table[n];
    }
    return clamp_height(-((n * 96) / 72));
}

FontRep::FontRep(const FontSpec& spec) {
    LOGFONTW lf = log_font_of(spec, font_height_of(spec), 0);
    {
        ScreenDC screen;
        Log::instance() << "dpiy=" << GetDeviceCaps(screen.dc(), LOGPIXELSY) << " log_font.lfHeight=" << int(lf.lfHeight)
                        << "}\n";
    }
    font_ = CreateFontIndirectW(&lf);
    if (!font_) {
        Log::instance() << "ERROR: FontRep::FontRep() Failed to create font\n";
    }
}

FontRep::~FontRep() {
    if (font_) {
        DeleteObject(font_);
    }
}

Point FontRep::measure_text(std::u16string_view text) const {
    ScreenDC screen;
    HGDIOBJ old = SelectObject(screen.dc(), font_);
    RECT r{0, 0, 1, 1};
    int height = DrawTextW(screen.dc(), text.data(), int(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_VCENTER);
    SelectObject(screen.dc(), old);
    return {text.empty() ? 0 : r.right, height};
}

void FontRep::draw_text(Painter& painter, Color color, std::u16string_view text, Point position, Point size,
                        int h_alignment, int v_alignment) const {
    draw_text_in_rect(font_, painter, color, text, position, size, h_alignment, v_alignment, DT_NOPREFIX);
}

void FontRep::draw_text_ellipsis(Painter& painter, Color color, std::u16string_view text, Point position, Point size,
                                 int h_alignment, int v_alignment) const {
    int32_t room = size.x;
    if (text.empty() || measure_text(text).x <= room) {
        draw_text(painter, color, text, position, size, h_alignment, v_alignment);
        return;
    }
    const std::u16string ellipsis(1, u'\u2026');
    int32_t e = measure_text(ellipsis).x;
    size_t lo = 0, hi = text.size();
    while (true) {
        size_t n = (lo + hi) / 2;
        if (measure_text(text.substr(0, n)).x + e >= room) {
            if (hi == n) break;
            hi = n;
        } else {
            if (lo == n) break;
            lo = n;
        }
    }
    if (lo > 0 && text[lo - 1] >= 0xD800 && text[lo - 1] < 0xDC00) {
        --lo;  // never split a surrogate pair
    }
    std::u16string shortened(text.substr(0, lo));
    shortened += ellipsis;
    draw_text(painter, color, shortened, position, size, h_alignment, v_alignment);
}

void draw_text_in_rect(HFONT font, Painter& painter, Color color, std::u16string_view text, Point position,
                       Point size, int h_alignment, int v_alignment, UINT extra_flags) {
    HDC dc = painter.dc();
    COLORREF old_color = SetTextColor(dc, RGB(color.red, color.green, color.blue));
    HGDIOBJ old_font = SelectObject(dc, font);
    int old_mode = SetBkMode(dc, TRANSPARENT);
    RECT r{position.x, position.y, position.x + size.x, position.y + size.y};
    DrawTextW(dc, text.data(), int(text.size()), &r, h_flag(h_alignment) | v_flag(v_alignment) | extra_flags | DT_SINGLELINE);
    SetBkMode(dc, old_mode);
    SelectObject(dc, old_font);
    SetTextColor(dc, old_color);
}

FontCache::Map::iterator FontCache::find_or_create(const FontSpec& spec) {
    auto it = cache_map->find(spec);
    if (it == cache_map->end()) {
        it = cache_map->emplace(spec, Entry{0, new FontRep(spec)}).first;
    }
    ++it->second.handles;
    return it;
}

size_t FontCache::size() {
    return cache_map ? cache_map->size() : 0;
}

Font::Font() {
    add_user();
}

Font::Font(const FontSpec& spec) {
    add_user();
    entry_ = FontCache::find_or_create(spec);
    has_entry_ = true;
}

Font::Font(const Font& other) {
    add_user();
    take(other);
}

Font& Font::operator=(const Font& other) {
    // The copy holds the new entry before the old one goes, so self-assignment keeps it.
    Font copy(other);
    release();
    take(copy);
    return *this;
}

Font::~Font() {
    release();
    remove_user();
}

void Font::take(const Font& other) {
    has_entry_ = other.has_entry_;
    entry_ = other.entry_;
    if (has_entry_) {
        ++entry_->second.handles;
    }
}

void Font::release() {
    if (has_entry_ && --entry_->second.handles == 0) {
        delete entry_->second.rep;
        cache_map->erase(entry_);
    }
    has_entry_ = false;
    entry_ = {};
}

FontRep* Font::rep() const {
    return has_entry_ ? entry_->second.rep : nullptr;
}

Point Font::measure_text(std::u16string_view text) const {
    return rep() ? rep()->measure_text(text) : Point{};
}

void Font::draw_text(Painter& painter, Color color, std::u16string_view text, Point position, Point size,
                     int h_alignment, int v_alignment) const {
    if (rep()) {
        rep()->draw_text(painter, color, text, position, size, h_alignment, v_alignment);
    }
}

void Font::draw_text_ellipsis(Painter& painter, Color color, std::u16string_view text, Point position, Point size,
                              int h_alignment, int v_alignment) const {
    if (rep()) {
        rep()->draw_text_ellipsis(painter, color, text, position, size, h_alignment, v_alignment);
    }
}

SharedFont::SharedFont(const FontSpec& spec) : spec_(spec) {
    if (spec.size == 0) {
        return;
    }
    LOGFONTW lf = log_font_of(spec, shared_font_height_of(spec), 5);
    DWORD start = GetTickCount();
    font_ = CreateFontIndirectW(&lf);
    Log::instance() << "Creating font: {" << spec.face << "} elapsed=" << double(GetTickCount() - start) / 1000.0
                    << "\n";
    ScreenDC screen;
    HGDIOBJ old = SelectObject(screen.dc(), font_);
    TEXTMETRICW tm{};
    if (GetTextMetricsW(screen.dc(), &tm)) {
        height_ = tm.tmHeight;
        descent_ = tm.tmDescent;
        internal_leading_ = tm.tmInternalLeading;
    } else {
        Log::instance() << "GetTextMetrics failed: {" << spec.face << "}\n";
    }
    SelectObject(screen.dc(), old);
}

SharedFont::~SharedFont() {
    if (font_) {
        DeleteObject(font_);
    }
}

const SharedPtr<SharedFont>& default_shared_font() {
    static const SharedPtr<SharedFont> font(new SharedFont(FontSpec(u"Empty", 0, 1)));
    return font;
}

const SharedPtr<SharedFont>& default_shared_font_copy() {
    static const SharedPtr<SharedFont> copy = default_shared_font();
    return copy;
}

}  // namespace skinner
