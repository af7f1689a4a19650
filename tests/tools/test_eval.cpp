// Tests of "v3dtool eval": one answer line with exit status 0, status 2 for unusable arguments.
#include "core/format.h"
#include "row_name.h"
#include "v3dtool/commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

namespace vorn::tool {
namespace {

struct EvalRow {
    Args args;
    long double value;
    int code;
};

class EvalValue : public ::testing::TestWithParam<EvalRow> {};

TEST_P(EvalValue, PrintsFormattedValueAndCode) {
    std::ostringstream out, err;
    EXPECT_EQ(runEval(GetParam().args, out, err), 0);
    EXPECT_EQ(out.str(), core::FormatNumber(true, GetParam().value) + " " +
                             std::to_string(GetParam().code) + "\n");
    EXPECT_EQ(err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, EvalValue,
    ::testing::Values(EvalRow{{"1+2*3"}, 7, 0}, EvalRow{{"-2^2"}, 4, 0},
                      EvalRow{{"x*y", "X=2", "Y=-1.5"}, -3, 0},
                      EvalRow{{"x*y", "y=-1.5", "x=2"}, -3, 0},
                      EvalRow{{"2 x", "X=0.01"}, 20.01L, 0},
                      EvalRow{{"t+z", "T=.5", "Z=+1"}, 1.5L, 0}, EvalRow{{"sinx", "X=1"}, 0, 2},
                      EvalRow{{"ln(x)", "X=0"}, 0, -1}, EvalRow{{"1/x", "X=0"}, 0, -2},
                      EvalRow{{"x"}, 0, 2}, EvalRow{{""}, 0, 0}, EvalRow{{"(1"}, 0, 3}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.args); });

struct SystemRow {
    Args args;
    const char* answer;
};

class EvalSystem : public ::testing::TestWithParam<SystemRow> {};

TEST_P(EvalSystem, PrintsVerdictAndCode) {
    std::ostringstream out, err;
    EXPECT_EQ(runEval(GetParam().args, out, err), 0);
    EXPECT_EQ(out.str(), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Systems, EvalSystem,
    ::testing::Values(SystemRow{{"--system", "x*x+y*y<=4", "X=1", "Y=1"}, "true 0\n"},
                      SystemRow{{"--system", "x*x+y*y<=4", "X=2", "Y=1"}, "false 0\n"},
                      SystemRow{{"--system", ""}, "true 0\n"},
                      SystemRow{{"--system", "0<x<1", "X=0.5"}, "false 2\n"},
                      SystemRow{{"--system", "ln(x)<0", "X=0"}, "false -1\n"}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param.args); });

class EvalUsage : public ::testing::TestWithParam<Args> {};

TEST_P(EvalUsage, RejectsArguments) {
    std::ostringstream out, err;
    EXPECT_EQ(runEval(GetParam(), out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, EvalUsage,
    ::testing::Values(Args{}, Args{"--system"}, Args{"x", "X"}, Args{"x", "X="}, Args{"x", "W=1"},
                      Args{"x", "X=1e5"}, Args{"x", "X=inf"}, Args{"x", "X=1.2.3"},
                      Args{"x", "X=-"}, Args{"--system", "x<1", "T=1"}, Args{"x", "XX=1"}),
    [](const auto& info) { return vorn::test::RowName(info.index, info.param); });

} // namespace
} // namespace vorn::tool
