// Reads and writes registry values from a separate process, for the persistence,
// concurrency and crash-safety tests of the registry store.
//   registry_tool get-dword KEY NAME          prints the value, exit 1 when missing
//   registry_tool set-dword KEY NAME VALUE
//   registry_tool get-string KEY NAME         prints the text (ASCII), exit 1 when missing
//   registry_tool set-string KEY NAME TEXT
//   registry_tool fill KEY PREFIX COUNT       writes PREFIX0..PREFIXn-1 with their numbers
//   registry_tool churn KEY                   forever: Text = "value N...", then Counter = N
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/Registry.h"
#include "base/Strings.h"

namespace {

std::u16string wide(const std::string& text) {
    std::u16string out;
    skinner::widen(text, out);
    return out;
}

std::string ascii(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

int churn(const std::u16string& key) {
    DWORD n = 0;
    skinner::registry_read_dword(key, u"Counter", n);
    for (;;) {
        ++n;
        // A long text, so that a kill often lands inside a write.
        std::string text = "value " + std::to_string(n) + " " + std::string(4000, '.');
        if (!skinner::registry_write_string(key, u"Text", wide(text)) ||
            !skinner::registry_write_dword(key, u"Counter", n)) {
            return 2;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: registry_tool COMMAND KEY ...\n");
        return 2;
    }
    std::string command = argv[1];
    std::u16string key = wide(argv[2]);
    if (command == "get-dword" && argc == 4) {
        DWORD value = 0;
        if (!skinner::registry_read_dword(key, wide(argv[3]), value)) {
            return 1;
        }
        std::printf("%u\n", value);
        return 0;
    }
    if (command == "set-dword" && argc == 5) {
        DWORD value = static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10));
        return skinner::registry_write_dword(key, wide(argv[3]), value) ? 0 : 1;
    }
    if (command == "get-string" && argc == 4) {
        std::u16string value;
        if (!skinner::registry_read_string(key, wide(argv[3]), value)) {
            return 1;
        }
        std::printf("%s\n", ascii(value).c_str());
        return 0;
    }
    if (command == "set-string" && argc == 5) {
        return skinner::registry_write_string(key, wide(argv[3]), wide(argv[4])) ? 0 : 1;
    }
    if (command == "fill" && argc == 5) {
        int count = std::atoi(argv[4]);
        for (int i = 0; i < count; ++i) {
            if (!skinner::registry_write_dword(key, wide(argv[3] + std::to_string(i)), static_cast<DWORD>(i))) {
                return 1;
            }
        }
        return 0;
    }
    if (command == "churn") {
        return churn(key);
    }
    std::fprintf(stderr, "registry_tool: unknown command %s\n", command.c_str());
    return 2;
}
