// Tests of "v3dtool calc": double and contour integrals and the measures of solids of revolution.
#include "temp_path.h"
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "core/format.h"
#include "core/scene_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace vorn::tool {
namespace {

struct CalcRun {
    int status;
    std::string out, err;
};

CalcRun calc(const Args& args) {
    std::ostringstream out, err;
    const int status = runCalc(args, out, err);
    return {status, out.str(), err.str()};
}

// "I=a, S=b" as two numbers.
std::pair<double, double> parseAnswer(const std::string& line) {
    double i = 0, s = 0;
    EXPECT_EQ(std::sscanf(line.c_str(), "I=%lf, S=%lf", &i, &s), 2) << line;
    return {i, s};
}

std::string sceneWithSurface(const char* formula, const char* system) {
    const std::string file = vorn::test::tempPath("calc_surface.v3d").string();
    std::ostringstream sink;
    ToolSession s(sink, sink);
    core::AppendObject(s.scene, core::ObjectType::Point);
    const int slot = core::AppendObject(s.scene, core::ObjectType::Surface);
    s.scene.object(slot).name.setRaw("F");
    s.scene.object(slot).part(1).text.setRaw(formula);
    s.scene.object(slot).part(1).area.domainText.setRaw(system);
    EXPECT_TRUE(core::WriteSceneFile(s.env, file));
    return file;
}

TEST(CalcDouble, DiscAreaByNumberOrNameAndPolygonRegion) {
    const std::string file = sceneWithSurface("1", "");
    const CalcRun byNumber = calc(
        {"double", file, "2", "--region", "x^2+y^2<1", "--bounds", "-2,2,-2,2", "--points", "200"});
    ASSERT_EQ(byNumber.status, 0) << byNumber.err;
    const auto [i, s] = parseAnswer(byNumber.out);
    EXPECT_LT(std::fabs(i - M_PI), 10.0 / 200); // the rim loses about half a cell
    EXPECT_EQ(i, s);
    // The same surface by name, default bounds, a unit square and three digits.
    const CalcRun square = calc(
        {"double", file, "F", "--polygon", "0,0,1,0,1,1,0,1", "--points", "65", "--digits", "3"});
    ASSERT_EQ(square.status, 0) << square.err;
    EXPECT_EQ(square.out, "I=1, S=1\n");
    std::filesystem::remove(file);
}

TEST(CalcDouble, RefusesWhatTheCalculatorRefuses) {
    const std::string file = sceneWithSurface("x", "");
    const lang::MessageTable m;
    const struct {
        Args args;
        int status;
        std::string err;
    } rows[] = {
        {{"double", file, "F", "--region", "x<<1"}, 1, m.text(6) + "\n"},
        {{"double", file, "F", "--bounds", "a,2,3,4"}, 1, m.text(6) + "\n"},
        {{"double", file, "F", "--bounds", "1,2,3"}, 1, m.text(6) + "\n"},
        {{"double", file, "F", "--points", "10"}, 2, ""},
        {{"double", file, "1"}, 2, ""},
        {{"double", file, "F", "--region", "x<1", "--polygon", "0,0,1,0,1,1"}, 2, ""},
    };
    for (const auto& r : rows) {
        const CalcRun run = calc(r.args);
        EXPECT_EQ(run.status, r.status) << r.args.back();
        EXPECT_TRUE(run.out.empty());
        if (!r.err.empty()) {
            EXPECT_NE(run.err.find(r.err), std::string::npos) << run.err;
        }
    }
    std::filesystem::remove(file);

    // A scene without surfaces: the calculator's own message.
    const std::string empty = vorn::test::tempPath("calc_empty.v3d").string();
    std::ostringstream sink;
    ToolSession s(sink, sink);
    core::AppendObject(s.scene, core::ObjectType::Point);
    ASSERT_TRUE(core::WriteSceneFile(s.env, empty));
    const CalcRun none = calc({"double", empty, "1"});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find(m.text(3)), std::string::npos);
    std::filesystem::remove(empty);
}

