#include "tests/e2e/support/Journey.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/fixtures/AudioFixtures.h"
#include "tests/fixtures/TempDir.h"

namespace e2e {

namespace {

using fixtures::shell_quoted;
using Clock = std::chrono::steady_clock;

constexpr int window_timeout_ms = 60000;

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool updating_references() {
    const char* update = std::getenv("VANTREL_E2E_UPDATE");
    return update && std::string(update) == "1";
}

std::string reference_path(const std::string& journey, const std::string& shot) {
    return std::string(VANTREL_TEST_SOURCE_DIR) + "/tests/e2e/references/" + journey + "/" + shot + ".png";
}

// A binary PPM ("P6 width height 255", then the pixels) as ImageMagick writes it.
Image parse_ppm(const std::string& bytes) {
    Image image;
    std::istringstream in(bytes);
    std::string magic;
    int max_value = 0;
    in >> magic >> image.width >> image.height >> max_value;
    if (magic != "P6" || image.width <= 0 || image.height <= 0 || max_value != 255) {
        return {};
    }
    const size_t start = static_cast<size_t>(in.tellg()) + 1;
    const size_t size = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3;
    if (start + size > bytes.size()) {
        return {};
    }
    image.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                     bytes.begin() + static_cast<std::ptrdiff_t>(start + size));
    return image;
}

// One value of "xdotool getwindowgeometry --shell", a line of its own ("WIDTH=960").
int shell_value(const std::string& text, const std::string& name) {
    const std::string lines = "\n" + text;
    const size_t at = lines.find("\n" + name + "=");
    return at == std::string::npos ? 0 : std::atoi(lines.c_str() + at + name.size() + 2);
}

std::string tail_of(const std::string& text) {
    return text.size() > 2000 ? "..." + text.substr(text.size() - 2000) : text;
}

}  // namespace

std::string install_program(const fixtures::DeviceRoot& root, Program program) {
    namespace fs = std::filesystem;
    fs::path built = fs::path(VANTREL_TEST_BINARY_DIR) / "bin";
    if (program == Program::legacy) built /= "legacy";
    const fs::path folder = fs::path(root.host("Program Files/Vantrel"));
    fs::create_directories(folder);
    for (const fs::directory_entry& entry : fs::directory_iterator(built)) {
        // The older build lives in a folder of its own beside the newer one.
        if (program == Program::vantrel && entry.path().filename() == "legacy") continue;
        // A settings file that a run from the build folder left there is not the journey's.
        if (entry.path().filename() == "Settings.ini") continue;
        fs::copy(entry.path(), folder / entry.path().filename(), fs::copy_options::recursive);
    }
    return (folder / (program == Program::legacy ? "Vantrel-legacy" : "Vantrel")).string();
}

std::string settings_text(const fixtures::DeviceRoot& root) {
    const std::string bytes = fixtures::read_file(root.host("Program Files/Vantrel/Settings.ini"));
    std::string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += bytes[i];
    return text;
}

::testing::AssertionResult enable_program_log(const fixtures::DeviceRoot& root) {
    std::filesystem::create_directories(root.host("Temp"));
    const std::string command = "env " + root.environment() + " " + fixtures::helper_program("registry_tool") +
                                " set-dword 'HKEY_CURRENT_USER\\Software\\ZEPH' Log 1";
    if (fixtures::run_command(command) != 0) {
        return ::testing::AssertionFailure() << "could not switch the log on: " << command;
    }
    return ::testing::AssertionSuccess();
}

std::string program_log(const fixtures::DeviceRoot& root) {
    std::vector<std::string> files;
    std::error_code error;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(root.host("Temp"), error)) {
        if (entry.path().filename().string().rfind("Vantrel.txt", 0) == 0) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    std::string text;
    for (const std::string& file : files) {
        const std::string bytes = fixtures::read_file(file);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += bytes[i];
    }
    return text;
}

