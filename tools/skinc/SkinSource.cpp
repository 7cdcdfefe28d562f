// Reads a skin source (JSON with comments) into the model, with the checks that keep a broken
// skin from ever being built. Every message names the node it is about.
#include "tools/skinc/SkinSource.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <limits>
#include <set>
#include <sstream>

#include "tools/skinc/Bitmap.h"

namespace skinc {

using nlohmann::json;

namespace {

const std::set<std::string> kTypes = {"int", "point", "string", "picture", "color", "font"};
const std::set<std::string> kAutoTypes = {"Auto.Button", "Auto.Frame", "Auto.Picture", "Auto.Panel"};

bool starts_with(const std::u16string& s, const std::u16string& prefix) {
    return s.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), s.begin());
}

class Reader {
public:
    Reader(const SourceOptions& options, SkinModel& model, std::vector<std::string>& errors)
        : o_(options), m_(model), errors_(errors) {}

    void run(const json& root) {
        if (!root.is_object()) return error("skin", "the source must be a JSON object");
        for (auto& [key, value] : root.items())
            if (!std::set<std::string>{"identifier", "devices", "screens", "pictures", "fonts", "styles", "kinds", "forms"}.count(key))
                error("skin", "unknown key '" + key + "'");
        m_.identifier = text(root, "identifier", "skin");
        m_.devices = text(root, "devices", "skin");
        for (char16_t c : m_.devices)
            if (c != u'S' && c != u'P') error("skin.devices", "device letters are 'S' (Smartphone) and 'P' (Pocket PC)");
        screens(root);
        pictures(root);
        fonts(root);
        if (root.contains("styles")) styles_ = root["styles"];
        if (root.contains("kinds")) kinds(root["kinds"]);
        if (root.contains("forms")) forms(root["forms"]);
        check_form_names();
        check_variants();
        check_references();
    }

private:
    void error(const std::string& where, const std::string& message) { errors_.push_back(where + ": " + message); }

    std::u16string text(const json& object, const char* key, const std::string& where) {
        if (!object.contains(key)) return {};
        if (!object[key].is_string()) {
            error(where + "." + key, "must be a string");
            return {};
        }
        return utf8_to_utf16(object[key].get<std::string>());
    }

