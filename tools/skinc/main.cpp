// skinc: builds skins for the program.
//   skinc compile SOURCE.json --pictures DIR --output FILE.skin
//   skinc picture RENDERED.png BASE        (BASE.bmp and its mask)
//   skinc language SOURCE.txt OUTPUT.lng   (UTF-8 text to UTF-16LE with a byte-order mark)
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/skinc/Bitmap.h"
#include "tools/skinc/SkinSource.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: skinc compile SOURCE.json [--pictures DIR] --output FILE.skin\n"
                 "       skinc picture RENDERED.png BASE\n"
                 "       skinc language SOURCE.txt OUTPUT.lng\n");
    return 2;
}

int compile(int argc, char** argv) {
    std::string source, output;
    skinc::SourceOptions options;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--pictures" && i + 1 < argc)
            options.pictures_dir = argv[++i];
        else if (a == "--output" && i + 1 < argc)
            output = argv[++i];
        else if (source.empty())
            source = a;
        else
            return usage();
    }
    if (source.empty() || output.empty()) return usage();
    skinc::SkinModel model;
    std::vector<std::string> errors;
    if (!skinc::read_source(source, options, model, errors)) {
        for (const std::string& e : errors) std::fprintf(stderr, "%s:%s\n", source.c_str(), e.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!skinc::write_skin(model, bytes, error) || !skinc::verify_skin(model, bytes, error)) {
        std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
        return 1;
    }
    std::ofstream out(output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", source.c_str(), output.c_str());
        return 1;
    }
    return 0;
}

int picture(int argc, char** argv) {
    if (argc != 4) return usage();
    std::string error;
    if (!skinc::png_to_bitmaps(argv[2], argv[3], error)) {
        std::fprintf(stderr, "skinc: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int language(int argc, char** argv) {
    if (argc != 4) return usage();
    std::ifstream in(argv[2], std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    bool ok = bool(in);
    const std::u16string units = skinc::utf8_to_utf16(text.str(), &ok);
    if (!ok) {
        std::fprintf(stderr, "%s: not readable as UTF-8 text\n", argv[2]);
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary);
    out.put(char(0xFF));
    out.put(char(0xFE));
    for (char16_t c : units) {
        out.put(char(c & 0xFF));
        out.put(char(c >> 8));
    }
    if (!out) {
        std::fprintf(stderr, "skinc: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    try {
        if (command == "compile") return compile(argc, argv);
        if (command == "picture") return picture(argc, argv);
        if (command == "language") return language(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinc: %s\n", e.what());
        return 1;
    }
    return usage();
}