bool wait_for_log(const fixtures::DeviceRoot& root, const std::string& line, int timeout_ms, size_t times) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        const std::string log = program_log(root);
        size_t found = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++found;
        if (found >= times) return true;
        if (Clock::now() >= deadline) return false;
        pause(50);
    }
}

::testing::AssertionResult mark_most_of_the_first_clip(Journey& journey) {
    for (const char* key : {"Return", "Down", "Return"}) {
        if (!journey.key(key)) return ::testing::AssertionFailure() << "could not press " << key;
    }
    // The preview starts a second after the clip was chosen; the finish is moved most of the
    // way on by the position keys, a twentieth of the clip a press.
    pause(2000);
    bool pressed = journey.key("Return");
    for (int i = 0; pressed && i < 18; ++i) pressed = journey.key("Right");
    pause(500);
    if (!pressed || !journey.key("Return")) return ::testing::AssertionFailure() << "could not mark the clip";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult heard_from_the_start(const std::string& clip, const std::string& recording,
                                                double more_than_seconds) {
    const fixtures::DecodedAudio source = fixtures::decode_audio(clip);
    const fixtures::DecodedAudio heard = fixtures::decode_audio(recording);
    if (!source.ok || !heard.ok) {
        return ::testing::AssertionFailure() << "could not decode " << (source.ok ? recording : clip);
    }
    if (heard.channels != source.channels || heard.sample_rate != source.sample_rate) {
        return ::testing::AssertionFailure() << "heard " << heard.channels << " channels at " << heard.sample_rate
                                             << " Hz of " << source.channels << " at " << source.sample_rate;
    }
    if (heard.frames() <= static_cast<size_t>(more_than_seconds * source.sample_rate)) {
        return ::testing::AssertionFailure() << "heard only " << heard.frames() << " frames";
    }
    const size_t compared = std::min(heard.samples.size(), source.samples.size());
    size_t differing = 0;
    for (size_t i = 0; i < compared; ++i) differing += heard.samples[i] != source.samples[i];
    if (differing != 0) return ::testing::AssertionFailure() << differing << " samples differ from the clip's";
    return ::testing::AssertionSuccess();
}

std::string missing_tools() {
    std::string missing;
    for (const char* tool : {"Xvfb", "xdotool", "import"}) {
        if (!fixtures::have_program(tool)) {
            missing += std::string(missing.empty() ? "" : " ") + tool;
        }
    }
    return missing;
}

Journey::Journey(std::string name)
    : name_(std::move(name)), output_(std::string(VANTREL_TEST_BINARY_DIR) + "/tests/e2e/" + name_) {
    std::error_code ignored_error;
    std::filesystem::remove_all(output_, ignored_error);
    std::filesystem::create_directories(output_);
}

Journey::~Journey() {
    // Xvfb removes its lock and socket only when it is let to end.
    for (auto* process : {&program_, &display_}) {
        if (*process) {
            (*process)->stop(5000);
            process->reset();
        }
    }
}

::testing::AssertionResult Journey::start(const Launch& launch) {
    screen_width_ = launch.screen_width;
    screen_height_ = launch.screen_height;
    // A program started again (after the first one ended) comes up on the same display.
    if (!display_) {
        if (auto started = start_display(launch); !started) {
            return started;
        }
    }
    // The desktop's session bus library keeps a buffer to the end of the process; not ours.
    const std::string suppressions = output_ + "/lsan.supp";
    std::ofstream(suppressions) << "leak:libdbus-1.so\n";
    std::vector<std::string> environment = {
        "DISPLAY=" + display_name_,
        "VANTREL_DISPLAY=sdl",
        "VANTREL_AUDIO=wav:" + recording(),
        "VANTREL_SCREEN=" + std::to_string(launch.screen_width) + "x" + std::to_string(launch.screen_height),
        "LSAN_OPTIONS=suppressions=" + suppressions + ":print_suppressions=0",
    };
    if (launch.sandbox) {
        // Its own root also keeps it apart from instances of other journeys and of the user.
        environment.push_back("VANTREL_ROOT=" + root_.path());
    } else {
        // Its own home and runtime folder do the same on the desktop.
        const std::string home = root_.host("home");
        const std::string runtime = root_.host("run");
        std::filesystem::create_directories(home);
        std::filesystem::create_directories(root_.host("Temp"));
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        environment.insert(environment.end(), {"VANTREL_ROOT=", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config",
                                               "XDG_DATA_HOME=" + home + "/.local/share", "XDG_RUNTIME_DIR=" + runtime,
                                               "TMPDIR=" + root_.host("Temp")});
    }
    if (launch.zoom > 0) {
        environment.push_back("VANTREL_ZOOM=" + std::to_string(launch.zoom));
    }
    environment.insert(environment.end(), launch.environment.begin(), launch.environment.end());
    std::string command = "exec env";
    for (const std::string& setting : environment) {
        command += " " + shell_quoted(setting);
    }
    command += " " + shell_quoted(launch.program);
    for (const std::string& argument : launch.arguments) {
        command += " " + shell_quoted(argument);
    }
    command += " >>" + shell_quoted(output_ + "/program.log") + " 2>&1";
    program_ = std::make_unique<fixtures::BackgroundProcess>(command);
    if (!program_->started()) {
        return ::testing::AssertionFailure() << "could not start " << launch.program;
    }
    return find_window(launch);
}

::testing::AssertionResult Journey::start_display(const Launch& launch) {
    const int zoom = std::max(launch.zoom, 1);
    const int width = std::max(launch.display_width, launch.screen_width * zoom + 32);
    const int height = std::max(launch.display_height, launch.screen_height * zoom + 32);
    display_width_ = width;
    display_height_ = height;
    const std::string number_file = output_ + "/display";
    // Xvfb picks a free display and writes its number once it accepts clients.
    display_ = std::make_unique<fixtures::BackgroundProcess>(
        "exec Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 " + std::to_string(width) + "x" +
        std::to_string(height) + "x24 3>" + shell_quoted(number_file) + " 2>" + shell_quoted(output_ + "/xvfb.log"));
    const auto deadline = Clock::now() + std::chrono::milliseconds(window_timeout_ms);
    while (Clock::now() < deadline && !display_->has_exited()) {
        const std::string number = fixtures::read_file(number_file);
        if (!number.empty() && number.back() == '\n') {
            display_name_ = ":" + number.substr(0, number.size() - 1);
            return ::testing::AssertionSuccess();
        }
        pause(20);
    }
    return ::testing::AssertionFailure() << "Xvfb did not start: " << fixtures::read_file(output_ + "/xvfb.log");
}

::testing::AssertionResult Journey::find_window(const Launch& launch) {
    window_.clear();
    const auto deadline = Clock::now() + std::chrono::milliseconds(window_timeout_ms);
    while (Clock::now() < deadline) {
        if (program_->has_exited()) {
            return ::testing::AssertionFailure() << launch.program << " ended before it showed a window:\n"
                                                 << tail_of(program_output());
        }
        std::istringstream ids(fixtures::command_output(x_command("xdotool search --onlyvisible --name '^Vantrel$'")));
        if (ids >> window_) {
            break;
        }
        pause(100);
    }
    if (window_.empty()) {
        return ::testing::AssertionFailure() << "no window of " << launch.program << ":\n" << tail_of(program_output());
    }
    const std::string geometry = fixtures::command_output(x_command("xdotool getwindowgeometry --shell " + window_));
    const int width = shell_value(geometry, "WIDTH");
    const int height = shell_value(geometry, "HEIGHT");
    zoom_ = width / std::max(launch.screen_width, 1);
    if (zoom_ < 1 || width != zoom_ * launch.screen_width || height != zoom_ * launch.screen_height ||
        (launch.zoom > 0 && zoom_ != launch.zoom)) {
        return ::testing::AssertionFailure() << "the window is " << width << "x" << height << ", not the screen "
                                             << launch.screen_width << "x" << launch.screen_height << " zoomed";
    }
    // No window manager runs: the keyboard goes where the focus is put.
    fixtures::run_command(x_command("xdotool windowfocus " + window_));
    return ::testing::AssertionSuccess();
}

std::string Journey::x_command(const std::string& command) const {
    return "DISPLAY=" + display_name_ + " " + command + " 2>/dev/null";
}

// The middle of the device pixel in window coordinates.
std::string Journey::window_point(int x, int y) const {
    return "mousemove --window " + window_ + " " + std::to_string(x * zoom_ + zoom_ / 2) + " " +
           std::to_string(y * zoom_ + zoom_ / 2) + " sleep 0.05 ";
}

bool Journey::key(const std::string& keysym) {
    return fixtures::run_command(x_command("xdotool windowfocus " + window_ + " key --delay 40 " + shell_quoted(keysym))) == 0;
}

bool Journey::key_down(const std::string& keysym) {
    return fixtures::run_command(x_command("xdotool windowfocus " + window_ + " keydown " + shell_quoted(keysym))) == 0;
}

bool Journey::key_up(const std::string& keysym) {
    return fixtures::run_command(x_command("xdotool windowfocus " + window_ + " keyup " + shell_quoted(keysym))) == 0;
}

bool Journey::tap(int x, int y) {
    return fixtures::run_command(x_command("xdotool " + window_point(x, y) + "click 1")) == 0;
}

bool Journey::double_tap(int x, int y) {
    return fixtures::run_command(x_command("xdotool " + window_point(x, y) + "click --repeat 2 --delay 120 1")) == 0;
}

bool Journey::hold(int x, int y) {
    return fixtures::run_command(x_command("xdotool " + window_point(x, y) + "mousedown 1 sleep 1 mouseup 1")) == 0;
}

bool Journey::type(const std::string& text) {
    return fixtures::run_command(x_command("xdotool windowfocus " + window_ + " type --delay 60 " + shell_quoted(text))) == 0;
}

bool Journey::drag(int from_x, int from_y, int to_x, int to_y) {
    std::string moves = window_point(from_x, from_y) + "mousedown 1 ";
    constexpr int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        moves += window_point(from_x + (to_x - from_x) * i / steps, from_y + (to_y - from_y) * i / steps);
    }
    return fixtures::run_command(x_command("xdotool " + moves + "mouseup 1")) == 0;
}