    bool integer(const json& v, int64_t lo, int64_t hi, int64_t& out, const std::string& where) {
        if (!v.is_number_integer()) {
            error(where, "must be an integer");
            return false;
        }
        out = v.get<int64_t>();
        if (out < lo || out > hi) {
            error(where, std::to_string(out) + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
            return false;
        }
        return true;
    }

    bool pair(const json& v, int64_t lo, int64_t hi, int64_t& a, int64_t& b, const std::string& where) {
        if (!v.is_array() || v.size() != 2) {
            error(where, "must be a pair [x, y]");
            return false;
        }
        return integer(v[0], lo, hi, a, where) && integer(v[1], lo, hi, b, where);
    }

    void screens(const json& root) {
        if (!root.contains("screens")) return;
        const json& s = root["screens"];
        if (!s.is_array() || s.size() > skinner::SkinLayout::ScreenCount)
            return error("skin.screens", "must be a list of at most 32 [width, height] pairs");
        for (size_t i = 0; i < s.size(); ++i) {
            int64_t w = 0, h = 0;
            if (pair(s[i], 1, std::numeric_limits<int32_t>::max(), w, h, "skin.screens[" + std::to_string(i) + "]"))
                m_.screens.push_back({int32_t(w), int32_t(h)});
        }
    }

    void pictures(const json& root) {
        if (!root.contains("pictures")) return;
        const json& p = root["pictures"];
        if (!p.is_array()) return error("skin.pictures", "must be a list of picture names");
        if (p.size() > 256) error("skin.pictures", "a skin holds at most 256 pictures");
        for (const json& name : p) {
            if (!name.is_string()) {
                error("skin.pictures", "picture names are strings");
                continue;
            }
            const std::string n = name.get<std::string>();
            Size size;
            const std::string file = o_.pictures_dir + "/" + n + ".bmp";
            if (!o_.pictures_dir.empty() && !bitmap_size(file, size.width, size.height))
                error("skin.pictures." + n, "missing picture file " + file);
            picture_index_[n] = static_cast<uint32_t>(m_.pictures.size());
            picture_sizes_.push_back(size);
            m_.pictures.push_back(utf8_to_utf16(n));
        }
    }

    void fonts(const json& root) {
        if (!root.contains("fonts")) return;
        const json& f = root["fonts"];
        if (!f.is_object()) return error("skin.fonts", "must map font names to font specifications");
        for (auto& [name, spec] : f.items()) {
            if (!spec.is_string()) {
                error("skin.fonts." + name, "a font specification is a string: size bold italic underline face");
                continue;
            }
            font_index_[name] = static_cast<uint32_t>(m_.fonts.size());
            m_.fonts.push_back(utf8_to_utf16(spec.get<std::string>()));
        }
    }

    // One property value in its long form: an object of type -> value.
    json normalise(const json& v) {
        if (v.is_number_integer()) return json{{"int", v}};
        if (v.is_string()) return json{{"string", v}};
        if (v.is_array()) return json{{"point", v}};
        return v;
    }

    // Properties with their styles applied: the styles first, the node's own values over them.
    json resolve(const json& node, const std::string& where, int depth = 0) {
        json out = json::object();
        if (depth > 16) {
            error(where, "styles nest too deeply (a style that uses itself?)");
            return out;
        }
        if (node.contains("style")) {
            const json& s = node["style"];
            std::vector<std::string> names;
            if (s.is_string())
                names.push_back(s.get<std::string>());
            else if (s.is_array())
                for (const json& n : s)
                    if (n.is_string()) names.push_back(n.get<std::string>());
            for (const std::string& n : names) {
                if (!styles_.contains(n)) {
                    error(where, "unknown style '" + n + "'");
                    continue;
                }
                merge(out, resolve(styles_[n], "styles." + n, depth + 1));
            }
        }
        for (auto& [key, value] : node.items())
            if (key != "style") merge_one(out, key, normalise(value));
        return out;
    }

    static void merge_one(json& out, const std::string& key, const json& value) {
        if (out.contains(key) && out[key].is_object() && value.is_object())
            for (auto& [type, v] : value.items()) out[key][type] = v;
        else
            out[key] = value;
    }
    static void merge(json& out, const json& more) {
        for (auto& [key, value] : more.items()) merge_one(out, key, value);
    }

    void property(const std::string& name, const json& typed, const std::string& where, PropertySet& set) {
        const std::string at = where + "." + name;
        if (!typed.is_object()) return error(at, "a property is an integer, a string, a point [x, y] or an object of typed values");
        const std::u16string key = utf8_to_utf16(name);
        for (auto& [type, v] : typed.items()) {
            if (!kTypes.count(type))
                error(at, "unknown property type '" + type + "' (types: int, point, string, picture, color, font)");
            else if (type == "int") {
                int64_t i = 0;
                if (integer(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), i, at))
                    set.integers[key] = int32_t(i);
            } else if (type == "point") {
                int64_t x = 0, y = 0;
                if (pair(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max(), x, y, at))
                    set.points[key] = {int32_t(x), int32_t(y)};
            } else if (type == "string") {
                if (v.is_string())
                    set.strings[key] = utf8_to_utf16(v.get<std::string>());
                else
                    error(at, "string value expected");
            } else if (type == "color") {
                skinner::SkinColor c;
                if (color(v, c, at)) set.colors[key] = c;
            } else if (type == "font") {
                if (!v.is_string() || !font_index_.count(v.get<std::string>()))
                    error(at, "font values name an entry of \"fonts\"");
                else
                    set.fonts[key] = font_index_[v.get<std::string>()];
            } else if (type == "picture") {
                skinner::SkinPicture p;
                if (picture(v, p, at)) set.pictures[key] = p;
            }
        }
    }

    bool color(const json& v, skinner::SkinColor& c, const std::string& at) {
        if (v.is_string()) {
            const std::string s = v.get<std::string>();
            if ((s.size() == 7 || s.size() == 9) && s[0] == '#' &&
                s.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos) {
                auto hex = [&](size_t i) { return uint8_t(std::stoi(s.substr(i, 2), nullptr, 16)); };
                c = {hex(1), hex(3), hex(5), s.size() == 9 ? hex(7) : uint8_t(255)};
                return true;
            }
        } else if (v.is_array() && (v.size() == 3 || v.size() == 4)) {
            int64_t ch[4] = {0, 0, 0, 255};
            for (size_t i = 0; i < v.size(); ++i)
                if (!integer(v[i], 0, 255, ch[i], at)) return false;
            c = {uint8_t(ch[0]), uint8_t(ch[1]), uint8_t(ch[2]), uint8_t(ch[3])};
            return true;
        }
        error(at, "a colour is \"#rrggbb\", \"#rrggbbaa\" or [r, g, b(, a)]");
        return false;
    }

