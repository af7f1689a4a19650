// v3dtool calc: the calculator's double and contour integrals, and the measures of a solid of
// revolution as the object builder computes them.
#include "core/object_view.h"
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "core/format.h"
#include "entry/generatrix.h"
#include "entry/object_builder.h"
#include "lang/message_ids.h"
#include "surfaces/integrals.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace vorn::tool {

const CommandHelp kCalcHelp = {
    .summary = "double and contour integrals, volume and area of a solid of revolution",
    .usage = "v3dtool calc double FILE.v3d SURFACE [--region TEXT | --polygon x1,y1,...]\n"
             "            [--bounds X1,X2,Y1,Y2] [--points N] [--digits N]\n"
             "v3dtool calc contour EXPR --polyline x1,y1,z1,x2,y2,z2,... [--digits N]\n"
             "v3dtool calc revolve --type fx|param|polyline --axis ox|oy [--y TEXT] [--x TEXT]\n"
             "            [--range A,B] [--points x1,y1,...] [--digits N]",
    .details =
        "Numbers in lists may be constant expressions (\"pi/2\"), separated by commas.\n"
        "double   the double integral of a surface of FILE.v3d and the area of the surface over a\n"
        "         region, as the calculator computes them; prints I= and S=.\n"
        "  SURFACE             the surface's number in the object list (1 = first object) or name\n"
        "  --region TEXT       the region as a system of relations in X and Y (default: the whole\n"
        "                      rectangle)\n"
        "  --polygon x1,y1,... the region as a polygon of 3..40 vertices\n"
        "  --bounds X1,X2,Y1,Y2  the rectangle (default: the surface's tabulation rectangle)\n"
        "  --points N          grid nodes per side, 50..1000 (default: the settings' value)\n"
        "contour  the integral of EXPR (in X, Y, Z) along the polyline through the given points.\n"
        "revolve  the volume and surface area of a solid of revolution, as the object builder\n"
        "         computes them; a notice that one of them is infinite or has no value is printed\n"
        "         in its place, and the status is then 1.\n"
        "  --type fx           y = f(x): --y TEXT in X over --range A,B\n"
        "  --type param        x = --x TEXT, y = --y TEXT, both in T over --range A,B\n"
        "  --type polyline     the generatrix through --points x1,y1,x2,y2,... (2..40 points)\n"
        "  --axis ox|oy        the axis of revolution\n"
        "--digits N sets the digits after the decimal point, 0..16 (default 6).\n",
};

namespace {

// Numbers typed as constant expressions, comma separated; none when one has no value.
std::optional<std::vector<long double>> numberList(std::string_view text) {
    std::vector<long double> values;
    expr::ExpressionEngine engine;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item = text.substr(start, comma - start);
        if (item.empty()) return std::nullopt;
        const long double v = engine.EvaluateExpression(item);
        if (engine.CalcError != expr::kCalcOk) return std::nullopt;
        values.push_back(v);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return values;
}

// Named options (each taking one value) and the plain arguments, in order.
struct Options {
    std::vector<std::pair<std::string, std::string>> named;
    std::vector<std::string> plain;
    std::optional<std::string> get(std::string_view name) const {
        for (const auto& [k, v] : named)
            if (k == name) return v;
        return std::nullopt;
    }
};

bool splitOptions(const std::vector<std::string>& args,
                  std::initializer_list<std::string_view> known, Options& opt, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0 || a.size() == 2) {
            opt.plain.push_back(a);
            continue;
        }
        if (std::find(known.begin(), known.end(), a) == known.end() || i + 1 >= args.size()) {
            err << "calc: unknown option or missing value: " << a << '\n';
            PrintUsage(err, kCalcHelp);
            return false;
        }
        opt.named.emplace_back(a, args[++i]);
    }
    return true;
}

std::string number(long double v, int digits) {
    return core::FormatNumber(false, v, digits);
}

// A list number as info prints it ("1" is slot 2) or a display name.
int findObject(const core::Scene& scene, const std::string& key) {
    for (int slot = 2; slot <= scene.objectCount(); ++slot)
        if (std::to_string(slot - 1) == key || core::DisplayName(scene, slot) == key) return slot;
    return 0;
}

