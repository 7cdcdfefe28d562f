// Lays a skin model out in the binary format: header, the strings that records reach through
// 16-bit offsets (kept inside the first 65,536 bytes), the other strings, the property arrays,
// then the nodes of balanced search trees.
#include <algorithm>
#include <cstring>
#include <map>

#include "tools/skinc/SkinModel.h"

namespace skinc {

using skinner::SkinLayout;

namespace {

bool name_less(const std::u16string& a, const std::u16string& b) { return skinner::compare_names(a, b) < 0; }

class Writer {
public:
    explicit Writer(std::vector<uint8_t>& out) : out_(out) {}

    void align(uint32_t n) {
        while (out_.size() % n) out_.push_back(0);
    }
    uint32_t here() const { return static_cast<uint32_t>(out_.size()); }
    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint16_t v) {
        u8(v & 0xFF);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void put_u32(uint32_t at, uint32_t v) { std::memcpy(out_.data() + at, &v, 4); }
    void put_u16(uint32_t at, uint16_t v) { std::memcpy(out_.data() + at, &v, 2); }
    uint32_t text(std::u16string_view s) {
        const uint32_t at = here();
        for (char16_t c : s) u16(c);
        u16(0);
        return at;
    }

private:
    std::vector<uint8_t>& out_;
};

// A node with its own sorted property names resolved to offsets.
struct Placed {
    const NodeModel* model = nullptr;
    uint32_t arrays[skinner::kPropertyTypeCount][2] = {};
    uint32_t offset = 0;
    uint32_t left = 0, right = 0;      // indexes+1 into the same tree's vector, 0 = none
    uint32_t controls_root = 0;        // index+1 into the controls vector
    std::vector<Placed> controls;      // forms only, sorted by name
};

// Balanced tree over a sorted range: the middle is the root.
uint32_t link_tree(std::vector<Placed>& nodes, size_t lo, size_t hi) {
    if (lo >= hi) return 0;
    const size_t mid = lo + (hi - lo) / 2;
    nodes[mid].left = link_tree(nodes, lo, mid);
    nodes[mid].right = link_tree(nodes, mid + 1, hi);
    return static_cast<uint32_t>(mid + 1);
}

std::vector<Placed> sorted_nodes(const std::vector<NodeModel>& models, std::string& error, const char* what) {
    std::vector<Placed> nodes;
    for (const NodeModel& m : models) {
        Placed p;
        p.model = &m;
        nodes.push_back(std::move(p));
    }
    std::sort(nodes.begin(), nodes.end(), [](const Placed& a, const Placed& b) { return name_less(a.model->name, b.model->name); });
    for (size_t i = 1; i < nodes.size(); ++i)
        if (nodes[i].model->name == nodes[i - 1].model->name)
            error = std::string("two ") + what + " are named '" + utf16_to_utf8(nodes[i].model->name) + "'";
    return nodes;
}

template <class Map>
std::vector<typename Map::const_iterator> sorted_entries(const Map& map) {
    std::vector<typename Map::const_iterator> v;
    for (auto it = map.begin(); it != map.end(); ++it) v.push_back(it);
    std::sort(v.begin(), v.end(), [](auto a, auto b) { return name_less(a->first, b->first); });
    return v;
}

class Layout {
public:
    Layout(const SkinModel& model, std::vector<uint8_t>& out, std::string& error) : m_(model), w_(out), error_(error) {}

    bool run() {
        if (!check_header_fields()) return false;
        forms_ = sorted_nodes(m_.forms, error_, "forms");
        kinds_ = sorted_nodes(m_.kinds, error_, "kinds");
        for (Placed& f : forms_) {
            f.controls = sorted_nodes(f.model->controls, error_, "controls of one form");
            f.controls_root = link_tree(f.controls, 0, f.controls.size());
        }
        if (!error_.empty()) return false;
        const uint32_t forms_root = link_tree(forms_, 0, forms_.size());
        const uint32_t kinds_root = link_tree(kinds_, 0, kinds_.size());

        header();
        if (!short_strings()) return false;
        long_strings();
        for (Placed& f : forms_) {
            if (!arrays(f)) return false;
            for (Placed& c : f.controls)
                if (!arrays(c)) return false;
        }
        for (Placed& k : kinds_)
            if (!arrays(k)) return false;
        nodes(forms_root, kinds_root);
        return true;
    }

private:
    bool fail(const std::string& message) {
        error_ = message;
        return false;
    }

