// Compiled formulas and systems against substitute-then-evaluate: tables of shapes and random runs.
#include "expr/compiled_expression.h"
#include "expr/region.h"

#include "compiled_formula_generator.h"
#include "row_name.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace vorn::expr {
namespace {

using difftest::FormulaGenerator;

// The extended format's 10 significant bytes; the rest of a long double is padding.
bool sameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;
}

struct Outcome {
    long double value;
    int code;
};

Outcome reference(ExpressionEngine& engine, const std::string& text, std::string_view letters,
                  const long double* values) {
    std::string t = text;
    for (std::size_t k = 0; k < letters.size(); ++k)
        t = ExpressionEngine::SubstituteVariable(t, letters[k], values[k]);
    const long double v = engine.EvaluateExpression(t);
    return {v, engine.CalcError};
}

// Compares one compiled formula with the text path at the given points; returns the failures.
int compare(const std::string& text, std::string_view letters, bool validate,
            const std::vector<std::array<long double, 3>>& points) {
    ExpressionEngine engine;
    engine.ValidateCharacters = validate;
    const CompiledExpression compiled(text, letters, validate);
    int failures = 0;
    for (const auto& p : points) {
        const Outcome want = reference(engine, text, letters, p.data());
        engine.CalcError = 99;
        const long double got =
            compiled.Evaluate(engine, std::span<const long double>(p.data(), letters.size()));
        if (engine.CalcError != want.code || !sameBits(got, want.value)) {
            ADD_FAILURE() << "text \"" << text << "\" at " << static_cast<double>(p[0]) << ", "
                          << static_cast<double>(p[1]) << ": code " << engine.CalcError << " want "
                          << want.code << ", value " << static_cast<double>(got) << " want "
                          << static_cast<double>(want.value);
            ++failures;
        }
    }
    return failures;
}

std::uint64_t envOr(const char* name, std::uint64_t fallback) {
    const char* v = std::getenv(name);
    return v ? std::strtoull(v, nullptr, 10) : fallback;
}

struct ShapeRow {
    const char* text;
    bool compiled; // false: the shape keeps the text path
};

class Shape : public ::testing::TestWithParam<ShapeRow> {};

// Each row is tried at points that change the sign and size of the substituted values.
TEST_P(Shape, MatchesTextPathAtSignedAndTinyValues) {
    const CompiledExpression c(GetParam().text, "XY");
    EXPECT_EQ(c.usesReference(), !GetParam().compiled) << GetParam().text;
    std::vector<std::array<long double, 3>> points;
    for (long double x : {0.0L, -0.0L, 0.01L, -0.01L, 2.0L, -2.0L, 1e-21L, -4.9e-21L, 0.125L,
                          -0.1249L, 1e40L, -3.0L})
        for (long double y : {0.5L, -1.0L, 0.0L, 7e-5L})
            points.push_back({x, y, 0});
    EXPECT_EQ(compare(GetParam().text, "XY", true, points), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Substitution, Shape,
    ::testing::Values(ShapeRow{"x", true}, ShapeRow{"-x^2", true}, ShapeRow{"2*-x^2", true},
                      ShapeRow{"x^y", true}, ShapeRow{"y^x^2", true}, ShapeRow{"--x", true},
                      ShapeRow{"sin x", true}, ShapeRow{"sinx", true}, ShapeRow{"-sin(x)*y", true},
                      ShapeRow{"sin(x)^2", true}, ShapeRow{"(sin(x))^2", true},
                      ShapeRow{"1/x", true}, ShapeRow{"x/0.00009", true}, ShapeRow{"ln(x)", true},
                      ShapeRow{"sqrt(1-x^2-y^2)", true}, ShapeRow{"ctg(x)+tg(y)", true},
                      ShapeRow{"exp(x*1000000)", true}, ShapeRow{"x*y*1e5", true},
                      ShapeRow{"2 x", false}, ShapeRow{"x .5", false}, ShapeRow{"x y", false},
                      ShapeRow{"pi x", false}, ShapeRow{"x2", true}, ShapeRow{"(x)(y)", true},
                      ShapeRow{")x(", true}, ShapeRow{"((x)", true}, ShapeRow{"x+", true},
                      ShapeRow{"frac(x)+int(y)+abs(x)+sqr(y)+lg(x)", true},
                      ShapeRow{"asin(x)+acos(y)+atg(x)+actg(y)", true}, ShapeRow{"", true},
                      ShapeRow{"  ", true},
                      ShapeRow{"x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+y", true},
                      ShapeRow{"x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+x+y+1", false}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.text); });

