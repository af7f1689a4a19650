// The face list of a polyhedron: flat faces or triangles with their areas, perimeters and marks.
#pragma once

#include "core/scene.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn::poly {

struct FaceListEntry {
    bool marked = false;
    double perimeter = 0;
    double area = 0;
    // Corner vertex numbers in boundary order, then a closing copy of the first.
    std::vector<std::int16_t> vertices;
    int vertexCount() const { return vertices.empty() ? 0 : static_cast<int>(vertices.size()) - 1; }
};

using FaceList = std::vector<FaceListEntry>; // entry k of the window is element k - 1

// The flat faces of a convex polyhedron when DrawContur is on, else its triangles. A flat face
// with more corners than a face can hold makes the whole list fall back to triangles.
FaceList BuildFaceList(core::Env& env, int slot);

// Caption of the face window for the object in `slot`.
std::string FaceListCaption(const core::Env& env, int slot);

// Text of entry `number` (1-based): " Грань 1: вершини: (A, B, C, D), S=1, P=4". Vertices are
// letters when PutLetters is on and the object has at most 26 vertices.
std::string FaceListItemText(const core::Env& env, int slot, const FaceListEntry& entry,
                             int number);

void MarkAll(FaceList& list);
void UnmarkAll(FaceList& list);
void InvertMarks(FaceList& list);
// Sum of the areas of the marked entries, and as the window's total shows it.
double MarkedArea(const FaceList& list);
std::string MarkedAreaText(const core::Env& env, const FaceList& list);

} // namespace vorn::poly
