#include "audio/AudioLog.h"

#include "base/Log.h"

namespace audio {

void log_error(const char* what, long value) {
    skinner::Log::instance() << "ERROR: " << what << value << "\n";
}

}  // namespace audio