int runDouble(const Options& opt, int digits, std::ostream& out, std::ostream& err) {
    if (opt.plain.size() != 2 || (opt.get("--region") && opt.get("--polygon"))) {
        PrintUsage(err, kCalcHelp);
        return 2;
    }
    ToolSession session(err, err);
    if (!session.load(opt.plain[0])) return 2;
    core::Scene& scene = session.scene;
    bool anySurface = false;
    for (int slot = 2; slot <= scene.objectCount(); ++slot)
        anySurface = anySurface || scene.object(slot).type == core::ObjectType::Surface;
    if (!anySurface) {
        err << session.messages.text(lang::msg::kNoSurfaceObject) << '\n';
        return 1;
    }
    const int slot = findObject(scene, opt.plain[1]);
    if (slot == 0 || scene.object(slot).type != core::ObjectType::Surface) {
        err << "calc: no surface \"" << opt.plain[1] << "\" in " << opt.plain[0] << '\n';
        return 2;
    }
    core::SceneObject& surface = scene.object(slot);
    surf::CalcRegion region;
    const core::SurfaceDomain domain = core::SurfaceDomainOf(surface);
    region.bounds = {domain.xFrom, domain.xTo, domain.yFrom, domain.yTo};
    bool valid = true;
    if (const auto bounds = opt.get("--bounds")) {
        const auto v = numberList(*bounds);
        valid = v && v->size() == 4;
        if (valid)
            region.bounds = {double((*v)[0]), double((*v)[1]), double((*v)[2]), double((*v)[3])};
    }
    if (const auto polygon = opt.get("--polygon")) {
        const auto v = numberList(*polygon);
        valid = valid && v && v->size() % 2 == 0;
        region.region.isPolygon = true;
        if (valid)
            for (std::size_t k = 0; k < v->size(); k += 2)
                region.region.polygon.push({double((*v)[k]), double((*v)[k + 1]), 0});
    } else {
        region.region.system = opt.get("--region").value_or("");
    }
    long double points = session.settings.integrationPoints;
    if (const auto n = opt.get("--points")) {
        const auto v = numberList(*n);
        points = v && v->size() == 1 ? (*v)[0] : -1;
    }
    expr::ExpressionEngine engine;
    const surf::RequestFault fault = surf::CheckDoubleIntegralRequest(engine, region, points);
    if (fault == surf::RequestFault::PointsOutOfRange) {
        err << "calc: --points wants a whole number 50..1000\n";
        return 2;
    }
    if (!valid || fault != surf::RequestFault::None) {
        err << session.messages.text(lang::msg::kBadValueOrExpression) << '\n';
        return 1;
    }
    const surf::DoubleIntegralResult r =
        surf::DoubleIntegral(session.env, engine, surface, region, static_cast<int>(points));
    if (r.code != surf::kDoubleIntegralDone) {
        const bool stopped = r.code == surf::kDoubleIntegralStopped;
        err << session.messages.text(stopped ? lang::msg::kComputationNotFinished
                                             : lang::msg::kBadValueOrExpression)
            << '\n';
        return 1;
    }
    out << "I=" << number(r.integral, digits) << ", S=" << number(r.area, digits) << '\n';
    return 0;
}

int runContour(const Options& opt, int digits, std::ostream& out, std::ostream& err) {
    const auto list = opt.get("--polyline");
    const auto v = list ? numberList(*list) : std::nullopt;
    if (opt.plain.size() != 1 || !v || v->size() % 3 != 0 || v->size() < 6 ||
        v->size() > 3 * surf::kMaxContourPoints) {
        PrintUsage(err, kCalcHelp);
        return 2;
    }
    std::vector<geo::Vec3> points;
    for (std::size_t k = 0; k < v->size(); k += 3)
        points.push_back({double((*v)[k]), double((*v)[k + 1]), double((*v)[k + 2])});
    ToolSession session(err, err);
    expr::ExpressionEngine engine;
    const surf::ContourResult r = surf::ContourIntegral(session.env, engine, opt.plain[0], points);
    if (r.error) {
        err << session.messages.text(lang::msg::kBadValueOrExpression) << '\n';
        return 1;
    }
    out << number(r.value, digits) << '\n';
    return 0;
}

