#pragma once
// End-to-end journeys: a program in a sandbox device root on a fresh Xvfb display, driven
// through its real SDL window with xdotool at device coordinates, its screen compared with
// stored references (tests/e2e/references/JOURNEY/SHOT.png, device-sized).
// With VANTREL_E2E_UPDATE=1 (tests/e2e/update-references) each compared screen is stored as
// the new reference instead, once it has stopped changing.
// Everything a journey leaves (screens, differences, the program's output, the wav: device's
// recording) goes to BUILD/tests/e2e/JOURNEY/.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/fixtures/BackgroundProcess.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/Picture.h"

namespace e2e {

// The programs a journey needs that are not on PATH (empty when all are).
std::string missing_tools();

// The journeys compare screens as the other tests compare their shots.
using fixtures::Area;
using fixtures::differing_pixels;
using fixtures::Image;
using fixtures::read_png;
using fixtures::write_png;

struct Launch {
    std::string program;                   // host path of the executable
    std::vector<std::string> arguments;
    std::vector<std::string> environment;  // more NAME=VALUE settings for the program
    int screen_width = 480;                // the device's screen (VANTREL_SCREEN)
    int screen_height = 640;
    int zoom = 0;                          // VANTREL_ZOOM; 0: the program fits its window to the display
    int display_width = 1280;              // the Xvfb screen, grown to hold the zoomed window
    int display_height = 1024;
    // False: no VANTREL_ROOT, so the device's "\" is the host's "/", as on a desktop; the
    // user's home, its XDG folders, the runtime and temporary folders then lie in the journey's
    // root (the home is "home" there).
    bool sandbox = true;
};

// How closely a screen must match its reference.
struct Match {
    std::vector<Area> ignore;   // parts that change by themselves (a clock, a playing position)
    int channel_tolerance = 32;  // a pixel differs when a colour channel differs by more
    int allowed_pixels = 16;     // differing pixels allowed outside the ignored parts
    int timeout_ms = 20000;      // how long the screen may take to get there
};

class Journey {
public:
    // name: the journey's reference and output folder.
    explicit Journey(std::string name);
    // Ends the program (when it still runs) and the display.
    ~Journey();
    Journey(const Journey&) = delete;
    Journey& operator=(const Journey&) = delete;

    // Starts the display and the program and waits for its window; once the program has
    // ended, starts it again on the same display.
    ::testing::AssertionResult start(const Launch& launch);

    // Input at device coordinates, through the X server as a user gives it.
    bool key(const std::string& keysym);  // xdotool names: "Return", "F1", "Left", "h"
    // The two halves of a key press, for a journey that notes what happens in between.
    bool key_down(const std::string& keysym);
    bool key_up(const std::string& keysym);
    bool tap(int x, int y);
    bool drag(int from_x, int from_y, int to_x, int to_y);
    // Two quick taps; the pen held still for a second (the tap and hold of a context menu).
    bool double_tap(int x, int y);
    bool hold(int x, int y);
    // Text typed on the desktop keyboard.
    bool type(const std::string& text);
    // The mouse wheel turned by notches (positive away from the user) over a device point.
    bool wheel(int x, int y, int notches);
    // The desktop's key that turns the screen (F5): waits for the window's new shape, at the
    // zoom the program then chose.
    ::testing::AssertionResult turn();
    // Where the window lies on the Xvfb screen, and that screen's size.
    Area window_area() const;
    Area display_area() const { return {0, 0, display_width_, display_height_}; }

    // The device's screen now, from the window at device size (empty on failure).
    Image screen();
    // Waits until the screen matches the reference SHOT (or stores it, updating).
    ::testing::AssertionResult screen_matches(const std::string& shot, const Match& match = {});

    bool running();
    // Sends the signal to the program (SIGKILL: as a crash or the host's kill would end it).
    bool signal(int signal_number);
    // The program's exit status once it ends by itself; -1 on time-out.
    int wait_exit(int timeout_ms);

    const fixtures::DeviceRoot& root() const { return root_; }
    const std::string& output_folder() const { return output_; }
    std::string recording() const { return output_ + "/recording.wav"; }
    // What the program wrote to its standard output and error.
    std::string program_output() const;
    int zoom() const { return zoom_; }

private:
    ::testing::AssertionResult start_display(const Launch& launch);
    ::testing::AssertionResult find_window(const Launch& launch);
    std::string x_command(const std::string& command) const;
    std::string window_point(int x, int y) const;

    std::string name_;
    std::string output_;
    fixtures::DeviceRoot root_;
    std::unique_ptr<fixtures::BackgroundProcess> display_;
    std::unique_ptr<fixtures::BackgroundProcess> program_;
    std::string display_name_;
    std::string window_;
    int zoom_ = 1;
    int screen_width_ = 0;
    int screen_height_ = 0;
    int display_width_ = 0;
    int display_height_ = 0;
};

// Which of the two programs a journey runs.
enum class Program { vantrel, legacy };

// Installs the built program with its skins, languages and help pages into the device root's
// "Program Files/Vantrel", so that its settings file (kept beside the program) starts absent
// and stays the journey's; returns the host path of the executable.
std::string install_program(const fixtures::DeviceRoot& root, Program program = Program::vantrel);

// The installed program's Settings.ini as plain text (it is UTF-16 with a byte-order mark).
std::string settings_text(const fixtures::DeviceRoot& root);

// Switches the program's log on in the root (the registry's DWORD "Log") and makes its Temp.
::testing::AssertionResult enable_program_log(const fixtures::DeviceRoot& root);
// Every log the program wrote in the root (UTF-16 in its Temp folder, one file a run, in the
// order of their names) as plain text.
std::string program_log(const fixtures::DeviceRoot& root);
// Waits until the program's logs hold the line `times` times; false on time-out.
bool wait_for_log(const fixtures::DeviceRoot& root, const std::string& line, int timeout_ms, size_t times = 1);

// Vantrel from its first screen to the save panel: My Documents, the clip below the way up,
// its start marked as the preview begins and its finish eighteen twentieths of the clip on.
::testing::AssertionResult mark_most_of_the_first_clip(Journey& journey);

// Whether the wav: device's recording is the clip from its beginning, sample for sample, at
// the clip's channels and rate, and lasts more than the given seconds.
::testing::AssertionResult heard_from_the_start(const std::string& clip, const std::string& recording,
                                                double more_than_seconds);

}  // namespace e2e
