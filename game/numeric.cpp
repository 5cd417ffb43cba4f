// SPDX-License-Identifier: MIT
#include "numeric.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace velmora {

namespace {

const char* describe(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::Overflow:
        return "overflow";
    case ErrorKind::InvalidFloat:
        return "invalid float operation";
    case ErrorKind::ElementExists:
        return "control array element already exists";
    case ErrorKind::SubscriptOutOfRange:
        return "subscript out of range";
    }
    return "unknown error";
}

bool isIgnoredBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

RunTimeError::RunTimeError(ErrorKind kind) : std::runtime_error(describe(kind)), kind_(kind) {}

void raise(ErrorKind kind) {
    throw RunTimeError(kind);
}

double Val(std::string_view text) {
    // Gather the number without its blanks: sign, digits with the decimal point, exponent.
    std::size_t at = 0;
    const auto peek = [&]() -> char {
        while (at < text.size() && isIgnoredBlank(text[at])) {
            ++at;
        }
        return at < text.size() ? text[at] : '\0';
    };
    const auto takeSign = [&]() {
        const char c = peek();
        if (c == '+' || c == '-') {
            ++at;
        }
        return c == '-';
    };

    const bool negative = takeSign();
    std::string mantissa;
    int digits = 0;
    int pointAt = -1; // digits before the decimal point, once one is seen
    for (char c = peek(); isDigit(c) || (c == '.' && pointAt < 0); c = peek()) {
        if (c == '.') {
            pointAt = digits;
        } else {
            ++digits;
        }
        mantissa += c;
        ++at;
    }
    if (digits == 0) {
        return 0.0;
    }

    long exponent = 0; // saturated: far beyond any double's range either way
    const char marker = peek();
    if (marker == 'e' || marker == 'E' || marker == 'd' || marker == 'D') {
        ++at;
        const bool negativeExponent = takeSign();
        for (; isDigit(peek()); ++at) {
            exponent = std::min(exponent * 10 + (text[at] - '0'), 1000000L);
        }
        exponent = negativeExponent ? -exponent : exponent;
    }

#if defined(__cpp_lib_to_chars)
    // from_chars reads '.' whatever the process's locale is.
    const std::string number = mantissa + 'e' + std::to_string(exponent);
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    const bool outOfRange = error == std::errc::result_out_of_range;
#else
    // A C++ library whose from_chars reads no floating point (emscripten's): strtod rounds the
    // same, given the digits without the point, which a locale could spell otherwise.
    std::string number = mantissa;
    std::erase(number, '.');
    const long pointShift = pointAt < 0 ? 0 : digits - pointAt;
    number += 'e' + std::to_string(exponent - pointShift);
    errno = 0;
    double value = std::strtod(number.c_str(), nullptr);
    const bool outOfRange = errno == ERANGE && (value == 0.0 || std::isinf(value));
#endif
    if (outOfRange) {
        // Too large or too small: the place of the first significant digit tells which.
        const std::size_t first = mantissa.find_first_of("123456789");
        const long integerDigits = pointAt < 0 ? digits : pointAt;
        const long place = static_cast<long>(first) -
                           (pointAt >= 0 && first > static_cast<std::size_t>(pointAt) ? 1 : 0);
        if (integerDigits - place + exponent > 0) {
            raise(ErrorKind::Overflow);
        }
        value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace velmora
