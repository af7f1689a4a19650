// Inner steps of the unfolding shared by the nets library's files.
#pragma once

#include "nets/net.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace vorn::nets::detail {

// Each face's corners in a plane frame of its own, and where every edge lies in its faces.
struct Frames {
    explicit Frames(const Solid& solid);
    std::vector<std::vector<Point2>> local;
    std::vector<int> cornerA, cornerB;       // per edge: corner of v1 in faceA, in faceB
    std::vector<std::vector<int>> faceEdges; // per face: its edges
    double tolerance = 0;                    // overlap depth that still counts as touching
    std::pair<int, int> ends(const Solid& solid, int e, int face) const;
};

bool InteriorsOverlap(const std::vector<Point2>& a, const std::vector<Point2>& b, double tol);
// Face pairs whose interiors overlap, sorted; stops after `limit` pairs.
std::vector<std::pair<int, int>> Overlaps(const std::vector<std::vector<Point2>>& flat, double tol,
                                          std::size_t limit);
std::vector<Point2> PlacedAcross(const Solid& solid, const Frames& frames,
                                 const std::vector<Point2>& parentFlat, int parent, int child,
                                 int e);
void PlaceChild(const Solid& solid, const Frames& frames, int parent, int child, int e,
                std::vector<std::vector<Point2>>& flat);
bool BuildTree(const Solid& solid, const Frames& frames, const std::vector<bool>& cut, int root,
               std::vector<int>& parent, std::vector<int>& hinge, std::vector<int>& order);
std::optional<Net> LayOut(const Solid& solid, const Frames& frames, const std::vector<bool>& cut,
                          int root, std::size_t overlapLimit);

} // namespace vorn::nets::detail
