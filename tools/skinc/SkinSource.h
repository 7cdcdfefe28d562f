#pragma once
// The skin source: JSON (comments allowed) describing the header, the pictures and fonts, the
// forms with their variants and controls, the kinds, and source-only styles that nodes reuse.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/skinc/SkinModel.h"

namespace skinc {

struct SourceOptions {
    // Where the built pictures (NAME.bmp) lie; empty skips the picture-file checks.
    std::string pictures_dir;
};

bool parse_source(const std::string& text, const SourceOptions& options, SkinModel& model, std::vector<std::string>& errors);
bool read_source(const std::string& path, const SourceOptions& options, SkinModel& model, std::vector<std::string>& errors);

}  // namespace skinc
