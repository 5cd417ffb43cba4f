// SPDX-License-Identifier: MIT
#include "numbertext.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace velmora::ui {

// printf's %.9g of the float, written here: without printf the browser's lab is 4 KB smaller.
// The float is m·2^e exactly, m below 2^24 and odd when e < 0, so e >= -149; as a whole
// number of units of 10^e (e < 0) or of ones, that is m·5^-e or m·2^e, at most 112 digits,
// kept in base 10^9. Its digits are then rounded to nine, half to even, as printf rounds,
// and laid out as %g lays them out.
std::string twipsText(float value) {
    std::string text = std::signbit(value) ? "-" : "";
    if (std::isnan(value)) {
        return text += "nan";
    }
    if (std::isinf(value)) {
        return text += "inf";
    }
    if (value == 0) {
        return text += "0";
    }
    int binary = 0;
    const float fraction = std::frexp(std::fabs(value), &binary);         // in [0.5, 1)
    auto mantissa = static_cast<std::uint32_t>(std::ldexp(fraction, 24)); // exact
    int shift = binary - 24;                 // value = mantissa · 2^shift
    while (shift < 0 && mantissa % 2 == 0) { // every float is a multiple of 2^-149
        mantissa /= 2;
        ++shift;
    }

    constexpr std::uint32_t base = 1'000'000'000;
    std::array<std::uint32_t, 13> limbs{mantissa}; // least significant first
    std::size_t used = 1;
    for (int i = 0; i < std::abs(shift); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t limb = 0; limb < used; ++limb) {
            const std::uint64_t product = std::uint64_t{limbs[limb]} * (shift > 0 ? 2 : 5) + carry;
            limbs[limb] = static_cast<std::uint32_t>(product % base);
            carry = product / base;
        }
        if (carry != 0) {
            limbs[used++] = static_cast<std::uint32_t>(carry);
        }
    }
    std::string digits = std::to_string(limbs[used - 1]);
    for (std::size_t limb = used - 1; limb-- > 0;) {
        const std::string part = std::to_string(limbs[limb]);
        digits.append(9 - part.size(), '0');
        digits += part;
    }
    // The place of the first digit: value = digits · 10^min(shift, 0).
    int exponent = static_cast<int>(digits.size()) - 1 + std::min(shift, 0);

    constexpr std::size_t precision = 9;
    if (digits.size() > precision) {
        const char first = digits[precision];
        const bool beyond = digits.find_first_not_of('0', precision + 1) != std::string::npos;
        const bool odd = (digits[precision - 1] - '0') % 2 == 1;
        digits.resize(precision);
        if (first > '5' || (first == '5' && (beyond || odd))) {
            std::size_t at = precision;
            while (at > 0 && digits[at - 1] == '9') {
                digits[--at] = '0';
            }
            if (at == 0) { // 999999999 became 1000000000
                digits.assign(1, '1');
                ++exponent;
            } else {
                ++digits[at - 1];
            }
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1); // %g drops the zeros at the end

    if (exponent < -4 || exponent >= static_cast<int>(precision)) { // 1.5e+10, 1e-05
        text += digits.front();
        if (digits.size() > 1) {
            text += '.';
            text.append(digits, 1);
        }
        const std::string power = std::to_string(std::abs(exponent));
        text += exponent < 0 ? "e-" : "e+";
        text.append(power.size() < 2 ? 1 : 0, '0');
        return text += power;
    }
    if (exponent < 0) { // 0.0001234
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        return text += digits;
    }
    const auto whole = static_cast<std::size_t>(exponent) + 1; // 8280, 7812.5
    text.append(digits, 0, whole);
    if (digits.size() > whole) {
        text += '.';
        text.append(digits, whole);
    }
    return text.append(whole > digits.size() ? whole - digits.size() : 0, '0');
}

} // namespace velmora::ui
