// The TikZ writer: the picture it writes parses as TikZ and stays inside the chosen width.
#include "view/tikz_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace vorn::pic {
namespace {

DrawOp Line(ScreenPoint a, ScreenPoint b, PenStyle style = PenStyle::Solid) {
    DrawOp op;
    op.kind = DrawOp::Kind::Line;
    op.role = Role::Edge;
    op.pts = {a, b};
    op.count = 2;
    op.style = style;
    return op;
}

DrawOp Text(ScreenPoint at, std::string text) {
    DrawOp op;
    op.kind = DrawOp::Kind::Text;
    op.role = Role::VertexLabel;
    op.pts[0] = at;
    op.text = std::move(text);
    return op;
}

// What a small TikZ reader finds wrong: unbalanced braces or brackets, a statement not ending in
// ';', a coordinate that is not two numbers inside 0..w x 0..h. Empty when all is well.
std::string Problems(const std::string& tex, double w, double h) {
    std::istringstream lines(tex);
    std::string line, problems;
    int depth = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '%') continue;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size() &&
                std::string("{}").find(line[i + 1]) != std::string::npos) {
                ++i; // an escaped brace
            } else if (line[i] == '{') {
                ++depth;
            } else if (line[i] == '}') {
                if (--depth < 0) problems += "stray } in " + line + "\n";
            }
        }
        const bool statement = line.starts_with("\\draw") || line.starts_with("\\fill") ||
                               line.starts_with("\\node") || line.starts_with("\\filldraw") ||
                               line.starts_with("\\useasboundingbox");
        if (statement && line.back() != ';') problems += "no ; after " + line + "\n";
        if (!statement && !line.starts_with("\\definecolor") && !line.starts_with("\\begin{") &&
            !line.starts_with("\\end{"))
            problems += "unknown line " + line + "\n";
        // Coordinates: "(x,y)" outside the option brackets and the node text.
        const std::size_t textAt = line.starts_with("\\node") ? line.rfind(" {") : line.size();
        for (std::size_t at = 0; (at = line.find('(', at)) != std::string::npos && at < textAt;
             ++at) {
            const std::size_t end = line.find(')', at);
            const std::string pair = line.substr(at + 1, end - at - 1);
            char* stop = nullptr;
            const double x = std::strtod(pair.c_str(), &stop);
            const bool comma = *stop == ',';
            const double y = comma ? std::strtod(stop + 1, &stop) : 0;
            if (!comma || *stop != '\0')
                problems += "not a coordinate: (" + pair + ")\n";
            else if (x < 0 || x > w || y < 0 || y > h)
                problems += "outside: (" + pair + ")\n";
        }
    }
    if (depth != 0) problems += "unbalanced braces\n";
    return problems;
}

struct TikzCase {
    const char* name;
    DisplayList list;
    std::vector<std::string> present, absent;
};

class TikzWriter : public ::testing::TestWithParam<TikzCase> {};

// A 200 x 100 picture 10 cm wide: 0.05 cm per pixel, y from the bottom.
TEST_P(TikzWriter, WritesAPictureLaTeXReads) {
    const TikzCase& c = GetParam();
    const std::string tex = TikzPicture(c.list, 200, 100, 10);
    EXPECT_EQ(Problems(tex, 10, 5), "") << tex;
    for (const std::string& s : c.present)
        EXPECT_NE(tex.find(s), std::string::npos) << s << " missing in\n" << tex;
    for (const std::string& s : c.absent)
        EXPECT_EQ(tex.find(s), std::string::npos) << s << " unexpected in\n" << tex;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TikzWriter,
    ::testing::Values(
        TikzCase{"Line", {Line({0, 0}, {99, 49})}, {"(0.025,4.975) -- (4.975,2.525);"}, {}},
        TikzCase{"Dashed", {Line({0, 0}, {10, 0}, PenStyle::Dash)}, {", dashed]"}, {}},
        // The picture cuts a line at its edge, and so does the drawing.
        TikzCase{"CutAtTheEdge", {Line({-100, 49}, {399, 49})}, {"(0,2.525) -- (10,2.525)"}, {}},
        TikzCase{"WhollyOutside", {Line({-50, -5}, {-10, -5})}, {}, {"\\draw"}},
        TikzCase{"NoLength", {Line({5, 5}, {5, 5})}, {}, {"\\draw"}},
        TikzCase{"SpecialCharacters",
                 {Text({10, 10}, "Переріз_1 {a}% & $x^2$ #~\\")},
                 {"{Переріз\\_1 \\{a\\}\\% \\& \\$x\\textasciicircum{}2\\$ "
                  "\\#\\textasciitilde{}\\textbackslash{}};",
                  "at (0.5,4.5)"},
                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vorn::pic
