// Scene files for the section and measure tool tests, written byte by byte.
#pragma once

#include "../core/scene_bytes.h"
#include "temp_path.h"

#include <array>
#include <filesystem>
#include <string>

namespace vorn::test {

inline std::string ToolTempPath(const std::string& name) {
    return vorn::test::tempPath("tool_" + name).string();
}

// A Plane object through three points, its stored plane left zero (the reader computes it).
inline void PlaneBlock(SceneBytes& f, const std::string& cp1251Name,
                       const std::array<std::array<float, 3>, 3>& points) {
    f.header(3, cp1251Name, 3, 1, 0);
    for (const auto& p : points)
        f.vertex(p[0], p[1], p[2]);
    f.face(1, 2, 3);
}

// The unit cube as twelve hand-made triangles; `skipFace` leaves one out (1..12).
inline void CubeBlock(SceneBytes& f, const std::string& cp1251Name, int skipFace = 0) {
    static const int faces[12][3] = {{1, 2, 4}, {1, 4, 3}, {5, 6, 8}, {5, 8, 7},
                                     {1, 2, 6}, {1, 6, 5}, {3, 4, 8}, {3, 8, 7},
                                     {1, 3, 7}, {1, 7, 5}, {2, 4, 8}, {2, 8, 6}};
    f.header(4, cp1251Name, 8, skipFace ? 11 : 12, 0);
    for (int z = 0; z <= 1; ++z)
        for (int y = 0; y <= 1; ++y)
            for (int x = 0; x <= 1; ++x)
                f.vertex(float(x), float(y), float(z));
    for (int k = 0; k < 12; ++k)
        if (k + 1 != skipFace) f.face(faces[k][0], faces[k][1], faces[k][2]);
}

} // namespace vorn::test
