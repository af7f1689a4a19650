// v3dtool net in the build with Qt: the net as text, and drawn as SVG or PDF at true scale.
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "picture/net_painter.h"
#include "picture/wire_frame.h"

#include <charconv>
#include <sstream>

namespace vorn::tool {

const CommandHelp kNetDrawingHelp = {
    .summary = "the net of a convex polyhedron or the development of a straight round solid",
    .usage = "v3dtool net FILE.v3d OBJECT [--text] [--fold T]\n"
             "v3dtool net FILE.v3d OBJECT -o OUT.{svg,pdf} [--mm N] [--tabs]",
    .details =
        "Without -o, as the command-line build: the net as text (v3dtool help net there).\n"
        "  -o OUT     the net drawn on a page of its own size, OUT's extension choosing\n"
        "             SVG or PDF: faces filled, cut lines solid, fold lines dashed, the\n"
        "             faces numbered and the vertices lettered as in the picture\n"
        "  --mm N     millimetres per scene unit, 1..500 (default 10): a unit edge is drawn\n"
        "             N mm long\n"
        "  --tabs     glue tabs on every other cut edge\n",
};

int runNetDrawing(const Args& args, std::ostream& out, std::ostream& err) {
    // --mm and --tabs are this build's; the rest is the command-line build's.
    Args rest;
    double mm = pic::kDefaultMmPerUnit;
    bool tabs = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--tabs") {
            tabs = true;
        } else if (args[i] == "--mm" && i + 1 < args.size()) {
            const std::string& text = args[++i];
            const char* end = text.data() + text.size();
            const auto r = std::from_chars(text.data(), end, mm);
            if (r.ec != std::errc() || r.ptr != end || !(mm >= pic::kMinMmPerUnit) ||
                !(mm <= pic::kMaxMmPerUnit)) {
                err << "--mm wants a number of millimetres " << pic::kMinMmPerUnit << ".."
                    << pic::kMaxMmPerUnit << '\n';
                return 2;
            }
        } else {
            rest.push_back(args[i]);
        }
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
    const core::SceneObject& o = session.scene.object(parsed.object + core::kAxesSlot);
    nets::SheetOptions options;
    options.tabs = tabs;
    nets::Sheet sheet;
    if (const std::optional<nets::Development> d = nets::DevelopmentOf(o)) {
        sheet = nets::SheetOf(*d, options);
    } else if (const std::optional<nets::Solid> solid = nets::FacesOf(o)) {
        // Letters as the picture draws them with the default settings.
        if (session.settings.PutLetters && o.vertexCount <= 26)
            for (int v = 1; v <= o.vertexCount; ++v)
                options.vertexNames.push_back(core::VertexLabel(o, v, session.settings));
        sheet = nets::SheetOf(*solid, nets::Unfold(*solid), options);
    } else {
        return 1; // PrintNet has said why
    }
    EnsureGuiApp(false);
    const QString path = QString::fromStdString(parsed.output);
    if (!(ext == "svg" ? pic::WriteSheetSvg(path, sheet, mm)
                       : pic::WriteSheetPdf(path, sheet, mm))) {
        err << "net: cannot write " << parsed.output << '\n';
        return 1;
    }
    const QSizeF paper = pic::SheetPaperSize(sheet, mm);
    out << parsed.output << ": " << paper.width() << " x " << paper.height() << " mm, " << mm
        << " mm per unit\n";
    return 0;
}

} // namespace vorn::tool
