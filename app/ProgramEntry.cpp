#include "app/ProgramEntry.h"

#include <cstdio>
#include <string>

#include "app/Startup.h"
#include "platform/display/Display.h"
#include "platform/kernel/Unicode.h"
#include "platform/window/Modules.h"

namespace app {

namespace {

// The arguments as the device hands them over: one line, an argument with blanks in quotes.
std::u16string command_line_of(int argc, char** argv) {
    std::u16string line;
    for (int i = 1; i < argc; ++i) {
        std::u16string argument = platform::utf16_from_utf8(argv[i]);
        if (!line.empty()) line += u' ';
        if (argument.find(u' ') != std::u16string::npos) {
            line += u'"' + argument + u'"';
        } else {
            line += argument;
        }
    }
    return line;
}

bool display_ready() {
    if (platform::ensure_wanted_display()) return true;
    std::fprintf(stderr, "Vantrel: no display could be opened (VANTREL_DISPLAY=headless runs without one)\n");
    return false;
}

}  // namespace

int run_program(int argc, char** argv) {
    StartupPaths paths;
    paths.display_ready = display_ready;
    // The program's own instance: its menu bars and bitmaps are found by number under it.
    return run_vantrel(GetModuleHandleW(nullptr), command_line_of(argc, argv), paths);
}

}  // namespace app
