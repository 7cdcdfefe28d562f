// mp3-scan [MINUTES]
//   Makes an MP3 file of MINUTES (default 30) at 128 kbit/s without an encoder's header (one
//   stretch that lame encoded with -t, repeated), then opens it with the MP3 reader ten times.
//   Opening walks every frame header once to time the file; prints the frames found, the first
//   open and the median and slowest of the ten, in milliseconds.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/FileReaderMP3.h"
#include "platform/kernel/DevicePath.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kStretchSeconds = 10.0;

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

// A file of the given length, made of one encoded stretch over and over.
bool make_file(const fs::path& folder, int minutes, fs::path& made) {
    const fs::path wav = folder / "stretch.wav";
    const fs::path stretch = folder / "stretch.mp3";
    const std::string synth = "sox -n -r 44100 -c 2 -b 16 '" + wav.string() + "' synth " + std::to_string(kStretchSeconds) +
                              " sine 200:4000 pinknoise vol 0.4 2>/dev/null";
    if (!run(synth) || !run("lame --quiet -t --cbr -b 128 '" + wav.string() + "' '" + stretch.string() + "'")) {
        return false;
    }
    std::ifstream in(stretch, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    made = folder / "long.mp3";
    std::ofstream out(made, std::ios::binary);
    const int copies = static_cast<int>(minutes * 60 / kStretchSeconds);
    for (int i = 0; i < copies; ++i) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const fs::path folder = fs::temp_directory_path() / ("mp3-scan-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::path file;
    if (!make_file(folder, minutes, file)) {
        std::fprintf(stderr, "mp3-scan: sox and lame could not make the file\n");
        fs::remove_all(folder);
        return 1;
    }
    std::u16string device;
    if (!platform::device_path_of(fs::absolute(file).string(), device)) {
        std::fprintf(stderr, "mp3-scan: %s is outside the device\n", file.c_str());
        fs::remove_all(folder);
        return 1;
    }
    std::vector<double> times;
    double seconds = 0;
    for (int i = 0; i < 10; ++i) {
        const Clock::time_point began = Clock::now();
        audio::FileReaderMP3 reader(device);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - began).count());
        if (!reader.is_open()) {
            std::fprintf(stderr, "mp3-scan: the reader did not open the file\n");
            fs::remove_all(folder);
            return 1;
        }
        seconds = reader.get_duration();
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("file=%.1f MB minutes=%.2f frames=%.0f\n", fs::file_size(file) / 1e6, seconds / 60,
                seconds * 44100 / 1152);
    std::printf("open first=%.2f ms median=%.2f ms slowest=%.2f ms\n", first, times[times.size() / 2], times.back());
    fs::remove_all(folder);
    return 0;
}
