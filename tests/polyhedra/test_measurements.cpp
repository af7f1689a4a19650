// Tests of the eight measurements: report lines, degenerate input and point offers.
#include "poly_fixture.h"

#include "polyhedra/measurements.h"

namespace vorn::test {
namespace {

using poly::Pick;
using poly::PickKind;

Pick P(double x, double y, double z) {
    Pick p;
    p.kind = PickKind::Point;
    p.a = {x, y, z};
    return p;
}
Pick L(geo::Vec3 a, geo::Vec3 b) {
    Pick p;
    p.kind = PickKind::Line;
    p.a = a;
    p.b = b;
    return p;
}
Pick Pl(double a, double b, double c, double d) {
    Pick p;
    p.kind = PickKind::Plane;
    p.plane = {a, b, c, d};
    return p;
}

class Measurements : public PolyFixture {};

TEST_F(Measurements, ReportLines) {
    const double r = 1 / std::sqrt(2.0);
    struct Row {
        const char* name;
        int number;
        std::vector<Pick> picks;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"right angle", 1, {P(1, 0, 0), P(0, 0, 0), P(0, 1, 0)}, {"Кут: 1.5708 (90°)"}},
        {"straight angle", 1, {P(1, 0, 0), P(0, 0, 0), P(-2, 0, 0)}, {"Кут: 3.14159 (180°)"}},
        {"vertex repeated", 1, {P(0, 0, 0), P(0, 0, 0), P(1, 0, 0)}, {"Дані не коректні."}},
        {"line at 45° to z = 0",
         2,
         {L({0, 0, 0}, {1, 0, 1}), Pl(0, 0, 1, 0)},
         {"Кут між прямою і площиною: 0.785398 (45°)"}},
        {"line falling at 45°",
         2,
         {L({0, 0, 1}, {1, 0, 0}), Pl(0, 0, 1, 0)},
         {"Кут між прямою і площиною: 0.785398 (45°)"}},
        {"zero-length segment", 2, {L({1, 1, 1}, {1, 1, 1}), Pl(0, 0, 1, 0)}, {}},
        {"perpendicular planes",
         3,
         {Pl(0, 0, 1, 0), Pl(1, 0, 0, 2)},
         {"Кут між площинами: 1.5708 (90°)"}},
        {"opposite normals",
         3,
         {Pl(0, 0, 1, 0), Pl(0, 0, -1, 3)},
         {"Кут між площинами: 3.14159 (180°)"}},
        {"planes at 45°",
         3,
         {Pl(0, 0, 1, 0), Pl(0, r, r, 0)},
         {"Кут між площинами: 0.785398 (45°)"}},
        {"points", 4, {P(0, 0, 0), P(3, 4, 12)}, {"Відстань між точками: 13"}},
        {"point and line",
         5,
         {P(0, 1, 0), L({0, 0, 0}, {1, 0, 0})},
         {"Відстань між точкою і прямою: 1"}},
        {"point and plane",
         6,
         {P(0, 0, 5), Pl(0, 0, 1, 0)},
         {"Відстань між точкою і площиною: 5", "Відхилення точки від площини: -5"}},
        {"point below plane",
         6,
         {P(1, 2, -3), Pl(0, 0, 1, 1)},
         {"Відстань між точкою і площиною: 2", "Відхилення точки від площини: 2"}},
        {"skew lines",
         7,
         {L({0, 0, 0}, {1, 0, 0}), L({0, 1, 1}, {0, 2, 1})},
         {"Відстань між прямими: 1"}},
        {"parallel lines",
         7,
         {L({0, 0, 0}, {1, 0, 0}), L({0, 1, 0}, {2, 1, 0})},
         {"Не коректно задано прямі."}},
        {"line parallel to plane",
         8,
         {L({0, 0, 2}, {1, 0, 2}), Pl(0, 0, 1, 0)},
         {"Відстань між прямою і площиною: 2"}},
        // Beyond the number range: the failure message, and no point a float cannot hold.
        {"points beyond the doubles", 4, {P(1e308, 0, 0), P(-1e308, 0, 0)}, {"Дані не коректні."}},
        {"point beyond the doubles",
         6,
         {P(1e308, 0, 0), Pl(1, 0, 0, 1e308)},
         {"Дані не коректні."}},
        {"lines meeting beyond the floats",
         7,
         {L({0, 0, 0}, {1, 0, 0}), L({1e45, 1, 0}, {1e45, -1, 0})},
         {"Прямі перетинаються в точці: X=1E45, Y=0, Z=0"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        host = FakeHost{};
        ASSERT_TRUE(poly::RunMeasurement(env, row.number, row.picks));
        EXPECT_EQ(host.report, row.lines);
        EXPECT_TRUE(host.questions.empty());
    }
}

TEST_F(Measurements, MeetingPointsAreOffered) {
    struct Case {
        const char* name;
        int number;
        std::vector<Pick> picks;
        std::string line;
        std::string pointName;
        core::Vec3f point;
    };
    const Case cases[] = {
        {"lines meeting at the origin",
         7,
         {L({0, 0, 0}, {1, 0, 0}), L({0, -1, 0}, {0, 1, 0})},
         "Прямі перетинаються в точці: X=0, Y=0, Z=0",
         "Точка перетину прямих",
         {0, 0, 0}},
        {"lines meeting away from their segments",
         7,
         {L({0, 0, 1}, {1, 1, 1}), L({5, 0, 1}, {5, 2, 1})},
         "Прямі перетинаються в точці: X=5, Y=5, Z=1",
         "Точка перетину прямих",
         {5, 5, 1}},
        {"line through a plane",
         8,
         {L({1, 2, 1}, {1, 2, 3}), Pl(0, 0, 1, 0)},
         "Точка перетину прямої і площини: X= 1, Y= 2, Z= 0",
         "Точка перетину прямої і площини",
         {1, 2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool accept : {false, true}) {
            host = FakeHost{};
            host.defaultAnswer = accept ? core::Answer::Yes : core::Answer::No;
            const int count = scene.objectCount();
            ASSERT_TRUE(poly::RunMeasurement(env, c.number, c.picks));
            ASSERT_FALSE(host.report.empty());
            EXPECT_EQ(host.report[0], c.line);
            EXPECT_EQ(host.questions, std::vector<std::string>{"Створити відповідну точку ?"});
            if (!accept) {
                EXPECT_EQ(scene.objectCount(), count);
                continue;
            }
            ASSERT_EQ(scene.objectCount(), count + 1);
            EXPECT_EQ(core::DisplayName(scene, count + 1), c.pointName);
            const core::Vec3f& v = Object(count + 1).vertex(1);
            EXPECT_EQ(v.x, c.point.x);
            EXPECT_EQ(v.y, c.point.y);
            EXPECT_EQ(v.z, c.point.z);
            EXPECT_EQ(host.report.size(), 2u); // "Створено об'єкт ..."
        }
    }
}

TEST_F(Measurements, PicksMustMatchTheMeasurement) {
    struct Row {
        int number;
        std::vector<Pick> picks;
    };
    const Row rows[] = {
        {0, {P(0, 0, 0), P(1, 0, 0)}},
        {9, {P(0, 0, 0), P(1, 0, 0)}},
        {4, {P(0, 0, 0)}},
        {4, {P(0, 0, 0), P(1, 0, 0), P(2, 0, 0)}},
        {6, {Pl(0, 0, 1, 0), P(0, 0, 1)}},
        {8, {L({0, 0, 0}, {1, 0, 0}), L({0, 0, 0}, {0, 1, 0})}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.number);
        EXPECT_FALSE(poly::RunMeasurement(env, r.number, r.picks));
    }
    EXPECT_TRUE(host.calls.empty());
}

} // namespace
} // namespace vorn::test
