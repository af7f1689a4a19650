// Figures for print, checked in the files they write: every piece of the hidden-line pass once,
// with its dash state; pens and letters in points at any width; one letter per place.
#include "figure/figure.h"

#include "core/scene_file.h"
#include "entry/scene_loader.h"
#include "env_fixture.h"
#include "fake_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include <unistd.h>

namespace vorn::fig {
namespace {

namespace fs = std::filesystem;

struct Sample : vorn::test::EnvFixture {
    pic::ViewState view{scene.header};
};

std::unique_ptr<Sample> Load(const std::string& name) {
    auto s = std::make_unique<Sample>();
    entry::SceneLoader loader;
    const std::string file = std::string(VORN_SAMPLES_DIR) + "/" + name + ".v3d";
    if (core::ReadSceneFile(s->env, file, false, true, &loader) < 0) return nullptr;
    s->view.halfWidth = 400;
    s->view.halfHeight = 300;
    return s;
}

FigureOptions Options(int mode, hidden::LineStyle style = hidden::LineStyle::Mesh) {
    FigureOptions o;
    o.hiddenMode = mode;
    o.style = style;
    o.fit = true;
    return o;
}

// A path of an SVG file: its two ends and whether it is dashed.
struct SvgPath {
    Point a, b;
    bool dashed;
};

std::vector<SvgPath> Paths(const std::string& svg) {
    static const std::regex path(
        R"re(<path d="M(-?[\d.]+) (-?[\d.]+)L(-?[\d.]+) (-?[\d.]+)"[^>]*?(stroke-dasharray="([\d.]+) ([\d.]+)")?/>)re");
    std::vector<SvgPath> out;
    for (auto m = std::sregex_iterator(svg.begin(), svg.end(), path); m != std::sregex_iterator();
         ++m) {
        const auto& g = *m;
        // Planes are dotted: dots are far shorter than their gaps, dashes longer.
        const bool dashed = g[5].matched && std::stod(g[6]) > 0.5 * std::stod(g[7]);
        out.push_back(
            {{std::stod(g[1]), std::stod(g[2])}, {std::stod(g[3]), std::stod(g[4])}, dashed});
    }
    return out;
}

// A piece of the pass in figure millimetres, mapped independently of the figure's strokes.
Point AtMm(const Figure& f, const Sample& s, const hidden::LineSpans& line, double t) {
    const core::SceneObject& o = s.scene.object(line.slot);
    pic::ViewState view = s.view;
    const auto p = [&](int v) {
        const core::Vec3f& x = o.vertex(v);
        return pic::ProjectPoint(view, x.x, x.y, x.z);
    };
    const pic::Projected a = p(line.vertex1), b = p(line.vertex2);
    return {(a.px + t * (b.px - a.px) - f.pictureLeft) * f.mmPerPixel,
            (a.py + t * (b.py - a.py) - f.pictureTop) * f.mmPerPixel};
}

bool InsideFigure(const Figure& f, Point p) {
    return p.x > 0.01 && p.y > 0.01 && p.x < f.width - 0.01 && p.y < f.height - 0.01;
}

struct PiecesRow {
    const char* sample;
    int mode;
    hidden::LineStyle style;
};

class EveryPieceOnce : public ::testing::TestWithParam<PiecesRow> {};

// Every piece of the hidden-line pass inside the figure is one path of the SVG, dashed exactly
// when it is hidden in the dashed mode, missing when hidden lines are left out; no path twice.
TEST_P(EveryPieceOnce, InTheSvgFile) {
    const PiecesRow& row = GetParam();
    const auto s = Load(row.sample);
    ASSERT_NE(s, nullptr);
    // The axes are cut at the frame, so their pieces end elsewhere; and the pass's tolerances
    // follow the size of all that is shown, the axes too.
    s->settings.IsOsi = false;
    s->scene.object(core::kAxesSlot).visible = 0;
    const Figure f =
        BuildFigure(s->scene, s->settings, s->view, 800, 600, Options(row.mode, row.style));
    const std::vector<SvgPath> paths = Paths(FigureSvg(f));
    ASSERT_FALSE(paths.empty());
    // Paths with the same ends, either way round, to the file's thousandth of a millimetre.
    const auto same = [](Point a, Point b, const SvgPath& p) {
        const auto near = [](Point x, Point y) {
            return std::fabs(x.x - y.x) <= 0.002 && std::fabs(x.y - y.y) <= 0.002;
        };
        return (near(a, p.a) && near(b, p.b)) || (near(a, p.b) && near(b, p.a));
    };
    for (std::size_t i = 0; i < paths.size(); ++i)
        for (std::size_t j = i + 1; j < paths.size(); ++j)
            ASSERT_FALSE(same(paths[i].a, paths[i].b, paths[j])) << "a segment is written twice";

    hidden::LineChoice choice;
    choice.style = row.style;
    const hidden::Visibility seen = hidden::VisibleSpans(s->scene, s->settings, s->view, choice);
    // Lines of one place in space (a mesh's seam, met from both sides) are written once; where
    // the pass's tolerance at a grazing silhouette splits them differently, either will do.
    using Place = std::tuple<long, long, long>;
    std::map<std::tuple<int, Place, Place>, int> places;
    const auto placeOf = [&](const hidden::LineSpans& line) {
        const core::SceneObject& o = s->scene.object(line.slot);
        const auto at = [&](int v) {
            const core::Vec3f& x = o.vertex(v);
            return Place{std::lround(x.x * 1e4), std::lround(x.y * 1e4), std::lround(x.z * 1e4)};
        };
        Place a = at(line.vertex1), b = at(line.vertex2);
        if (b < a) std::swap(a, b);
        return std::make_tuple(line.slot, a, b);
    };
    for (const hidden::LineSpans& line : seen.lines)
        ++places[placeOf(line)];
    std::vector<bool> matched(paths.size(), false);
    for (const hidden::LineSpans& line : seen.lines) {
        if (line.slot == core::kAxesSlot) continue;
        const bool twin = places[placeOf(line)] > 1;
        std::vector<hidden::Piece> pieces = line.pieces;
        if (row.mode == core::kHiddenSolid) pieces = {{0, 1, true}};
        for (const hidden::Piece& piece : pieces) {
            const Point a = AtMm(f, *s, line, piece.t0), b = AtMm(f, *s, line, piece.t1);
            if (!InsideFigure(f, a) || !InsideFigure(f, b) ||
                std::hypot(a.x - b.x, a.y - b.y) < 0.05)
                continue;
            std::vector<std::size_t> found;
            for (std::size_t i = 0; i < paths.size(); ++i)
                if (same(a, b, paths[i])) found.push_back(i);
            const std::string what = "object " + std::to_string(line.slot) + " " +
                                     std::to_string(line.vertex1) + "-" +
                                     std::to_string(line.vertex2) + " " + std::to_string(piece.t0) +
                                     ".." + std::to_string(piece.t1);
            if (!piece.visible && row.mode == core::kHiddenRemoved) {
                EXPECT_TRUE(found.empty()) << "hidden piece drawn: " << what;
                continue;
            }
            ASSERT_EQ(found.size(), 1u) << what;
            matched[found[0]] = true;
            if (!twin) {
                EXPECT_EQ(paths[found[0]].dashed, !piece.visible && row.mode == core::kHiddenDashed)
                    << what;
            }
        }
    }
    // The TikZ picture holds the same strokes with the same dashes (its y runs upwards).
    static const std::regex draw(
        R"re(\\draw\[([^\]]*)\] \((-?[\d.]+),(-?[\d.]+)\) -- \((-?[\d.]+),(-?[\d.]+)\);)re");
    static const std::regex pattern(R"re(dash pattern=on ([\d.]+)pt off ([\d.]+)pt)re");
    const std::string tex = FigureTikz(f);
    std::size_t draws = 0;
    for (auto m = std::sregex_iterator(tex.begin(), tex.end(), draw); m != std::sregex_iterator();
         ++m) {
        const auto& g = *m;
        const std::string opts = g[1];
        std::smatch dash;
        const bool dashed =
            std::regex_search(opts, dash, pattern) && std::stod(dash[1]) > 0.5 * std::stod(dash[2]);
        const Point a{std::stod(g[2]), f.height - std::stod(g[3])};
        const Point b{std::stod(g[4]), f.height - std::stod(g[5])};
        int found = 0;
        for (const SvgPath& p : paths)
            found += same(a, b, p) && p.dashed == dashed;
        EXPECT_EQ(found, 1) << g[0];
        ++draws;
    }
    EXPECT_EQ(draws, paths.size());

    // Nothing else is drawn but the pieces, and what the frame cuts.
    EXPECT_LE(std::count(matched.begin(), matched.end(), false), 8);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, EveryPieceOnce,
    ::testing::Values(PiecesRow{"cube_section", core::kHiddenSolid, hidden::LineStyle::Mesh},
                      PiecesRow{"cube_section", core::kHiddenDashed, hidden::LineStyle::Mesh},
                      PiecesRow{"cube_section", core::kHiddenRemoved, hidden::LineStyle::Mesh},
                      PiecesRow{"pyramid_height", core::kHiddenSolid, hidden::LineStyle::Mesh},
                      PiecesRow{"pyramid_height", core::kHiddenDashed, hidden::LineStyle::Mesh},
                      PiecesRow{"pyramid_height", core::kHiddenRemoved, hidden::LineStyle::Mesh},
                      PiecesRow{"regular_solids", core::kHiddenSolid, hidden::LineStyle::Mesh},
                      PiecesRow{"regular_solids", core::kHiddenDashed, hidden::LineStyle::Mesh},
                      PiecesRow{"regular_solids", core::kHiddenRemoved, hidden::LineStyle::Mesh},
                      PiecesRow{"surfaces", core::kHiddenSolid, hidden::LineStyle::Outline},
                      PiecesRow{"surfaces", core::kHiddenDashed, hidden::LineStyle::Outline},
                      PiecesRow{"surfaces", core::kHiddenRemoved, hidden::LineStyle::Outline},
                      PiecesRow{"revolution", core::kHiddenSolid, hidden::LineStyle::Outline},
                      PiecesRow{"revolution", core::kHiddenDashed, hidden::LineStyle::Outline},
                      PiecesRow{"revolution", core::kHiddenRemoved, hidden::LineStyle::Outline},
                      PiecesRow{"revolution", core::kHiddenDashed, hidden::LineStyle::Mesh}));

// Whole dashes from end to end: a hidden piece of any length starts and ends with a dash and
// shows at least two.
TEST(DashPattern, WholeDashesFromEndToEnd) {
    Figure f;
    for (const double length : {0.3, 1.0, 1.76, 3.0, 12.5, 97.0}) {
        Stroke s;
        s.points = {{0, 0}, {length, 0}};
        s.dash = Dash::Dashed;
        const DashPattern p = DashFor(f, s);
        const double n = (length + p.off) / (p.on + p.off);
        EXPECT_NEAR(n, std::round(n), 1e-9) << length;
        EXPECT_GE(std::round(n), 2) << length;
        EXPECT_NEAR(p.on / p.off, f.pens.dash / f.pens.gap, 1e-9) << length;
        // Long pieces keep the pens' own pattern within a dash.
        if (length > 10) {
            EXPECT_NEAR(p.on, f.pens.dash * kMmPerPt, 0.2 * f.pens.dash * kMmPerPt);
        }
    }
}

// Pens and letters keep their sizes in points whatever the figure's width.
TEST(PrintUnits, PensAndLettersInPointsAtAnyWidth) {
    for (const double width : {80.0, 120.0, 160.0}) {
        const auto s = Load("pyramid_height");
        ASSERT_NE(s, nullptr);
        s->settings.PutVerNum = true;
        FigureOptions o = Options(core::kHiddenDashed);
        o.width = width;
        const std::string svg = FigureSvg(BuildFigure(s->scene, s->settings, s->view, 800, 600, o));
        char head[64];
        std::snprintf(head, sizeof head, "width=\"%gmm\"", width);
        EXPECT_NE(svg.find(head), std::string::npos) << width;
        std::set<std::string> widths, sizes;
        static const std::regex stroke(R"re(<path [^>]*stroke-width="([\d.]+)")re");
        static const std::regex font(R"re(font-size="([\d.]+)")re");
        for (auto m = std::sregex_iterator(svg.begin(), svg.end(), stroke);
             m != std::sregex_iterator(); ++m)
            widths.insert((*m)[1]);
        for (auto m = std::sregex_iterator(svg.begin(), svg.end(), font);
             m != std::sregex_iterator(); ++m)
            sizes.insert((*m)[1]);
        // Visible 0.6 pt, hidden 0.4 pt, axes 0.3 pt; letters 10 pt.
        EXPECT_EQ(widths, (std::set<std::string>{"0.212", "0.141", "0.106"})) << width;
        EXPECT_EQ(sizes, (std::set<std::string>{"3.528"})) << width;
    }
}

struct Box {
    double x0, y0, x1, y1;
};

// The room a letter takes, as the figure's own estimate of its font would give it.
Box BoxOf(const Label& l) {
    const double em = l.size * kMmPerPt;
    return {l.at.x, l.at.y - 0.72 * em, l.at.x + 0.62 * em * double(l.text.size()), l.at.y};
}

bool Crosses(Point a, Point b, const Box& box) {
    for (int k = 0; k <= 200; ++k) {
        const double t = k / 200.0;
        const double x = a.x + t * (b.x - a.x), y = a.y + t * (b.y - a.y);
        if (x > box.x0 && x < box.x1 && y > box.y0 && y < box.y1) return true;
    }
    return false;
}

// Letters come from the scene, without any pointer: once per place, the named point's name at
// a vertex it shares, each off the lines that meet there.
TEST(Letters, OncePerPlaceAndOffTheLines) {
    struct Row {
        const char* sample;
        std::multiset<std::string> letters;
    };
    const Row rows[] = {
        {"pyramid_height", {"S", "B", "C", "D", "E", "O", "K"}},
        {"cube_section", {"A", "B", "C", "D", "E", "F", "G", "H", "K", "L", "M", "A", "C", "F"}},
    };
    for (const Row& row : rows) {
        const auto s = Load(row.sample);
        ASSERT_NE(s, nullptr);
        s->settings.PutVerNum = true;
        const Figure f =
            BuildFigure(s->scene, s->settings, s->view, 800, 600, Options(core::kHiddenDashed));
        std::multiset<std::string> letters;
        for (const Label& l : f.labels) {
            if (l.slot == 0) continue; // axis names
            letters.insert(l.text);
            for (const Stroke& k : f.strokes)
                EXPECT_FALSE(Crosses(k.points[0], k.points[1], BoxOf(l)))
                    << row.sample << ": " << l.text << " sits on a line of object " << k.slot;
        }
        EXPECT_EQ(letters, row.letters) << row.sample;
    }
}

// The origin and the axes' unit marks behind a face are points like any other: lighter when
// hidden lines are dashed, left out when they are removed. In black and white the axes are
// thin and grey, everything else black; without axes nothing of them is drawn.
TEST(Axes, OriginBehindAFaceAndBlackAndWhite) {
    struct Row {
        int mode;
        bool blackWhite, axes;
    };
    for (const Row row :
         {Row{core::kHiddenDashed, false, true}, Row{core::kHiddenRemoved, false, true},
          Row{core::kHiddenDashed, true, true}, Row{core::kHiddenDashed, true, false}}) {
        const auto s = Load("cube_section"); // the cube holds the origin
        ASSERT_NE(s, nullptr);
        FigureOptions o = Options(row.mode);
        o.blackWhite = row.blackWhite;
        o.axes = row.axes;
        const Figure f = BuildFigure(s->scene, s->settings, s->view, 800, 600, o);
        const Label* origin = nullptr;
        for (const Label& l : f.labels)
            if (l.slot == 0 && l.text == "0") origin = &l;
        int axisStrokes = 0, hiddenTicks = 0;
        for (const Mark& m : f.marks)
            hiddenTicks += m.tick && m.hollow;
        for (const Stroke& k : f.strokes) {
            const bool axis = k.slot == core::kAxesSlot;
            axisStrokes += axis;
            if (row.blackWhite) {
                EXPECT_EQ(k.rgb, axis ? 0x808080u : 0u);
            }
            if (axis) {
                EXPECT_LT(WidthOf(f, k), f.pens.visible * kMmPerPt);
            }
        }
        if (!row.axes) {
            EXPECT_EQ(axisStrokes, 0);
            EXPECT_EQ(origin, nullptr);
            continue;
        }
        EXPECT_GT(axisStrokes, 0);
        if (row.mode == core::kHiddenRemoved) {
            EXPECT_EQ(origin, nullptr);
            EXPECT_EQ(hiddenTicks, 0);
        } else {
            ASSERT_NE(origin, nullptr);
            EXPECT_TRUE(origin->behind);
        }
    }
}

// A fitted figure frames the solids: every vertex of a visible object inside the frame, within
// a margin, and the frame no wider than the solids and that margin.
TEST(Fit, FramesTheSolidsNotTheAxes) {
    const auto s = Load("regular_solids");
    ASSERT_NE(s, nullptr);
    const Figure f =
        BuildFigure(s->scene, s->settings, s->view, 800, 600, Options(core::kHiddenDashed));
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (int slot = 2; slot <= s->scene.objectCount(); ++slot) {
        const core::SceneObject& o = s->scene.object(slot);
        for (int v = 1; v <= o.vertexCount; ++v) {
            const pic::Projected p =
                pic::ProjectPoint(s->view, o.vertex(v).x, o.vertex(v).y, o.vertex(v).z);
            const double x = (p.px - f.pictureLeft) * f.mmPerPixel;
            const double y = (p.py - f.pictureTop) * f.mmPerPixel;
            EXPECT_GT(x, 3);
            EXPECT_LT(x, f.width - 3);
            EXPECT_GT(y, 3);
            EXPECT_LT(y, f.height - 3);
            lo = std::min(lo, x), hi = std::max(hi, x);
        }
    }
    EXPECT_NEAR(hi - lo, f.width - 12, 0.01);
}

// The TikZ picture holds the same strokes with pens in points and a unit that \input may change,
// and compiles with Cyrillic letters in a T2A document.
TEST(Tikz, PensInPointsAndCyrillicLettersCompile) {
    const auto s = Load("pyramid_height");
    ASSERT_NE(s, nullptr);
    s->settings.PutVerNum = true;
    core::SceneObject& apex = s->scene.object(s->scene.objectCount());
    ASSERT_EQ(apex.type, core::ObjectType::Point);
    apex.name.setUtf8("Вершина_S"); // a Cyrillic name with a TeX special character
    const Figure f =
        BuildFigure(s->scene, s->settings, s->view, 800, 600, Options(core::kHiddenDashed));
    const std::string tex = FigureTikz(f);
    std::size_t draws = 0, dashed = 0;
    for (std::size_t at = tex.find("\\draw["); at != std::string::npos;
         at = tex.find("\\draw[", at + 1)) {
        ++draws;
        const std::string line = tex.substr(at, tex.find('\n', at) - at);
        dashed += line.find("dash pattern=on") != std::string::npos;
        EXPECT_NE(line.find("line width=0."), std::string::npos) << line;
    }
    std::size_t dashedStrokes = 0;
    for (const Stroke& k : f.strokes)
        dashedStrokes += k.dash != Dash::Solid;
    EXPECT_EQ(draws, f.strokes.size());
    EXPECT_EQ(dashed, dashedStrokes);
    EXPECT_NE(tex.find("x=\\vornunit"), std::string::npos);
    EXPECT_NE(tex.find("{Вершина\\_S}"), std::string::npos);

    if (std::system("command -v pdflatex >/dev/null 2>&1") != 0) GTEST_SKIP() << "no pdflatex";
    const fs::path dir = fs::temp_directory_path() / ("vorn_tikz_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "figure.tex") << tex;
    std::ofstream(dir / "doc.tex")
        << "\\documentclass{article}\\usepackage[T2A]{fontenc}\\usepackage[utf8]{inputenc}\n"
           "\\usepackage{tikz}\\begin{document}\n\\input{figure.tex}\n"
           "\\def\\vornunit{0.5mm}\\input{figure.tex}\n\\end{document}\n";
    const std::string run = "cd '" + dir.string() +
                            "' && pdflatex -interaction=nonstopmode -halt-on-error doc.tex "
                            ">out.txt 2>&1";
    EXPECT_EQ(std::system(run.c_str()), 0);
    EXPECT_TRUE(fs::exists(dir / "doc.pdf"));
    fs::remove_all(dir);
}

} // namespace
} // namespace vorn::fig
