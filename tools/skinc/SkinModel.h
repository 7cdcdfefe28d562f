#pragma once
// The skin as the compiler holds it between its source and the binary file.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/skin/SkinFile.h"

namespace skinc {

// Properties of one node, one map per property type, keyed by name.
struct PropertySet {
    std::map<std::u16string, int32_t> integers;
    std::map<std::u16string, skinner::SkinPoint> points;
    std::map<std::u16string, std::u16string> strings;
    std::map<std::u16string, skinner::SkinPicture> pictures;
    std::map<std::u16string, skinner::SkinColor> colors;
    std::map<std::u16string, uint32_t> fonts;
    size_t count() const {
        return integers.size() + points.size() + strings.size() + pictures.size() + colors.size() + fonts.size();
    }
};

struct NodeModel {
    std::u16string name;
    std::string where;  // the node's place in the source, for messages
    PropertySet properties;
    std::vector<NodeModel> controls;                               // forms only
    std::vector<std::pair<std::u16string, std::u16string>> autos;  // forms only: (control, type)
};

struct SkinModel {
    std::u16string identifier;
    std::u16string devices;
    std::vector<skinner::SkinScreenSize> screens;
    std::vector<std::u16string> pictures;  // file names relative to the skin file, without extension
    std::vector<std::u16string> fonts;     // font specifications
    std::vector<NodeModel> forms;
    std::vector<NodeModel> kinds;
};

// Writes the binary file; false with a message when the model breaks a rule of the format.
bool write_skin(const SkinModel& model, std::vector<uint8_t>& out, std::string& error);

// Reads bytes back with the program's own reader and compares them with the model.
bool verify_skin(const SkinModel& model, const std::vector<uint8_t>& bytes, std::string& error);

std::u16string utf8_to_utf16(const std::string& text, bool* ok = nullptr);
std::string utf16_to_utf8(std::u16string_view text);

}  // namespace skinc
