// v3dtool render: the wire-frame or half-tone picture of a scene file, as PNG, SVG, PDF or TikZ.
#include "v3dtool/commands.h"
#include "v3dtool/tool_support.h"

#include "figure/figure.h"
#include "picture/figure_painter.h"
#include "picture/gl_bar.h"
#include "view/halftone_scene.h"
#include "picture/picture_canvas.h"
#include "view/tikz_writer.h"
#include "picture/vector_export.h"
#include "view/wire_frame.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <algorithm>

#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>

namespace vorn::tool {

namespace {

// Two whole numbers joined by `sep`, e.g. "800x600" or "27,49".
bool ParsePair(const std::string& s, char sep, int& a, int& b) {
    const auto at = s.find(sep);
    if (at == std::string::npos) return false;
    const char* end = s.data() + s.size();
    const auto r1 = std::from_chars(s.data(), s.data() + at, a);
    const auto r2 = std::from_chars(s.data() + at + 1, end, b);
    return r1.ec == std::errc() && r1.ptr == s.data() + at && r2.ec == std::errc() && r2.ptr == end;
}

bool UsableScale(float z) {
    return std::isfinite(z) && z > 0;
}

// Whether the file itself holds the picture's scales: loading gives a file without them the
// default scale, which would not show a scene far from the origin.
bool FileHasScales(const std::string& path) {
    core::SceneHeader h{};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(&h), sizeof h)) return false;
    return UsableScale(h.zoomX) && UsableScale(h.zoomY) && UsableScale(h.zoomZ);
}

// The half-tone picture into an offscreen framebuffer; a null image when OpenGL fails.
QImage RenderHalfTone(core::Env& env, const pic::ViewState& view, int width, int height) {
    QOffscreenSurface surface;
    surface.setFormat(pic::HalfToneFormat());
    surface.create();
    QOpenGLContext context;
    context.setFormat(pic::HalfToneFormat());
    if (!surface.isValid() || !context.create() || !context.makeCurrent(&surface)) return {};
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::Depth);
    QOpenGLFramebufferObject fbo(width, height, format);
    if (!fbo.bind()) return {};

    expr::ExpressionEngine engine;
    pic::HalfToneScene scene = pic::BuildHalfToneScene(env, engine);
    pic::HalfToneRenderer renderer;
    renderer.initialize(scene.background);
    renderer.setCountObjects(scene.count);
    for (const pic::HalfToneList& list : scene.lists)
        renderer.compile(list);
    pic::TLight light0, light1;
    const auto& p = env.settings.lightPosition;
    light0.setPosition(float(p[0]), float(p[1]), float(p[2]));
    light1.setPosition(float(p[3]), float(p[4]), float(p[5]));
    pic::HalfToneRenderer::Frame frame;
    frame.light0 = &light0;
    frame.light1 = &light1;
    pic::HalfToneView(view, frame.transform);
    frame.box = scene.box;
    frame.width = width;
    frame.height = height;
    renderer.redraw(frame);
    QImage image = fbo.toImage().convertToFormat(QImage::Format_RGB32);
    fbo.release();
    context.doneCurrent();
    return image;
}

enum class Format { Png, Svg, Pdf, Tex, Unknown };

// The output format, from the file name's extension in any case.
Format FormatOf(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == "png") return Format::Png;
    if (ext == "svg") return Format::Svg;
    if (ext == "pdf") return Format::Pdf;
    if (ext == "tex") return Format::Tex;
    return Format::Unknown;
}

} // namespace

void EnsureGuiApp(bool openGL) {
    if (QGuiApplication::instance()) return;
    // Drawing into a bitmap needs fonts but no screen; OpenGL needs the display's driver.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM",
                openGL && !qEnvironmentVariableIsEmpty("DISPLAY") ? "xcb" : "offscreen");
    static int argc = 1;
    static char name[] = "v3dtool";
    static char* argv[] = {name, nullptr};
    // Never destroyed: a static one would be torn down after Qt's own globals.
    new QGuiApplication(argc, argv);
}

