// Rolling a development up into its round solid, for the folding preview.
#include "nets/net.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorn::nets {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kStrips = 24, kRim = 72;

// A disc of `radius` about `centre` (in the paper's plane), turned by `angle` about the line
// through `hinge` along x: positive angles lift the side below the hinge (smaller y).
std::vector<geo::Vec3> Disc(Point2 centre, double radius, geo::Vec3 hinge, double angle) {
    std::vector<geo::Vec3> out;
    const double c = std::cos(angle), s = std::sin(angle);
    for (int k = 0; k < kRim; ++k) {
        const double a = 2 * kPi * k / kRim;
        const double dx = centre.x + radius * std::cos(a) - hinge.x;
        const double dy = centre.y + radius * std::sin(a) - hinge.y;
        out.push_back({hinge.x + dx, hinge.y + dy * c, hinge.z - dy * s});
    }
    return out;
}

} // namespace

std::vector<std::vector<geo::Vec3>> RollUp(const Development& d, double t) {
    t = std::clamp(t, 0.0, 1.0);
    std::vector<std::vector<geo::Vec3>> out;
    if (d.kind == Development::Kind::Cylinder) {
        // The rectangle bends about its middle line x = w/2 onto a cylinder of radius r/t.
        const double w = d.width, h = d.height, r = d.radius1;
        const auto at = [&](double x, double y) -> geo::Vec3 {
            if (t <= 0) return {x, y, 0};
            const double big = r / t, phi = (x - w / 2) / big;
            return {w / 2 + big * std::sin(phi), y, big * (1 - std::cos(phi))};
        };
        for (int k = 0; k < kStrips; ++k) {
            const double x0 = w * k / kStrips, x1 = w * (k + 1) / kStrips;
            out.push_back({at(x0, 0), at(x1, 0), at(x1, h), at(x0, h)});
        }
        out.push_back(Disc({w / 2, -r}, r, at(w / 2, 0), t * kPi / 2));
        out.push_back(Disc({w / 2, h + r}, r, at(w / 2, h), -t * kPi / 2));
        return out;
    }
    // The sector, apex at the origin and opening toward -y, curls onto cones of the same slant
    // whose whole development angle shrinks from 2π to the sector's own; the middle generator
    // and the tangent plane along it stay where they are.
    const double whole = 2 * kPi - t * (2 * kPi - d.sectorAngle);
    const double sinA = std::min(1.0, whole / (2 * kPi)), cosA = std::sqrt(1 - sinA * sinA);
    const geo::Vec3 e1{0, -sinA, -cosA}, e2{1, 0, 0}, e3{0, -cosA, sinA};
    const auto at = [&](double radius, double psi) -> geo::Vec3 {
        const double beta = psi * 2 * kPi / whole;
        return (e1 * (sinA * std::cos(beta)) + e2 * (sinA * std::sin(beta)) + e3 * cosA) * radius;
    };
    const double outer = d.sectorOuter, inner = d.sectorInner, angle = d.sectorAngle;
    for (int k = 0; k < kStrips; ++k) {
        const double p0 = -angle / 2 + angle * k / kStrips;
        const double p1 = -angle / 2 + angle * (k + 1) / kStrips;
        std::vector<geo::Vec3> strip{at(outer, p0), at(outer, p1)};
        if (inner > 0) {
            strip.push_back(at(inner, p1));
            strip.push_back(at(inner, p0));
        } else {
            strip.push_back({0, 0, 0});
        }
        out.push_back(std::move(strip));
    }
    // The closed cone's half-angle at the apex: the discs end square to its axis.
    const double closed = std::asin(std::clamp(angle / (2 * kPi), 0.0, 1.0));
    out.push_back(Disc({0, -outer - d.radius1}, d.radius1, at(outer, 0), t * (kPi / 2 + closed)));
    if (d.kind == Development::Kind::TruncatedCone && d.radius2 > 0)
        out.push_back(
            Disc({0, -inner + d.radius2}, d.radius2, at(inner, 0), -t * (kPi / 2 - closed)));
    return out;
}

} // namespace vorn::nets
