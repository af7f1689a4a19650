// v3dtool measure: one of the eight measurements between elements of a scene file.
#include "v3dtool/cli_host.h"
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "lang/message_ids.h"
#include "polyhedra/measurements.h"

#include <charconv>
#include <optional>

namespace vorn::tool {

const CommandHelp kMeasureHelp = {
    .summary = "one of the eight measurements between points, lines and planes of a scene file",
    .usage = "v3dtool measure FILE.v3d MODE PICK... [--digits N]",
    .details =
        "Runs the measurement MODE on the picked elements as the picture does and prints its "
        "report\n"
        "lines; its offer to create a point is printed after \"? \" and answered No, error boxes\n"
        "after \"! \".\n"
        "  PICK p:OBJ:V        vertex V of object OBJ (its number in the object list)\n"
        "       l:OBJ:V1:V2    the line through vertices V1 and V2 of OBJ\n"
        "       pl:OBJ         the plane OBJ\n"
        "  MODE and its picks: 1 angle by three points (p p p), 2 angle between a line and a "
        "plane\n"
        "       (l pl), 3 angle between two planes (pl pl), 4 distance between two points (p p),\n"
        "       5 from a point to a line (p l), 6 from a point to a plane (p pl), 7 between two "
        "lines\n"
        "       (l l), 8 from a line to a plane (l pl)\n"
        "  --digits N          digits after the decimal point, 0..16 (default 6)\n",
};

namespace {

std::optional<int> Number(const std::string& text) {
    int n = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return n;
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t colon; (colon = text.find(':', start)) != std::string::npos; start = colon + 1)
        fields.push_back(text.substr(start, colon - start));
    fields.push_back(text.substr(start));
    return fields;
}

enum class Parse { Ok, Malformed, NotAPlane };

// Reads one PICK against the loaded scene.
Parse ParsePick(const core::Scene& scene, const std::string& text, poly::Pick& pick) {
    const std::vector<std::string> f = Split(text);
    std::vector<int> n;
    for (std::size_t i = 1; i < f.size(); ++i) {
        const std::optional<int> v = Number(f[i]);
        if (!v) return Parse::Malformed;
        n.push_back(*v);
    }
    if (n.empty() || !scene.isUserSlot(n[0] + 1)) return Parse::Malformed;
    const int slot = n[0] + 1;
    const auto vertexOk = [&](int v) { return v >= 1 && v <= scene.object(slot).vertexCount; };
    if (f[0] == "p" && n.size() == 2 && vertexOk(n[1])) {
        pick = poly::PointPick(scene, slot, n[1]);
        return Parse::Ok;
    }
    if (f[0] == "l" && n.size() == 3 && vertexOk(n[1]) && vertexOk(n[2])) {
        pick = poly::LinePick(scene, slot, n[1], n[2]);
        return Parse::Ok;
    }
    if (f[0] == "pl" && n.size() == 1) {
        if (scene.object(slot).type != core::ObjectType::Plane) return Parse::NotAPlane;
        pick = poly::PlanePick(scene, slot);
        return Parse::Ok;
    }
    return Parse::Malformed;
}

} // namespace

int runMeasure(const Args& args, std::ostream& out, std::ostream& err) {
    ToolOptions opt;
    std::vector<std::string> rest;
    if (!parseCommonOptions(args, opt, rest, err) || rest.size() < 3 || opt.yes ||
        !opt.save.empty()) {
        PrintUsage(err, kMeasureHelp);
        return 2;
    }
    const std::optional<int> number = Number(rest[1]);
    if (!number || poly::MeasurementPicks(*number).size() != rest.size() - 2) {
        PrintUsage(err, kMeasureHelp);
        return 2;
    }
    std::ostream channel(err.rdbuf()); // loading reports go to err
    ToolSession session(channel, channel);
    if (!session.load(rest[0])) return 2;
    channel.rdbuf(out.rdbuf());
    session.settings.answerDigits = opt.digits;
    session.host.markBoxes = true;
    session.host.answerYes = false;

    std::vector<poly::Pick> picks(rest.size() - 2);
    for (std::size_t i = 0; i < picks.size(); ++i) {
        switch (ParsePick(session.scene, rest[i + 2], picks[i])) {
        case Parse::Ok:
            break;
        case Parse::NotAPlane:
            // The picture refuses such a pick with this box.
            session.host.showMessage(core::BoxKind::Error,
                                     session.env.msg(lang::msg::kNeedObjectOfKind) + " " +
                                         session.env.msg(lang::msg::kNeedPlane));
            return 1;
        case Parse::Malformed:
            err << "bad pick " << rest[i + 2] << '\n';
            PrintUsage(err, kMeasureHelp);
            return 2;
        }
    }
    if (!poly::RunMeasurement(session.env, *number, picks)) {
        err << "measurement " << *number << " takes other picks\n";
        PrintUsage(err, kMeasureHelp);
        return 2;
    }
    return 0;
}

} // namespace vorn::tool
