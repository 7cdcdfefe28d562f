#include "ui/skin/KeyValueText.h"

#include "base/Strings.h"

namespace skinner {

namespace {
bool is_line_end(char16_t c) { return c == u'\r' || c == u'\n'; }
}  // namespace

void parse_key_values(std::u16string_view text, KeyValueMap& map) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        while (i < n && is_space(text[i])) ++i;
        if (i >= n) break;
        const size_t key_start = i;
        while (i < n && !is_space(text[i]) && text[i] != u'=') ++i;
        const std::u16string_view key = text.substr(key_start, i - key_start);
        size_t value_start = i;
        if (i < n) {
            if (text[i] == u'=') {
                value_start = i + 1;
            } else {
                while (i < n && is_space(text[i]) && !is_line_end(text[i])) ++i;
                value_start = i;
            }
        }
        size_t value_end = value_start;
        while (value_end < n && !is_line_end(text[value_end])) ++value_end;
        if (!key.empty()) map[std::u16string(key)] = std::u16string(text.substr(value_start, value_end - value_start));
        i = value_end;
    }
}

}  // namespace skinner