    bool check_header_fields() {
        if (m_.identifier.size() >= SkinLayout::TextUnits) return fail("the identifier is longer than 31 units");
        if (m_.identifier.find(u'\0') != std::u16string::npos) return fail("the identifier holds a zero unit");
        if (m_.devices.size() >= SkinLayout::TextUnits) return fail("the device letters are longer than 31 units");
        if (m_.screens.size() > SkinLayout::ScreenCount) return fail("more than 32 screen sizes");
        if (m_.pictures.size() > 256) return fail("more than 256 pictures");
        return true;
    }

    void fixed_text(std::u16string_view s) {
        for (uint32_t i = 0; i < SkinLayout::TextUnits; ++i) w_.u16(i < s.size() ? s[i] : 0);
    }

    void header() {
        for (uint16_t u : SkinLayout::Magic) w_.u16(u);
        fixed_text(m_.identifier);
        for (int i = 0; i < 5; ++i) w_.u32(0);  // roots, counts and name list: filled in later
        for (uint32_t i = 0; i < SkinLayout::ScreenCount; ++i) {
            const skinner::SkinScreenSize s = i < m_.screens.size() ? m_.screens[i] : skinner::SkinScreenSize{};
            w_.u32(static_cast<uint32_t>(s.width));
            w_.u32(static_cast<uint32_t>(s.height));
            w_.u32(0);
        }
        fixed_text(m_.devices);
        w_.put_u32(SkinLayout::PictureCount, static_cast<uint32_t>(m_.pictures.size()));
        w_.put_u32(SkinLayout::FontCount, static_cast<uint32_t>(m_.fonts.size()));
    }

    void add_short(const std::u16string& s) {
        if (!short_.count(s)) short_[s] = 0;
    }
    void collect_short(const NodeModel& n) {
        const PropertySet& p = n.properties;
        for (auto& [k, v] : p.integers) add_short(k);
        for (auto& [k, v] : p.points) add_short(k);
        for (auto& [k, v] : p.strings) {
            add_short(k);
            add_short(v);
        }
        for (auto& [k, v] : p.pictures) add_short(k);
        for (auto& [k, v] : p.colors) add_short(k);
        for (auto& [k, v] : p.fonts) add_short(k);
        for (auto& [name, type] : n.autos) {
            add_short(name);
            add_short(type);
        }
        for (const NodeModel& c : n.controls) collect_short(c);
    }

    bool short_strings() {
        for (const NodeModel& f : m_.forms) collect_short(f);
        for (const NodeModel& k : m_.kinds) collect_short(k);
        for (auto& [s, at] : short_) at = w_.text(s);
        if (w_.here() > SkinLayout::ShortOffsetLimit)
            return fail("property names, string values and automatic-control names take " + std::to_string(w_.here()) +
                        " bytes; they must fit in the first 65536 bytes of the file");
        return true;
    }

    void long_strings() {
        for (Placed& f : forms_) {
            names_[&f] = w_.text(f.model->name);
            for (Placed& c : f.controls) names_[&c] = w_.text(c.model->name);
        }
        for (Placed& k : kinds_) names_[&k] = w_.text(k.model->name);
        w_.put_u32(SkinLayout::NameList, w_.here());
        for (const std::u16string& p : m_.pictures) w_.text(p);
        for (const std::u16string& f : m_.fonts) w_.text(f);
    }

