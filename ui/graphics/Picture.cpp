#include "ui/graphics/Picture.h"

#include <algorithm>
#include <vector>

#include "base/File.h"
#include "base/Log.h"
#include "base/Strings.h"
#include "platform/imaging/Imaging.h"
#include "ui/graphics/Painter.h"

namespace skinner {

namespace {

// The map lives while any Picture exists; the first user makes it, the last one frees it.
PictureCache::Map* cache_map = nullptr;
int32_t cache_users = 0;

void add_user() {
    if (cache_users++ == 0) {
        cache_map = new PictureCache::Map;
    }
}

void remove_user() {
    if (--cache_users == 0) {
        delete cache_map;
        cache_map = nullptr;
    }
}

DWORD read_from_stream(LPSTR buffer, DWORD size, LPARAM param) {
    return reinterpret_cast<InputStream*>(param)->read(buffer, size);
}

void progress(void*, BOOL, LPARAM) {}

// base.bmp with base_1.bmp or base_8.bmp beside it.
class PictureFiles : public PictureSource {
public:
    bool load_file_set(const std::u16string& base, HBITMAP& image, HBITMAP& mask, bool& mask_is_8bit) override {
        image = decode_image_file(base + u".bmp", 0);
        if (!image) {
            return false;
        }
        mask = decode_image_file(base + u"_1.bmp", 0);
        mask_is_8bit = false;
        if (!mask) {
            mask = decode_image_file(base + u"_8.bmp", 0);
            mask_is_8bit = mask != nullptr;
        }
        return true;
    }
};

PictureFiles picture_files;

std::unique_ptr<PictureRep> make_file_picture(const PictureCache::Key& key) {
    return std::make_unique<PictureRep>(key.path, key.scale);
}

BITMAP bitmap_info(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return info;
}

void delete_bitmap(HBITMAP& bitmap) {
    if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

// A copy of bitmap at factor times its size; null when it cannot be made.
HBITMAP scaled_copy(HDC screen, HBITMAP bitmap, int32_t width, int32_t height, double factor) {
    int32_t w = int32_t(width * factor), h = int32_t(height * factor);
    HBITMAP scaled = CreateCompatibleBitmap(screen, w, h);
    if (!scaled) {
        return nullptr;
    }
    HDCSelector from(screen, bitmap);
    HDCSelector to(screen, scaled);
    if (factor == 1.0) {
        BitBlt(to.dc(), 0, 0, width, height, from.dc(), 0, 0, SRCCOPY);
    } else {
        StretchBlt(to.dc(), 0, 0, w, h, from.dc(), 0, 0, width, height, SRCCOPY);
    }
    return scaled;
}

int32_t clamp_to(int32_t v, int32_t lo, int32_t hi) {
    return std::clamp(v, lo, std::max(lo, hi));
}

int32_t map_axis_unclamped(int32_t p, int32_t o, int32_t e, int32_t l, int32_t b, int32_t c, int32_t r, bool stretch);

// One axis of map_point. A point of the left border's last column maps to BorderMin, which
// is past the picture when nothing follows the border; such results stay inside it.
int32_t map_axis(int32_t p, int32_t o, int32_t e, int32_t l, int32_t b, int32_t c, int32_t r, bool stretch) {
    int32_t m = map_axis_unclamped(p, o, e, l, b, c, r, stretch);
    return m >= 0 && r > l ? std::min(m, r - 1) : m;
}

int32_t map_axis_unclamped(int32_t p, int32_t o, int32_t e, int32_t l, int32_t b, int32_t c, int32_t r, bool stretch) {
    if (p < o || p >= e) {
        return -1;
    }
    int64_t d = int64_t(p) - o;
    int64_t border = int64_t(b) - l;
    if (d <= border) {
        return int32_t(l + d);
    }
    int64_t rs = (int64_t(e) - o) - (int64_t(r) - c);
    if (d >= rs) {
        return int32_t(c + (d - rs));
    }
    if (stretch) {
        return int32_t(b + ((d - border) * (int64_t(c) - b)) / (rs - border));
    }
    if (c == b) {
        return 0;
    }
    return int32_t(b + (d - border) % (int64_t(c) - b));
}

}  // namespace

HBITMAP decode_image_stream(InputStream& stream, int bit_depth) {
    std::vector<BYTE> buffer(4096, 0);
    HBITMAP bitmap = nullptr;
    ScreenDC screen;
    DecompressImageInfo info;
    info.dwSize = sizeof info;
    info.pbBuffer = buffer.data();
    info.dwBufferMax = DWORD(buffer.size());
    info.dwBufferCurrent = 0;
    info.phBM = &bitmap;
    info.ppImageRender = nullptr;
    info.iBitDepth = bit_depth != 0 ? bit_depth : GetDeviceCaps(screen.dc(), BITSPIXEL);
    info.lParam = reinterpret_cast<LPARAM>(&stream);
    info.hdc = screen.dc();
    info.iScale = 100;
    info.iMaxWidth = 10000;
    info.iMaxHeight = 10000;
    info.pfnGetData = read_from_stream;
    info.pfnImageProgress = progress;
    info.crTransparentOverride = 0xFFFFFFFF;
    DecompressImageIndirect(&info);
    return bitmap;
}

HBITMAP decode_image_file(const std::u16string& path, int bit_depth) {
    File file(path, File::read_existing);
    return file.is_open() ? decode_image_stream(file, bit_depth) : nullptr;
}

PictureRep::PictureRep(const std::u16string& path, int32_t scale_) : PictureRep(picture_files, path, scale_) {}

PictureRep::PictureRep(PictureSource& source, const std::u16string& path, int32_t scale_) : scale(scale_) {
    bool variant_loaded = false;
    if (scale != 1) {
        std::u16string variant = path;
        variant << u"_x" << scale;
        variant_loaded = load_file_set(source, variant);
    }
    if (!variant_loaded && !load_file_set(source, path)) {
        return;
    }
    if (variant_loaded || scale == 1) {
        image = read_image_;
        mask = read_mask_;
        read_image_ = read_mask_ = nullptr;
    } else {
        scale_by(double(scale));
    }
    BITMAP info = bitmap_info(image);
    bitmap_width = info.bmWidth;
    bitmap_height = info.bmHeight;
}

PictureRep::~PictureRep() {
    delete_bitmap(image);
    delete_bitmap(mask);
    delete_bitmap(read_image_);
    delete_bitmap(read_mask_);
}

bool PictureRep::load_file_set(PictureSource& source, const std::u16string& base) {
    delete_bitmap(read_image_);
    delete_bitmap(read_mask_);
    mask_is_8bit = false;
    if (!source.load_file_set(base, read_image_, read_mask_, mask_is_8bit)) {
        delete_bitmap(read_image_);
        delete_bitmap(read_mask_);
        mask_is_8bit = false;
        return false;
    }
    BITMAP info = bitmap_info(read_image_);
    width = info.bmWidth;
    height = info.bmHeight;
    return true;
}

void PictureRep::scale_by(double factor) {
    ScreenDC screen;
    BITMAP info = bitmap_info(read_image_);
    Log::instance() << "bmp: Width=" << int(info.bmWidth) << " Height=" << int(info.bmHeight)
                    << " bmBitsPixel=" << int(info.bmBitsPixel) << " bmPlanes=" << int(info.bmPlanes) << "\n";
    HBITMAP new_image = scaled_copy(screen.dc(), read_image_, width, height, factor);
    HBITMAP new_mask = nullptr;
    bool mask_failed = false;
    if (read_mask_) {
        BITMAP m = bitmap_info(read_mask_);
        Log::instance() << "bitmap_info_a: bmBitsPixel=" << int(m.bmBitsPixel) << " bmPlanes=" << int(m.bmPlanes)
                        << "\n";
        new_mask = scaled_copy(screen.dc(), read_mask_, m.bmWidth, m.bmHeight, factor);
        mask_failed = new_mask == nullptr;
    }
    delete_bitmap(read_image_);
    delete_bitmap(read_mask_);
    if (!new_image || mask_failed) {
        delete_bitmap(new_image);
        delete_bitmap(new_mask);
        return;
    }
    image = new_image;
    mask = new_mask;
}

PictureCache::Map::iterator PictureCache::find_or_load(const Key& key, Maker make) {
    auto it = cache_map->find(key);
    if (it == cache_map->end()) {
        it = cache_map->emplace(key, Entry{0, make(key).release()}).first;
    }
    ++it->second.handles;
    return it;
}

size_t PictureCache::size() {
    return cache_map ? cache_map->size() : 0;
}

Picture::Picture() {
    add_user();
}

Picture::Picture(const std::u16string& path, bool stretch, int32_t scale) : Picture(PictureCache::Key{scale, path, {}}, make_file_picture, stretch) {}

Picture::Picture(const PictureCache::Key& key, PictureCache::Maker make, bool stretch) {
    add_user();
    entry_ = PictureCache::find_or_load(key, make);
    has_entry_ = true;
    stretch_ = stretch;
    const PictureRep* r = entry_->second.rep;
    border_max_ = {r->width, r->height};
    right_ = r->width;
    bottom_ = r->height;
}

Picture::Picture(const Picture& other) {
    add_user();
    take(other);
}

Picture& Picture::operator=(const Picture& other) {
    // The copy holds the new entry before the old one goes, so self-assignment keeps it.
    Picture copy(other);
    release();
    take(copy);
    return *this;
}

Picture::~Picture() {
    release();
    remove_user();
}

void Picture::take(const Picture& other) {
    has_entry_ = other.has_entry_;
    entry_ = other.entry_;
    if (has_entry_) {
        ++entry_->second.handles;
    }
    left_ = other.left_;
    top_ = other.top_;
    border_min_ = other.border_min_;
    border_max_ = other.border_max_;
    right_ = other.right_;
    bottom_ = other.bottom_;
    stretch_ = other.stretch_;
}

void Picture::release() {
    if (has_entry_ && --entry_->second.handles == 0) {
        delete entry_->second.rep;
        cache_map->erase(entry_);
    }
    has_entry_ = false;
    entry_ = {};
}

std::u16string Picture::get_path() const { return has_entry_ ? entry_->first.path : std::u16string(); }

std::u16string Picture::get_name() const { return has_entry_ ? entry_->first.name : std::u16string(); }

PictureRep* Picture::rep() const {
    return has_entry_ ? entry_->second.rep : nullptr;
}

bool Picture::is_loaded() const {
    return rep() && rep()->image;
}

Point Picture::get_size() const {
    return {right_ - left_, bottom_ - top_};
}

Point Picture::get_border_size() const {
    return {(right_ - border_max_.x) + (border_min_.x - left_), (bottom_ - border_max_.y) + (border_min_.y - top_)};
}

void Picture::set_origin(Point p) {
    left_ = p.x;
    top_ = p.y;
}

void Picture::set_border_min(Point p) {
    border_min_ = p;
}

void Picture::set_border_max(Point p) {
    border_max_ = p;
}

void Picture::set_end(Point p) {
    right_ = p.x;
    bottom_ = p.y;
}

void Picture::set_stretch(bool stretch) {
    stretch_ = stretch;
}

PictureSlices Picture::slices() const {
    const PictureRep* r = rep();
    int32_t w = r ? r->bitmap_width : 0, h = r ? r->bitmap_height : 0;
    PictureSlices s;
    s.left = clamp_to(left_, 0, w);
    s.right = clamp_to(right_, s.left, w);
    s.min_x = clamp_to(border_min_.x, s.left, s.right);
    s.max_x = clamp_to(border_max_.x, s.min_x, s.right);
    s.top = clamp_to(top_, 0, h);
    s.bottom = clamp_to(bottom_, s.top, h);
    s.min_y = clamp_to(border_min_.y, s.top, s.bottom);
    s.max_y = clamp_to(border_max_.y, s.min_y, s.bottom);
    return s;
}

void Picture::draw(Painter& painter, Point position, Point size) const {
    const PictureRep* r = rep();
    if (!r || !r->image || size.x < 1 || size.y < 1) {
        return;
    }
    if (r->mask_is_8bit) {
        draw_with_alpha(*this, painter, position, size);
        return;
    }
    HDCSelector image(painter.dc(), r->image);
    HDCSelector mask(painter.dc(), r->mask);
    draw_nine_slice(Blitter{painter.dc(), image.dc(), mask.dc(), SRCCOPY}, position, position + size, *this);
}

Point Picture::map_point(Point point, Point dest_origin, Point dest_end) const {
    PictureSlices s = slices();
    return {map_axis(point.x, dest_origin.x, dest_end.x, s.left, s.min_x, s.max_x, s.right, stretch_),
            map_axis(point.y, dest_origin.y, dest_end.y, s.top, s.min_y, s.max_y, s.bottom, stretch_)};
}

bool Picture::is_transparent_at(Point point, Point position, Point size) const {
    const PictureRep* r = rep();
    if (!r) {
        return true;
    }
    Point source = map_point(point, position, position + size);
    if (source.x == -1 || source.y == -1) {
        return true;
    }
    if (!r->mask) {
        return false;
    }
    HDCSelector mask(nullptr, r->mask);
    return GetPixel(mask.dc(), source.x, source.y) == 0;
}

}  // namespace skinner