TEST(CalcContour, PrintsTheIntegralOrTheError) {
    const lang::MessageTable m;
    EXPECT_EQ(calc({"contour", "1", "--polyline", "0,0,0,3,4,0"}).out, "5\n");
    EXPECT_EQ(calc({"contour", "x", "--polyline", "0,0,0,1,0,0", "--digits", "2"}).out, "0.5\n");
    const CalcRun bad = calc({"contour", "ln(x)", "--polyline", "1,0,0,-1,0,0"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, m.text(6) + "\n");
    for (const Args& args : {Args{"contour", "1"}, Args{"contour", "1", "--polyline", "0,0,0"},
                             Args{"contour", "1", "--polyline", "0,0,0,1,1"}})
        EXPECT_EQ(calc(args).status, 2);
}

// Where a result is not a finite number the command gives its failure message and status 1.
TEST(Calc, ResultsWithoutAFiniteValueAreFailures) {
    const lang::MessageTable m;
    const std::string file = sceneWithSurface("1", "");
    const struct {
        Args args;
        std::string out, err; // what the output starts with, what the errors hold
    } rows[] = {
        {{"revolve", "--type", "fx", "--axis", "ox", "--y", "1/0", "--range", "0,1"},
         m.text(6) + "\n",
         ""},
        {{"revolve", "--type", "fx", "--axis", "ox", "--y", "10^300", "--range", "0,1"},
         m.text(95) + "\n",
         ""},
        {{"contour", "1", "--polyline", "0,0,0,10^200,0,0"}, "", m.text(6) + "\n"},
        {{"double", file, "F", "--bounds", "0-10^300,10^300,0-10^300,10^300"}, "", m.text(6)},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.args[0] + " " + r.args[r.args.size() - 3]);
        const CalcRun run = calc(r.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out.substr(0, r.out.size()), r.out);
        EXPECT_NE(run.err.find(r.err), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("INF"), std::string::npos);
        EXPECT_EQ(run.out.find("NAN"), std::string::npos);
    }
    std::filesystem::remove(file);
}

TEST(CalcRevolve, PrintsVolumeAndAreaLinesOrInfinityMessages) {
    const lang::MessageTable m;
    auto lines = [&](double volume, double area) {
        return m.format(102, {core::FormatNumber(false, volume)}) + "\n" +
               m.format(103, {core::FormatNumber(false, area)}) + "\n";
    };
    EXPECT_EQ(calc({"revolve", "--type", "fx", "--axis", "ox", "--y", "1", "--range", "0,1"}).out,
              lines(M_PI, 2 * M_PI));
    EXPECT_EQ(calc({"revolve", "--type", "polyline", "--axis", "ox", "--points", "0,1,1,-1"}).out,
              lines(M_PI / 3, M_PI * std::sqrt(5.0)));
    // The ball's poles lie just outside the widened interval: its area is 16 pi, not 2 % less.
    const CalcRun ball =
        calc({"revolve", "--type", "fx", "--axis", "ox", "--y", "sqrt(4-x^2)", "--range", "-2,2"});
    EXPECT_NE(ball.out.find(m.format(103, {core::FormatNumber(false, 16 * M_PI)}) + "\n"),
              std::string::npos)
        << ball.out;
    const CalcRun sphere = calc({"revolve", "--type", "param", "--axis", "oy", "--y", "sin(t)",
                                 "--x", "cos(t)", "--range", "-pi/2,pi/2", "--digits", "2"});
    EXPECT_EQ(sphere.out, m.format(102, {"4.2"}) + "\n" + m.format(103, {"13"}) + "\n");
    EXPECT_EQ(calc({"revolve", "--type", "fx", "--axis", "ox", "--y", "sqrt(x)", "--range",
                    "0.000000101,1"})
                  .out,
              m.text(96) + "\n" + m.format(102, {core::FormatNumber(false, M_PI / 2)}) + "\n");
    for (const Args& args :
         {Args{"revolve", "--type", "fx", "--axis", "oz", "--y", "1", "--range", "0,1"},
          Args{"revolve", "--type", "param", "--axis", "ox", "--y", "1", "--range", "0,1"},
          Args{"revolve", "--type", "polyline", "--axis", "ox", "--points", "0,1"},
          Args{"revolve", "--axis", "ox"}, Args{}, Args{"integrate"}})
        EXPECT_EQ(calc(args).status, 2);
}

} // namespace
} // namespace vorn::tool
