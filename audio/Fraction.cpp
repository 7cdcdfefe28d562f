#include "audio/Fraction.h"

#include <limits>

namespace audio {

namespace {

bool is_positive(const Fraction& f) { return f.num != 0 && f.den != 0 && (f.num < 0) == (f.den < 0); }

bool is_negative(const Fraction& f) { return f.num != 0 && f.den != 0 && (f.num < 0) != (f.den < 0); }

}  // namespace

double Fraction::value() const {
    if (den == 0) {
        return num == 0 ? 0.0 : num > 0 ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
    }
    return static_cast<double>(num) / den;
}

bool operator>(const Fraction& a, const Fraction& b) {
    if (a.den == b.den) {
        return a.den > 0 ? a.num > b.num : a.den < 0 ? a.num < b.num : false;
    }
    if (a.den != 0 && b.den != 0) {
        int64_t left = int64_t{a.num} * b.den;
        int64_t right = int64_t{b.num} * a.den;
        bool reversed = (a.den < 0) != (b.den < 0);
        return reversed ? left < right : left > right;
    }
    if (b.den == 0) {
        return b.num == 0 ? is_positive(a) : b.num < 0;
    }
    return a.num != 0 ? a.num > 0 : is_negative(b);
}

}  // namespace audio
