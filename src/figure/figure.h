// Figures for print: the picture as strokes, marks and labels in millimetres, every drawn piece
// once, with its visibility, built from the scene and the hidden-line pass, without Qt.
#pragma once

#include "core/scene.h"
#include "core/settings.h"
#include "hidden/hidden_lines.h"
#include "view/view_state.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn::fig {

// Millimetres from the figure's top left corner, y down.
struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

enum class Dash : std::uint8_t { Solid, Dashed, Dotted };
// Which pen of `Pens` draws a stroke.
enum class Weight : std::uint8_t { Visible, Hidden, Axis, Grid };

// Line widths, dash lengths and label sizes in points (1/72 inch), whatever the figure's size.
struct Pens {
    double visible = 0.6;
    double hidden = 0.4;
    double axis = 0.3;
    double grid = 0.25;
    double dash = 3, gap = 2; // a hidden line's dashes; dotted planes use 0.5 on 1.5
    double label = 10;        // vertex letters and axis names
};

inline constexpr double kMmPerPt = 25.4 / 72;
// The default width fits an A4 page's text block.
inline constexpr double kDefaultWidthMm = 120;

struct Stroke {
    std::vector<Point> points; // at least two
    std::uint32_t rgb = 0;     // 0x00BBGGRR
    Dash dash = Dash::Solid;
    Weight weight = Weight::Visible;
    // The piece t0..t1 of the line vertex1 -> vertex2 of the object in `slot` it draws.
    int slot = 0, vertex1 = 0, vertex2 = 0;
    double t0 = 0, t1 = 1;
};

// A node square (a point object, or every vertex with "Зображати вершини") or an axis tick.
struct Mark {
    Point at;
    std::uint32_t rgb = 0;
    bool hollow = false; // behind a face
    bool tick = false;   // an axis unit mark
    int slot = 0, vertex = 0;
};

struct Label {
    Point at;         // the left end of the text's baseline
    std::string text; // UTF-8
    std::uint32_t rgb = 0;
    double size = 10; // points
    bool bold = false;
    bool behind = false;      // lighter, as the point behind a face it names
    Point anchor;             // the point it names
    int slot = 0, vertex = 0; // 0: an axis name
};

struct Figure {
    double width = kDefaultWidthMm, height = 0; // millimetres
    // The picture pixel (x, y) of the view it was built from lies at
    // ((x - pictureLeft) * mmPerPixel, (y - pictureTop) * mmPerPixel).
    double pictureLeft = 0, pictureTop = 0, mmPerPixel = 1;
    Pens pens;
    std::uint32_t background = 0xFFFFFF;
    bool blackWhite = false;
    std::vector<Stroke> strokes; // drawn in order
    std::vector<Mark> marks;
    std::vector<Label> labels;
};

struct FigureOptions {
    int hiddenMode = core::kHiddenDashed;
    bool blackWhite = false;
    bool axes = true;
    // Frame the solids (every visible object but the axes) with a margin, instead of the
    // picture's own frame.
    bool fit = false;
    hidden::LineStyle style = hidden::LineStyle::Outline;
    int gridEvery = 0; // surfaces z = f(x, y) in the outline style: every k-th mesh line too
    bool labels = true; // vertex letters as the settings' "Зображати номери вершин" choose
    double width = kDefaultWidthMm; // millimetres
    Pens pens;
};

// The figure of the scene as the picture `pictureWidth` x `pictureHeight` pixels shows it in
// `view`, `options.width` millimetres wide. The axes are lengthened to the figure's frame for
// the pass and given back as they were.
Figure BuildFigure(core::Scene& scene, const core::Settings& settings, const pic::ViewState& view,
                   int pictureWidth, int pictureHeight, const FigureOptions& options);

// The dash pattern a stroke of `length` millimetres is drawn with, in millimetres (dash, gap):
// whole dashes from end to end, so that a short hidden piece still shows at least two dashes.
struct DashPattern {
    double on = 0, off = 0;
};
DashPattern DashFor(const Figure& figure, const Stroke& stroke);
// Stroke width in millimetres.
double WidthOf(const Figure& figure, const Stroke& stroke);

// The figure as an SVG document sized in millimetres, and as a TikZ picture whose line widths
// and label sizes are in points, so that scaling the picture keeps them.
std::string FigureSvg(const Figure& figure);
std::string FigureTikz(const Figure& figure);

} // namespace vorn::fig