    bool picture(const json& v, skinner::SkinPicture& p, const std::string& at) {
        const json spec = v.is_string() ? json{{"file", v}} : v;
        if (!spec.is_object() || !spec.contains("file") || !spec["file"].is_string()) {
            error(at, "a picture is a picture name or {\"file\": name, \"rect\": [x, y, w, h], \"borders\": [l, t, r, b], \"stretch\": bool}");
            return false;
        }
        for (auto& [key, value] : spec.items())
            if (key != "file" && key != "rect" && key != "borders" && key != "stretch") error(at, "unknown picture key '" + key + "'");
        const std::string file = spec["file"].get<std::string>();
        if (!picture_index_.count(file)) {
            error(at, "picture '" + file + "' is not listed in \"pictures\"");
            return false;
        }
        p.picture = picture_index_[file];
        const Size size = picture_sizes_[p.picture];
        int64_t r[4] = {0, 0, size.width, size.height};
        if (spec.contains("rect")) {
            if (!spec["rect"].is_array() || spec["rect"].size() != 4) {
                error(at, "rect is [x, y, width, height]");
                return false;
            }
            for (int i = 0; i < 4; ++i)
                if (!integer(spec["rect"][i], 0, 65535, r[i], at + ".rect")) return false;
        } else if (o_.pictures_dir.empty()) {
            error(at, "rect is needed when the picture files are not given");
            return false;
        }
        if (r[0] + r[2] > 65535 || r[1] + r[3] > 65535) {
            error(at, "rect reaches beyond 65535");
            return false;
        }
        if (!o_.pictures_dir.empty() && (r[0] + r[2] > size.width || r[1] + r[3] > size.height)) {
            error(at, "rect [" + std::to_string(r[0]) + ", " + std::to_string(r[1]) + ", " + std::to_string(r[2]) + ", " +
                          std::to_string(r[3]) + "] lies outside picture '" + file + "' of " + std::to_string(size.width) +
                          " by " + std::to_string(size.height));
            return false;
        }
        int64_t b[4] = {0, 0, 0, 0};
        if (spec.contains("borders")) {
            if (!spec["borders"].is_array() || spec["borders"].size() != 4) {
                error(at, "borders are [left, top, right, bottom]");
                return false;
            }
            for (int i = 0; i < 4; ++i)
                if (!integer(spec["borders"][i], 0, 65535, b[i], at + ".borders")) return false;
            if (b[0] + b[2] > r[2] || b[1] + b[3] > r[3]) {
                error(at, "borders out of order: they are wider or taller than the rect");
                return false;
            }
        }
        p.origin = {int32_t(r[0]), int32_t(r[1])};
        p.end = {int32_t(r[0] + r[2]), int32_t(r[1] + r[3])};
        p.border_min = {int32_t(r[0] + b[0]), int32_t(r[1] + b[1])};
        p.border_max = {int32_t(r[0] + r[2] - b[2]), int32_t(r[1] + r[3] - b[3])};
        if (spec.contains("stretch")) {
            if (!spec["stretch"].is_boolean()) error(at, "stretch is true or false");
            p.stretch = spec["stretch"].is_boolean() && spec["stretch"].get<bool>();
        }
        return true;
    }

    NodeModel node(const std::string& name, const json& source, const std::string& where) {
        NodeModel n;
        n.name = utf8_to_utf16(name);
        n.where = where;
        if (!source.is_object()) {
            error(where, "must be an object of properties");
            return n;
        }
        const json props = resolve(source, where);
        for (auto& [key, value] : props.items()) property(key, value, where, n.properties);
        return n;
    }

    void kinds(const json& k) {
        if (!k.is_object()) return error("skin.kinds", "must map kind names to their properties");
        for (auto& [name, value] : k.items()) m_.kinds.push_back(node(name, value, "kinds." + name));
    }

