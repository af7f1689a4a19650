// School solids from their textbook measures: vertices of polyhedra, generatrix texts of solids of
// revolution.
#pragma once

#include "core/scene.h"
#include "expr/expression_engine.h"

#include <array>
#include <string>
#include <string_view>
#include <variant>

namespace vorn::surf {

// How a regular polygon base is given; all convert to its circumradius.
enum class PolygonBase { Circumradius = 0, Inradius = 1, Side = 2, Area = 3 };
// How a circle is given; all convert to its radius.
enum class CircleBase { Radius = 0, Length = 1, Area = 2 };

struct PyramidMeasures {
    int n = 3;
    bool truncated = false;
    double lower = 3, upper = 2;
    PolygonBase lowerBy = PolygonBase::Circumradius, upperBy = PolygonBase::Circumradius;
    double height = 4;
    bool heightIsLateralEdge = false;
};

struct PrismMeasures {
    int n = 3;
    double base = 3;
    PolygonBase baseBy = PolygonBase::Circumradius;
    double height = 4;
    bool heightIsVolume = false;
};

struct ConeMeasures {
    bool truncated = false;
    double lower = 3, upper = 2;
    CircleBase lowerBy = CircleBase::Radius, upperBy = CircleBase::Radius;
    double height = 4;
    bool heightIsSlant = false;
};

struct CylinderMeasures {
    double base = 3;
    CircleBase baseBy = CircleBase::Radius;
    double height = 4;
    bool heightIsVolume = false;
};

enum class BallBy { Radius = 0, Volume = 1, SurfaceArea = 2 };
struct BallMeasures {
    double value = 2;
    BallBy by = BallBy::Radius;
    double cx = 0, cy = 0, cz = 0;
};

// 0 two sides and the angle, 1 side, angle and area, 2 side, angle and height to it,
// 3 two diagonals and the angle between them; angles in degrees.
struct ParallelepipedMeasures {
    int baseBy = 0;
    double e1 = 2, e2 = 2, e3 = 30;
    double height = 4;
    bool heightIsVolume = false;
};

enum class CubeBy { Edge = 0, Diagonal = 1, Volume = 2 };
struct CubeMeasures {
    double value = 4;
    CubeBy by = CubeBy::Edge;
};

using StandardMeasures =
    std::variant<PyramidMeasures, PrismMeasures, ConeMeasures, CylinderMeasures, BallMeasures,
                 ParallelepipedMeasures, CubeMeasures>;

// Circumradius of a regular n-gon given one way; NaN when the arithmetic fails.
double CircumradiusOf(double value, PolygonBase by, int n);
// Radius of a circle given one way.
double CircleRadiusOf(double value, CircleBase by);

// Writes the kind's fields and vertices (or generatrix text and range) into an object that
// InitObject prepared for the right kind. False when a measure makes the arithmetic fail or
// gives a solid with no extent; the object is then half-written and must be dropped.
bool FillStandardObject(expr::ExpressionEngine& engine, core::SceneObject& o,
                        const StandardMeasures& measures);

// Kind of the record a page makes.
core::ObjectType StandardObjectType(const StandardMeasures& measures);

// Appends a slot named `caption`, fills it, and for a polyhedron forms its faces through the
// scratch slot. On failure shows message 14, gives the slot back, has the object list rebuilt
// and returns 0; else the slot.
int CreateStandardObject(core::Env& env, expr::ExpressionEngine& engine,
                         const StandardMeasures& measures, std::string_view caption);

} // namespace vorn::surf
