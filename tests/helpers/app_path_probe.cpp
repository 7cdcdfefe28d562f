// Prints the program's folder as "%app_path%" expands it, logging one line before the
// expansion or, with the argument "expand-first", after it. For the tests of the program
// path: a path too long for it is a fatal error, log on or off.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/Log.h"
#include "base/Path.h"
#include "platform/kernel/Unicode.h"

int main(int argc, char** argv) {
    bool expand_first = argc > 1 && std::strcmp(argv[1], "expand-first") == 0;
    if (!expand_first) {
        skinner::Log::instance() << u"app_path_probe: start\n";
    }
    std::string folder = platform::utf8_from_utf16(skinner::expand_path(u"%app_path%"));
    skinner::Log::instance() << u"app_path_probe: expanded\n";
    std::printf("%s\n", folder.c_str());
    return 0;
}
