// SPDX-License-Identifier: MIT
#include "test_support.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace velmora {
namespace {

TEST(CInt, RoundsHalvesToEven) {
    EXPECT_EQ(CInt(8407.5), 8408); // the ball's start centre
    EXPECT_EQ(CInt(8406.5), 8406);
    EXPECT_EQ(CInt(657.5), 658);
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(-0.5), 0);
    EXPECT_EQ(CInt(-1.5), -2);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(0.49999999999999994), 0);
    EXPECT_EQ(CInt(7564.999), 7565);
    EXPECT_EQ(CInt(-7.2), -7);
}

// Values the compiler cannot see, so that the unit itself does the work, as in a game.
double atRunTime(double x) {
    const volatile double hidden = x;
    return hidden;
}

TEST(CInt, RoundsTheSameOnEveryFloatingPointUnit) {
    // The ball's start centre, and a paddle mark: an 80-bit unit once got 8407 and 7564.
    EXPECT_EQ(CInt(atRunTime(8407.5)), 8408);
    EXPECT_EQ(CInt(atRunTime(8406.5)), 8406);
    EXPECT_EQ(CInt(atRunTime(7564.999)), 7565);
    EXPECT_EQ(CInt(atRunTime(-7564.5)), -7564);
    EXPECT_EQ(CInt(atRunTime(0.5000000000000001)), 1);
    EXPECT_EQ(CInt(atRunTime(32767.499999999996)), 32767);
    EXPECT_EQ(CInt(Sum(Third(1455), atRunTime(7565))), 8050); // x2 of the start paddle
    // Every half from -100.5 to 100.5 goes to its even neighbour, every other value near it.
    for (int whole = -101; whole <= 100; ++whole) {
        const double half = atRunTime(whole + 0.5);
        const int even = whole % 2 == 0 ? whole : whole + 1;
        EXPECT_EQ(CInt(half), even) << half;
        EXPECT_EQ(CInt(std::nextafter(half, -1e9)), whole) << half;
        EXPECT_EQ(CInt(std::nextafter(half, 1e9)), whole + 1) << half;
    }
}

TEST(CInt, OverflowsOutsideSixteenBits) {
    EXPECT_EQ(CInt(32767.49), 32767);
    EXPECT_EQ(CInt(-32768.5), -32768); // the half goes to the even neighbour, inside
    EXPECT_EQ(errorOf([] { CInt(32767.5); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { CInt(-32768.500001); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { CInt(1e300); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { CInt(std::numeric_limits<double>::infinity()); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { CInt(std::nan("")); }), ErrorKind::InvalidFloat);
}

TEST(Integer, ArithmeticDetectsOverflowButNegationWraps) {
    EXPECT_EQ(Add(32766, 1), 32767);
    EXPECT_EQ(errorOf([] { Add(32767, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { Subtract(-32768, 1); }), ErrorKind::Overflow);
    EXPECT_EQ(Negate(60), -60);
    EXPECT_EQ(Negate(-32768), -32768);
    EXPECT_STREQ(RunTimeError(ErrorKind::Overflow).what(), "overflow");
}

TEST(ToSingle, RoundsToSinglePrecisionAndOverflows) {
    EXPECT_EQ(ToSingle(16777217.0), 16777216.0f); // 2^24 + 1 has no single
    EXPECT_EQ(ToSingle(0.1), 0.1f);
    EXPECT_EQ(ToSingle(-0x1.fffffefffffffp127), -std::numeric_limits<float>::max());
    EXPECT_EQ(errorOf([] { ToSingle(-0x1.ffffffp127); }), ErrorKind::Overflow); // rounds past it
    EXPECT_EQ(errorOf([] { ToSingle(1e39); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { ToSingle(std::nan("")); }), ErrorKind::InvalidFloat);
}

// Each comparison below is made on the value as the function returns it, before it is
// stored anywhere: on an x87 unit it would still hold 64 bits of mantissa unless the
// function itself rounded it to its type.
TEST(ToSingle, IsSinglePrecisionInTheExpressionThatUsesIt) {
    const double justAbove = atRunTime(16777217.0);
    EXPECT_TRUE(ToSingle(justAbove) == 16777216.0f);
    EXPECT_TRUE(Dbl(ToSingle(justAbove)) < justAbove);
    EXPECT_TRUE(ToSingle(atRunTime(0.1)) != atRunTime(0.1));
    EXPECT_TRUE(Dbl(ToSingle(atRunTime(1 + 0x1p-30))) == 1.0);
}

TEST(Sum, IsRoundedToDoubleInTheExpressionThatUsesIt) {
    const double tiny = atRunTime(0x1p-60);
    EXPECT_TRUE(Sum(1.0, tiny) == 1.0);
    EXPECT_TRUE(Sum(Sum(1.0, tiny), -1.0) == 0.0);
    EXPECT_EQ(middle(8280, 255), 8407.5);
    EXPECT_EQ(farEdge(7560, 375), 7935.0);
}

#ifdef VELMORA_EXPECTED_FLT_EVAL_METHOD
// The 32-bit build is there to prove the arithmetic on the x87 unit: make sure it is on it.
TEST(Build, EvaluatesFloatsTheWayItIsMeantTo) {
    EXPECT_EQ(FLT_EVAL_METHOD, VELMORA_EXPECTED_FLT_EVAL_METHOD);
}
#endif

TEST(Val, ReadsTheLeadingNumber) {
    EXPECT_EQ(Val("200"), 200.0);
    EXPECT_EQ(Val("-20"), -20.0);
    EXPECT_EQ(Val("+7"), 7.0);
    EXPECT_EQ(Val("60 twips"), 60.0);
    EXPECT_EQ(Val("60abc"), 60.0);
    EXPECT_EQ(Val(" 1 2\t3\n"), 123.0); // blanks are ignored wherever they stand
    EXPECT_EQ(Val("1.5e2"), 150.0);
    EXPECT_EQ(Val("1D2"), 100.0);
    EXPECT_EQ(Val("2.5E-1"), 0.25);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("1.2.3"), 1.2);
    EXPECT_EQ(Val("7e"), 7.0); // no exponent digits: the marker ends the number
    EXPECT_EQ(Val("7e+x"), 7.0);
}

TEST(Val, GivesZeroWithoutANumber) {
    EXPECT_EQ(Val(""), 0.0);
    EXPECT_EQ(Val("abc"), 0.0);
    EXPECT_EQ(Val("-"), 0.0);
    EXPECT_EQ(Val("."), 0.0);
    EXPECT_EQ(Val("1e-400"), 0.0);
    EXPECT_EQ(Val("0.00000000001e-400"), 0.0);
}

TEST(Val, OverflowsBeyondDouble) {
    EXPECT_EQ(errorOf([] { Val("1e400"); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { Val("-0.001e312"); }), ErrorKind::Overflow);
    EXPECT_EQ(errorOf([] { Val("1e99999999999999999999"); }), ErrorKind::Overflow);
}

} // namespace
} // namespace velmora