    bool arrays(Placed& node) {
        const PropertySet& p = node.model->properties;
        auto begin = [&](int type, uint32_t alignment) {
            w_.align(alignment);
            node.arrays[type][0] = w_.here();
        };
        auto finish = [&](int type) { node.arrays[type][1] = w_.here(); };

        begin(0, 4);
        for (auto it : sorted_entries(p.integers)) {
            w_.u16(static_cast<uint16_t>(short_.at(it->first)));
            w_.u16(0);
            w_.u32(static_cast<uint32_t>(it->second));
        }
        finish(0);
        begin(1, 2);
        for (auto it : sorted_entries(p.points)) {
            w_.u16(static_cast<uint16_t>(short_.at(it->first)));
            w_.u16(static_cast<uint16_t>(it->second.x));
            w_.u16(static_cast<uint16_t>(it->second.y));
        }
        finish(1);
        begin(2, 2);
        for (auto it : sorted_entries(p.strings)) {
            w_.u16(static_cast<uint16_t>(short_.at(it->first)));
            w_.u16(static_cast<uint16_t>(short_.at(it->second)));
        }
        finish(2);
        begin(3, 2);
        for (auto it : sorted_entries(p.pictures)) {
            const skinner::SkinPicture& s = it->second;
            if (s.picture >= m_.pictures.size()) return fail(node.model->where + ": picture index out of range");
            w_.u16(static_cast<uint16_t>(short_.at(it->first)));
            for (const skinner::SkinPoint& q : {s.origin, s.border_min, s.border_max, s.end}) {
                w_.u16(static_cast<uint16_t>(q.x));
                w_.u16(static_cast<uint16_t>(q.y));
            }
            w_.u8(static_cast<uint8_t>(s.picture));
            w_.u8(s.stretch ? 1 : 0);
        }
        finish(3);
        begin(4, 2);
        for (auto it : sorted_entries(p.colors)) {
            w_.u16(static_cast<uint16_t>(short_.at(it->first)));
            w_.u8(it->second.red);
            w_.u8(it->second.green);
            w_.u8(it->second.blue);
            w_.u8(it->second.alpha);
        }
        finish(4);
        begin(5, 4);
        for (auto it : sorted_entries(p.fonts)) {
            if (it->second >= m_.fonts.size()) return fail(node.model->where + ": font index out of range");
            w_.u16(static_cast<uint16_t>(short_.at(it->first)));
            w_.u16(0);
            w_.u32(it->second);
        }
        finish(5);
        return true;
    }

    static uint32_t node_size(const Placed& n, bool form) {
        return form ? SkinLayout::FormNodeSize + SkinLayout::AutoEntrySize * static_cast<uint32_t>(n.model->autos.size())
                    : SkinLayout::NodeSize;
    }

    void node(const Placed& n, const std::vector<Placed>& tree, bool form) {
        auto child = [&](uint32_t index) { return index ? tree[index - 1].offset : 0u; };
        w_.u32(child(n.left));
        w_.u32(child(n.right));
        w_.u32(names_.at(&n));
        for (auto& a : n.arrays) {
            w_.u32(a[0]);
            w_.u32(a[1]);
        }
        if (!form) return;
        w_.u32(n.controls_root ? n.controls[n.controls_root - 1].offset : 0);
        w_.u32(static_cast<uint32_t>(n.model->autos.size()));
        for (auto& [name, type] : n.model->autos) {
            w_.u16(static_cast<uint16_t>(short_.at(name)));
            w_.u16(static_cast<uint16_t>(short_.at(type)));
        }
    }

    void nodes(uint32_t forms_root, uint32_t kinds_root) {
        w_.align(4);
        uint32_t next = w_.here();
        for (Placed& f : forms_) {
            f.offset = next;
            next += node_size(f, true);
            for (Placed& c : f.controls) {
                c.offset = next;
                next += node_size(c, false);
            }
        }
        for (Placed& k : kinds_) {
            k.offset = next;
            next += node_size(k, false);
        }
        for (const Placed& f : forms_) {
            node(f, forms_, true);
            for (const Placed& c : f.controls) node(c, f.controls, false);
        }
        for (const Placed& k : kinds_) node(k, kinds_, false);
        w_.put_u32(SkinLayout::FormsRoot, forms_root ? forms_[forms_root - 1].offset : 0);
        w_.put_u32(SkinLayout::KindsRoot, kinds_root ? kinds_[kinds_root - 1].offset : 0);
    }

    const SkinModel& m_;
    Writer w_;
    std::string& error_;
    std::vector<Placed> forms_, kinds_;
    std::map<std::u16string, uint32_t> short_;
    std::map<const Placed*, uint32_t> names_;
};

}  // namespace

bool write_skin(const SkinModel& model, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    error.clear();
    Layout layout(model, out, error);
    return layout.run();
}

}  // namespace skinc
