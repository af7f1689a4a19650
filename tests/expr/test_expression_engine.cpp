// Tests of the expression evaluator: precedence, error codes, substitution and hostile input.
#include "expr/expression_engine.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <string>

namespace vorn::expr {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
// Powers go through exp(e * ln b) and lose a few bits of the 64-bit mantissa.
constexpr long double kRelative = 1e-15L;

void expectValue(long double expected, long double actual, const std::string& text) {
    EXPECT_NEAR(static_cast<double>(actual), static_cast<double>(expected),
                static_cast<double>(kRelative * std::max(1.0L, std::fabs(expected))))
        << text;
}

struct ValueRow {
    const char* text;
    long double expected;
};

class Value : public ::testing::TestWithParam<ValueRow> {};

TEST_P(Value, EvaluatesWithCodeZero) {
    ExpressionEngine engine;
    const long double v = engine.EvaluateExpression(GetParam().text);
    EXPECT_EQ(engine.CalcError, kCalcOk) << GetParam().text;
    expectValue(GetParam().expected, v, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, Value,
    ::testing::Values(ValueRow{"2^3^2", 64}, ValueRow{"-2^2", 4}, ValueRow{"2-2^2", -2},
                      ValueRow{"2^-1", 0.5L}, ValueRow{"(-2)^3", -8}, ValueRow{"(-2)^2", 4},
                      ValueRow{"(-8)^(1/3)", 0}, ValueRow{"0^-1", 0}, ValueRow{"0^0", 0},
                      ValueRow{"2*-3^2", 18}, ValueRow{"2--3", 5}, ValueRow{"2+-3", -1},
                      ValueRow{"+5", 5}, ValueRow{"2+3*4", 14}, ValueRow{"(2+3)*4", 20},
                      ValueRow{"8/4/2", 1}, ValueRow{"2*3/4", 1.5L}, ValueRow{"10-4-3", 3},
                      ValueRow{"1-+-2", 3}, ValueRow{"-(2+3)", -5}, ValueRow{"((((7))))", 7},
                      ValueRow{" 1 + 2 ", 3}, ValueRow{"5.", 5}, ValueRow{".5", 0.5L},
                      ValueRow{"1/0.0001", 10000}, ValueRow{"sqr3^2", 81}, ValueRow{"-sqrt(4)", -2},
                      ValueRow{"2*-sqrt(4)", -4}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

INSTANTIATE_TEST_SUITE_P(
    Functions, Value,
    ::testing::Values(
        ValueRow{"SIN(0.5)^2", std::sin(0.25L)}, ValueRow{"SIN 0.5^2", std::sin(0.25L)},
        ValueRow{"(SIN(0.5))^2", std::sin(0.5L) * std::sin(0.5L)}, ValueRow{"ATG(1)", kPi / 4},
        ValueRow{"ACTG(1)", kPi / 4}, ValueRow{"ACTG(0)", kPi / 2}, ValueRow{"ASIN(1)", kPi / 2},
        ValueRow{"ASIN(-1)", -kPi / 2}, ValueRow{"ASIN(0.5)", kPi / 6},
        ValueRow{"ACOS(0)", kPi / 2}, ValueRow{"ACOS(-1)", kPi}, ValueRow{"ACOS(1)", 0},
        ValueRow{"ACOS(-0.5)", 2 * kPi / 3}, ValueRow{"LG(1000)", 3}, ValueRow{"LN(EXP(2))", 2},
        ValueRow{"CTG(1)", std::cos(1.0L) / std::sin(1.0L)}, ValueRow{"TG(1)", std::tan(1.0L)},
        ValueRow{"FRAC(-2.75)", -0.75L}, ValueRow{"INT(-2.75)", -2}, ValueRow{"INT(2.75)", 2},
        ValueRow{"SQRT(2)", std::sqrt(2.0L)}, ValueRow{"SQR(-3)", 9}, ValueRow{"ABS(-3)", 3},
        ValueRow{"PI", 3.1415926L}, ValueRow{"2PI", 23.1415926L}, ValueRow{"2*pi", 6.2831852L},
        ValueRow{"SIN(9223372036854775808)", 0}, ValueRow{"COS(-9223372036854775808)", 0},
        ValueRow{"sin(pi)+cos(0)", std::sin(3.1415926L) + 1}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

struct ErrorRow {
    const char* text;
    int code;
};

class Error : public ::testing::TestWithParam<ErrorRow> {};

TEST_P(Error, GivesCodeAndZero) {
    ExpressionEngine engine;
    const long double v = engine.EvaluateExpression(GetParam().text);
    EXPECT_EQ(engine.CalcError, GetParam().code) << GetParam().text;
    EXPECT_EQ(v, 0.0L) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, Error,
    ::testing::Values(
        ErrorRow{"sinx", kBadText}, ErrorRow{"2x", kBadText}, ErrorRow{"1e5", kBadText},
        ErrorRow{"3,5", kBadText}, ErrorRow{"1.2.3", kBadNumber}, ErrorRow{".", kBadNumber},
        ErrorRow{"(2)(3)", kBadText}, ErrorRow{")2(", kBadText}, ErrorRow{"2)+(3", kBadText},
        ErrorRow{"2)(3", kBadText}, ErrorRow{"((2)", kUnbalanced}, ErrorRow{"2)", kUnbalanced},
        ErrorRow{"()", kBadText}, ErrorRow{"(+)", kBadText}, ErrorRow{"(2)3", kBadText},
        ErrorRow{"2+", kMissingOperand}, ErrorRow{"*2", kMissingOperand},
        ErrorRow{"2^", kMissingOperand}, ErrorRow{"^2", kMissingOperand},
        ErrorRow{"(-)", kMissingOperand}, ErrorRow{"SIN", kMissingOperand},
        ErrorRow{"SIN COS(0)", kMissingOperand}, ErrorRow{"SIN COS", kMissingOperand},
        ErrorRow{"2 sin", kMissingOperand}, ErrorRow{"\xd0\x9f", kBadText},
        ErrorRow{"1<2", kBadText}, ErrorRow{"2\t+1", kBadText}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

INSTANTIATE_TEST_SUITE_P(
    NoValue, Error,
    ::testing::Values(
        ErrorRow{"LN(0)", kArithmeticFault}, ErrorRow{"SQRT(-1)", kArithmeticFault},
        ErrorRow{"LG(-5)", kArithmeticFault}, ErrorRow{"ASIN(1.5)", kArithmeticFault},
        ErrorRow{"ACOS(-1.0001)", kArithmeticFault}, ErrorRow{"CTG(0)", kArithmeticFault},
        ErrorRow{"EXP(20000)", kArithmeticFault}, ErrorRow{"10^5000", kArithmeticFault},
        ErrorRow{"(-10)^5001", kArithmeticFault}, ErrorRow{"1/0.00009", kSmallDivisor},
        ErrorRow{"1/0", kSmallDivisor}, ErrorRow{"1/-0.00001", kSmallDivisor}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

// Overflow in the four basic operations is a fault, never an infinity passed on.
TEST(BasicOperations, OverflowGivesArithmeticFault) {
    const std::string big = "10^4000";
    const std::string top = "9*10^4931";
    for (const std::string& text :
         {big + "*" + big, big + "/0.001*" + big, std::string("10^4931/0.001"), top + "+" + top,
          "-" + top + "-" + top}) {
        ExpressionEngine engine;
        EXPECT_EQ(engine.EvaluateExpression(text), 0.0L) << text;
        EXPECT_EQ(engine.CalcError, kArithmeticFault) << text;
    }
}

TEST(EmptyText, IsZeroWithoutCode) {
    for (const char* text : {"", " ", "          "}) {
        ExpressionEngine engine;
        engine.CalcError = kBadText;
        EXPECT_EQ(engine.EvaluateExpression(text), 0.0L);
        EXPECT_EQ(engine.CalcError, kCalcOk);
    }
}

std::string sumOfOnes(int count) {
    std::string text = "1";
    for (int i = 1; i < count; ++i)
        text += "+1";
    return text;
}

TEST(OperandLimit, TwentySixNumbersFitAndTheTwentySeventhIsMalformed) {
    ExpressionEngine engine;
    EXPECT_EQ(engine.EvaluateExpression(sumOfOnes(26)), 26.0L);
    EXPECT_EQ(engine.CalcError, kCalcOk);

    EXPECT_EQ(engine.EvaluateExpression(sumOfOnes(27)), 0.0L);
    EXPECT_EQ(engine.CalcError, kMissingOperand);

    // A fault before the 27th number must not hide that the text is malformed.
    engine.EvaluateExpression("LN(0)+" + sumOfOnes(26));
    EXPECT_GT(engine.CalcError, 0);

    // PI and substituted variables take slots too.
    std::string pis = "PI";
    for (int i = 1; i < 26; ++i)
        pis += "+pi";
    expectValue(26 * 3.1415926L, engine.EvaluateExpression(pis), pis);
    EXPECT_EQ(engine.CalcError, kCalcOk);
    engine.EvaluateExpression(pis + "+pi");
    EXPECT_EQ(engine.CalcError, kMissingOperand);
    engine.EvaluateExpression(ExpressionEngine::SubstituteVariable(sumOfOnes(26) + "+x", 'X', 1));
    EXPECT_EQ(engine.CalcError, kMissingOperand);
}

struct SubstitutionRow {
    const char* text;
    long double x;
    long double expected; // value of the substituted text, when code is 0
    int code;
};

class Substitution : public ::testing::TestWithParam<SubstitutionRow> {};

TEST_P(Substitution, BindsOnlyFreeOccurrences) {
    const auto& row = GetParam();
    ExpressionEngine engine;
    const long double v =
        engine.EvaluateExpression(ExpressionEngine::SubstituteVariable(row.text, 'X', row.x));
    EXPECT_EQ(engine.CalcError, row.code) << row.text;
    expectValue(row.expected, v, row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Substitution,
    ::testing::Values(
        SubstitutionRow{"sin x", 0.5L, std::sin(0.5L), kCalcOk},
        SubstitutionRow{"sinx", 0.5L, 0, kBadText}, SubstitutionRow{"2x", 0.5L, 0, kBadText},
        SubstitutionRow{"x1", 0.5L, 0, kBadText}, SubstitutionRow{"2 x", 0.01L, 20.01L, kCalcOk},
        SubstitutionRow{"exp(x)", 1, std::exp(1.0L), kCalcOk},
        SubstitutionRow{"X*x", -3, 9, kCalcOk}, SubstitutionRow{"2*x", -0.25L, -0.5L, kCalcOk},
        SubstitutionRow{"x^2", -3, 9, kCalcOk}, SubstitutionRow{"-x^2", -3, 9, kCalcOk},
        SubstitutionRow{"2-x", -3, 5, kCalcOk}, SubstitutionRow{"x", 4e-21L, 0, kCalcOk},
        SubstitutionRow{"ln(x-1)", 0.01L, 0, kArithmeticFault},
        // Values whose fixed-point text is longer than 60 characters.
        SubstitutionRow{"x", -1e40L, -1e40L, kCalcOk}, SubstitutionRow{"x", 1e70L, 1e70L, kCalcOk},
        SubstitutionRow{"x+1", -123456789012345678901234567890.5L,
                        -123456789012345678901234567889.5L, kCalcOk}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

TEST(SubstituteVariable, LeavesOtherTextAsIs) {
    EXPECT_EQ(ExpressionEngine::SubstituteVariable("EXP(Y)+yy+Y1", 'Y', 2),
              "EXP(2.00000000000000000000)+yy+Y1");
    EXPECT_EQ(ExpressionEngine::SubstituteVariable("t", 'T', -1), "(-1.00000000000000000000)");
    EXPECT_EQ(ExpressionEngine::SubstituteVariable("\xd1\x85 x", 'x', 0),
              "\xd1\x85 0.00000000000000000000");
}

// The bulk samplers switch the check off for texts already accepted; values must not change.
TEST(ValidateCharacters, OffGivesTheSameResultsForAcceptedTexts) {
    for (const char* text : {"2^3^2", "-SIN(0.3)*2", "LN(0)", "1/0.00001", "(2)(3)", "ACOS(-0.5)",
                             "2--3", "1.2.3", "((2)"}) {
        ExpressionEngine on, off;
        off.ValidateCharacters = false;
        const long double a = on.EvaluateExpression(text);
        const long double b = off.EvaluateExpression(text);
        EXPECT_EQ(a, b) << text;
        EXPECT_EQ(on.CalcError, off.CalcError) << text;
    }
}

TEST(ValidateCharacters, OffStillGivesNoValueForForeignText) {
    ExpressionEngine engine;
    engine.ValidateCharacters = false;
    for (const char* text : {"2x", "\xff", "1<2", "2,5", "(\x80)"}) {
        EXPECT_EQ(engine.EvaluateExpression(text), 0.0L) << text;
        EXPECT_GT(engine.CalcError, 0) << text;
    }
}

TEST(State, EnginesAreIndependentAndTheCodeIsReset) {
    ExpressionEngine a, b;
    a.EvaluateExpression("LN(0)");
    b.EvaluateExpression("2+2");
    EXPECT_EQ(a.CalcError, kArithmeticFault);
    EXPECT_EQ(b.CalcError, kCalcOk);
    EXPECT_EQ(a.EvaluateExpression("3*3"), 9.0L);
    EXPECT_EQ(a.CalcError, kCalcOk);
}

TEST(TypingCheck, AcceptsTextsWithoutValueAtTheProbe) {
    ExpressionEngine engine;
    EXPECT_TRUE(acceptsTypedExpression(engine, "LN(X-1)", "X"));
    EXPECT_TRUE(acceptsTypedExpression(engine, "x*y+t", "XYT"));
    EXPECT_TRUE(acceptsTypedExpression(engine, "1/(x-0.01)", "X"));
    EXPECT_FALSE(acceptsTypedExpression(engine, "x*y", "X"));
    EXPECT_FALSE(acceptsTypedExpression(engine, "sinx", "X"));
    EXPECT_FALSE(acceptsTypedExpression(engine, "(x", "X"));
}

// Hostile input must end quickly with a code or a value, never read past the text.
TEST(Robustness, LongAndNestedTextsEnd) {
    const auto start = std::chrono::steady_clock::now();
    ExpressionEngine engine;
    std::string nested = std::string(5000, '(') + "1" + std::string(5000, ')');
    EXPECT_EQ(engine.EvaluateExpression(nested), 1.0L);
    EXPECT_EQ(engine.CalcError, kCalcOk);

    std::string signs = "1" + std::string(10000, '-') + "1";
    EXPECT_EQ(engine.EvaluateExpression(signs), 2.0L);
    EXPECT_EQ(engine.CalcError, kCalcOk);

    std::string pis;
    for (int i = 0; i < 5000; ++i)
        pis += "pi";
    engine.EvaluateExpression(pis);
    EXPECT_EQ(engine.CalcError, kBadNumber);

    std::string digits(10000, '9');
    engine.EvaluateExpression(digits);
    EXPECT_EQ(engine.CalcError, kArithmeticFault);
    engine.EvaluateExpression("0." + std::string(9998, '0') + "1");
    EXPECT_EQ(engine.CalcError, kCalcOk);

    std::string high;
    for (int i = 0; i < 10000; ++i)
        high.push_back(static_cast<char>(128 + i % 128));
    engine.EvaluateExpression(high);
    EXPECT_EQ(engine.CalcError, kBadText);
    engine.ValidateCharacters = false;
    EXPECT_EQ(engine.EvaluateExpression(high), 0.0L);
    EXPECT_GT(engine.CalcError, 0);

    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
} // namespace vorn::expr