int runRevolve(const Options& opt, int digits, std::ostream& out, std::ostream& err) {
    const std::string type = opt.get("--type").value_or("");
    const std::string axis = opt.get("--axis").value_or("");
    entry::EntryValues values;
    values.generatrixType = type == "fx" ? 0 : type == "param" ? 1 : type == "polyline" ? 2 : -1;
    values.axis = axis == "ox" ? 0 : axis == "oy" ? 1 : -1;
    const auto range = opt.get("--range") ? numberList(*opt.get("--range")) : std::nullopt;
    const auto points = opt.get("--points") ? numberList(*opt.get("--points")) : std::nullopt;
    const bool polyline = values.generatrixType == 2;
    const bool usable = opt.plain.empty() && values.generatrixType >= 0 && values.axis >= 0 &&
                        (polyline ? points && points->size() % 2 == 0 && points->size() >= 4 &&
                                        points->size() <= 2 * core::kMaxPartPoints
                                  : range && range->size() == 2 && opt.get("--y") &&
                                        (values.generatrixType == 0 || opt.get("--x")));
    if (!usable) {
        PrintUsage(err, kCalcHelp);
        return 2;
    }
    // Infinity messages are answers here, so boxes go to the output.
    ToolSession session(out, out);
    core::Scene& scene = session.scene;
    const int slot = core::AppendObject(scene, core::ObjectType::RevolutionSurface);
    scene.copySlot(slot, core::kScratchSlot);
    core::SceneObject& buffer = scene.object(core::kScratchSlot);
    if (polyline) {
        core::ObjectPart& part = buffer.part(3);
        part.domainKind = 0;
        part.area.polygon.pointCount = static_cast<std::uint8_t>(points->size() / 2);
        for (std::size_t k = 0; k < points->size(); k += 2)
            part.area.polygon.points[k / 2] = {float((*points)[k]), float((*points)[k + 1])};
    } else {
        values.rangeFrom = static_cast<double>((*range)[0]);
        values.rangeTo = static_cast<double>((*range)[1]);
        values.func1 = *opt.get("--y");
        values.func2 = opt.get("--x").value_or("");
    }
    expr::ExpressionEngine engine;
    entry::SampleGeneratrix(engine, buffer, session.settings.Quality(),
                            static_cast<entry::GeneratrixType>(values.generatrixType), values.func1,
                            values.func2, values.rangeFrom, values.rangeTo);
    if (!entry::BuildObject(session.env, engine, slot, core::ObjectType::RevolutionSurface, values,
                            true))
        return 1;
    const core::SceneObject& o = scene.object(slot);
    if (o.volumeInfinite == 0)
        out << session.messages.format(lang::msg::kVolume, {number(o.volume, digits)}) << '\n';
    if (o.areaInfinite == 0)
        out << session.messages.format(lang::msg::kSurfaceArea, {number(o.surfaceArea, digits)})
            << '\n';
    // A measure replaced by its message is not an answer.
    return o.volumeInfinite == 0 && o.areaInfinite == 0 ? 0 : 1;
}

} // namespace

int runCalc(const Args& args, std::ostream& out, std::ostream& err) {
    ToolOptions common;
    std::vector<std::string> rest;
    if (args.empty() || !parseCommonOptions(args, common, rest, err) || rest.empty()) {
        PrintUsage(err, kCalcHelp);
        return 2;
    }
    const std::string what = rest.front();
    rest.erase(rest.begin());
    Options opt;
    if (what == "double") {
        if (!splitOptions(rest, {"--region", "--polygon", "--bounds", "--points"}, opt, err))
            return 2;
        return runDouble(opt, common.digits, out, err);
    }
    if (what == "contour") {
        if (!splitOptions(rest, {"--polyline"}, opt, err)) return 2;
        return runContour(opt, common.digits, out, err);
    }
    if (what == "revolve") {
        if (!splitOptions(rest, {"--type", "--axis", "--y", "--x", "--range", "--points"}, opt,
                          err))
            return 2;
        return runRevolve(opt, common.digits, out, err);
    }
    PrintUsage(err, kCalcHelp);
    return 2;
}

} // namespace vorn::tool