// Values that must come out exactly, on both paths: LG is ln v / ln 10 in extended precision.
TEST(ExactValue, SameOnBothPaths) {
    const struct {
        const char* text;
        long double x, expected;
    } rows[] = {
        {"lg(x)+3", 0.001L, 0},
        {"lg(x)-3", 1000, 0},
        {"int(lg(x^4000))", 10, 3999}, // ln(10^4000) / ln 10 is a hair below 4000
        {"LG(0.001)+3", 0, 0},
    };
    for (const auto& r : rows) {
        ExpressionEngine engine;
        const Outcome text = reference(engine, r.text, "X", &r.x);
        EXPECT_EQ(text.code, kCalcOk) << r.text;
        EXPECT_EQ(text.value, r.expected) << r.text;
        const long double compiled = CompiledExpression(r.text, "X").Evaluate(engine, r.x);
        EXPECT_EQ(engine.CalcError, kCalcOk) << r.text;
        EXPECT_EQ(compiled, r.expected) << r.text;
    }
}

// The value text holds 20 decimals; these are the values where that rounding shows.
TEST(SubstitutedValue, ReadsBackAsTheTwentyDecimalText) {
    FormulaGenerator gen(7);
    for (int k = 0; k < 20000; ++k) {
        const long double v = gen.point();
        if (!std::isfinite(v)) continue;
        char buffer[6000];
        const auto printed =
            std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 20);
        long double back = 0;
        const char* from = buffer + (buffer[0] == '-');
        std::from_chars(from, printed.ptr, back, std::chars_format::fixed);
        if (buffer[0] == '-') back = -back;
        ASSERT_TRUE(sameBits(SubstitutedValue(v), back)) << static_cast<double>(v);
    }
    EXPECT_EQ(SubstitutedValue(4.9e-21L), 0);
    EXPECT_TRUE(std::signbit(SubstitutedValue(-1e-30L)));
}

TEST(CompiledExpression, FollowsTheReferenceSwitchAndTheCharacterCheck) {
    ExpressionEngine engine;
    const CompiledExpression c("sinx+x", "X");
    c.Evaluate(engine, 1.0L);
    EXPECT_EQ(engine.CalcError, kBadText);
    // With the check off the unsubstituted X is the operand slot X, as in the text path.
    engine.ValidateCharacters = false;
    const long double off = c.Evaluate(engine, 1.0L);
    const Outcome want = reference(engine, "sinx+x", "X", std::array<long double, 1>{1}.data());
    EXPECT_EQ(engine.CalcError, want.code);
    EXPECT_TRUE(sameBits(off, want.value));
    {
        const ReferenceEvaluationScope scope;
        EXPECT_TRUE(ReferenceEvaluation());
    }
    EXPECT_FALSE(ReferenceEvaluation());
}

// A grid row keeps x while y changes: results remembered for x must not outlive it, nor be
// taken from a run that stopped at an earlier error.
TEST(CompiledExpression, RemembersOnlyWhatTheUnchangedVariableDecides) {
    std::vector<std::array<long double, 3>> points;
    for (long double x : {1.0L, 0.0L, -1.0L, 2.0L})
        for (long double y : {1.0L, 0.0L, 0.0L, -2.0L, 3.0L})
            points.push_back({x, y, 0});
    EXPECT_EQ(compare("1/y + ln(x) + sqrt(x)*y", "XY", true, points), 0);
    EXPECT_EQ(compare("ln(y) + 1/x", "XY", true, points), 0);
    EXPECT_EQ(compare("x^0.5 - y*ln(x)", "XY", true, points), 0);
}

// Holds gives the verdict of Contains, looking at the relations in x alone first and once per
// x: rows put them after others, make them fail without a value, or fail after y has failed.
TEST(CompiledSystem, MatchesTextPathOnRegionTables) {
    const char* systems[] = {"",         "x*x+y*y<=4",    "x*x+y*y=<4",     "x=y",   "x<>0",
                             "y>0, x>0", "y>0,x>0,x+y<1", "0<x<1",          "x<<1",  "x",
                             "y>x",      "x^2+y^2<pi^2",  "1/x>0, ln(y)<1", "x<1,y", "x<1,ln(0)>y"};
    const char* ordered[] = {"ln(y)>-9, sqrt(x)<1", "1/y>1, x>0.3", "y<1, x<0.4, x>-2, x*y<>0",
                             "x>0,2<3,y<x^2", "sqrt(x-0.01)<1, 1/(y-1)<5"};
    std::vector<const char*> all(std::begin(systems), std::end(systems));
    all.insert(all.end(), std::begin(ordered), std::end(ordered));
    ExpressionEngine engine;
    for (const char* text : all) {
        const CompiledSystem c(text), rows(text);
        for (long double x : {0.0L, 0.5L, -1.0L, 2.0L, 1e-6L, 0.01L})
            for (long double y : {0.5L, 0.500009L, 0.50002L, 1.0L, -0.3L}) {
                const bool want = pointInSystem(engine, text, x, y);
                const int wantCode = engine.CalcError;
                engine.CalcError = 99;
                EXPECT_EQ(c.Contains(engine, x, y), want) << text;
                EXPECT_EQ(engine.CalcError, wantCode) << text;
                EXPECT_EQ(rows.Holds(engine, x, y), want)
                    << text << " at " << double(x) << ", " << double(y);
            }
    }
}

