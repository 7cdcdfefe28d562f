#pragma once
// Pictures: value-type handles into a process-wide cache of decoded bitmaps keyed by
// (scale, path), each with the rectangle it shows and the two inner corners of its nine
// slices. A picture file comes as base.bmp with an optional mask base_1.bmp (white opaque,
// black transparent) or base_8.bmp (blue channel = opacity, drawn by blending); at scale 2
// base_x2.bmp is preferred, else base.bmp is stretched twice.
#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/Types.h"
#include "ui/graphics/Point.h"

namespace skinner {

class InputStream;
class Painter;

// An image read from the stream by the platform's image decompressor, at the bit depth given
// (0: the screen's); null when it cannot be decoded.
HBITMAP decode_image_stream(InputStream& stream, int bit_depth);
// The same for a file; null when it cannot be opened.
HBITMAP decode_image_file(const std::u16string& path, int bit_depth);

// Where the file sets of pictures are read: by default base.bmp and its masks as files; the
// older build reads them out of its skin archive.
class PictureSource {
public:
    virtual ~PictureSource() = default;
    // The image of a base name, and its mask when there is one (the flag set for an opacity
    // mask); false when there is no image.
    virtual bool load_file_set(const std::u16string& base, HBITMAP& image, HBITMAP& mask, bool& mask_is_8bit) = 0;
};

class PictureRep {
public:
    // Loads the file set for (path, scale); an empty rep (no image) when nothing loads.
    PictureRep(const std::u16string& path, int32_t scale);
    // The same with the file sets read from the source.
    PictureRep(PictureSource& source, const std::u16string& base, int32_t scale);
    ~PictureRep();
    PictureRep(const PictureRep&) = delete;
    PictureRep& operator=(const PictureRep&) = delete;

    int32_t width = 0;   // the file's size, before any scaling
    int32_t height = 0;
    int32_t bitmap_width = 0;  // the size of the image bitmap that is drawn
    int32_t bitmap_height = 0;
    HBITMAP image = nullptr;
    HBITMAP mask = nullptr;
    bool mask_is_8bit = false;
    int32_t scale = 1;

private:
    bool load_file_set(PictureSource& source, const std::u16string& base);
    void scale_by(double factor);

    // The bitmaps as read while loading; empty once the constructor returns.
    HBITMAP read_image_ = nullptr;
    HBITMAP read_mask_ = nullptr;
};

// The source coordinates a picture shows, brought inside its bitmap and in order
// (left <= border_min <= border_max <= right on each axis), so drawing never reads outside.
struct PictureSlices {
    int32_t left = 0, top = 0;
    int32_t min_x = 0, min_y = 0;
    int32_t max_x = 0, max_y = 0;
    int32_t right = 0, bottom = 0;
};

class PictureCache {
public:
    // Ordered by scale first, then path, then name. A picture file's key has an empty name; a
    // picture kept in an archive has the archive's path and the picture's name.
    struct Key {
        int32_t scale = 1;
        std::u16string path;
        std::u16string name;
        auto operator<=>(const Key&) const = default;
    };
    struct Entry {
        int32_t handles = 0;
        PictureRep* rep = nullptr;
    };
    using Map = std::map<Key, Entry>;
    // Makes the rep of a key that the cache does not hold yet.
    using Maker = std::unique_ptr<PictureRep> (*)(const Key& key);

    // The entry for the key, made when missing; its handle count is raised by 1.
    static Map::iterator find_or_load(const Key& key, Maker make);
    // Entries in the cache (0 when no picture exists).
    static size_t size();
};

class Picture {
public:
    Picture();
    Picture(const std::u16string& path, bool stretch, int32_t scale);
    // The picture of a key whose rep, when the cache lacks it, the maker makes.
    Picture(const PictureCache::Key& key, PictureCache::Maker make, bool stretch);
    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    ~Picture();

    PictureRep* rep() const;
    // The file path the picture was loaded for; empty for a picture without a cache entry.
    std::u16string get_path() const;
    // The picture's name within its archive; empty for a picture file.
    std::u16string get_name() const;
    bool is_loaded() const;
    Point get_size() const;
    Point get_border_size() const;

    void set_origin(Point p);
    void set_border_min(Point p);
    void set_border_max(Point p);
    void set_end(Point p);
    void set_stretch(bool stretch);

    Point origin() const { return {left_, top_}; }
    Point border_min() const { return border_min_; }
    Point border_max() const { return border_max_; }
    Point end() const { return {right_, bottom_}; }
    bool stretches() const { return stretch_; }
    PictureSlices slices() const;

    // Draws the picture into (position, position + size); nothing without a bitmap.
    void draw(Painter& painter, Point position, Point size) const;
    // The source pixel a destination point shows; -1 on an axis where it lies outside.
    Point map_point(Point point, Point dest_origin, Point dest_end) const;
    bool is_transparent_at(Point point, Point position, Point size) const;

private:
    void take(const Picture& other);
    void release();

    bool has_entry_ = false;
    PictureCache::Map::iterator entry_{};
    int32_t left_ = 0, top_ = 0;
    Point border_min_;
    Point border_max_;
    int32_t right_ = 0, bottom_ = 0;
    bool stretch_ = false;
};

}  // namespace skinner
