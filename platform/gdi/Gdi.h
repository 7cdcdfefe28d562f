#pragma once
// GDI: memory DCs (CreateCompatibleDC, DeleteDC, SelectObject), bitmaps (CreateCompatibleBitmap,
// CreateDIBSection, GetObjectW, DeleteObject), blits (BitBlt, StretchBlt with SRCCOPY, SRCPAINT,
// SRCAND), GetPixel, GetDeviceCaps, clipping (SelectClipRgn, IntersectClipRect), CreateSolidBrush
// and FillRect, CreatePen and Polyline, fonts (CreateFontIndirectW, GetTextMetricsW) and text
// (SetTextColor, SetBkMode, DrawTextW). Window DCs come from platform/gdi/SurfaceDC.h.
// The screen's depth is 32-bit XRGB.
#include "platform/Types.h"

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return COLORREF(red) | (COLORREF(green) << 8) | (COLORREF(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE(c >> 8); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE(c >> 16); }

// GetDeviceCaps indices.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// Clip results.
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 0;
    WORD bmBitsPixel = 0;
    LPVOID bmBits = nullptr;
};

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

struct BITMAPINFOHEADER {
    DWORD biSize = 0;
    LONG biWidth = 0;
    LONG biHeight = 0;  // negative: rows top-down
    WORD biPlanes = 0;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};

// The colour table (for 1, 4 and 8 bits per pixel) follows the header; callers allocate room.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

constexpr int PS_SOLID = 0;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr int LF_FACESIZE = 32;

struct LOGFONTW {
    LONG lfHeight = 0;  // negative: the em height in pixels; positive: the cell height
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    WCHAR lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRICW {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
};

constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;

// Device contexts. A new memory DC holds a 1x1 monochrome stock bitmap.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// Returns the object of the same kind selected before, or NULL on failure (a bitmap selected
// into another DC, a bitmap into a window DC). NULL selects nothing.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Fails for an object still selected into a DC; stock objects are never deleted.
BOOL DeleteObject(HGDIOBJ object);
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
int GetDeviceCaps(HDC dc, int index);

// Bitmaps. A compatible bitmap has the screen's depth (32-bit XRGB), rows top-down.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// 1, 4, 8, 16, 24 or 32 bits per pixel, BI_RGB, DIB_RGB_COLORS; no file section. The header
// is a plain BITMAPINFOHEADER (biSize 40), so the colour table is right behind it.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);

COLORREF GetPixel(HDC dc, int x, int y);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
// Nearest neighbour: destination offset d reads source offset d * source size / size.
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
                int source_width, int source_height, DWORD rop);

HBRUSH CreateSolidBrush(COLORREF color);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Solid pens of width 0 or 1.
HPEN CreatePen(int style, int width, COLORREF color);
// Each segment leaves out its end point, so the last point of the line is not drawn.
BOOL Polyline(HDC dc, const POINT* points, int count);

// Only NULL (drop the clip) is supported: there is one clip rectangle per DC.
int SelectClipRgn(HDC dc, HRGN region);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);

HFONT CreateFontIndirectW(const LOGFONTW* font);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
COLORREF SetTextColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);
// Flags: DT_CENTER, DT_RIGHT, DT_VCENTER, DT_BOTTOM, DT_SINGLELINE, DT_CALCRECT, DT_NOPREFIX.
// Without DT_SINGLELINE, CR, LF and their pairs break lines. Returns the text's height.
int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format);

namespace platform {

// A built-in face of box glyphs with exact metrics, chosen by this face name, so that text
// tests know every pixel. For an em height h: ascent h - h/4, descent h/4, advance
// max(1, h/2) (one more when bold); each printable glyph but the space is a solid box
// from the top of the cell to the baseline, one column narrower than its advance.
inline constexpr char16_t test_face_name[] = u"Vantrel Test Boxes";

}  // namespace platform
