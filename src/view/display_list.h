// The drawing primitives a picture pass produces, in order, for any canvas to replay.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn::pic {

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

enum class PenStyle : std::uint8_t { Solid, Dot, Dash };

// What a primitive stands for, so a reader of the list need not guess from coordinates.
enum class Role : std::uint8_t {
    Background,
    AxisLetter,
    AxisMark,
    FaceOutline, // outline of a face of an object that is not a polyhedron (edge by edge when cut)
    Edge,        // one triangle edge of a polyhedron
    Node,
    VertexLabel,
    ObjectNumber,
    PickedEdge,
    PickedVertex,
    MarkedPoint,
    MarkedLine,
    ProjectionErase,
    ProjectionLine,
    PickErase, // the picked edge of the pass before, drawn over in the background colour
};

struct DrawOp {
    enum class Kind : std::uint8_t {
        Fill,     // rectangle a..b (b exclusive) in `brush`
        Rect,     // rectangle a..b (b exclusive): fill `brush`, outline `pen`
        Line,     // a to b in `pen` with `style`; a styled pen leaves its gaps unpainted
        Polyline, // pts[0..count-1], like Line
        Text,     // `text` with its top-left corner at a, font colour `pen`
    };
    Kind kind = Kind::Line;
    Role role = Role::Background;
    std::array<ScreenPoint, 4> pts{};
    int count = 0;
    std::uint32_t pen = 0;   // 0x00BBGGRR
    std::uint32_t brush = 0; // 0x00BBGGRR
    PenStyle style = PenStyle::Solid;
    int width = 1;    // pen width of lines and frames, in picture pixels
    std::string text; // UTF-8
    int fontSize = 10;
    bool bold = false;
    bool opaque = false; // text background filled with `brush`
    bool behind = false; // a node or label behind a face, drawn lighter
    int slot = 0, face = 0, edge = 0, vertex = 0;

    ScreenPoint a() const { return pts[0]; }
    ScreenPoint b() const { return pts[1]; }
};

using DisplayList = std::vector<DrawOp>;

} // namespace vorn::pic
