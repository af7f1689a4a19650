// The 25 fixed materials of the half-tone picture and the palette-to-material table.
#pragma once

#include <array>

namespace vorn::pic {

struct Material {
    std::array<float, 3> ambient, diffuse, specular;
    float shininess; // sent to OpenGL as it stands, not scaled to 0..128
};

inline constexpr int kMaterialCount = 25;
inline constexpr int kPaletteSize = 16;

const std::array<Material, kMaterialCount>& Materials();

// Material number of a palette index (0..15) as the object colour stores it; the index is
// rounded and a value outside the palette is taken to its nearest end.
int MaterialForColorIndex(double colorIndex);

} // namespace vorn::pic
