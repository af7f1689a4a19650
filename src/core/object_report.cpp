// Characteristics lines per object kind.
#include "core/object_report.h"

#include "core/format.h"
#include "core/object_view.h"
#include "geometry/polygon.h"
#include "geometry/primitives.h"
#include "geometry/tolerances.h"
#include "lang/message_ids.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorn::core {

namespace {

// The lines being filled. A line whose numbers are not all finite (vertices beyond the number
// range, or face areas too large for the record's floats) gets a failure message instead.
struct Lines {
    const Settings& settings;
    const lang::MessageTable& m;
    std::vector<std::string> text;
    bool complete = true;

    AnswerNumbers numbers() const { return AnswerNumbers(settings.answerDigits); }
    void add(const AnswerNumbers& n, std::string line, int failure) {
        complete = complete && n.finite();
        text.push_back(n.finite() ? std::move(line) : m.text(failure));
    }
};

// A coefficient of the plane equation with the sign the equation needs before it.
std::string signedTerm(AnswerNumbers& n, double v, const char* suffix) {
    return (v >= 0 ? "+" : "") + n(v) + suffix;
}

void polylineLines(SceneObject& o, Lines& lines) {
    const int n = o.vertexCount;
    bool planar = false;
    if (n >= 3) {
        const geo::PlaneFit fit =
            geo::PlaneThroughPoints(VertexAt(o, 1), VertexAt(o, 2), VertexAt(o, 3));
        if (!fit.degenerate) {
            Face& f = o.face(1);
            f.a = static_cast<float>(fit.plane.a);
            f.b = static_cast<float>(fit.plane.b);
            f.c = static_cast<float>(fit.plane.c);
            f.d = static_cast<float>(fit.plane.d);
            planar = true;
            for (int i = 1; i <= n && planar; ++i) {
                const Vec3f& v = o.vertex(i);
                planar = std::fabs(double(f.a) * v.x + double(f.b) * v.y + double(f.c) * v.z +
                                   double(f.d)) < 0.0001;
            }
        }
    }
    const bool closed = IsClosedPolyline(o);
    // Lengths are summed over every node, so polylines longer than a kernel point list count
    // whole.
    long double length = 0;
    for (int i = 1; i < n; ++i)
        length += geo::PointDistance(VertexAt(o, i), VertexAt(o, i + 1));
    if (closed && n >= 1) length += geo::PointDistance(VertexAt(o, n), VertexAt(o, 1));
    AnswerNumbers l = lines.numbers();
    lines.add(l, lines.m.format(lang::msg::kLength, {l(length)}), lang::msg::kBadData);
    if (planar && closed && n <= geo::PointList::kCapacity) {
        geo::PointList nodes;
        for (int i = 1; i <= n; ++i)
            nodes.push(VertexAt(o, i));
        AnswerNumbers a = lines.numbers();
        lines.add(
            a, lines.m.format(lang::msg::kEnclosedArea, {a(std::fabs(geo::PolygonArea3D(nodes)))}),
            lang::msg::kAreaInfinite);
    }
}

} // namespace

double RevolutionEndsArea(const SceneObject& o) {
    const ObjectPart& generatrix = o.part(1);
    const int n = std::min<int>(generatrix.area.polygon.pointCount, kMaxPartPoints);
    if (o.type != ObjectType::RevolutionSurface || n < 2) return 0;
    const bool aboutOy = roundToInt(o.param1) == 1;
    // Coordinate along the axis and distance from it.
    const auto along = [aboutOy](const PartPoint& p) { return double(aboutOy ? p.y : p.x); };
    const auto radius = [aboutOy](const PartPoint& p) {
        return std::fabs(double(aboutOy ? p.x : p.y));
    };
    const PartPoint& first = generatrix.area.polygon.points[0];
    const PartPoint& last = generatrix.area.polygon.points[n - 1];
    // An end within a segment tolerance of the axis lies on it, as the generatrix splitting
    // treats crossings that close to a node.
    const auto disc = [](double r) {
        return r > geo::kEpsSegment ? std::numbers::pi * r * r : 0.0;
    };
    // Ends across one plane: the two discs overlap and only the ring between them is open
    // (nothing when the curve returns to its start, as a torus's does).
    if (std::fabs(along(first) - along(last)) <= geo::kEpsSegment)
        return std::fabs(disc(radius(first)) - disc(radius(last)));
    return disc(radius(first)) + disc(radius(last));
}

