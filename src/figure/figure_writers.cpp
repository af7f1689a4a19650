// Figures as SVG documents and TikZ pictures: millimetres for places, points for pens and text.
#include "figure/figure.h"

#include "view/tikz_writer.h"

#include <cstdio>
#include <map>

namespace vorn::fig {

namespace {

// Thousandths of a millimetre are as fine as a drawing needs.
std::string Num(double v) {
    return pic::TrimmedNumber(v);
}

std::string Hex(std::uint32_t bgr) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", bgr & 0xFF, (bgr >> 8) & 0xFF,
                  (bgr >> 16) & 0xFF);
    return buf;
}

// Text safe in XML content and attributes; control bytes, which XML cannot hold, as blanks.
std::string Xml(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

// The radius of a mark, in points: a point object's dot, an axis tick.
double MarkRadiusPt(const Mark& m) {
    return m.tick ? 0.9 : 1.6;
}

} // namespace

std::string FigureSvg(const Figure& f) {
    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
                    Num(f.width) + "mm\" height=\"" + Num(f.height) + "mm\" viewBox=\"0 0 " +
                    Num(f.width) + " " + Num(f.height) + "\">\n<title>VORN-3D</title>\n";
    s += "<rect x=\"0\" y=\"0\" width=\"" + Num(f.width) + "\" height=\"" + Num(f.height) +
         "\" fill=\"" + Hex(f.background) + "\"/>\n";
    s += "<g fill=\"none\" stroke-linejoin=\"round\">\n";
    for (const Stroke& k : f.strokes) {
        std::string d;
        for (std::size_t i = 0; i < k.points.size(); ++i)
            d += (i ? "L" : "M") + Num(k.points[i].x) + " " + Num(k.points[i].y);
        s += "<path d=\"" + d + "\" stroke=\"" + Hex(k.rgb) + "\" stroke-width=\"" +
             Num(WidthOf(f, k)) + "\"";
        if (k.dash == Dash::Solid) {
            s += " stroke-linecap=\"round\"";
        } else {
            const DashPattern p = DashFor(f, k);
            s += std::string(" stroke-linecap=\"") + (k.dash == Dash::Dotted ? "round" : "butt") +
                 "\" stroke-dasharray=\"" + Num(p.on) + " " + Num(p.off) + "\"";
        }
        s += "/>\n";
    }
    s += "</g>\n";
    for (const Mark& m : f.marks) {
        const double r = MarkRadiusPt(m) * kMmPerPt;
        s += "<circle cx=\"" + Num(m.at.x) + "\" cy=\"" + Num(m.at.y) + "\" r=\"" + Num(r) +
             "\" fill=\"" + (m.hollow ? Hex(f.background) : Hex(m.rgb)) + "\" stroke=\"" +
             Hex(m.rgb) + "\" stroke-width=\"" + Num(f.pens.hidden * kMmPerPt) + "\"/>\n";
    }
    for (const Label& l : f.labels) {
        s += "<text x=\"" + Num(l.at.x) + "\" y=\"" + Num(l.at.y) +
             "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"" +
             Num(l.size * kMmPerPt) + "\"" + (l.bold ? " font-weight=\"bold\"" : "") + " fill=\"" +
             Hex(l.rgb) + "\">" + Xml(l.text) + "</text>\n";
    }
    s += "</svg>\n";
    return s;
}

std::string FigureTikz(const Figure& f) {
    std::map<std::uint32_t, std::string> names;
    std::string defs, body;
    const auto colour = [&](std::uint32_t bgr) {
        const auto found = names.find(bgr);
        if (found != names.end()) return found->second;
        std::string name = "vorn" + std::string(1, static_cast<char>('a' + names.size() % 26)) +
                           std::to_string(names.size() / 26);
        char def[96];
        std::snprintf(def, sizeof def, "\\definecolor{%s}{RGB}{%u,%u,%u}\n", name.c_str(),
                      bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
        defs += def;
        names.emplace(bgr, name);
        return name;
    };
    // y runs upwards in TikZ, from the bottom edge.
    const auto at = [&](Point p) { return "(" + Num(p.x) + "," + Num(f.height - p.y) + ")"; };
    const auto pt = [](double mm) { return Num(mm / kMmPerPt) + "pt"; };
    for (const Stroke& k : f.strokes) {
        std::string opts = colour(k.rgb) + ", line width=" + pt(WidthOf(f, k));
        if (k.dash != Dash::Solid) {
            const DashPattern p = DashFor(f, k);
            opts += std::string(", line cap=") + (k.dash == Dash::Dotted ? "round" : "butt") +
                    ", dash pattern=on " + pt(p.on) + " off " + pt(p.off);
        }
        std::string path;
        for (std::size_t i = 0; i < k.points.size(); ++i)
            path += (i ? " -- " : "") + at(k.points[i]);
        body += "\\draw[" + opts + "] " + path + ";\n";
    }
    for (const Mark& m : f.marks) {
        const std::string r = Num(MarkRadiusPt(m)) + "pt";
        body += "\\filldraw[fill=" + colour(m.hollow ? f.background : m.rgb) +
                ", draw=" + colour(m.rgb) + ", line width=" + Num(f.pens.hidden) + "pt] " +
                at(m.at) + " circle[radius=" + r + "];\n";
    }
    for (const Label& l : f.labels) {
        body += "\\node[anchor=base west, inner sep=0pt, text=" + colour(l.rgb) +
                ", font=\\fontsize{" + Num(l.size) + "}{" + Num(l.size * 1.2) +
                "}\\selectfont\\sffamily" + (l.bold ? "\\bfseries" : "") + "] at " + at(l.at) +
                " {" + pic::TexEscape(l.text) + "};\n";
    }
    // \vornunit may be set before \input to scale the drawing; pens and text keep their sizes.
    return "% VORN-3D figure, " + Num(f.width) + " mm x " + Num(f.height) +
           " mm. Needs \\usepackage{tikz}; Cyrillic labels also \\usepackage[T2A]{fontenc}.\n"
           "% Scale the drawing by \\def\\vornunit{0.5mm} before \\input; pens and letters "
           "keep their sizes.\n"
           "\\providecommand{\\vornunit}{1mm}\n"
           "\\begin{tikzpicture}[x=\\vornunit, y=\\vornunit, line cap=round, line join=round]\n" +
           defs + "\\useasboundingbox (0,0) rectangle " + at({f.width, 0}) + ";\n" + body +
           "\\end{tikzpicture}\n";
}

} // namespace vorn::fig
