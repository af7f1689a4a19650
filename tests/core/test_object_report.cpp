// Characteristics lines per object kind.
#include "core/format.h"
#include "core/object_report.h"
#include "lang/message_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

using namespace vorn;
using core::ObjectType;

namespace {

class ObjectReportTest : public ::testing::Test {
  protected:
    core::Scene scene;
    core::Settings settings;
    lang::MessageTable messages;

    std::vector<std::string> report(int slot) {
        core::ComputeBoundsAndPivot(scene.object(slot));
        return core::ShowObjectReport(scene, settings, messages, slot);
    }
    int polyline(std::initializer_list<core::Vec3f> nodes, bool closed) {
        const int s = core::AppendObject(scene, ObjectType::Polyline);
        auto& o = scene.object(s);
        o.vertexCount = 0;
        for (const auto& v : nodes)
            o.vertex(++o.vertexCount) = v;
        o.param2 = closed ? 1 : 0;
        return s;
    }
};

TEST_F(ObjectReportTest, PointShowsNameBoundsAndVertexCount) {
    const int s = core::AppendObject(scene, ObjectType::Point);
    scene.object(s).vertex(1) = {1.5f, -2, 0.25f};
    const auto lines = report(s);
    const std::vector<std::string> expected = {
        " (Точка)", "MinX=1.5",  "MaxX=1.5",  "MinY=-2",
        "MaxY=-2",  "MinZ=0.25", "MaxZ=0.25", "Кількість вершин (вузлів): 1"};
    EXPECT_EQ(lines, expected);
}

TEST_F(ObjectReportTest, ClosedSquareReportsLengthAndArea) {
    const int s = polyline({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, true);
    scene.object(s).name.setUtf8("Квадрат");
    auto lines = report(s);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "Квадрат (Ламана)");
    EXPECT_EQ(lines[8], "Довжина: 4 од.");
    EXPECT_EQ(lines[9], "Охоплює площу: 1 кв. од.");
    // The plane of the first three nodes is kept in the first face.
    EXPECT_FLOAT_EQ(std::fabs(scene.object(s).face(1).c), 1.0f);

    scene.object(s).param2 = 0;
    lines = report(s);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[8], "Довжина: 3 од.");
}

TEST_F(ObjectReportTest, PolylinesThatAreNotPlanarGetNoArea) {
    // Fourth node 0.001 off the plane of the first three.
    const int off = polyline({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0.001f}}, true);
    EXPECT_EQ(report(off).size(), 9u);
    // Collinear first nodes: no plane at all.
    const int line = polyline({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}}, true);
    EXPECT_EQ(report(line).size(), 9u);
    // Two nodes: length only.
    const int two = polyline({{0, 0, 0}, {3, 4, 0}}, true);
    const auto lines = report(two);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[8], "Довжина: 10 од.");
}

TEST_F(ObjectReportTest, PlaneEquationWritesEveryCoefficient) {
    const int s = core::AppendObject(scene, ObjectType::Plane);
    auto lines = report(s); // default points lie in y = 0
    const std::string eq = lines.back();
    EXPECT_EQ(eq, "Рівняння: 0x+1y+0z+0=0");
    auto& o = scene.object(s);
    o.vertex(1) = {0, 0, 2};
    o.vertex(2) = {1, 0, 2};
    o.vertex(3) = {0, 1, 2};
    lines = report(s);
    EXPECT_EQ(lines.back(), "Рівняння: 0x+0y+1z-2=0");
    EXPECT_EQ(o.planeD, -2.0);
    o.vertex(3) = {2, 0, 2}; // collinear
    lines = report(s);
    EXPECT_EQ(lines.back(), "Рівняння: 0x+0y+0z+0=0");
}

TEST_F(ObjectReportTest, PolyhedronSumsFaceAreas) {
    const int s = core::AppendObject(scene, ObjectType::Polyhedron);
    auto& o = scene.object(s);
    o.faceCount = 3;
    o.face(1).area = 0.5f;
    o.face(2).area = 0.25f;
    o.face(3).area = 1.0f;
    o.volume = 1.0 / 6;
    const auto lines = report(s);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[8], "Кількість трикутних граней: 3");
    EXPECT_EQ(lines[9], "Об'єм: 0.166667 куб. од.");
    EXPECT_EQ(lines[10], "Площа поверхні: 1.75 кв. од.");
}

TEST_F(ObjectReportTest, RevolutionSurfaceHidesInfiniteMeasures) {
    const int s = core::AppendObject(scene, ObjectType::RevolutionSurface);
    auto& o = scene.object(s);
    o.vertexCount = 0;
    o.part(1).area.polygon.pointCount = 0; // no generatrix ends to close
    o.volume = 3.14159265;
    o.surfaceArea = 2;
    auto lines = report(s);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[8], "Об'єм: 3.14159 куб. од.");
    o.volumeInfinite = 1;
    lines = report(s);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[8], "Площа поверхні: 2 кв. од.");
}

