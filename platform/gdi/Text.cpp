// Text: SetTextColor, SetBkMode and DrawTextW, anti-aliased glyphs blended onto the DC.
#include <algorithm>
#include <vector>

#include "platform/gdi/Fonts.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/kernel/Core.h"

using namespace platform::gdi;

namespace {

struct Character {
    char32_t code = 0;
    bool underline = false;  // marked by a prefix '&'
};

using Line = std::vector<Character>;

// Splits the text into lines (CR, LF, CR LF and LF CR each end one) unless single_line,
// and strips prefix ampersands ("&&" is one '&') unless no_prefix.
std::vector<Line> lines_of(const WCHAR* text, size_t length, bool single_line, bool no_prefix) {
    std::vector<Line> lines;
    if (length == 0) {
        return lines;
    }
    lines.emplace_back();
    bool mark_next = false;
    for (size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (!single_line && (c == u'\r' || c == u'\n')) {
            if (i + 1 < length && (text[i + 1] == u'\r' || text[i + 1] == u'\n') && text[i + 1] != c) {
                ++i;
            }
            lines.emplace_back();
            continue;
        }
        if (!no_prefix && c == u'&') {
            if (i + 1 < length && text[i + 1] == u'&') {
                ++i;
            } else {
                mark_next = true;
                continue;
            }
        }
        lines.back().push_back({c, mark_next});
        mark_next = false;
    }
    return lines;
}

int width_of(FontFace& face, const Line& line) {
    int width = 0;
    for (const Character& c : line) {
        width += face.glyph(c.code).advance;
    }
    return width;
}

uint32_t blend(uint32_t dest, uint32_t color, uint32_t a) {
    uint32_t out = dest & 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t d = (dest >> shift) & 0xFF;
        uint32_t c = (color >> shift) & 0xFF;
        out |= ((c * a + d * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

class TextPainter {
public:
    TextPainter(const Canvas& canvas, const RECT& clip, uint32_t color) : canvas_(canvas), clip_(clip), color_(color) {}

    void fill(RECT r, uint32_t color) {
        r = intersect(r, clip_);
        if (is_empty(r)) {
            return;
        }
        row_.assign(size_t(r.right - r.left), color);
        for (int y = r.top; y < r.bottom; ++y) {
            write_row(canvas_, r.left, y, int(row_.size()), row_.data());
        }
    }

    void glyph(const Glyph& g, int x, int y) {
        RECT box = intersect(clip_, RECT{x, y, x + g.width, y + g.height});
        if (is_empty(box)) {
            return;
        }
        int n = box.right - box.left;
        row_.resize(size_t(n));
        for (int py = box.top; py < box.bottom; ++py) {
            const uint8_t* coverage = g.coverage.data() + size_t(py - y) * size_t(g.width) + size_t(box.left - x);
            read_row(canvas_, box.left, py, n, row_.data());
            for (int i = 0; i < n; ++i) {
                uint32_t a = coverage[i];
                if (a == 255) {
                    row_[size_t(i)] = (row_[size_t(i)] & 0xFF000000) | color_;
                } else if (a != 0) {
                    row_[size_t(i)] = blend(row_[size_t(i)], color_, a);
                }
            }
            write_row(canvas_, box.left, py, n, row_.data());
        }
    }

    void underline(int x, int y, int width) { fill(RECT{x, y, x + width, y + 1}, color_); }

private:
    Canvas canvas_;
    RECT clip_;
    uint32_t color_;
    std::vector<uint32_t> row_;
};

uint32_t xrgb_of(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

COLORREF colorref_of(uint32_t rgb) {
    return RGB(BYTE(rgb >> 16), BYTE(rgb >> 8), BYTE(rgb));
}

constexpr UINT kSupportedFormat = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX;

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
    auto context = find_dc(dc);
    if (!context) {
        SetLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    COLORREF previous = colorref_of(context->text_rgb);
    context->text_rgb = xrgb_of(color);
    return previous;
}

int SetBkMode(HDC dc, int mode) {
    auto context = find_dc(dc);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE)) {
        SetLastError(context ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    int previous = context->background_mode;
    context->background_mode = mode;
    return previous;
}

int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
    if (format & ~kSupportedFormat) {
        report("DrawTextW: unsupported format flags");
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto context = find_dc(dc);
    if (!context || !rect || (!text && count != 0)) {
        SetLastError(context ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    size_t length = count >= 0 ? size_t(count) : std::char_traits<char16_t>::length(text);
    std::shared_ptr<FontFace> face = context->font && context->font->face ? context->font->face : system_face();
    if (!face) {
        return 0;
    }
    std::lock_guard guard(font_lock());
    const FontMetrics& m = face->metrics();
    int line_height = m.ascent + m.descent;
    bool single_line = format & DT_SINGLELINE;
    std::vector<Line> lines = lines_of(text, length, single_line, format & DT_NOPREFIX);
    int total_height = int(lines.size()) * line_height;

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines) {
            widest = std::max(widest, width_of(*face, line));
        }
        rect->right = rect->left + widest;
        rect->bottom = rect->top + total_height;
        return total_height;
    }

    RECT clip = intersect(effective_clip(*context), *rect);
    TextPainter painter(canvas_of(*context), clip, context->text_rgb);
    int box_width = rect->right - rect->left;
    int box_height = rect->bottom - rect->top;
    int result = total_height;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        int width = width_of(*face, line);
        int x = rect->left;
        if (format & DT_CENTER) {
            x = rect->left + (box_width - width) / 2;
        } else if (format & DT_RIGHT) {
            x = rect->right - width;
        }
        int y = rect->top + int(i) * line_height;
        if (single_line && (format & DT_VCENTER)) {
            y = rect->top + (box_height - line_height) / 2;
            result = y - rect->top + line_height;
        } else if (single_line && (format & DT_BOTTOM)) {
            y = rect->bottom - line_height;
            result = y - rect->top + line_height;
        }
        if (context->background_mode == OPAQUE) {
            painter.fill(RECT{x, y, x + width, y + line_height}, context->background_rgb);
        }
        int baseline = y + m.ascent;
        int underline_y = baseline + (m.descent > 1 ? 1 : 0);
        int pen = x;
        for (const Character& c : line) {
            const Glyph& g = face->glyph(c.code);
            painter.glyph(g, pen + g.left, baseline - g.top);
            if (c.underline) {
                painter.underline(pen, underline_y, g.advance);
            }
            pen += g.advance;
        }
        if (m.underline) {
            painter.underline(x, underline_y, width);
        }
    }
    return result;
}