    // A form with what it extends folded in: properties, controls (merged per control) and automatic controls.
    json expand_form(const std::string& name, const json& forms, int depth = 0) {
        const json& f = forms[name];
        if (!f.is_object()) return json::object();
        if (!f.contains("extends")) return f;
        const std::string base = f["extends"].is_string() ? f["extends"].get<std::string>() : "";
        if (!forms.contains(base) || depth > 16) {
            error("forms." + name, "extends an unknown form '" + base + "' (or forms extend each other in a ring)");
            return f;
        }
        json out = expand_form(base, forms, depth + 1);
        out.erase("variant_of");
        for (auto& [key, value] : f.items()) {
            if (key == "properties" || key == "controls") {
                if (!out.contains(key)) out[key] = json::object();
                for (auto& [k, v] : value.items()) {
                    if (key == "controls" && out[key].contains(k) && v.is_object() && out[key][k].is_object()) {
                        json merged = out[key][k];
                        for (auto& [pk, pv] : v.items()) merge_one(merged, pk, key == "controls" && pk == "style" ? pv : normalise(pv));
                        out[key][k] = merged;
                    } else {
                        out[key][k] = v;
                    }
                }
            } else if (key != "extends") {
                out[key] = value;
            }
        }
        return out;
    }

    void forms(const json& forms) {
        if (!forms.is_object()) return error("skin.forms", "must map form names to forms");
        for (auto& [name, raw] : forms.items()) {
            const std::string where = "forms." + name;
            const json f = expand_form(name, forms);
            if (!f.is_object()) {
                error(where, "must be an object");
                continue;
            }
            for (auto& [key, value] : f.items())
                if (key != "properties" && key != "controls" && key != "auto" && key != "variant_of" && key != "extends" && key != "style")
                    error(where, "unknown key '" + key + "' (keys: properties, controls, auto, variant_of, extends, style)");
            json props = f.contains("properties") ? f["properties"] : json::object();
            if (f.contains("style")) props["style"] = f["style"];
            NodeModel form = node(name, props, where);
            if (f.contains("variant_of")) variant_of_[name] = f["variant_of"].is_string() ? f["variant_of"].get<std::string>() : "";
            if (f.contains("controls")) {
                if (!f["controls"].is_object()) error(where + ".controls", "must map control names to their properties");
                else
                    for (auto& [cname, c] : f["controls"].items())
                        form.controls.push_back(node(cname, c, where + ".controls." + cname));
            }
            if (f.contains("auto")) autos(f["auto"], where, form);
            m_.forms.push_back(std::move(form));
        }
    }

    void autos(const json& a, const std::string& where, NodeModel& form) {
        if (!a.is_array()) return error(where + ".auto", "must be a list of [control, type] pairs");
        for (const json& e : a) {
            if (!e.is_array() || e.size() != 2 || !e[0].is_string() || !e[1].is_string()) {
                error(where + ".auto", "entries are [control name, type name]");
                continue;
            }
            const std::string control = e[0].get<std::string>(), type = e[1].get<std::string>();
            if (!kAutoTypes.count(type))
                error(where + ".auto." + control, "unknown automatic-control type '" + type + "' (Auto.Button, Auto.Frame, Auto.Picture, Auto.Panel)");
            const std::u16string c16 = utf8_to_utf16(control);
            if (std::none_of(form.controls.begin(), form.controls.end(), [&](const NodeModel& n) { return n.name == c16; }))
                error(where + ".auto." + control, "automatic control has no entry in the form's controls");
            form.autos.emplace_back(c16, utf8_to_utf16(type));
        }
    }

    // A form whose name begins with another form's name is taken as a variant of it at run time.
    void check_form_names() {
        for (const NodeModel& a : m_.forms)
            for (const NodeModel& b : m_.forms) {
                if (&a == &b || !starts_with(b.name, a.name)) continue;
                const std::string an = utf16_to_utf8(a.name), bn = utf16_to_utf8(b.name);
                auto va = variant_of_.find(an), vb = variant_of_.find(bn);
                const bool meant = vb != variant_of_.end() && (vb->second == an || (va != variant_of_.end() && va->second == vb->second));
                if (!meant)
                    error("forms." + bn, "its name begins with form '" + an + "', so it would be taken as a variant of it; mark it \"variant_of\": \"" +
                                             an + "\" or rename it");
            }
        for (auto& [name, base] : variant_of_)
            if (!starts_with(utf8_to_utf16(name), utf8_to_utf16(base)) || base.empty())
                error("forms." + name, "variant_of '" + base + "' must be a beginning of the form's name");
    }

