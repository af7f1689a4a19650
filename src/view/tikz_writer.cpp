// A display list as a TikZ picture for LaTeX: lines as \draw, labels as nodes, in centimetres.
#include "view/tikz_writer.h"

#include "geometry/polygon.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>

namespace vorn::pic {

namespace {

std::string Cm(double v) {
    return TrimmedNumber(v);
}

const char* StyleOption(PenStyle s) {
    switch (s) {
    case PenStyle::Solid:
        return "";
    case PenStyle::Dot:
        return ", dotted";
    case PenStyle::Dash:
        return ", dashed";
    }
    return "";
}

class Writer {
  public:
    Writer(int width, int height, double widthCm)
        : m_width(width), m_height(height), m_scale(widthCm / std::max(width, 1)) {}

    // The name of a colour, defined the first time it is used.
    std::string colour(std::uint32_t bgr) {
        const auto found = m_colours.find(bgr);
        if (found != m_colours.end()) return found->second;
        std::string name = "vc" + std::to_string(m_colours.size());
        char def[96];
        std::snprintf(def, sizeof def, "\\definecolor{%s}{RGB}{%u,%u,%u}\n", name.c_str(),
                      bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
        m_defs += def;
        m_colours.emplace(bgr, name);
        return name;
    }

    // A picture point (pixel centre) as a TikZ coordinate.
    std::string at(ScreenPoint p, double dx = 0.5, double dy = 0.5) const {
        return xy(p.x + dx, p.y + dy);
    }
    std::string xy(double x, double y) const {
        return "(" + Cm(x * m_scale) + "," + Cm((m_height - y) * m_scale) + ")";
    }
    std::string corner(ScreenPoint p) const { return at(p, 0, 0); }
    std::string width(int px) const { return Cm(std::max(px, 1) * m_scale) + "cm"; }
    double scale() const { return m_scale; }

    std::string m_defs, m_body;

  private:
  public:
    int m_width, m_height;

  private:
    double m_scale;
    std::map<std::uint32_t, std::string> m_colours;
};

struct Pt {
    double x, y;
    bool operator==(const Pt&) const = default;
};

// The part of a..b inside 0..w x 0..h, if any: the picture cuts lines at its edges, and a
// LaTeX page must not get the parts it cut off.
bool Clip(Pt& a, Pt& b, double w, double h) {
    double t0 = 0, t1 = 1;
    // A segment touching the box in one point is kept, as a mark of no length.
    if (!geo::ClipToBox(a.x, a.y, b.x, b.y, 0, 0, w, h, t0, t1) && t0 != t1) return false;
    const Pt from = a;
    a = {from.x + t0 * (b.x - from.x), from.y + t0 * (b.y - from.y)};
    b = {from.x + t1 * (b.x - from.x), from.y + t1 * (b.y - from.y)};
    return true;
}

} // namespace

std::string TrimmedNumber(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    std::string s = buf;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string TexEscape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\textbackslash{}";
            break;
        case '{':
        case '}':
        case '#':
        case '$':
        case '%':
        case '&':
        case '_':
            out += '\\';
            out += c;
            break;
        case '^':
            out += "\\textasciicircum{}";
            break;
        case '~':
            out += "\\textasciitilde{}";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string TikzPicture(const DisplayList& list, int width, int height, double widthCm) {
    Writer w(width, height, widthCm);
    for (const DrawOp& op : list) {
        std::string& b = w.m_body;
        switch (op.kind) {
        case DrawOp::Kind::Fill:
            b += "\\fill[" + w.colour(op.brush) + "] " + w.corner(op.a()) + " rectangle " +
                 w.corner(op.b()) + ";\n";
            break;
        case DrawOp::Kind::Rect:
            b += "\\filldraw[fill=" + w.colour(op.brush) + ", draw=" + w.colour(op.pen) +
                 ", line width=" + w.width(op.width) + "] " + w.at(op.a()) + " rectangle " +
                 w.at({op.b().x - 1, op.b().y - 1}) + ";\n";
            break;
        case DrawOp::Kind::Line:
        case DrawOp::Kind::Polyline: {
            const int n = std::clamp(op.kind == DrawOp::Kind::Line ? 2 : op.count, 0, 4);
            if (n < 2) break;
            // Segments cut to the picture; a segment starting where the last one stopped goes
            // on from it, any other starts afresh (a bare coordinate moves the pen).
            std::string path;
            std::optional<Pt> pen;
            for (int i = 1; i < n; ++i) {
                const ScreenPoint p = op.pts[static_cast<std::size_t>(i - 1)];
                const ScreenPoint q = op.pts[static_cast<std::size_t>(i)];
                // A segment of no length leaves no mark on the picture either.
                if (p == q) continue;
                Pt a{p.x + 0.5, p.y + 0.5}, c{q.x + 0.5, q.y + 0.5};
                if (!Clip(a, c, w.m_width, w.m_height)) continue;
                if (!pen || !(*pen == a)) path += (path.empty() ? "" : " ") + w.xy(a.x, a.y);
                path += " -- " + w.xy(c.x, c.y);
                pen = c;
            }
            if (path.empty()) break;
            b += "\\draw[" + w.colour(op.pen) + ", line width=" + w.width(op.width) +
                 StyleOption(op.style) + "] " + path + ";\n";
            break;
        }
        case DrawOp::Kind::Text: {
            // The picture's point sizes are for a 96-dpi screen; the node scales with the picture.
            const double pt = op.fontSize * 96.0 / 72.0 * w.scale() * 72.27 / 2.54;
            std::string opts = "anchor=north west, inner sep=0pt, text=" + w.colour(op.pen);
            if (op.opaque) opts += ", fill=" + w.colour(op.brush);
            b += "\\node[" + opts + ", font=\\fontsize{" + Cm(pt) + "}{" + Cm(pt * 1.2) +
                 "}\\selectfont\\ttfamily" + (op.bold ? "\\bfseries" : "") + "] at " +
                 w.corner(op.a()) + " {" + TexEscape(op.text) + "};\n";
            break;
        }
        }
    }
    return "% Needs \\usepackage{tikz}; Cyrillic labels also \\usepackage[T2A]{fontenc}.\n"
           "\\begin{tikzpicture}\n" +
           w.m_defs + "\\useasboundingbox (0,0) rectangle " + w.corner({width, 0}) + ";\n" +
           w.m_body + "\\end{tikzpicture}\n";
}

} // namespace vorn::pic
