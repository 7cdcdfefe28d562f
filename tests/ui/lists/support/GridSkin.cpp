#include "tests/ui/lists/support/GridSkin.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "platform/threads/Threads.h"
#include "platform/window/Messages.h"

namespace grid_test {

GridWorld::GridWorld() {
    // Built beside the tests from skins/grid.json and its pictures.
    const std::string built = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/skins/grid";
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