    // The program binds controls by name in whichever variant fits; each must have them all.
    void check_variants() {
        std::map<std::string, std::vector<const NodeModel*>> groups;
        for (const NodeModel& f : m_.forms) {
            const std::string n = utf16_to_utf8(f.name);
            auto v = variant_of_.find(n);
            groups[v != variant_of_.end() ? v->second : n].push_back(&f);
        }
        for (auto& [base, members] : groups)
            for (const NodeModel* m : members)
                for (const NodeModel* other : members) {
                    if (m == other) continue;
                    for (const NodeModel& c : other->controls)
                        if (std::none_of(m->controls.begin(), m->controls.end(), [&](const NodeModel& x) { return x.name == c.name; }))
                            error(m->where, "variant lacks control '" + utf16_to_utf8(c.name) + "' that '" + utf16_to_utf8(other->name) + "' has");
                }
    }

    // Containers name their template form by "FormTemplate", scroll bars their parts' kinds by
    // "Kind..." properties; a typo there would only show when the program ends on it.
    void check_references() {
        auto check = [&](const NodeModel& n) {
            for (auto& entry : n.properties.strings) {
                // Named members, not a structured binding: older clang can't capture those.
                const auto& name = entry.first;
                const auto& value = entry.second;
                if (name == u"FormTemplate" && !value.empty() &&
                    std::none_of(m_.forms.begin(), m_.forms.end(), [&](const NodeModel& f) { return starts_with(f.name, value); }))
                    error(n.where + ".FormTemplate", "names no form '" + utf16_to_utf8(value) + "'");
                if (starts_with(name, u"Kind") && !value.empty() &&
                    std::none_of(m_.kinds.begin(), m_.kinds.end(), [&](const NodeModel& k) { return k.name == value; }))
                    error(n.where + "." + utf16_to_utf8(name), "names no kind '" + utf16_to_utf8(value) + "'");
            }
        };
        for (const NodeModel& f : m_.forms) {
            check(f);
            for (const NodeModel& c : f.controls) check(c);
        }
        for (const NodeModel& k : m_.kinds) check(k);
    }

    struct Size {
        int width = 0, height = 0;
    };
    const SourceOptions& o_;
    SkinModel& m_;
    std::vector<std::string>& errors_;
    json styles_ = json::object();
    std::map<std::string, uint32_t> picture_index_, font_index_;
    std::vector<Size> picture_sizes_;
    std::map<std::string, std::string> variant_of_;
};

// The source line of a node: its keys found one after the other in the text.
int line_of(const std::string& text, const std::string& where) {
    std::vector<std::string> keys;
    size_t start = 0;
    while (start <= where.size()) {
        const size_t dot = where.find('.', start);
        keys.push_back(where.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    if (!keys.empty() && keys.front() == "skin") keys.erase(keys.begin());
    size_t at = 0, found = std::string::npos;
    for (const std::string& k : keys) {
        const size_t next = text.find("\"" + k + "\"", at);
        if (next == std::string::npos) break;
        found = next;
        at = next + k.size() + 2;
    }
    if (found == std::string::npos) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(found), '\n'));
}

}  // namespace

bool parse_source(const std::string& text, const SourceOptions& options, SkinModel& model, std::vector<std::string>& errors) {
    // Duplicate keys would silently hide a node; the parser callback reports them.
    std::vector<std::set<std::string>> keys;
    std::vector<std::string> path;
    json root;
    try {
        root = json::parse(
            text,
            [&](int, json::parse_event_t event, json& parsed) {
                if (event == json::parse_event_t::object_start) keys.emplace_back();
                if (event == json::parse_event_t::object_end && !keys.empty()) keys.pop_back();
                if (event == json::parse_event_t::key && !keys.empty()) {
                    const std::string k = parsed.get<std::string>();
                    if (!keys.back().insert(k).second) errors.push_back(" duplicate key '" + k + "'");
                }
                return true;
            },
            true, true);
    } catch (const json::exception& e) {
        errors.push_back(std::string(" not valid JSON: ") + e.what());
        return false;
    }
    std::vector<std::string> found;
    Reader reader(options, model, found);
    reader.run(root);
    // Messages read "LINE: node: text", so an editor can jump to the node.
    for (const std::string& e : found) {
        const size_t colon = e.find(": ");
        const int line = colon == std::string::npos ? 0 : line_of(text, e.substr(0, colon));
        errors.push_back(line ? std::to_string(line) + ": " + e : " " + e);
    }
    return errors.empty();
}

bool read_source(const std::string& path, const SourceOptions& options, SkinModel& model, std::vector<std::string>& errors) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        errors.push_back(" cannot open " + path);
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    return parse_source(text.str(), options, model, errors);
}

}  // namespace skinc
