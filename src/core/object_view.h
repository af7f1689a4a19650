// Typed readings of the record fields whose meaning depends on the object's kind, so each rule
// of the layout is written once.
#pragma once

#include "core/scene_object.h"
#include "geometry/vec3.h"

#include <algorithm>

namespace vorn::core {

// The counts as the arrays can hold them, whatever a damaged record says.
inline int UsableVertexCount(const SceneObject& o) {
    return std::clamp<int>(o.vertexCount, 0, kMaxVertices);
}
inline int UsableFaceCount(const SceneObject& o) {
    return std::clamp<int>(o.faceCount, 0, kMaxFaces);
}

// A surface's rectangle: x from planeB to planeC, y from planeD to surfaceParam.
struct SurfaceDomain {
    double xFrom = 0, xTo = 0, yFrom = 0, yTo = 0;
};
inline SurfaceDomain SurfaceDomainOf(const SceneObject& o) {
    return {o.planeB, o.planeC, o.planeD, o.surfaceParam};
}
inline void SetSurfaceDomain(SceneObject& o, const SurfaceDomain& d) {
    o.planeB = d.xFrom;
    o.planeC = d.xTo;
    o.planeD = d.yFrom;
    o.surfaceParam = d.yTo;
}

// A surface of revolution's parameter range of the generatrix: planeD to surfaceParam.
struct GeneratrixRange {
    double from = 0, to = 0;
};
inline GeneratrixRange GeneratrixRangeOf(const SceneObject& o) {
    return {o.planeD, o.surfaceParam};
}
inline void SetGeneratrixRange(SceneObject& o, const GeneratrixRange& r) {
    o.planeD = r.from;
    o.surfaceParam = r.to;
}

// A polyline is closed when param2 reads 1.
inline bool IsClosedPolyline(const SceneObject& o) {
    return roundToInt(o.param2) == 1;
}
inline void SetClosedPolyline(SceneObject& o, bool closed) {
    o.param2 = closed ? 1 : 0;
}

// Stored single-precision coordinates widened for the arithmetic.
inline geo::Vec3 Widen(const Vec3f& v) {
    return {v.x, v.y, v.z};
}
inline geo::Vec3 VertexAt(const SceneObject& o, int i) {
    return Widen(o.vertex(i));
}
// Back to the record's precision; the caller checks that the numbers fit a float.
inline Vec3f Narrow(const geo::Vec3& p) {
    return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}

// Face f joins vertices a, b, c; its plane and area are cleared for the passes that fill them.
inline void SetFace(SceneObject& o, int f, int a, int b, int c) {
    Face& face = o.face(f);
    face = {};
    face.vertex1 = static_cast<std::int16_t>(a);
    face.vertex2 = static_cast<std::int16_t>(b);
    face.vertex3 = static_cast<std::int16_t>(c);
}

// A polyline's segments as its faces: segment k joins vertices k and k + 1 (the third corner
// repeats the second), and a closed one ends with the segment from vertex n back to vertex 1.
inline void SetPolylineSegments(SceneObject& o, int n, bool closed) {
    int faces = 0;
    for (int i = 1; i < n; ++i)
        SetFace(o, ++faces, i, i + 1, i + 1);
    if (closed && n > 0) SetFace(o, ++faces, n, 1, 1);
    o.faceCount = static_cast<std::int16_t>(faces);
}

} // namespace vorn::core
