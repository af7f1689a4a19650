// The half-tone picture's view: lights and colours as values, rotation, scale and depth range.
#pragma once

#include "geometry/vec3.h"
#include "view/view_state.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace vorn::pic {

// A colour of a light: `Color` is 0x00BBGGRR, the components are 0..1. Every change calls the
// owner's change handler.
class TGLColor {
  public:
    std::uint32_t Color() const { return m_color; }
    float Red() const { return m_rgba[0]; }
    float Green() const { return m_rgba[1]; }
    float Blue() const { return m_rgba[2]; }
    float Alpha() const { return m_rgba[3]; }
    std::array<float, 4> rgba() const { return m_rgba; }

    void setColor(std::uint32_t color);
    void setRed(float v) { setComponent(0, v); }
    void setGreen(float v) { setComponent(1, v); }
    void setBlue(float v) { setComponent(2, v); }

    void setOnChange(std::function<void()> f) { m_onChange = std::move(f); }

  private:
    void setComponent(int k, float v);
    void changed() {
        if (m_onChange) m_onChange();
    }

    std::uint32_t m_color = 0xFFFFFF;
    std::array<float, 4> m_rgba{1, 1, 1, 1};
    std::function<void()> m_onChange;
};

// A directional light: three colours and a direction sent with w = 0.
class TLight {
  public:
    TLight();
    TLight(const TLight&) = delete;
    TLight& operator=(const TLight&) = delete;

    TGLColor& AmbientColor() { return m_ambient; }
    TGLColor& DiffuseColor() { return m_diffuse; }
    TGLColor& SpecularColor() { return m_specular; }
    const TGLColor& AmbientColor() const { return m_ambient; }
    const TGLColor& DiffuseColor() const { return m_diffuse; }
    const TGLColor& SpecularColor() const { return m_specular; }

    // X_position, Y_position, Z_position at once.
    void setPosition(float x, float y, float z);
    // Position as sent to OpenGL: (x, y, z, 0).
    std::array<float, 4> glPosition() const {
        return {m_position[0], m_position[1], m_position[2], 0};
    }

    void setOnChange(std::function<void()> f) { m_onChange = std::move(f); }

  private:
    void changed() {
        if (m_onChange) m_onChange();
    }

    TGLColor m_ambient, m_diffuse, m_specular;
    std::array<float, 3> m_position{0, 0, -1};
    std::function<void()> m_onChange;
};

// Order of the three rotations: R about x by RotateAlfa, P about y by RotateBeta, Y about z by
// RotateGama, applied in the order of the letters.
enum class RotationSequence { RPY, RYP, PYR, PRY, YRP, YPR };
std::string_view RotationSequenceName(RotationSequence s);
std::optional<RotationSequence> ParseRotationSequence(std::string_view name);

struct SceneBox {
    float minX = 0, maxX = 1, minY = 0, maxY = 1, minZ = 0, maxZ = 1;
};

// Scales, rotation angles (degrees) and translation of the model view.
struct HalfToneTransform {
    float SizeX = 1, SizeY = 1, SizeZ = 1;
    float RotateAlfa = 0, RotateBeta = 0, RotateGama = 0;
    float MoveX = 0, MoveY = 0, MoveZ = 0;
    RotationSequence sequence = RotationSequence::RPY;
};

// The half-tone view of the wire-frame view state: exact 5-degree steps, the same scales and the
// rotation centre moved to the origin.
void HalfToneView(const ViewState& view, HalfToneTransform& t);

// Half the depth of the orthographic box: the scaled diagonal of the scene box. The box is first
// widened to hold the rotation centre, so that nothing of the scene falls outside the depth
// range when the centre lies outside the objects' box; never 0.
double DepthRange(const SceneBox& box, const HalfToneTransform& t);

using Matrix4 = std::array<double, 16>; // column-major, as OpenGL keeps it
// Identity, scale, the rotations in sequence order, translation.
Matrix4 ModelViewMatrix(const HalfToneTransform& t);

// Line width and face depth offset of a redraw on a surface of `pixelRatio` device pixels per
// picture pixel. Lines are one picture pixel wide. Lines lying on a face (a section's contour on
// a solid's faces and its plane) would lose the half beside the nearer side of the face, as deep
// as the line's middle: the faces step back by their depth slope over more than half a line.
struct HalfToneLines {
    float width = 1;        // glLineWidth, device pixels
    float offsetFactor = 0; // glPolygonOffset of filled faces
    float offsetUnits = 0;
};
HalfToneLines HalfToneLinesFor(double pixelRatio);

struct HalfTonePixel {
    double x = 0, y = 0; // window position, y downwards from the top edge
    double depth = 0;    // normalised device depth, -1 nearest .. 1 farthest
};
// Where the panel of this size draws a space point.
HalfTonePixel ProjectHalfTone(const HalfToneTransform& t, const SceneBox& box, int width,
                              int height, const geo::Vec3& p);

} // namespace vorn::pic
