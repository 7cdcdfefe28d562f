#include "tests/ui/grid/support/GridSkin.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "tests/fixtures/SkinCompiler.h"
#include "platform/threads/Threads.h"
#include "platform/window/Messages.h"
#include "tests/fixtures/TempDir.h"

namespace grid_test {

namespace {

const std::filesystem::path source_folder = std::filesystem::path(__FILE__).parent_path().parent_path() / "skin";

std::string build_skin(const fixtures::TempDir& out) {
    const std::string skinc = fixtures::skinc_path(VANTREL_TEST_BINARY_DIR);
    for (const auto& entry : std::filesystem::directory_iterator(source_folder / "pictures")) {
        if (entry.path().extension() != ".svg") continue;
        const std::string name = entry.path().stem().string();
        const std::string png = out.file(name + ".png");
        if (fixtures::run_command("rsvg-convert --zoom 1 --output '" + png + "' '" + entry.path().string() + "'") != 0) return "";
        if (fixtures::run_command("'" + skinc + "' picture '" + png + "' '" + out.file(name) + "'") != 0) return "";
        std::filesystem::remove(png);
    }
    const std::string source = fixtures::read_file((source_folder / "grid.json").string());
    std::string messages;
    if (fixtures::compile_skin(skinc, out.path(), "grid", source, out.path(), &messages) != 0) {
        std::fprintf(stderr, "grid skin: %s\n", messages.c_str());
        return "";
    }
    return out.path();
}

}  // namespace

const std::string& built_skin_folder() {
    static fixtures::TempDir out;
    static const std::string folder = build_skin(out);
    return folder;
}

GridWorld::GridWorld() {
    const std::string& built = built_skin_folder();
    if (built.empty()) return;
    std::filesystem::create_directories(root_.host("skins/grid"));
    for (const auto& entry : std::filesystem::directory_iterator(built)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".skin" || ext == ".bmp")
            std::filesystem::copy_file(entry.path(), root_.host("skins/grid/" + entry.path().filename().string()));
    }
    application_ = std::make_unique<skinner::Application>(nullptr, u"GridTest");
    properties_ = std::make_unique<skinner::Properties>(u"\\skins\\grid\\grid.skin", skinner::Point(480, 640),
                                                        skinner::Point(480, 536));
    if (!properties_->is_loaded()) return;
    form_ = std::make_unique<RecordingForm>(properties_.get());
}

GridWorld::~GridWorld() {
    form_.reset();
    properties_.reset();
    application_.reset();
}

std::vector<std::string> RecordingForm::take_names() {
    std::vector<std::string> names;
    for (const Event& e : events) names.push_back(e.name);
    events.clear();
    return names;
}

Shade shade_of(uint32_t rgb) {
    struct Known {
        Shade shade;
        uint32_t rgb;
    };
    static const Known known[] = {
        {Shade::Red, 0xFF0000},   {Shade::Green, 0x00FF00}, {Shade::Blue, 0x0000FF},    {Shade::Grey, 0x808080},
        {Shade::Yellow, 0xFFFF00}, {Shade::White, 0xFFFFFF}, {Shade::Navy, 0x000080},   {Shade::Cyan, 0x00FFFF},
        {Shade::Magenta, 0xFF00FF}, {Shade::Brown, 0x804000}, {Shade::Black, 0x000000},
    };
    // Close enough for a 16-bit surface: each channel within 8.
    for (const Known& k : known) {
        bool near = true;
        for (int shift : {0, 8, 16}) {
            const int a = int((rgb >> shift) & 0xFF), b = int((k.rgb >> shift) & 0xFF);
            near = near && std::abs(a - b) <= 8;
        }
        if (near) return k.shade;
    }
    return Shade::Other;
}

const char* name_of(Shade shade) {
    static const char* names[] = {"other", "red",   "green", "blue",    "grey",  "yellow",
                                  "white", "navy",  "cyan",  "magenta", "brown", "black"};
    return names[int(shade)];
}

void pump_messages_for(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

}  // namespace grid_test