std::vector<std::string> ShowObjectReport(Scene& scene, const Settings& s,
                                          const lang::MessageTable& m, int slot, bool* complete) {
    Lines lines{s, m, {}};
    SceneObject& o = scene.object(slot);
    lines.text.push_back(NameText(o) + " (" + scene.typeNames.name(o.type) + ")");
    AnswerNumbers b = lines.numbers();
    const std::vector<std::string> box = {"MinX=" + b(o.minX), "MaxX=" + b(o.maxX),
                                          "MinY=" + b(o.minY), "MaxY=" + b(o.maxY),
                                          "MinZ=" + b(o.minZ), "MaxZ=" + b(o.maxZ)};
    // A box that is not finite is one failure, not six.
    if (b.finite())
        lines.text.insert(lines.text.end(), box.begin(), box.end());
    else
        lines.add(b, {}, lang::msg::kBadData);
    lines.text.push_back(m.text(lang::msg::kVertexCount) + " " + std::to_string(o.vertexCount));
    AnswerNumbers n = lines.numbers();
    switch (o.type) {
    case ObjectType::Polyline:
        polylineLines(o, lines);
        break;
    case ObjectType::Plane: {
        const geo::PlaneFit fit =
            geo::PlaneThroughPoints(VertexAt(o, 1), VertexAt(o, 2), VertexAt(o, 3));
        // A degenerate plane keeps its unnormalised (all zero) coefficients.
        o.planeA = fit.plane.a;
        o.planeB = fit.plane.b;
        o.planeC = fit.plane.c;
        o.planeD = fit.plane.d;
        lines.add(n,
                  m.text(lang::msg::kEquation) + " " + n(o.planeA) + "x" +
                      signedTerm(n, o.planeB, "y") + signedTerm(n, o.planeC, "z") +
                      signedTerm(n, o.planeD, "") + "=0",
                  lang::msg::kBadData);
        break;
    }
    case ObjectType::Polyhedron: {
        long double area = 0;
        for (int f = 1; f <= o.faceCount; ++f)
            area += o.face(f).area;
        lines.text.push_back(m.text(lang::msg::kTriangleCount) + " " + std::to_string(o.faceCount));
        lines.add(n, m.format(lang::msg::kVolume, {n(o.volume)}), lang::msg::kVolumeInfinite);
        AnswerNumbers a = lines.numbers();
        lines.add(a, m.format(lang::msg::kSurfaceArea, {a(area)}), lang::msg::kAreaInfinite);
        break;
    }
    case ObjectType::RevolutionSurface:
        if (roundToInt(o.volumeInfinite) == 0)
            lines.add(n, m.format(lang::msg::kVolume, {n(o.volume)}), lang::msg::kVolumeInfinite);
        if (roundToInt(o.areaInfinite) == 0) {
            AnswerNumbers a = lines.numbers();
            lines.add(a, m.format(lang::msg::kSurfaceArea, {a(o.surfaceArea)}),
                      lang::msg::kAreaInfinite);
            // The lateral area plus the discs closing the ends, for solids whose generatrix
            // ends off the axis.
            const double ends = RevolutionEndsArea(o);
            if (ends > 0) {
                AnswerNumbers t = lines.numbers();
                // A language file from before the unit was added has no place for the number.
                const std::string& total = m.text(lang::msg::kTotalSurfaceArea);
                const std::string number = t(o.surfaceArea + ends);
                lines.add(t,
                          total.find("%s") != std::string::npos ? lang::substitute(total, {number})
                                                                : total + " " + number,
                          lang::msg::kAreaInfinite);
            }
        }
        break;
    case ObjectType::Axes:
    case ObjectType::Point:
    case ObjectType::Surface:
        break;
    }
    if (complete) *complete = lines.complete;
    return std::move(lines.text);
}

} // namespace vorn::core