// The total area adds the discs closing the generatrix's ends to the lateral area.
TEST_F(ObjectReportTest, RevolutionTotalAreaClosesTheEndsOffTheAxis) {
    const double pi = M_PI;
    const struct {
        const char* name;
        int axis; // 0 Ox, 1 Oy
        std::vector<core::PartPoint> generatrix;
        double lateral;
        bool areaInfinite;
        std::string total; // empty: no total line
    } rows[] = {
        {"cylinder r=3 h=4", 0, {{0, 3}, {2, 3}, {4, 3}}, 2 * pi * 3 * 4, false, "131.947"},
        {"the same about Oy", 1, {{3, 0}, {3, 4}}, 2 * pi * 3 * 4, false, "131.947"},
        {"truncated cone 3, 2, h=4",
         0,
         {{0, 3}, {4, 2}},
         pi * 5 * std::sqrt(17.0),
         false,
         core::FormatNumber(false, pi * 5 * std::sqrt(17.0) + pi * 13)},
        {"cone r=3 h=4: one disc",
         0,
         {{0, 3}, {4, 0}},
         pi * 3 * 5,
         false,
         core::FormatNumber(false, pi * 3 * 5 + pi * 9)},
        {"tube: both ends at x=0 leave a ring",
         0,
         {{0, 1}, {1, 1}, {1, 2}, {0, 2}},
         10,
         false,
         core::FormatNumber(false, 10 + 3 * pi)},
        {"ball: ends on the axis", 0, {{-2, 0}, {0, 2}, {2, 0}}, 16 * pi, false, ""},
        {"ends within 0.0001 of the axis",
         1,
         {{0.00009f, -1}, {1, 0}, {-0.00009f, 1}},
         1,
         false,
         ""},
        {"torus: the curve returns to its start",
         0,
         {{1, 2}, {0, 3}, {-1, 2}, {0, 1}, {1, 2}},
         4 * pi * pi * 2,
         false,
         ""},
        {"infinite lateral area", 0, {{0, 3}, {4, 3}}, 0, true, ""},
    };
    const std::string label = "Площа повної поверхні: ";
    int withTotal = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const int s = core::AppendObject(scene, ObjectType::RevolutionSurface);
        if (!r.total.empty()) withTotal = s;
        auto& o = scene.object(s);
        o.vertexCount = 0;
        o.param1 = r.axis;
        o.surfaceArea = r.lateral;
        o.areaInfinite = r.areaInfinite ? 1 : 0;
        auto& points = o.part(1).area.polygon;
        points.pointCount = static_cast<std::uint8_t>(r.generatrix.size());
        std::copy(r.generatrix.begin(), r.generatrix.end(), points.points);
        const auto lines = report(s);
        const auto shown = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.rfind(label, 0) == 0;
        });
        if (r.total.empty()) {
            EXPECT_EQ(shown, lines.end());
        } else {
            // Last, right after the lateral area line, which stays as it was.
            ASSERT_EQ(shown, lines.end() - 1);
            // In square units, as every other area line.
            EXPECT_EQ(*shown, label + r.total + " кв. од.");
            EXPECT_EQ(shown[-1], messages.format(lang::msg::kSurfaceArea,
                                                 {core::FormatNumber(false, r.lateral)}));
        }
    }
    // A language file that still has the text without the number's place gets it appended.
    lang::MessageTable old = messages;
    old.setText(lang::msg::kTotalSurfaceArea, "Total surface area:");
    const auto lines = core::ShowObjectReport(scene, settings, old, withTotal);
    EXPECT_EQ(lines.back().rfind("Total surface area: ", 0), 0u) << lines.back();
}

TEST_F(ObjectReportTest, MeasuresWithoutAFiniteValueShowFailureMessages) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const std::string badData = messages.text(lang::msg::kBadData),
                      noArea = messages.text(lang::msg::kAreaInfinite);
    const struct {
        const char* name;
        std::function<int()> make;
        std::vector<std::string> tail; // the last lines
        bool complete;
    } rows[] = {
        {"face areas beyond the floats",
         [&] {
             const int s = core::AppendObject(scene, ObjectType::Polyhedron);
             auto& o = scene.object(s);
             o.faceCount = 2;
             o.face(1).area = kInf;
             o.face(2).area = 0.5f;
             o.volume = 1;
             return s;
         },
         {"Кількість трикутних граней: 2", "Об'єм: 1 куб. од.", noArea},
         false},
        {"a node at infinity",
         [&] {
             return polyline({{0, 0, 0}, {kInf, 0, 0}}, false);
         },
         {badData, "Кількість вершин (вузлів): 2", badData},
         false},
        {"finite",
         [&] {
             return polyline({{0, 0, 0}, {3, 4, 0}}, false);
         },
         {"Довжина: 5 од."},
         true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const int s = r.make();
        core::ComputeBoundsAndPivot(scene.object(s));
        bool complete = !r.complete;
        const auto lines = core::ShowObjectReport(scene, settings, messages, s, &complete);
        ASSERT_GE(lines.size(), r.tail.size());
        EXPECT_EQ(
            std::vector<std::string>(lines.end() - static_cast<long>(r.tail.size()), lines.end()),
            r.tail);
        EXPECT_EQ(complete, r.complete);
    }
}

TEST_F(ObjectReportTest, DigitsSettingAndReplacedMessagesApply) {
    const int s = polyline({{0, 0, 0}, {1, 1, 1}}, false);
    settings.answerDigits = 3;
    messages.setText(98, "Length: %s u.");
    const auto lines = report(s);
    EXPECT_EQ(lines[8], "Length: 1.73 u.");
}

} // namespace
