#include "app/RingtoneName.h"

#include <algorithm>

#include "base/FileSystem.h"
#include "base/Path.h"

namespace app {

namespace {

// What a typed name may not contain.
constexpr std::u16string_view forbidden_characters = u":/\\><+*?";

// The title with each character the name check refuses turned into "_".
std::u16string allowed_title(std::u16string_view title) {
    std::u16string out(title);
    std::replace_if(
        out.begin(), out.end(), [](char16_t c) { return forbidden_characters.find(c) != std::u16string_view::npos; },
        u'_');
    return out;
}

bool is_high_surrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// Cuts the title part of base so that base + "~" + suffix stays under the limit; the
// folder part is never cut, nor a surrogate pair split.
void cut_to_fit(std::u16string& base, size_t folder_length, size_t suffix_length) {
    const size_t room = ringtone_path_limit - 1;
    size_t keep = room > suffix_length + 1 ? room - suffix_length - 1 : 0;
    keep = std::max(keep, folder_length);
    if (keep >= base.size()) {
        return;
    }
    if (keep > folder_length && is_high_surrogate(base[keep - 1])) {
        --keep;
    }
    base.resize(keep);
    base += u'~';
}

std::u16string three_digits(int n) {
    std::u16string digits;
    for (int i = 0; i < 3; ++i, n /= 10) {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
    }
    return digits;
}

}  // namespace

std::u16string make_default_name(std::u16string_view folder, std::u16string_view title,
                                 std::u16string_view extension) {
    const std::u16string expanded = skinner::expand_path(folder);
    std::u16string base = skinner::join_path(expanded, allowed_title(title));
    const size_t suffix_length = std::u16string_view(u"_001.").size() + extension.size();
    if (base.size() + suffix_length >= ringtone_path_limit) {
        cut_to_fit(base, skinner::join_path(expanded, u"").size(), suffix_length);
    }
    base += u'_';
    std::u16string candidate;
    for (int n = 1; n <= 999; ++n) {
        candidate = base + three_digits(n) + u"." + std::u16string(extension);
        if (!skinner::FileInfo(candidate).exists()) {
            break;
        }
    }
    return candidate;
}

const char16_t* name_check_key(NameCheck check) {
    switch (check) {
    case NameCheck::Empty_name: return u"Empty_name";
    case NameCheck::Too_long_name: return u"Too_long_name";
    case NameCheck::Bad_name: return u"Bad_name";
    case NameCheck::Same_name: return u"Same_name";
    case NameCheck::Replace_existing_file: return u"Replace_existing_file";
    case NameCheck::Accepted: break;
    }
    return u"";
}

std::u16string ringtone_target(std::u16string_view folder, std::u16string_view name) {
    return skinner::join_path(skinner::expand_path(folder), std::u16string(name) + u".mp3");
}

NameCheck check_typed_name(std::u16string_view folder, std::u16string_view name) {
    if (name.empty()) {
        return NameCheck::Empty_name;
    }
    if (ringtone_target(folder, name).size() >= ringtone_path_limit) {
        return NameCheck::Too_long_name;
    }
    if (name.find_first_of(forbidden_characters) != std::u16string_view::npos) {
        return NameCheck::Bad_name;
    }
    return NameCheck::Accepted;
}

NameCheck check_target(std::u16string_view target, std::u16string_view source) {
    if (skinner::paths_equal(target, source)) {
        return NameCheck::Same_name;
    }
    if (skinner::FileInfo(std::u16string(target)).exists()) {
        return NameCheck::Replace_existing_file;
    }
    return NameCheck::Accepted;
}

}  // namespace app
