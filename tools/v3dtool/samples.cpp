// The teaching scenes: each object goes through the same steps as in the program's dialogs.
#include "v3dtool/samples.h"

#include "core/object_view.h"
#include "core/quiet_host.h"
#include "entry/generatrix.h"
#include "entry/object_builder.h"
#include "polyhedra/cross_section.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"
#include "surfaces/standard_objects.h"
#include "view/view_state.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <optional>

namespace vorn::tool {

namespace {

using geo::Vec3;

// Palette indices.
constexpr int kDarkGreen = 2, kNavy = 4, kPurple = 5, kRed = 9, kBlue = 12, kMagenta = 13,
              kTeal = 6;

// The picture the stored scales are chosen for, and the part of it the scene fills.
constexpr double kPictureWidth = 640, kPictureHeight = 480, kFill = 0.9;

constexpr double kPhi = 1.6180339887498948482;

// Report lines to a stream; questions answered from a script; any box is a failed step.
class SampleHost : public core::QuietHost {
  public:
    SampleHost(std::ostream& report, std::ostream& err) : m_report(report), m_err(err) {}

    std::deque<bool> answers;
    int boxes = 0;

    void addReportLine(const std::string& line) override { m_report << line << '\n'; }
    void showMessage(core::BoxKind, const std::string& text) override {
        m_err << text << '\n';
        ++boxes;
    }
    bool askYesNo(const std::string&) override {
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    core::Answer askYesNoCancel(const std::string& text) override {
        return askYesNo(text) ? core::Answer::Yes : core::Answer::No;
    }
    bool selectObjects(core::LoadSelection&) override { return true; }

  private:
    std::ostream& m_report;
    std::ostream& m_err;
};

struct SurfacePart {
    std::string formula;
    std::string system;             // a system region, or
    std::vector<Vec3> polygon = {}; // a polygon region (x, y)
};

// Creates objects the way the entry dialog and the standard-object dialog do: a new slot, the
// entry buffer filled, then the builder. Each step that fails names the object on `err`.
class Builder {
  public:
    Builder(core::Scene& scene, const core::Settings& settings, std::ostream& report,
            std::ostream& err)
        : m_host(report, err), m_env{scene, settings, m_messages, m_host}, m_err(err) {}

    core::Env& env() { return m_env; }
    core::Scene& scene() { return m_env.scene; }
    SampleHost& host() { return m_host; }

    int point(const std::string& name, int color, const Vec3& p) {
        const int slot = begin(core::ObjectType::Point);
        if (slot == 0) return fail(name);
        entry::EntryValues v = values(name, color);
        v.pointX = p.x;
        v.pointY = p.y;
        v.pointZ = p.z;
        return build(slot, core::ObjectType::Point, v);
    }

    int polyline(const std::string& name, int color, const std::vector<Vec3>& points,
                 bool closed = false) {
        const int slot = begin(core::ObjectType::Polyline);
        if (slot == 0) return fail(name);
        core::SceneObject& e = buffer();
        const int n = static_cast<int>(points.size());
        for (int i = 1; i <= n; ++i)
            setVertex(e, i, points[static_cast<std::size_t>(i - 1)]);
        e.vertexCount = static_cast<std::int16_t>(n);
        // As the entry dialog stores it.
        core::SetPolylineSegments(e, n, closed);
        entry::EntryValues v = values(name, color);
        v.closed = closed;
        return build(slot, core::ObjectType::Polyline, v);
    }

    int plane(const std::string& name, int color, const Vec3& a, const Vec3& b, const Vec3& c) {
        const int slot = begin(core::ObjectType::Plane);
        if (slot == 0) return fail(name);
        setVertex(buffer(), 1, a);
        setVertex(buffer(), 2, b);
        setVertex(buffer(), 3, c);
        entry::EntryValues v = values(name, color);
        v.planeMode = 0;
        return build(slot, core::ObjectType::Plane, v);
    }

