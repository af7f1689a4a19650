// The 25 fixed materials of the half-tone picture and the palette-to-material table.
#include "view/halftone_materials.h"

#include "core/scene_object.h"

#include <algorithm>
#include <cmath>

namespace vorn::pic {

namespace {

// Ambient, diffuse, specular (red, green, blue) and shininess; the classic OpenGL material
// set (emerald, jade, obsidian, pearl, ruby, turquoise, brass, bronze, chrome, copper, gold,
// silver, then plastics and rubbers).
constexpr std::array<Material, kMaterialCount> kMaterials = {{
    {{0.0215f, 0.1745f, 0.0215f},
     {0.07568f, 0.61424f, 0.07568f},
     {0.633f, 0.727811f, 0.633f},
     0.6f},
    {{0.135f, 0.2225f, 0.1575f}, {0.54f, 0.89f, 0.63f}, {0.316228f, 0.316228f, 0.316228f}, 0.1f},
    {{0.05375f, 0.05f, 0.06625f},
     {0.18275f, 0.17f, 0.22525f},
     {0.332741f, 0.328634f, 0.346435f},
     0.3f},
    {{0.25f, 0.20725f, 0.20725f},
     {1.0f, 0.829f, 0.829f},
     {0.296648f, 0.296648f, 0.296648f},
     0.088f},
    {{0.1745f, 0.01175f, 0.01175f},
     {0.61424f, 0.04136f, 0.04136f},
     {0.727811f, 0.626959f, 0.626959f},
     0.6f},
    {{0.1f, 0.18725f, 0.1745f},
     {0.396f, 0.74151f, 0.69102f},
     {0.297254f, 0.30829f, 0.306678f},
     0.1f},
    {{0.329412f, 0.223529f, 0.027451f},
     {0.780392f, 0.568627f, 0.113725f},
     {0.992157f, 0.941176f, 0.807843f},
     0.217949f},
    {{0.2125f, 0.1275f, 0.054f},
     {0.714f, 0.4284f, 0.18144f},
     {0.393548f, 0.271906f, 0.166721f},
     0.2f},
    {{0.25f, 0.25f, 0.25f}, {0.4f, 0.4f, 0.4f}, {0.774597f, 0.774597f, 0.774597f}, 0.6f},
    {{0.19125f, 0.0735f, 0.0225f},
     {0.7038f, 0.27048f, 0.0828f},
     {0.256777f, 0.137622f, 0.086014f},
     0.1f},
    {{0.24725f, 0.1995f, 0.0745f},
     {0.75164f, 0.60648f, 0.22648f},
     {0.628281f, 0.555802f, 0.366065f},
     0.4f},
    {{0.19225f, 0.19225f, 0.19225f},
     {0.50754f, 0.50754f, 0.50754f},
     {0.508273f, 0.508273f, 0.508273f},
     0.4f},
    {{0.0f, 0.0f, 0.0f}, {0.01f, 0.01f, 0.01f}, {0.5f, 0.5f, 0.5f}, 0.25f},
    {{0.0f, 0.1f, 0.06f}, {0.0f, 0.509804f, 0.509804f}, {0.501961f, 0.501961f, 0.501961f}, 0.25f},
    {{0.0f, 0.0f, 0.0f}, {0.1f, 0.35f, 0.1f}, {0.45f, 0.55f, 0.45f}, 0.25f},
    {{0.0f, 0.0f, 0.0f}, {0.5f, 0.0f, 0.0f}, {0.7f, 0.6f, 0.6f}, 0.25f},
    {{0.0f, 0.0f, 0.0f}, {0.55f, 0.55f, 0.55f}, {0.7f, 0.7f, 0.7f}, 0.25f},
    {{0.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.0f}, {0.6f, 0.6f, 0.5f}, 0.25f},
    {{0.02f, 0.02f, 0.02f}, {0.01f, 0.01f, 0.01f}, {0.4f, 0.4f, 0.4f}, 0.078125f},
    {{0.0f, 0.05f, 0.05f}, {0.4f, 0.5f, 0.5f}, {0.04f, 0.7f, 0.7f}, 0.078125f},
    {{0.0f, 0.05f, 0.0f}, {0.4f, 0.5f, 0.4f}, {0.04f, 0.7f, 0.04f}, 0.078125f},
    {{0.05f, 0.0f, 0.0f}, {0.5f, 0.4f, 0.4f}, {0.7f, 0.04f, 0.04f}, 0.078125f},
    {{0.05f, 0.05f, 0.05f}, {0.5f, 0.5f, 0.5f}, {0.7f, 0.7f, 0.7f}, 0.078125f},
    {{0.05f, 0.05f, 0.0f}, {0.5f, 0.5f, 0.4f}, {0.7f, 0.7f, 0.04f}, 0.078125f},
    {{0.0f, 0.1f, 0.6f}, {0.0f, 0.509804f, 0.509804f}, {0.501961f, 0.501961f, 0.501961f}, 0.25f},
}};

constexpr std::array<int, kPaletteSize> kPaletteMaterial = {12, 15, 0, 7, 2,  21, 13, 22,
                                                            8,  21, 1, 6, 24, 9,  5,  3};

} // namespace

const std::array<Material, kMaterialCount>& Materials() {
    return kMaterials;
}

Material MaterialForColor(std::uint32_t rgb) {
    Material m{};
    for (int k = 0; k < 3; ++k) {
        const float c = float((rgb >> (8 * k)) & 0xFF) / 255.0f;
        m.ambient[std::size_t(k)] = 0.15f * c;
        m.diffuse[std::size_t(k)] = 0.7f * c;
        m.specular[std::size_t(k)] = 0.3f;
    }
    m.shininess = 20; // a small highlight that leaves the colour readable
    return m;
}

int MaterialForColorIndex(double colorIndex) {
    if (!std::isfinite(colorIndex)) return kPaletteMaterial[0];
    const double clamped = std::clamp(colorIndex, 0.0, double(kPaletteSize - 1));
    return kPaletteMaterial[static_cast<std::size_t>(core::roundToInt(clamped))];
}

} // namespace vorn::pic
