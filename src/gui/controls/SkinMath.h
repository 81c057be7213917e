#pragma once
// Rounding rules the skins' arithmetic is written in. Any thread.
#include <cmath>
#include <cstdint>

namespace pelvano::gui {

// Round to nearest, ties to even.
inline int RoundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

// a · b / c in 64 bits, rounded to nearest with halves away from zero; −1 when c is 0.
inline int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t num = static_cast<std::int64_t>(a) * b;
    const std::int64_t den = c;
    const bool negative = (num < 0) != (den < 0);
    const std::int64_t an = num < 0 ? -num : num;
    const std::int64_t ad = den < 0 ? -den : den;
    const std::int64_t q = (an + ad / 2) / ad;
    return static_cast<int>(negative ? -q : q);
}

}  // namespace pelvano::gui