    // Points typed into the polyhedron grid, then "Свормувати грані опуклого об'єкта".
    int convexPolyhedron(const std::string& name, int color, const std::vector<Vec3>& points) {
        const int slot = begin(core::ObjectType::Polyhedron);
        if (slot == 0) return fail(name);
        core::SceneObject& e = buffer();
        const int n = static_cast<int>(points.size());
        for (int i = 1; i <= n; ++i)
            setVertex(e, i, points[static_cast<std::size_t>(i - 1)]);
        e.vertexCount = static_cast<std::int16_t>(n);
        e.faceCount = 0;
        if (!poly::FormConvexFaces(m_env, core::kScratchSlot)) return drop(name);
        return confirmPolyhedron(slot, values(name, color));
    }

    // The standard-object dialog, then its entry dialog confirmed, with the solid of
    // revolution moved by `shift` when one is given.
    int standard(const surf::StandardMeasures& measures, const std::string& caption, int color,
                 const std::optional<Vec3>& shift = std::nullopt) {
        const int slot = surf::CreateStandardObject(m_env, m_engine, measures, caption);
        if (slot == 0) return fail(caption);
        scene().copySlot(slot, core::kScratchSlot);
        entry::EntryValues v = entry::EntryValuesFromRecord(buffer());
        v.colorIndex = color;
        if (buffer().type == core::ObjectType::Polyhedron) return confirmPolyhedron(slot, v);
        if (shift) {
            v.shiftX = shift->x;
            v.shiftY = shift->y;
            v.shiftZ = shift->z;
        }
        return revolve(slot, v);
    }

    int surface(const std::string& name, int color, const expr::RegionBounds& bounds,
                const std::vector<SurfacePart>& parts) {
        const int slot = begin(core::ObjectType::Surface);
        if (slot == 0) return fail(name);
        core::SceneObject& e = buffer();
        for (std::size_t k = 0; k < parts.size(); ++k) {
            core::ObjectPart& part = e.part(static_cast<int>(k) + 1);
            part = {};
            part.text.setUtf8(parts[k].formula);
            if (parts[k].polygon.empty()) {
                part.domainKind = 1;
                part.area.domainText.setUtf8(parts[k].system);
            } else {
                part.domainKind = 0;
                const auto& poly = parts[k].polygon;
                part.area.polygon.pointCount = static_cast<std::uint8_t>(poly.size());
                for (std::size_t i = 0; i < poly.size(); ++i)
                    part.area.polygon.points[i] = {float(poly[i].x), float(poly[i].y)};
            }
        }
        entry::EntryValues v = values(name, color);
        v.bounds = bounds;
        v.partCount = static_cast<int>(parts.size());
        return build(slot, core::ObjectType::Surface, v);
    }

    // A surface of revolution about Ox: y = func1(x), or x = func2(t), y = func1(t).
    int revolution(const std::string& name, int color, entry::GeneratrixType type,
                   const std::string& func1, const std::string& func2, double from, double to,
                   const Vec3& shift) {
        const int slot = begin(core::ObjectType::RevolutionSurface);
        if (slot == 0) return fail(name);
        entry::EntryValues v = values(name, color);
        v.generatrixType = static_cast<int>(type);
        v.axis = 0;
        v.func1 = func1;
        v.func2 = func2;
        v.rangeFrom = from;
        v.rangeTo = to;
        v.shiftX = shift.x;
        v.shiftY = shift.y;
        v.shiftZ = shift.z;
        return revolve(slot, v);
    }

    // "Виконати переріз": the plane, then the polyhedron; the contour is kept, the parts not.
    poly::SectionResult section(int planeSlot, int polyhedronSlot) {
        m_host.answers = {true, false};
        const poly::SectionResult r = poly::CrossSection(m_env, planeSlot, polyhedronSlot);
        if (!r.computed || r.contourSlot == 0 || m_host.boxes != 0) {
            m_err << "the section was not made\n";
            m_ok = false;
        }
        return r;
    }