// Bytes 1..4 are what the compiler writes for variables; in a text (a damaged scene record)
// they are foreign characters to the text path, and must not turn into variables.
TEST(CompiledSystem, ControlBytesOfTheTextAreNotVariables) {
    const std::string texts[] = {"1\x01",
                                 "\x01",
                                 "x<\x01",
                                 "\x02>0, y<1",
                                 "exp(x)+\x03"
                                 "0",
                                 "y\x04 <2"};
    const std::vector<std::array<long double, 3>> points = {{0.01L, -0.01L, 0}, {2, 0, 0}};
    ExpressionEngine engine;
    for (const std::string& text : texts)
        for (bool validate : {true, false}) {
            SCOPED_TRACE(text + (validate ? " checked" : " unchecked"));
            EXPECT_EQ(compare(text, "XY", validate, points), 0);
            engine.ValidateCharacters = validate;
            const CompiledSystem c(text, validate);
            for (const auto& p : points) {
                const bool want = pointInSystem(engine, text, p[0], p[1]);
                const int wantCode = engine.CalcError;
                engine.CalcError = 99;
                EXPECT_EQ(c.Contains(engine, p[0], p[1]), want);
                EXPECT_EQ(engine.CalcError, wantCode);
            }
        }
}

// Random formulas over the whole language at random points. DIFF_CASES and DIFF_SEED let the
// long run of scripts/differential.sh use the same comparison.
TEST(CompiledDifferential, RandomFormulasAndSystems) {
    const std::uint64_t cases = envOr("DIFF_CASES", 30000);
    const std::uint64_t seed = envOr("DIFF_SEED", 20240611);
    FormulaGenerator gen(seed);
    ExpressionEngine engine;
    std::uint64_t evaluated = 0, shapes = 0, compiledShapes = 0;
    int failures = 0;
    while (evaluated < cases && failures < 20) {
        const bool validate = !gen.chance(6);
        const int kind = gen.pick(10);
        std::vector<std::array<long double, 3>> points;
        const int count = 1 + gen.pick(12);
        for (int k = 0; k < count; ++k) {
            const long double x = points.empty() || gen.chance(3) ? gen.point() : points.back()[0];
            points.push_back({x, gen.point(), gen.point()});
        }
        if (kind == 0) {
            const std::string text = gen.system();
            engine.ValidateCharacters = validate;
            const CompiledSystem c(text, validate);
            compiledShapes += !c.usesReference();
            for (const auto& p : points) {
                const bool want = pointInSystem(engine, text, p[0], p[1]);
                const int wantCode = engine.CalcError;
                const bool got = c.Contains(engine, p[0], p[1]);
                if (got != want || engine.CalcError != wantCode ||
                    c.Holds(engine, p[0], p[1]) != want) {
                    ADD_FAILURE() << "system \"" << text << "\" at " << static_cast<double>(p[0])
                                  << ", " << static_cast<double>(p[1]);
                    ++failures;
                }
            }
        } else {
            const std::string text = gen.formula();
            const char* letters = kind == 1 ? "T" : kind == 2 ? "XYZ" : "XY";
            compiledShapes += !CompiledExpression(text, letters, validate).usesReference();
            failures += compare(text, letters, validate, points);
        }
        evaluated += points.size();
        ++shapes;
    }
    EXPECT_EQ(failures, 0) << "seed " << seed;
    std::printf("differential: %llu cases, seed %llu\n", static_cast<unsigned long long>(evaluated),
                static_cast<unsigned long long>(seed));
    // Most random shapes must take the compiled path, or the comparison proves little.
    EXPECT_GT(compiledShapes * 10, shapes * 7);
}

} // namespace
} // namespace vorn::expr
