// Characteristics lines per object kind.
#include "core/object_report.h"

#include "core/format.h"
#include "geometry/polygon.h"
#include "geometry/primitives.h"

#include <cmath>

namespace vorn::core {

namespace {

geo::Vec3 widen(const Vec3f& v) {
    return {v.x, v.y, v.z};
}

std::string fmt(const Settings& s, long double v) {
    return FormatNumber(false, v, s.answerDigits);
}

// A coefficient of the plane equation with the sign the equation needs before it.
std::string signedTerm(const Settings& s, double v, const char* suffix) {
    return (v >= 0 ? "+" : "") + fmt(s, v) + suffix;
}

void polylineLines(SceneObject& o, const Settings& s, const lang::MessageTable& m,
                   std::vector<std::string>& lines) {
    const int n = o.vertexCount;
    bool planar = false;
    if (n >= 3) {
        const geo::PlaneFit fit =
            geo::PlaneThroughPoints(widen(o.vertex(1)), widen(o.vertex(2)), widen(o.vertex(3)));
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
    const bool closed = roundToInt(o.param2) == 1;
    // Lengths are summed over every node, so polylines longer than a kernel point list count
    // whole.
    long double length = 0;
    for (int i = 1; i < n; ++i)
        length += geo::PointDistance(widen(o.vertex(i)), widen(o.vertex(i + 1)));
    if (closed && n >= 1) length += geo::PointDistance(widen(o.vertex(n)), widen(o.vertex(1)));
    lines.push_back(m.format(98, {fmt(s, length)}));
    if (planar && closed && n <= geo::PointList::kCapacity) {
        geo::PointList nodes;
        for (int i = 1; i <= n; ++i)
            nodes.push(widen(o.vertex(i)));
        lines.push_back(m.format(99, {fmt(s, std::fabs(geo::PolygonArea3D(nodes)))}));
    }
}

} // namespace

std::vector<std::string> ShowObjectReport(Scene& scene, const Settings& s,
                                          const lang::MessageTable& m, int slot) {
    std::vector<std::string> lines;
    SceneObject& o = scene.object(slot);
    lines.push_back(NameText(o) + " (" + scene.typeNames.name(o.type) + ")");
    lines.push_back("MinX=" + fmt(s, o.minX));
    lines.push_back("MaxX=" + fmt(s, o.maxX));
    lines.push_back("MinY=" + fmt(s, o.minY));
    lines.push_back("MaxY=" + fmt(s, o.maxY));
    lines.push_back("MinZ=" + fmt(s, o.minZ));
    lines.push_back("MaxZ=" + fmt(s, o.maxZ));
    lines.push_back(m.text(97) + " " + std::to_string(o.vertexCount));
    switch (o.type) {
    case ObjectType::Polyline:
        polylineLines(o, s, m, lines);
        break;
    case ObjectType::Plane: {
        const geo::PlaneFit fit =
            geo::PlaneThroughPoints(widen(o.vertex(1)), widen(o.vertex(2)), widen(o.vertex(3)));
        // A degenerate plane keeps its unnormalised (all zero) coefficients.
        o.planeA = fit.plane.a;
        o.planeB = fit.plane.b;
        o.planeC = fit.plane.c;
        o.planeD = fit.plane.d;
        lines.push_back(m.text(100) + " " + fmt(s, o.planeA) + "x" + signedTerm(s, o.planeB, "y") +
                        signedTerm(s, o.planeC, "z") + signedTerm(s, o.planeD, "") + "=0");
        break;
    }
    case ObjectType::Polyhedron: {
        long double area = 0;
        for (int f = 1; f <= o.faceCount; ++f)
            area += o.face(f).area;
        lines.push_back(m.text(101) + " " + std::to_string(o.faceCount));
        lines.push_back(m.format(102, {fmt(s, o.volume)}));
        lines.push_back(m.format(103, {fmt(s, area)}));
        break;
    }
    case ObjectType::RevolutionSurface:
        if (roundToInt(o.volumeInfinite) == 0) lines.push_back(m.format(102, {fmt(s, o.volume)}));
        if (roundToInt(o.areaInfinite) == 0)
            lines.push_back(m.format(103, {fmt(s, o.surfaceArea)}));
        break;
    case ObjectType::Axes:
    case ObjectType::Point:
    case ObjectType::Surface:
        break;
    }
    return lines;
}

} // namespace vorn::core