    bool ok() const { return m_ok && m_host.boxes == 0; }

  private:
    SampleHost m_host;
    lang::MessageTable m_messages;
    core::Env m_env;
    expr::ExpressionEngine m_engine;
    std::ostream& m_err;
    bool m_ok = true;

    core::SceneObject& buffer() { return scene().object(core::kScratchSlot); }

    static entry::EntryValues values(const std::string& name, int color) {
        entry::EntryValues v;
        v.name = name;
        v.colorIndex = color;
        return v;
    }

    static void setVertex(core::SceneObject& o, int i, const Vec3& p) {
        o.vertex(i) = core::Narrow(p);
    }

    // A new slot with the kind's defaults, copied into the entry buffer as the dialog does.
    int begin(core::ObjectType type) {
        const int slot = core::AppendObject(scene(), type);
        if (slot != 0) scene().copySlot(slot, core::kScratchSlot);
        return slot;
    }

    int build(int slot, core::ObjectType type, const entry::EntryValues& v) {
        if (!entry::BuildObject(m_env, m_engine, slot, type, v, true)) return drop(v.name);
        return slot;
    }

    // "Виконати" of the entry dialog: the polyhedron must close before it is built.
    int confirmPolyhedron(int slot, const entry::EntryValues& v) {
        if (!poly::CompleteObject(m_env, core::kScratchSlot)) return drop(v.name);
        return build(slot, core::ObjectType::Polyhedron, v);
    }

    int revolve(int slot, const entry::EntryValues& v) {
        entry::SampleGeneratrix(m_engine, buffer(), m_env.settings.Quality(),
                                static_cast<entry::GeneratrixType>(v.generatrixType), v.func1,
                                v.func2, v.rangeFrom, v.rangeTo);
        return build(slot, core::ObjectType::RevolutionSurface, v);
    }

    int drop(const std::string& name) {
        core::DropLastObject(scene());
        return fail(name);
    }

