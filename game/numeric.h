// SPDX-License-Identifier: MIT
// The game's arithmetic, in one place.
//
// Geometry is single precision, but every sum, half or third of it is worked out in
// double and, where the rules ask for it, rounded back to single before a comparison.
// Game numbers are 16-bit signed integers whose arithmetic detects overflow, and floats
// become integers by rounding to the nearest, halves to even. Nothing here leaves a
// conversion or an integer promotion to C++'s defaults, and every build, whatever its
// floating-point unit, computes the same bits.
#pragma once

// The game's results depend on every rounding and every NaN test below: flags that let the
// compiler reorder float arithmetic, or assume that no NaN occurs, would change them.
#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error                                                                                             \
    "Velmora's arithmetic must be exact: build it without -ffast-math, -Ofast or -ffinite-math-only"
#endif

#include <cfloat>

#if FLT_EVAL_METHOD != 0 && FLT_EVAL_METHOD != 1 && FLT_EVAL_METHOD != 2
#error "Velmora needs a known float evaluation method (FLT_EVAL_METHOD 0, 1 or 2)"
#endif
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace velmora {

using Integer = std::int16_t;

enum class ErrorKind {
    Overflow,            // an integer or float result out of range
    InvalidFloat,        // a float operation with no meaningful result (NaN)
    ElementExists,       // creating a control array element that is already there
    SubscriptOutOfRange, // an index outside a control array
};

// A run-time error of the rules. Nothing in the rules catches it: it ends the handler
// that raised it, and the caller decides what becomes of the program.
class RunTimeError : public std::runtime_error {
  public:
    explicit RunTimeError(ErrorKind kind);
    ErrorKind kind() const { return kind_; }

  private:
    ErrorKind kind_;
};

[[noreturn]] void raise(ErrorKind kind);

// A single-precision property read into a double expression.
inline double Dbl(float x) {
    return static_cast<double>(x);
}

// An integer read into a float expression: exact for every 16-bit value.
inline double Dbl(Integer x) {
    return static_cast<double>(x);
}

// A value as its type holds it in memory. An x87 unit (FLT_EVAL_METHOD 2, the default of
// 32-bit x86 compilers) keeps doubles and floats in 80-bit registers, and only a store
// rounds them to their type; elsewhere every operation already rounds, and this is free.
template <typename Number> Number stored(Number x) {
    if constexpr (FLT_EVAL_METHOD == 0) {
        return x;
    } else {
        const volatile Number inMemory = x;
        return inMemory;
    }
}

// Sums, halves and thirds of properties, each operation rounded to double, so that every
// build works them out to the same bit.
inline double Sum(double a, double b) {
    return stored(a + b);
}
inline double Half(float extent) {
    return Dbl(extent) / 2; // exact
}
inline double Third(float extent) {
    return stored(Dbl(extent) / 3);
}

// A right or bottom edge, and a centre line, from a shape's start and extent.
inline double farEdge(float start, float extent) {
    return Sum(Dbl(extent), Dbl(start));
}
inline double middle(float start, float extent) {
    return Sum(Half(extent), Dbl(start));
}

// Rounds a double to single precision, as a value stored in a property is. A value that
// rounds beyond the largest single is an overflow.
inline float ToSingle(double x) {
    constexpr double overflowsAt = 0x1.ffffffp127; // the largest single plus half its last step
    const double value = stored(x);
    if (!(std::fabs(value) < overflowsAt)) { // NaN fails the test too
        raise(std::isnan(value) ? ErrorKind::InvalidFloat : ErrorKind::Overflow);
    }
    return stored(static_cast<float>(value));
}

// Float to 16-bit integer: the nearest integer, an exact half going to the even
// neighbour; a result outside -32768..32767 is an overflow. Worked out from the exact
// integer part and fraction, so that neither the unit's precision nor its rounding mode
// has a say.
inline Integer CInt(double x) {
    const double value = stored(x);
    // Inside this range the rounded result fits; NaN fails both tests.
    if (!(value >= -32768.5 && value < 32767.5)) {
        raise(std::isnan(value) ? ErrorKind::InvalidFloat : ErrorKind::Overflow);
    }
    const int whole = static_cast<int>(value); // towards zero
    const double fraction = value - whole;     // exact: the two share all but the fraction bits
    const bool odd = whole % 2 != 0;
    int nearest = whole;
    if (fraction > 0.5 || (fraction == 0.5 && odd)) {
        ++nearest;
    } else if (fraction < -0.5 || (fraction == -0.5 && odd)) {
        --nearest;
    }
    return static_cast<Integer>(nearest);
}

// Checked 16-bit arithmetic: a result outside -32768..32767 is an overflow.
inline Integer Checked(int wide) {
    if (wide < std::numeric_limits<Integer>::min() || wide > std::numeric_limits<Integer>::max()) {
        raise(ErrorKind::Overflow);
    }
    return static_cast<Integer>(wide);
}
inline Integer Add(Integer a, Integer b) {
    return Checked(int{a} + int{b});
}
inline Integer Subtract(Integer a, Integer b) {
    return Checked(int{a} - int{b});
}

// The plain 16-bit sign change the rules use for directions: no overflow test, so
// -32768 stays -32768.
inline Integer Negate(Integer a) {
    return static_cast<Integer>(-int{a});
}

// Reads the number at the start of a text, the way the speed box's text is read:
// blanks, tabs and line feeds are ignored wherever they stand; then an optional sign,
// digits, an optional decimal point with digits, and an optional exponent (E or D).
// Reading stops at the first character that cannot continue the number; a text with
// no number gives 0. A number too large for a double is an overflow.
double Val(std::string_view text);

} // namespace velmora
