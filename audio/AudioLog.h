#pragma once
// Diagnostics of the audio nodes, written to the program's optional log.

namespace audio {

// Writes "ERROR: " + what + value + "\n".
void log_error(const char* what, long value);

}  // namespace audio
