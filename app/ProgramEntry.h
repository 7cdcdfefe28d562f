#pragma once
// The process entry shared by both builds of the program: the command line as one wide string,
// a display to show the device's screen on, then the program's main function.
namespace app {

// The program's exit status.
int run_program(int argc, char** argv);

}  // namespace app
