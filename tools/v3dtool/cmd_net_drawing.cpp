// v3dtool net in the build with Qt: the net as text, and drawn as SVG or PDF on paper at true
// scale.
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "core/vertex_labels.h"
#include "picture/net_painter.h"

#include <charconv>
#include <cmath>
#include <iomanip>
#include <numbers>
#include <sstream>

namespace vorn::tool {

const CommandHelp kNetDrawingHelp = {
    .summary = "the net of a convex polyhedron or the development of a straight round solid",
    .usage =
        "v3dtool net FILE.v3d OBJECT [--text] [--fold T] [--cut V1-V2,... | --tree V1-V2,...]\n"
        "v3dtool net FILE.v3d OBJECT -o OUT.{svg,pdf} [--mm N | --fit] [--paper a4|a3]\n"
        "        [--landscape] [--tabs] [--marks] [--no-fill] [--cut ... | --tree ...]",
    .details =
        "Without -o, as the command-line build: the net as text (v3dtool help net there);\n"
        "--cut and --tree choose the cuts in both (v3dtool help net there).\n"
        "  -o OUT       the net drawn on paper, OUT's extension choosing SVG or PDF: faces\n"
        "               filled and numbered, the vertices lettered as in the picture, cut\n"
        "               lines solid, fold lines dashed, 10 mm margins; a net larger than the\n"
        "               page goes on several pages that overlap by 10 mm and carry alignment\n"
        "               crosses where they meet (a PDF holds them all, an SVG holds one: "
        "OUT-1.svg,\n"
        "               OUT-2.svg, ...)\n"
        "  --mm N       millimetres per scene unit, 1..500 (default 10): a unit edge is drawn\n"
        "               N mm long\n"
        "  --fit        instead of --mm: the largest scale (to 0.1 mm per unit) at which the\n"
        "               net, turned as suits the page, fits one page\n"
        "  --paper P    a4 (the default) or a3\n"
        "  --landscape  the page lying on its long side\n"
        "  --tabs       a glue tab on one edge of every pair glued together\n"
        "  --marks      the same letter on both edges of every cut\n"
        "  --no-fill    faces and tabs left white, for printing\n"
        "The line written names the file(s), the paper, the pages, the net's size in mm and the\n"
        "scale.\n",
};

int runNetDrawing(const Args& args, std::ostream& out, std::ostream& err) {
    // The drawing's options are this build's; the rest is the command-line build's.
    Args rest;
    double mm = pic::kDefaultMmPerUnit;
    bool tabs = false, marks = false, fill = true, fit = false, haveMm = false, landscape = false;
    nets::PaperFormat format = nets::PaperFormat::A4;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--tabs") {
            tabs = true;
        } else if (a == "--marks") {
            marks = true;
        } else if (a == "--no-fill") {
            fill = false;
        } else if (a == "--fit") {
            fit = true;
        } else if (a == "--landscape") {
            landscape = true;
        } else if (a == "--paper" && i + 1 < args.size()) {
            const std::string& p = args[++i];
            if (p == "a4" || p == "A4") {
                format = nets::PaperFormat::A4;
            } else if (p == "a3" || p == "A3") {
                format = nets::PaperFormat::A3;
            } else {
                err << "--paper wants a4 or a3, not \"" << p << "\"\n";
                return 2;
            }
        } else if (a == "--mm" && i + 1 < args.size()) {
            const std::string& text = args[++i];
            const char* end = text.data() + text.size();
            const auto r = std::from_chars(text.data(), end, mm);
            if (r.ec != std::errc() || r.ptr != end || !(mm >= pic::kMinMmPerUnit) ||
                !(mm <= pic::kMaxMmPerUnit)) {
                err << "--mm wants a number of millimetres " << pic::kMinMmPerUnit << ".."
                    << pic::kMaxMmPerUnit << '\n';
                return 2;
            }
            haveMm = true;
        } else {
            rest.push_back(a);
        }
    }
    if (fit && haveMm) {
        err << "--fit chooses the scale itself: give --fit or --mm, not both\n";
        return 2;
    }
    NetArgs parsed;
    if (!ParseNetArgs(rest, parsed, err)) return 2;
    const std::string ext = LowerExtension(parsed.output);
    if (!parsed.output.empty() && ext != "svg" && ext != "pdf") {
        err << "net: " << parsed.output << ": the name must end in .svg or .pdf\n";
        return 2;
    }
    if (const int status = PrintNet(parsed, out, err); status != 0 || parsed.output.empty())
        return status;

    std::ostringstream report;
    ToolSession session(report, err);
    if (!session.load(parsed.file)) return 1;
    const int slot = parsed.object + core::kAxesSlot;
    const core::SceneObject& o = session.scene.object(slot);
    nets::SheetOptions options;
    options.tabs = tabs;
    options.glueMarks = marks;
    std::function<nets::Sheet(double)> sheetAt;
    const std::optional<nets::Development> d = nets::DevelopmentOf(o);
    const std::optional<nets::Solid> solid = d ? std::nullopt : nets::FacesOf(o);
    nets::Net net;
    if (d) {
        sheetAt = [&](double scale) {
            nets::SheetOptions at = options;
            at.mmPerUnit = scale;
            return nets::SheetOf(*d, at);
        };
    } else if (solid) {
        if (!ChooseNet(session.scene, session.settings, slot, *solid, parsed, net, err)) return 2;
        // Named as the scene names the points (letters with the default settings).
        if ((session.settings.PutLetters && o.vertexCount <= 26) || session.settings.PutVerNum) {
            const core::SceneLabels labels(session.scene, session.settings);
            for (int v = 1; v <= o.vertexCount; ++v)
                options.vertexNames.push_back(labels.nameOf(slot, v));
        }
        sheetAt = [&](double scale) {
            nets::SheetOptions at = options;
            at.mmPerUnit = scale;
            return nets::SheetOf(*solid, net, at);
        };
    } else {
        return 1; // PrintNet has said why
    }
    const nets::Paper paper = nets::PaperOf(format, landscape);
    const nets::PrintPlan plan =
        fit ? nets::FitToPaper(sheetAt, paper, pic::kMinMmPerUnit, pic::kMaxMmPerUnit)
            : nets::PlanPages(sheetAt, mm, paper);
    if (plan.pages.size() > pic::kMaxPages) {
        err << "net: at " << plan.mmPerUnit << " mm per unit the net takes " << plan.pages.size()
            << " pages, more than " << pic::kMaxPages << "\n";
        return 1;
    }
    EnsureGuiApp(false);
    const QString path = QString::fromStdString(parsed.output);
    QStringList written;
    if (!(ext == "svg" ? pic::WriteSheetSvg(path, plan, fill, &written)
                       : pic::WriteSheetPdf(path, plan, fill))) {
        err << "net: cannot write " << parsed.output << '\n';
        return 1;
    }
    if (written.isEmpty()) written << path;
    std::ostringstream line;
    line << written.join(QStringLiteral(" ")).toStdString() << ": "
         << (format == nets::PaperFormat::A4 ? "A4" : "A3")
         << (landscape ? " landscape" : " portrait") << ", " << plan.pages.size()
         << (plan.pages.size() == 1 ? " page" : " pages") << " (" << plan.rows << " x "
         << plan.columns << "), net " << std::fixed << std::setprecision(1) << plan.width << " x "
         << plan.height << " mm at " << std::defaultfloat << std::setprecision(6) << plan.mmPerUnit
         << " mm per unit";
    if (plan.angle != 0)
        line << ", turned " << std::fixed << std::setprecision(1)
             << plan.angle * 180 / std::numbers::pi << " degrees";
    out << line.str() << '\n';
    return 0;
}

} // namespace vorn::tool