bool Journey::wheel(int x, int y, int notches) {
    // X reports a notch away from the user as button 4, towards the user as button 5.
    const std::string button = notches > 0 ? "4" : "5";
    return fixtures::run_command(x_command("xdotool " + window_point(x, y) + "click --repeat " +
                                           std::to_string(std::abs(notches)) + " --delay 40 " + button)) == 0;
}

::testing::AssertionResult Journey::turn() {
    if (!key("F5")) {
        return ::testing::AssertionFailure() << "the turn key could not be pressed";
    }
    std::swap(screen_width_, screen_height_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(window_timeout_ms);
    std::string geometry;
    while (Clock::now() < deadline) {
        geometry = fixtures::command_output(x_command("xdotool getwindowgeometry --shell " + window_));
        const int width = shell_value(geometry, "WIDTH");
        const int height = shell_value(geometry, "HEIGHT");
        const int zoom = width / screen_width_;
        if (zoom >= 1 && width == screen_width_ * zoom && height == screen_height_ * zoom) {
            zoom_ = zoom;
            return ::testing::AssertionSuccess();
        }
        pause(50);
    }
    return ::testing::AssertionFailure() << "the window did not turn to " << screen_width_ << "x" << screen_height_
                                         << ":\n" << geometry;
}

Area Journey::window_area() const {
    const std::string geometry = fixtures::command_output(x_command("xdotool getwindowgeometry --shell " + window_));
    return {shell_value(geometry, "X"), shell_value(geometry, "Y"), shell_value(geometry, "WIDTH"),
            shell_value(geometry, "HEIGHT")};
}

Image Journey::screen() {
    const Image window = parse_ppm(fixtures::command_output(x_command("import -window " + window_ + " -depth 8 ppm:-")));
    if (window.width != screen_width_ * zoom_ || window.height != screen_height_ * zoom_) {
        return {};
    }
    // Every device pixel is a zoom-by-zoom square of the window.
    Image device;
    device.width = screen_width_;
    device.height = screen_height_;
    device.rgb.resize(static_cast<size_t>(device.width) * static_cast<size_t>(device.height) * 3);
    for (int y = 0; y < device.height; ++y) {
        for (int x = 0; x < device.width; ++x) {
            const size_t from = (static_cast<size_t>(y * zoom_) * static_cast<size_t>(window.width) +
                                 static_cast<size_t>(x * zoom_)) * 3;
            const size_t to = (static_cast<size_t>(y) * static_cast<size_t>(device.width) + static_cast<size_t>(x)) * 3;
            std::copy_n(window.rgb.begin() + static_cast<std::ptrdiff_t>(from), 3,
                        device.rgb.begin() + static_cast<std::ptrdiff_t>(to));
        }
    }
    return device;
}

::testing::AssertionResult Journey::screen_matches(const std::string& shot, const Match& match) {
    const std::string reference_file = reference_path(name_, shot);
    const std::string actual_file = output_ + "/" + shot + ".png";
    const auto deadline = Clock::now() + std::chrono::milliseconds(match.timeout_ms);
    if (updating_references()) {
        // Stored once two looks in a row agree, so a screen caught mid-paint is not kept.
        Image before = screen();
        while (Clock::now() < deadline) {
            pause(300);
            Image now = screen();
            if (!now.empty() && differing_pixels(before, now, 0, match.ignore) == 0) {
                write_png(actual_file, now);
                if (!write_png(reference_file, now)) {
                    return ::testing::AssertionFailure() << "could not write " << reference_file;
                }
                return ::testing::AssertionSuccess() << "stored " << reference_file;
            }
            before = std::move(now);
        }
        return ::testing::AssertionFailure() << "the screen for " << shot << " never settled";
    }
    const Image reference = read_png(reference_file);
    if (reference.empty()) {
        return ::testing::AssertionFailure() << "no reference " << reference_file << " (tests/e2e/update-references)";
    }
    Image actual;
    int differing = 0;
    do {
        actual = screen();
        differing = differing_pixels(reference, actual, match.channel_tolerance, match.ignore);
        if (differing <= match.allowed_pixels) {
            write_png(actual_file, actual);
            return ::testing::AssertionSuccess();
        }
        pause(100);
    } while (Clock::now() < deadline);
    if (actual.empty()) {
        return ::testing::AssertionFailure() << "no screenshot of the window for " << shot;
    }
    const std::string difference_file = output_ + "/" + shot + "-diff.png";
    write_png(actual_file, actual);
    write_png(difference_file, fixtures::difference_picture(reference, actual, match.channel_tolerance, match.ignore));
    return ::testing::AssertionFailure() << shot << ": " << differing << " pixels differ from " << reference_file
                                         << " (at most " << match.allowed_pixels << " may); the screen is "
                                         << actual_file << ", the differences " << difference_file;
}

bool Journey::running() {
    return program_ && !program_->has_exited();
}

bool Journey::signal(int signal_number) {
    return program_ && program_->signal(signal_number);
}

int Journey::wait_exit(int timeout_ms) {
    return program_ ? program_->wait(timeout_ms) : -1;
}

std::string Journey::program_output() const {
    return fixtures::read_file(output_ + "/program.log");
}

}  // namespace e2e
