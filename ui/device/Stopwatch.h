#pragma once
// Elapsed seconds for the log's stage lines, from the tick counter.

namespace skinner {

class Stopwatch {
public:
    Stopwatch();
    // Seconds since the start.
    double elapsed() const;
    // Seconds since the start; the present becomes the new start.
    double restart();

private:
    double start_;  // milliseconds, as GetTickCount gives them
};

// Seconds since the program's static objects were made.
double elapsed_since_program_start();

}  // namespace skinner
