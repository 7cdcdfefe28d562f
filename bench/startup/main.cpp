// startup [RUNS]
//   Starts Vantrel RUNS times (default 10) on the headless display at 480 x 640, each in a
//   device root of its own with the log switched on, and measures from just before the process
//   is made to the moment its main form's first frame is painted (the log's "first frame" line
//   carries the tick count, a clock every process shares). Prints each run beside its four
//   stage lines, then the median and the slowest.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/Registry.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The tick count as the program's GetTickCount gives it.
uint32_t ticks() {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

// The log files of the root's "\Temp", UTF-16 read as ASCII.
std::string read_logs(const fs::path& temp) {
    std::string text;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(temp, error)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += bytes[i + 1] == 0 ? bytes[i] : '?';
    }
    return text;
}

struct Run {
    double first_frame_ms = -1;
    std::string stages;
};

Run run_once(const fs::path& program, const fs::path& root) {
    const fs::path temp = root / "Temp";
    fs::remove_all(temp);
    fs::create_directories(temp);
    std::vector<std::string> settings = {"VANTREL_ROOT=" + root.string(), "VANTREL_DISPLAY=headless",
                                         "VANTREL_AUDIO=null", "VANTREL_SCREEN=480x640",
                                         "XDG_RUNTIME_DIR=" + (root / "runtime").string()};
    std::vector<char*> environment;
    for (char** e = environ; *e; ++e) environment.push_back(*e);
    for (std::string& s : settings) environment.push_back(s.data());
    environment.push_back(nullptr);
    std::string path = program.string();
    char* arguments[] = {path.data(), nullptr};

    Run run;
    const uint32_t spawned_at = ticks();
    pid_t child = 0;
    if (posix_spawn(&child, path.c_str(), nullptr, nullptr, arguments, environment.data()) != 0) return run;
    const std::regex painted("FormMain first frame painted at tick ([0-9]+)");
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    std::string log;
    std::smatch match;
    while (Clock::now() < deadline) {
        log = read_logs(temp);
        if (std::regex_search(log, match, painted)) {
            const uint32_t at = static_cast<uint32_t>(std::stoul(match[1]));
            run.first_frame_ms = static_cast<int32_t>(at - spawned_at);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    const std::regex stage("==== ([^\n]+) ([0-9.]+)\n");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), stage); it != std::sregex_iterator(); ++it) {
        std::ostringstream line;
        line << " " << (*it)[1] << "=" << std::stod((*it)[2]) * 1000.0 << "ms";
        run.stages += line.str();
    }
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const fs::path built = VANTREL_PROGRAM_DIR;
    char pattern[] = "/tmp/vantrel-startup-XXXXXX";
    if (!mkdtemp(pattern)) return 2;
    const fs::path root = pattern;
    // The program goes inside the root, so its settings file is the benchmark's own.
    const fs::path folder = root / "Program Files" / "Vantrel";
    fs::create_directories(folder);
    fs::create_directories(root / "runtime");
    fs::copy_file(built / "Vantrel", folder / "Vantrel");
    for (const auto& entry : fs::directory_iterator(built)) {
        if (entry.path().extension() == ".lng") fs::copy_file(entry.path(), folder / entry.path().filename());
    }
    fs::copy(built / "skins", folder / "skins", fs::copy_options::recursive);
    // The registry of the root, through the platform, as the program reads it.
    setenv("VANTREL_ROOT", root.c_str(), 1);
    skinner::registry_write_dword(u"HKEY_CURRENT_USER\\Software\\ZEPH", u"Log", 1);

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const Run run = run_once(folder / "Vantrel", root);
        std::printf("run %d: first_frame_ms=%.0f%s\n", i + 1, run.first_frame_ms, run.stages.c_str());
        if (run.first_frame_ms >= 0) times.push_back(run.first_frame_ms);
    }
    fs::remove_all(root);
    if (times.empty()) {
        std::printf("no run painted its first frame\n");
        return 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("first frame of the main form at 480x640, from process start: median=%.0fms slowest=%.0fms (%zu runs)\n",
                times[times.size() / 2], times.back(), times.size());
    return 0;
}
