// Vertices and generatrix texts of the standard solids, computed from their measures.
#include "surfaces/standard_objects.h"

#include "core/format.h"
#include "core/object_view.h"
#include "lang/message_ids.h"
#include "polyhedra/formation.h"
#include "surfaces/integrals.h"

#include <cfloat>
#include <cmath>

namespace vorn::surf {

namespace {

using Ext = long double;

bool positive(Ext v) {
    return std::isfinite(v) && v > 0;
}
bool fitsFloat(Ext v) {
    return std::isfinite(v) && std::fabs(v) <= FLT_MAX;
}

std::string full(Ext v) {
    return core::FormatNumber(true, v);
}

// Rejects an n-gon the spin box cannot produce.
bool usableCorners(int n) {
    return n >= 3 && n <= 100;
}

bool setVertex(core::SceneObject& o, int i, Ext x, Ext y, Ext z) {
    if (!fitsFloat(x) || !fitsFloat(y) || !fitsFloat(z)) return false;
    o.vertex(i) = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    return true;
}

// Points k = 0..n-1 of a regular n-gon of circumradius r at height z, from vertex `first` on.
bool setRing(core::SceneObject& o, int first, int n, Ext r, Ext z) {
    for (int k = 0; k < n; ++k) {
        const Ext phi = 2 * kPi * k / n;
        if (!setVertex(o, first + k, r * std::sin(phi), r * std::cos(phi), z)) return false;
    }
    return true;
}

// Value of "<number>^(1/3)" as the expression engine computes it.
Ext cubeRoot(expr::ExpressionEngine& engine, Ext v) {
    if (!std::isfinite(v)) return NAN;
    const Ext r = engine.EvaluateExpression(full(v) + "^(1/3)");
    return engine.CalcError == expr::kCalcOk ? r : NAN;
}

bool fillPyramid(core::SceneObject& o, const PyramidMeasures& m) {
    if (!usableCorners(m.n)) return false;
    const Ext r1 = CircumradiusOf(m.lower, m.lowerBy, m.n);
    const Ext r2 = m.truncated ? CircumradiusOf(m.upper, m.upperBy, m.n) : 0;
    const Ext h = m.heightIsLateralEdge
                      ? std::sqrt(Ext(m.height) * m.height - (r1 - r2) * (r1 - r2))
                      : Ext(m.height);
    if (!positive(r1) || !positive(h) || (m.truncated && !positive(r2))) return false;
    o.param0 = static_cast<double>(r1);
    o.param1 = static_cast<double>(r2);
    o.param2 = static_cast<double>(h);
    o.planeC = m.n;
    o.standardReserved[0] = static_cast<double>(h / 2);
    if (m.truncated) {
        o.vertexCount = static_cast<std::int16_t>(2 * m.n);
        return setRing(o, 1, m.n, r1, 0) && setRing(o, m.n + 1, m.n, r2, h);
    }
    o.vertexCount = static_cast<std::int16_t>(m.n + 1);
    return setVertex(o, 1, 0, 0, h) && setRing(o, 2, m.n, r1, 0);
}

bool fillPrism(core::SceneObject& o, const PrismMeasures& m) {
    if (!usableCorners(m.n)) return false;
    const Ext r = CircumradiusOf(m.base, m.baseBy, m.n);
    const Ext h =
        m.heightIsVolume ? m.height / (m.n * r * r * std::sin(2 * kPi / m.n) / 2) : Ext(m.height);
    if (!positive(r) || !positive(h)) return false;
    o.param1 = static_cast<double>(r);
    o.param0 = static_cast<double>(h);
    o.planeC = m.n;
    o.vertexCount = static_cast<std::int16_t>(2 * m.n);
    return setRing(o, 1, m.n, r, 0) && setRing(o, m.n + 1, m.n, r, h);
}

bool fillParallelepiped(core::SceneObject& o, const ParallelepipedMeasures& m) {
    const Ext toRad = kPi / 180;
    Ext a = 0, s = 0, h = 0, k1 = m.e1, k2 = m.e2, k3 = m.e3;
    switch (m.baseBy) {
    case 0: {
        const Ext alpha = m.e3 * toRad;
        a = m.e1;
        s = m.e2 * std::cos(alpha);
        h = m.e2 * std::sin(alpha);
        k3 = alpha;
        break;
    }
    case 1:
    case 2: {
        const Ext alpha = m.e2 * toRad;
        a = m.e1;
        h = m.baseBy == 1 ? m.e3 / a : Ext(m.e3);
        const Ext t = std::tan(alpha);
        s = t == 0 ? 0 : h / t;
        k2 = alpha;
        break;
    }
    case 3: {
        const Ext p = m.e1 / 2.0L, q = m.e2 / 2.0L, phi = m.e3 * toRad;
        a = std::sqrt(p * p + q * q - 2 * p * q * std::cos(phi));
        const Ext b = std::sqrt(p * p + q * q - 2 * p * q * std::cos(kPi - phi));
        const Ext theta = std::acos((Ext(m.e1) * m.e1 - a * a - b * b) / (2 * a * b));
        h = b * std::sin(theta);
        s = b * std::cos(theta);
        k1 = p;
        k2 = q;
        k3 = theta;
        break;
    }
    default:
        return false;
    }
    const Ext height = m.heightIsVolume ? m.height / (a * h) : Ext(m.height);
    if (!positive(a) || !positive(std::fabs(h)) || !std::isfinite(s) || !positive(height))
        return false;
    const Ext x1 = (a + s) / 2, x2 = (a - s) / 2;
    o.param0 = static_cast<double>(height);
    o.param1 = static_cast<double>(k1);
    o.param2 = static_cast<double>(k2);
    o.planeA = static_cast<double>(k3);
    const Ext kept[5] = {a, s, h / 2, x1, x2};
    for (int i = 0; i < 5; ++i)
        o.standardReserved[i] = static_cast<double>(kept[i]);
    o.vertexCount = 8;
    const Ext base[4][2] = {{-x1, -h / 2}, {x2, -h / 2}, {x1, h / 2}, {-x2, h / 2}};
    for (int i = 0; i < 4; ++i)
        if (!setVertex(o, i + 1, base[i][0], base[i][1], 0) ||
            !setVertex(o, i + 5, base[i][0], base[i][1], height))
            return false;
    return true;
}

bool fillCube(expr::ExpressionEngine& engine, core::SceneObject& o, const CubeMeasures& m) {
    Ext c = 0;
    switch (m.by) {
    case CubeBy::Edge:
        c = m.value / 2.0L;
        break;
    case CubeBy::Diagonal:
        c = m.value / std::sqrt(3.0L) / 2;
        break;
    case CubeBy::Volume:
        c = cubeRoot(engine, m.value) / 2;
        break;
    }
    if (!positive(c)) return false;
    o.param0 = static_cast<double>(c);
    o.vertexCount = 8;
    const Ext base[4][2] = {{-c, -c}, {c, -c}, {c, c}, {-c, c}};
    for (int i = 0; i < 4; ++i)
        if (!setVertex(o, i + 1, base[i][0], base[i][1], 0) ||
            !setVertex(o, i + 5, base[i][0], base[i][1], 2 * c))
            return false;
    return true;
}

// A solid of revolution about Ox with the generatrix y = text(x) on [from, to].
bool setGeneratrix(core::SceneObject& o, const std::string& text, Ext from, Ext to) {
    if (!fitsFloat(from) || !fitsFloat(to) || !(from < to)) return false;
    o.part(2).text.setRaw(text);
    core::SetGeneratrixRange(o, {static_cast<double>(from), static_cast<double>(to)});
    o.param0 = 0;
    o.param1 = 0;
    return true;
}

bool fillCone(core::SceneObject& o, const ConeMeasures& m) {
    const Ext r1 = CircleRadiusOf(m.lower, m.lowerBy);
    const Ext r2 = m.truncated ? CircleRadiusOf(m.upper, m.upperBy) : 0;
    const Ext h = m.heightIsSlant ? std::sqrt(Ext(m.height) * m.height - (r1 - r2) * (r1 - r2))
                                  : Ext(m.height);
    if (!positive(r1) || !positive(h) || (m.truncated && !positive(r2))) return false;
    // Equal radii leave no apex: the division fails as the arithmetic would.
    if (r1 == r2) return false;
    const Ext apex = r1 * h / (r1 - r2);
    if (!std::isfinite(apex)) return false;
    return setGeneratrix(o, full(r1) + "*(1-X/(" + full(apex) + "))", 0, h);
}

bool fillCylinder(core::SceneObject& o, const CylinderMeasures& m) {
    const Ext r = CircleRadiusOf(m.base, m.baseBy);
    const Ext h = m.heightIsVolume ? m.height / (r * r * kPi) : Ext(m.height);
    if (!positive(r) || !positive(h)) return false;
    return setGeneratrix(o, full(r), 0, h);
}

bool fillBall(expr::ExpressionEngine& engine, core::SceneObject& o, const BallMeasures& m) {
    Ext r = 0;
    switch (m.by) {
    case BallBy::Radius:
        r = m.value;
        break;
    case BallBy::Volume:
        r = std::fabs(cubeRoot(engine, 3 * Ext(m.value) / 4 / kPi));
        break;
    case BallBy::SurfaceArea:
        r = std::sqrt(m.value / 4.0L / kPi);
        break;
    }
    if (!positive(r) || !std::isfinite(m.cx) || !std::isfinite(m.cy) || !std::isfinite(m.cz))
        return false;
    o.origin[0] = m.cx;
    o.origin[1] = m.cy;
    o.origin[2] = m.cz;
    return setGeneratrix(o, "sqrt(sqr(" + full(r) + ")-sqr(X))", -r, r);
}

} // namespace

double CircumradiusOf(double value, PolygonBase by, int n) {
    const Ext v = value;
    switch (by) {
    case PolygonBase::Circumradius:
        return value;
    case PolygonBase::Inradius:
        return static_cast<double>(v / std::cos(kPi / n));
    case PolygonBase::Side:
        return static_cast<double>(v / 2 / std::sin(kPi / n));
    case PolygonBase::Area:
        return static_cast<double>(std::sqrt(2 * v / n / std::sin(2 * kPi / n)));
    }
    return NAN;
}

double CircleRadiusOf(double value, CircleBase by) {
    const Ext v = value;
    switch (by) {
    case CircleBase::Radius:
        return value;
    case CircleBase::Length:
        return static_cast<double>(v / (2 * kPi));
    case CircleBase::Area:
        return static_cast<double>(std::sqrt(v / kPi));
    }
    return NAN;
}

core::ObjectType StandardObjectType(const StandardMeasures& measures) {
    switch (measures.index()) {
    case 2:
    case 3:
    case 4:
        return core::ObjectType::RevolutionSurface;
    default:
        return core::ObjectType::Polyhedron;
    }
}

bool FillStandardObject(expr::ExpressionEngine& engine, core::SceneObject& o,
                        const StandardMeasures& measures) {
    struct Visitor {
        expr::ExpressionEngine& engine;
        core::SceneObject& o;
        bool operator()(const PyramidMeasures& m) const { return fillPyramid(o, m); }
        bool operator()(const PrismMeasures& m) const { return fillPrism(o, m); }
        bool operator()(const ConeMeasures& m) const { return fillCone(o, m); }
        bool operator()(const CylinderMeasures& m) const { return fillCylinder(o, m); }
        bool operator()(const BallMeasures& m) const { return fillBall(engine, o, m); }
        bool operator()(const ParallelepipedMeasures& m) const { return fillParallelepiped(o, m); }
        bool operator()(const CubeMeasures& m) const { return fillCube(engine, o, m); }
    };
    return std::visit(Visitor{engine, o}, measures);
}

int CreateStandardObject(core::Env& env, expr::ExpressionEngine& engine,
                         const StandardMeasures& measures, std::string_view caption) {
    core::Scene& scene = env.scene;
    const core::ObjectType type = StandardObjectType(measures);
    const int slot = core::AppendObject(scene, type);
    if (slot == 0) return 0;
    scene.object(slot).name.setUtf8(caption);
    bool ok = FillStandardObject(engine, scene.object(slot), measures);
    if (ok && type == core::ObjectType::Polyhedron) {
        scene.copySlot(slot, core::kScratchSlot);
        // A flat or degenerate point set is refused like a measure the arithmetic rejects.
        ok = poly::FormConvexFaces(env, core::kScratchSlot);
        scene.copySlot(core::kScratchSlot, slot);
    }
    if (!ok) {
        env.host.showMessage(core::BoxKind::Error, env.msg(lang::msg::kBadNumberOrExpression));
        core::DropLastObject(scene);
        // The face formation lets events run: the list may have been filled meanwhile.
        scene.observer().refreshObjectList();
        return 0;
    }
    return slot;
}

} // namespace vorn::surf
