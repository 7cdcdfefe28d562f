#pragma once
// The span conversion as the program runs it: through the converting form and its worker, on
// the headless display with the program's own skin. Also measures how soon Cancel stops it.
#include <string>

struct FormRun {
    bool ok = false;
    std::string error;
    double form_seconds = 0.0;    // from opening the source until run returns (its timer closes it)
    double worker_seconds = 0.0;  // from run until the worker has ended
    double cancel_ms = 0.0;       // the longest Cancel, in either pass, until the worker was joined
    bool cancel_left_file = false;
    int kbps = 0;
};

// Converts 0..seconds of the input (device paths) into output, the best of runs; the skin is
// the built one beside the benchmark, copied into the work folder (host and device path).
FormRun convert_through_form(const std::u16string& input, const std::u16string& output, double seconds, int runs,
                             const std::string& host_work, const std::u16string& device_work);
