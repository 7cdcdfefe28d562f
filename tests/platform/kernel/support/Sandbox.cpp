#include "Sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/device/DeviceProfile.h"

Sandbox::Sandbox() {
    setenv("VANTREL_ROOT", root_.path().c_str(), 1);
    platform::reload_device_profile();
}

Sandbox::~Sandbox() {
    unsetenv("VANTREL_ROOT");
    platform::reload_device_profile();
}

void Sandbox::write(const std::string& relative, const std::string& bytes) const {
    std::filesystem::path path = host(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Sandbox::read(const std::string& relative) const {
    std::ifstream in(host(relative), std::ios::binary);
    std::stringstream out;
    out << in.rdbuf();
    return out.str();
}
