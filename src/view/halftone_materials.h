// The 25 fixed materials of the half-tone picture and the palette-to-material table.
#pragma once

#include <array>
#include <cstdint>

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

// The material of an object of this colour (0x00BBGGRR), so that the lit picture shows the
// colour of the wire-frame picture: a record whose palette index and colour disagree is drawn
// in its colour in both.
Material MaterialForColor(std::uint32_t rgb);

} // namespace vorn::pic
