// The game's arithmetic, in one place.
//
// Geometry is single precision, but every sum, half or third of it is worked out in
// double and, where the rules ask for it, rounded back to single before a comparison.
// Game numbers are 16-bit signed integers whose arithmetic detects overflow, and floats
// become integers by rounding to the nearest, halves to even. Nothing here leaves a
// conversion or an integer promotion to C++'s defaults.
#pragma once

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

// Rounds a double to single precision, as a value stored in a property is. A value that
// rounds beyond the largest single is an overflow.
inline float ToSingle(double x) {
    constexpr double overflowsAt = 0x1.ffffffp127; // the largest single plus half its last step
    if (!(std::fabs(x) < overflowsAt)) {           // NaN fails the test too
        raise(std::isnan(x) ? ErrorKind::InvalidFloat : ErrorKind::Overflow);
    }
    return static_cast<float>(x);
}

// Float to 16-bit integer: the nearest integer, an exact half going to the even
// neighbour; a result outside -32768..32767 is an overflow.
inline Integer CInt(double x) {
    // Inside this range the rounded result fits; NaN fails both tests.
    if (!(x >= -32768.5 && x < 32767.5)) {
        raise(std::isnan(x) ? ErrorKind::InvalidFloat : ErrorKind::Overflow);
    }
    // Adding and removing 1.5 * 2^52 leaves x rounded to an integer by the FPU's
    // ties-to-even rule; exact for every |x| below 2^51.
    constexpr double shifter = 6755399441055744.0;
    return static_cast<Integer>((x + shifter) - shifter);
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