std::string LowerExtension(const std::string& path) {
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

const CommandHelp kRenderHelp = {
    .summary = "the picture of a scene file as a PNG image, an SVG or PDF drawing or TikZ",
    .usage =
        "v3dtool render FILE.v3d -o OUT.{png,svg,pdf,tex} [--size WxH] [--turn H,V] [--labels]\n"
        "            [--fit] [--halftone] [--line-width N] [--label-size N]\n"
        "            [--hidden solid|dashed|removed] [--bw] [--width-cm N] [--dpi N] "
        "[--transparent]\n"
        "            [--style outline|mesh] [--grid K] [--no-axes] [--line-pt X] [--hidden-pt X]\n"
        "            [--label-pt X]",
    .details =
        "Draws the wire-frame picture of FILE.v3d with its stored view and the default settings.\n"
        "  -o OUT       the file to write; its extension chooses the format: .png a bitmap,\n"
        "               .svg and .pdf a drawing of lines and text, .tex a TikZ picture for LaTeX\n"
        "  --size WxH   its size in pixels, each 1..10000 (default 800x600)\n"
        "  --turn H,V   the rotation scroll bars' positions, each 0..71 (default: the file's)\n"
        "  --labels     vertex letters (\"Зображати номери вершин\"), each place lettered once\n"
        "  --fit        the size of \"Дібрати розмір\" instead of the file's scales; a figure\n"
        "               (SVG, PDF, TikZ) is framed on the solids, the axes cut at its frame\n"
        "  --halftone   the half-tone picture instead (needs OpenGL: a display, e.g. xvfb-run)\n"
        "  --line-width N  line width in pixels, 1..4 (default 1), as \"Товщина ліній\"\n"
        "  --label-size N  label font size in points, 6..24 (default 10), as\n"
        "               \"Розмір шрифту позначок\"\n"
        "  --hidden M   lines behind faces: solid (default), dashed or removed, as\n"
        "               \"Невидимі лінії\"; nodes and labels behind faces are drawn hollow\n"
        "               and lighter when dashed and left out when removed\n"
        "  --bw         black and white: white paper, black lines and text, no fills; hidden\n"
        "               lines dashed unless --hidden removed\n"
        "  --width-cm N the width of an SVG, PDF or TikZ figure in centimetres, 1..100\n"
        "               (default 12, an A4 page's text block)\n"
        "  --style S    how round solids and surfaces are drawn: outline (their silhouettes,\n"
        "               rims and creases; the default of SVG, PDF and TikZ) or mesh (every mesh\n"
        "               line; the default of PNG). A PNG in the outline style is a figure too\n"
        "  --grid K     in the outline style, every K-th mesh line of z = f(x, y) surfaces too\n"
        "  --no-axes    a figure without the coordinate axes\n"
        "  --line-pt X  the width of visible lines of a figure in points (default 0.6)\n"
        "  --hidden-pt X  the width of dashed hidden lines in points (default 0.4)\n"
        "  --label-pt X the size of a figure's letters in points (default 10)\n"
        "  Figures keep their line widths and letter sizes in points whatever their width.\n"
        "  --dpi N      the resolution stored in a PNG, 30..2400 dots per inch (default 96)\n"
        "  --transparent  a PNG without the background\n",
};

int runRender(const Args& args, std::ostream& out, std::ostream& err) {
    std::string input, output;
    int width = 800, height = 600;
    int turnH = -1, turnV = -1;
    bool labels = false, fit = false, halfTone = false, transparent = false, blackWhite = false;
    int hiddenMode = core::kHiddenSolid;
    int widthCm = 12, dpi = 96;
    std::optional<hidden::LineStyle> style;
    int grid = 0;
    bool noAxes = false;
    fig::Pens pens;
    const core::Settings defaults;
    int lineWidth = defaults.lineWidth, labelSize = defaults.labelFontSize;
    // A whole number lo..hi after the option `a`, or a message and false.
    const auto number = [&err](const std::string& a, const std::string& text, int lo, int hi,
                               int& value) {
        const char* end = text.data() + text.size();
        const auto r = std::from_chars(text.data(), end, value);
        if (r.ec == std::errc() && r.ptr == end && value >= lo && value <= hi) return true;
        err << a << " wants a whole number " << lo << ".." << hi << '\n';
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "-o" && hasValue) {
            output = args[++i];
        } else if (a == "--size" && hasValue) {
            if (!ParsePair(args[++i], 'x', width, height) || width < 1 || height < 1 ||
                width > 10000 || height > 10000) {
                err << "--size wants WxH, each 1..10000\n";
                return 2;
            }
        } else if (a == "--turn" && hasValue) {
            if (!ParsePair(args[++i], ',', turnH, turnV) || turnH < 0 || turnH > 71 || turnV < 0 ||
                turnV > 71) {
                err << "--turn wants H,V, each 0..71\n";
                return 2;
            }
        } else if (a == "--labels") {
            labels = true;
        } else if (a == "--fit") {
            fit = true;
        } else if (a == "--halftone") {
            halfTone = true;
        } else if (a == "--line-width" && hasValue) {
            if (!number(a, args[++i], core::kMinLineWidth, core::kMaxLineWidth, lineWidth))
                return 2;
        } else if (a == "--label-size" && hasValue) {
            if (!number(a, args[++i], core::kMinLabelFontSize, core::kMaxLabelFontSize, labelSize))
                return 2;
        } else if (a == "--hidden" && hasValue) {
            const std::string& mode = args[++i];
            if (mode != "solid" && mode != "dashed" && mode != "removed") {
                err << "--hidden wants solid, dashed or removed\n";
                return 2;
            }
            hiddenMode = mode == "dashed"    ? core::kHiddenDashed
                         : mode == "removed" ? core::kHiddenRemoved
                                             : core::kHiddenSolid;
        } else if (a == "--bw") {
            blackWhite = true;
        } else if (a == "--width-cm" && hasValue) {
            if (!number(a, args[++i], 1, 100, widthCm)) return 2;
        } else if (a == "--dpi" && hasValue) {
            if (!number(a, args[++i], 30, 2400, dpi)) return 2;
        } else if (a == "--transparent") {
            transparent = true;
        } else if (a == "--style" && hasValue) {
            const std::string& v = args[++i];
            if (v != "outline" && v != "mesh") {
                err << "--style wants outline or mesh\n";
                return 2;
            }
            style = v == "outline" ? hidden::LineStyle::Outline : hidden::LineStyle::Mesh;
        } else if (a == "--grid" && hasValue) {
            if (!number(a, args[++i], 0, 1000, grid)) return 2;
        } else if (a == "--no-axes") {
            noAxes = true;
        } else if ((a == "--line-pt" || a == "--hidden-pt" || a == "--label-pt") && hasValue) {
            const std::string& v = args[++i];
            double x = 0;
            const auto r = std::from_chars(v.data(), v.data() + v.size(), x);
            const double hi = a == "--label-pt" ? 72 : 10;
            if (r.ec != std::errc() || r.ptr != v.data() + v.size() || !(x >= 0.05 && x <= hi)) {
                err << a << " wants a number of points 0.05.." << hi << '\n';
                return 2;
            }
            (a == "--line-pt" ? pens.visible : a == "--hidden-pt" ? pens.hidden : pens.label) = x;
        } else if (!a.empty() && a[0] != '-' && input.empty()) {
            input = a;
        } else {
            err << "render: unexpected argument " << a << '\n';
            return 2;
        }
    }
    if (input.empty() || output.empty()) {
        PrintUsage(err, kRenderHelp);
        return 2;
    }
    const Format format = FormatOf(output);
    if (format == Format::Unknown) {
        err << "render: " << output << ": the name must end in .png, .svg, .pdf or .tex\n";
        return 2;
    }
    if (halfTone && format != Format::Png) {
        err << "render: the half-tone picture is written only as PNG\n";
        return 2;
    }
    if (halfTone && (blackWhite || hiddenMode != core::kHiddenSolid)) {
        err << "render: --bw and --hidden are for the wire-frame picture\n";
        return 2;
    }

    EnsureGuiApp(halfTone);
    QString why;
    if (halfTone && !pic::HalfToneOpenGLAvailable(&why)) {
        err << "render: the half-tone picture needs OpenGL: " << why.toStdString()
            << " (run under a display with OpenGL, e.g. xvfb-run)\n";
        return 2;
    }
    std::ostringstream report;
    ToolSession session(report, err);
    session.settings.lineWidth = lineWidth;
    if (labels) session.settings.PutVerNum = true;
    session.settings.labelFontSize = labelSize;
    session.settings.hiddenLines =
        blackWhite ? pic::BlackAndWhiteHiddenMode(hiddenMode) : hiddenMode;
    // The settings' axes colour, as applying the settings gives it.
    session.scene.object(core::kAxesSlot).color = session.settings.colorRgb(core::kColorAxes);
    pic::PictureCanvas canvas(session.env);
    canvas.resize(width, height);
    canvas.engine().setReady(true);
    // Start-up order: the first fit, then the scene file with the view it was saved with.
    canvas.engine().fit();
    const bool scaled = FileHasScales(input);
    if (!session.load(input)) return 1;
    pic::ViewState& view = canvas.view();
    if (turnH >= 0) view.setTurn(turnH, turnV);
    // A file without usable scales (or --fit) gets the fit of "Дібрати розмір"; the bounds it
    // needs come from a redraw.
    if (fit || !scaled || !UsableScale(view.zoomX()) || !UsableScale(view.zoomY()) ||
        !UsableScale(view.zoomZ())) {
        canvas.redraw();
        view.setZoom(0, 0, 0);
        view.firstFit = true;
        canvas.engine().fit();
    }
    // With labels: an interactive pass with the pointer off the picture, so nothing is picked.
    if (canvas.redraw(labels, {-1000, -1000}) != pic::RedrawResult::Drawn) {
        err << "render: nothing was drawn\n";
        return 1;
    }
    const QString path = QString::fromStdString(output);
    pic::DisplayList list = canvas.lastPass();
    if (blackWhite) pic::MakeBlackAndWhite(list);
    bool written = false;
    if (halfTone) {
        QImage image = RenderHalfTone(session.env, view, width, height);
        if (image.isNull()) {
            err << "render: no OpenGL framebuffer for the half-tone picture\n";
            return 2;
        }
        const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        written = image.save(path, "PNG");
    } else if (format == Format::Png &&
               style.value_or(hidden::LineStyle::Mesh) == hidden::LineStyle::Mesh) {
        written = pic::WritePng(path, list, width, height, dpi, transparent);
    } else {
        fig::FigureOptions options;
        options.hiddenMode = hiddenMode;
        options.blackWhite = blackWhite;
        options.axes = !noAxes;
        options.fit = fit;
        options.style = style.value_or(hidden::LineStyle::Outline);
        options.gridEvery = grid;
        options.labels = true;
        options.width = widthCm * 10.0;
        options.pens = pens;
        const fig::Figure figure =
            fig::BuildFigure(session.scene, session.settings, view, width, height, options);
        if (format == Format::Png) {
            written = pic::WriteFigurePng(path, figure, dpi, transparent);
        } else if (format == Format::Pdf) {
            written = pic::WriteFigurePdf(path, figure);
        } else {
            std::ofstream file(output, std::ios::binary);
            file << (format == Format::Svg ? fig::FigureSvg(figure) : fig::FigureTikz(figure));
            written = static_cast<bool>(file.flush());
        }
    }
    if (!written) {
        err << "render: cannot write " << output << '\n';
        return 1;
    }
    out << output << ": " << width << "x" << height << ", turn " << view.turnHorizontal() << ","
        << view.turnVertical() << ", " << session.scene.objectCount() - 1 << " objects\n";
    return 0;
}

} // namespace vorn::tool