    int fail(const std::string& name) {
        m_err << "cannot build \"" << name << "\"\n";
        m_ok = false;
        return 0;
    }
};

// Translates and scales a list of points.
std::vector<Vec3> placed(std::vector<Vec3> points, double scale, const Vec3& at) {
    for (Vec3& p : points)
        p = p * scale + at;
    return points;
}

// Cyclic permutations (x, y, z), (y, z, x), (z, x, y) of every point.
std::vector<Vec3> cyclic(const std::vector<Vec3>& points) {
    std::vector<Vec3> all;
    for (const Vec3& p : points) {
        all.push_back(p);
        all.push_back({p.y, p.z, p.x});
        all.push_back({p.z, p.x, p.y});
    }
    return all;
}

// Every sign combination of the non-zero coordinates of `p`.
std::vector<Vec3> signs(const Vec3& p) {
    std::vector<Vec3> all;
    for (int s = 0; s < 8; ++s) {
        const Vec3 q{s & 1 ? -p.x : p.x, s & 2 ? -p.y : p.y, s & 4 ? -p.z : p.z};
        bool seen = false;
        for (const Vec3& r : all)
            seen = seen || r == q;
        if (!seen) all.push_back(q);
    }
    return all;
}

std::vector<Vec3> joined(std::initializer_list<std::vector<Vec3>> lists) {
    std::vector<Vec3> all;
    for (const auto& l : lists)
        all.insert(all.end(), l.begin(), l.end());
    return all;
}

// A cube of edge 4 about the origin cut by the plane through the midpoints K, L, M of three of
// its edges: the section is a regular hexagon.
void cubeSection(Builder& b) {
    const int cubeSlot = b.convexPolyhedron("Куб", kBlue, signs({2, 2, 2}));
    const Vec3 k{2, 0, -2}, l{0, 2, -2}, m{0, -2, 2};
    b.point("K", kRed, k);
    b.point("L", kRed, l);
    b.point("M", kRed, m);
    const int planeSlot = b.plane("Площина KLM", kDarkGreen, k, l, m);
    if (cubeSlot != 0 && planeSlot != 0) b.section(planeSlot, cubeSlot);
}

// The five regular solids with edge 2, side by side along Ox.
void regularSolids(Builder& b) {
    const std::vector<Vec3> cube = signs({1, 1, 1});
    const std::vector<Vec3> tetra = {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}};
    const std::vector<Vec3> octa = joined({signs({1, 0, 0}), signs({0, 1, 0}), signs({0, 0, 1})});
    const std::vector<Vec3> icosa = cyclic(signs({0, 1, kPhi}));
    const std::vector<Vec3> dodeca = joined({cube, cyclic(signs({0, 1 / kPhi, kPhi}))});
    b.convexPolyhedron("Тетраедр", kRed, placed(tetra, 1 / std::sqrt(2.0), {-9.2, 0, 0}));
    b.convexPolyhedron("Куб", kBlue, placed(cube, 1, {-5.7, 0, 0}));
    b.convexPolyhedron("Октаедр", kDarkGreen, placed(octa, std::sqrt(2.0), {-1.7, 0, 0}));
    b.convexPolyhedron("Ікосаедр", kPurple, placed(icosa, 1, {2.3, 0, 0}));
    b.convexPolyhedron("Додекаедр", kNavy, placed(dodeca, kPhi, {7.3, 0, 0}));
}

// A regular quadrilateral pyramid SABCD (base side 4, height 5) with its height SO, the
// apothem SK and the segment OK: the right triangle SOK gives the angle of a lateral face.
void pyramidHeight(Builder& b) {
    surf::PyramidMeasures pyramid;
    pyramid.n = 4;
    pyramid.lower = 4;
    pyramid.lowerBy = surf::PolygonBase::Side;
    pyramid.height = 5;
    const int slot = b.standard(pyramid, "Правильна піраміда", kBlue);
    if (slot == 0) return;
    const core::SceneObject& o = b.scene().object(slot);
    // Vertex 1 is the apex; 2 and 3 are neighbours in the base.
    const Vec3 s = core::VertexAt(o, 1);
    const Vec3 foot{0, 0, 0};
    const Vec3 k = (core::VertexAt(o, 2) + core::VertexAt(o, 3)) * 0.5;
    b.polyline("Висота SO", kRed, {s, foot});
    b.polyline("Апофема SK", kDarkGreen, {s, k});
    b.polyline("OK", kPurple, {foot, k});
    b.point("O", kRed, foot);
    b.point("K", kDarkGreen, k);
    // The apex by the name the lesson gives it, so that every drawing letters it S.
    b.point("S", kBlue, s);
}

// Surfaces z = f(x, y): over a disc, over a triangle, and one of two parts over two half-discs.
void surfaces(Builder& b) {
    b.surface("Параболоїд над кругом", kBlue, {-8, -2, -3, 3},
              {{"(sqr(x+5)+sqr(y))/4", "sqr(x+5)+sqr(y)<4"}});
    b.surface("Сідло над трикутником", kDarkGreen, {-3, 3, -3, 3},
              {{"x*y/2", "", {{-2, -2, 0}, {2, -2, 0}, {0, 2.5, 0}}}});
    b.surface("Півсфера і конус", kPurple, {2, 8, -3, 3},
              {{"sqrt(4-sqr(x-5)-sqr(y))", "y>=0, sqr(x-5)+sqr(y)<4"},
               {"2-sqrt(sqr(x-5)+sqr(y))", "y<0, sqr(x-5)+sqr(y)<4"}});
}

// Solids of revolution about axes parallel to Ox: the three standard ones, a paraboloid and a
// torus.
void revolution(Builder& b) {
    surf::ConeMeasures cone;
    cone.lower = 2;
    cone.height = 3;
    b.standard(cone, "Конус", kBlue, Vec3{0, -10, 0});
    surf::CylinderMeasures cylinder;
    cylinder.base = 1.5;
    cylinder.height = 3;
    b.standard(cylinder, "Циліндр", kDarkGreen, Vec3{0, -5.5, 0});
    surf::BallMeasures ball;
    ball.value = 1.5;
    ball.cx = 1.5;
    ball.cy = -2;
    b.standard(ball, "Куля", kRed);
    b.revolution("Параболоїд обертання", kMagenta, entry::GeneratrixType::Explicit, "sqrt(x)", "",
                 0, 4, {-0.5, 2, 0});
    // The circle x = cos t, y = 2 + sin t turned about the axis.
    b.revolution("Тор", kTeal, entry::GeneratrixType::Parametric, "2+sin(t)", "cos(t)", 0, 2 * M_PI,
                 {1.5, 7.5, 0});
}

struct Recipe {
    SampleScene scene;
    std::function<void(Builder&)> build;
    int turnHorizontal, turnVertical;
};

const std::vector<Recipe>& Recipes() {
    static const std::vector<Recipe> recipes = {
        {{"cube_section", "куб, три точки на його ребрах, площина через них і переріз"},
         cubeSection,
         22,
         51},
        {{"regular_solids", "п'ять правильних многогранників з ребром 2"}, regularSolids, 3, 47},
        {{"pyramid_height", "правильна піраміда, її висота, апофема і трикутник SOK"},
         pyramidHeight,
         66,
         46},
        {{"surfaces", "поверхні z = f(x, y) над кругом, трикутником і двома півкругами"},
         surfaces,
         3,
         47},
        {{"revolution", "конус, циліндр, куля, параболоїд обертання і тор"}, revolution, 27, 49},
    };
    return recipes;
}

} // namespace

const std::vector<SampleScene>& SampleScenes() {
    static const std::vector<SampleScene> scenes = [] {
        std::vector<SampleScene> s;
        for (const Recipe& r : Recipes())
            s.push_back(r.scene);
        return s;
    }();
    return scenes;
}

core::Settings SampleSettings() {
    core::Settings s;
    s.integrationPoints = 1000;
    return s;
}

bool BuildSample(core::Scene& scene, const core::Settings& settings, const std::string& name,
                 std::ostream& report, std::ostream& err) {
    const Recipe* recipe = nullptr;
    for (const Recipe& r : Recipes())
        if (r.scene.name == name) recipe = &r;
    if (!recipe) {
        err << "no sample named " << name << '\n';
        return false;
    }
    scene = core::Scene();
    Builder b(scene, settings, report, err);
    recipe->build(b);
    if (!b.ok()) {
        err << "sample " << name << " was not built\n";
        return false;
    }
    // Bounds as the first redraw computes them, and scales that show every vertex in a picture
    // of kPictureWidth x kPictureHeight with a margin (the program's own fit looks only at the
    // largest coordinate and cuts the corners of a cube about the origin).
    pic::ViewState view(scene.header);
    view.setTurn(recipe->turnHorizontal, recipe->turnVertical);
    view.setZoom(1, 1, 1);
    double u = 1e-9, v = 1e-9;
    for (int slot = 2; slot <= scene.objectCount(); ++slot) {
        core::SceneObject& o = scene.object(slot);
        core::ComputeBoundsAndPivot(o);
        for (int i = 1; i <= o.vertexCount; ++i) {
            const pic::Projected p =
                pic::ProjectPoint(view, o.vertex(i).x, o.vertex(i).y, o.vertex(i).z);
            u = std::max(u, std::fabs(p.px));
            v = std::max(v, std::fabs(p.py));
        }
    }
    const auto zoom =
        static_cast<float>(std::min(kFill * kPictureWidth / 2 / u, kFill * kPictureHeight / 2 / v));
    view.setZoom(zoom, zoom, zoom);
    scene.sceneModified = false;
    return true;
}

} // namespace vorn::tool
