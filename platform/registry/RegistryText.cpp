#include "platform/registry/RegistryText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/kernel/Core.h"
#include "platform/text/Text.h"

namespace platform::registry_text {

namespace {

void escape_into(std::string& out, std::u16string_view text, bool in_key) {
    static const char hex[] = "0123456789ABCDEF";
    for (char16_t c : text) {
        bool plain = c >= 0x20 && c < 0x7F && c != u'%' && c != u'"' && !(in_key && (c == u'[' || c == u']'));
        if (plain) {
            out.push_back(static_cast<char>(c));
        } else {
            out += "%u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out.push_back(hex[(c >> shift) & 0xF]);
            }
        }
    }
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<uint32_t> parse_hex(std::string_view text, size_t digits) {
    if (text.size() != digits) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : text) {
        int d = hex_digit(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<uint32_t>(d);
    }
    return value;
}

std::optional<std::u16string> unescape(std::string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            if (i + 6 > text.size() || text[i + 1] != 'u') {
                return std::nullopt;
            }
            auto unit = parse_hex(text.substr(i + 2, 4), 4);
            if (!unit) {
                return std::nullopt;
            }
            out.push_back(static_cast<char16_t>(*unit));
            i += 5;
        } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F || c == '"') {
            return std::nullopt;
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

bool is_root_name(std::u16string_view name) {
    for (const char16_t* root : root_names) {
        if (fold(name) == fold(root)) {
            return true;
        }
    }
    return false;
}

void append_key_line(std::string& out, const Key& key) {
    out += '[';
    escape_into(out, key.path, true);
    out += "]\n";
}

std::string value_text(const Value& value) {
    std::string out = "\"";
    escape_into(out, value.name, false);
    out += "\"=";
    if (value.type == REG_DWORD) {
        uint32_t v = 0;
        std::memcpy(&v, value.data.data(), 4);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08X", v);
        out += text;
    } else {
        std::u16string units(value.data.size() / 2, u'\0');
        copy_bytes(units.data(), value.data.data(), units.size() * 2);
        out += "sz:\"";
        escape_into(out, units, false);
        out += '"';
    }
    return out;
}

}  // namespace

std::u16string fold(std::u16string_view text) {
    std::u16string folded(text);
    CharLowerBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

void copy_bytes(void* to, const void* from, size_t count) {
    if (count != 0) {
        std::memcpy(to, from, count);
    }
}

std::optional<std::vector<std::u16string>> split_key_path(std::u16string_view path) {
    std::vector<std::u16string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) {
            end = path.size();
        }
        if (end == start) {
            return std::nullopt;
        }
        parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

Key& add_key(Keys& keys, const std::vector<std::u16string>& parts) {
    std::u16string path;
    Key* key = nullptr;
    for (const std::u16string& part : parts) {
        if (!path.empty()) {
            path += u'\\';
        }
        path += part;
        Key& entry = keys[fold(path)];
        if (entry.path.empty()) {
            entry.path = path;
        }
        key = &entry;
    }
    return *key;
}

std::string serialise(const Document& doc) {
    std::string out;
    if (doc.lines.empty()) {
        out = "; Vantrel registry: [key], then \"name\"=dword:XXXXXXXX or \"name\"=sz:\"UTF-16 units\"\n";
    }
    std::map<std::u16string, std::vector<std::u16string>> written;  // values with a line, by key
    std::map<std::u16string, bool> keyed;                            // keys with a line
    for (const Line& line : doc.lines) {
        if (line.kind == Line::value_line) {
            written[line.key].push_back(line.value);
        } else if (line.kind == Line::key_line) {
            keyed[line.key] = true;
        }
    }
    auto is_written = [&](const std::u16string& key, const std::u16string& value) {
        auto names = written.find(key);
        return names != written.end() && std::find(names->second.begin(), names->second.end(), value) != names->second.end();
    };
    auto add_new_values = [&](const std::u16string& folded) {
        auto key = doc.keys.find(folded);
        if (key == doc.keys.end()) return;
        for (const auto& [name, value] : key->second.values) {
            if (!is_written(folded, name)) {
                out += value_text(value);
                out += '\n';
                written[folded].push_back(name);
            }
        }
    };
    // A section runs to the next line that opens a key, readable or not.
    const std::u16string* section = nullptr;
    for (const Line& line : doc.lines) {
        const bool opens = line.kind == Line::key_line || (line.kind == Line::verbatim && line.text.starts_with('['));
        if (opens && section) {
            add_new_values(*section);
            section = nullptr;
        }
        switch (line.kind) {
        case Line::key_line:
            section = &line.key;
            out += line.text;
            out += '\n';
            break;
        case Line::value_line: {
            auto key = doc.keys.find(line.key);
            if (key == doc.keys.end()) break;
            auto value = key->second.values.find(line.value);
            if (value == key->second.values.end()) break;  // deleted
            const std::string now = value_text(value->second);
            out += now == line.canonical ? line.text : now;
            out += '\n';
            break;
        }
        case Line::verbatim:
            out += line.text;
            out += '\n';
            break;
        }
    }
    if (section) {
        add_new_values(*section);
    }
    for (const auto& [folded, key] : doc.keys) {
        if (!keyed.count(folded)) {
            append_key_line(out, key);
            add_new_values(folded);
        }
    }
    return out;
}

Document parse(const std::string& text, const std::string& file, bool report) {
    Document result;
    const Key* current = nullptr;
    std::map<std::pair<std::u16string, std::u16string>, size_t> value_lines;  // the line of each value
    std::vector<size_t> superseded;
    size_t line_start = 0;
    int line_number = 0;
    while (line_start < text.size()) {
        size_t line_end = text.find('\n', line_start);
        if (line_end == std::string::npos) {
            line_end = text.size();
        }
        Line entry;
        entry.text.assign(text, line_start, line_end - line_start);
        std::string_view line(entry.text);
        line_start = line_end + 1;
        ++line_number;
        auto problem = [&](const char* what) {
            ++result.problems;
            if (report) {
                std::fprintf(stderr, "registry: %s line %d kept as it is: %s\n", file.c_str(), line_number, what);
            }
        };
        auto keep = [&] { result.lines.push_back(std::move(entry)); };
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == ';') {
            keep();
            continue;
        }
        if (line.front() == '[') {
            current = nullptr;
            if (line.back() != ']') {
                problem("key line without ']'");
                keep();
                continue;
            }
            auto path = unescape(line.substr(1, line.size() - 2));
            auto parts = path ? split_key_path(*path) : std::nullopt;
            if (!parts || !is_root_name(parts->front())) {
                problem("bad key path");
                keep();
                continue;
            }
            current = &add_key(result.keys, *parts);
            entry.kind = Line::key_line;
            entry.key = fold(current->path);
            keep();
            continue;
        }
        if (current == nullptr) {
            problem("value outside a valid key");
            keep();
            continue;
        }
        size_t name_end = line.size() > 1 && line.front() == '"' ? line.find('"', 1) : std::string_view::npos;
        if (name_end == std::string_view::npos || line.substr(name_end + 1, 1) != "=") {
            problem("bad value name");
            keep();
            continue;
        }
        auto name = unescape(line.substr(1, name_end - 1));
        std::string_view data = line.substr(name_end + 2);
        Value value;
        const char* bad = nullptr;
        if (data.starts_with("dword:")) {
            auto v = parse_hex(data.substr(6), 8);
            if (!v) {
                bad = "bad DWORD";
            } else {
                value.type = REG_DWORD;
                value.data.resize(4);
                std::memcpy(value.data.data(), &*v, 4);
            }
        } else if (data.starts_with("sz:\"") && data.size() >= 5 && data.back() == '"') {
            auto units = unescape(data.substr(4, data.size() - 5));
            if (!units) {
                bad = "bad string";
            } else {
                value.type = REG_SZ;
                value.data.resize(units->size() * 2);
                copy_bytes(value.data.data(), units->data(), value.data.size());
            }
        } else {
            bad = "unknown value type";
        }
        if (bad == nullptr && !name) {
            bad = "bad value name";
        }
        if (bad != nullptr) {
            problem(bad);
            keep();
            continue;
        }
        value.name = *name;
        entry.kind = Line::value_line;
        entry.key = fold(current->path);
        entry.value = fold(value.name);
        entry.canonical = value_text(value);
        // A name given twice: the later line holds the value, the earlier one is not written back.
        auto [earlier, first] = value_lines.try_emplace({entry.key, entry.value}, result.lines.size());
        if (!first) {
            superseded.push_back(earlier->second);
            earlier->second = result.lines.size();
        }
        result.keys[entry.key].values[entry.value] = std::move(value);
        keep();
    }
    std::sort(superseded.begin(), superseded.end());
    for (auto index = superseded.rbegin(); index != superseded.rend(); ++index) {
        result.lines.erase(result.lines.begin() + static_cast<std::ptrdiff_t>(*index));
    }
    return result;
}

}  // namespace platform::registry_text
