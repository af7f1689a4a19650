// The half-tone picture's view: lights and colours as values, rotation, scale and depth range.
#include "view/halftone_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorn::pic {

namespace {

std::uint8_t ToByte(float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

Matrix4 Identity() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double s = 0;
            for (int k = 0; k < 4; ++k)
                s += a[static_cast<std::size_t>(k * 4 + row)] *
                     b[static_cast<std::size_t>(col * 4 + k)];
            r[static_cast<std::size_t>(col * 4 + row)] = s;
        }
    return r;
}

// The matrix glRotate builds for an angle about one coordinate axis (0 x, 1 y, 2 z).
Matrix4 Rotation(int axis, double degrees) {
    const double r = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(r), s = std::sin(r);
    Matrix4 m = Identity();
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    m[static_cast<std::size_t>(i * 4 + i)] = c;
    m[static_cast<std::size_t>(j * 4 + j)] = c;
    m[static_cast<std::size_t>(i * 4 + j)] = s;  // column i, row j
    m[static_cast<std::size_t>(j * 4 + i)] = -s; // column j, row i
    return m;
}

constexpr std::array<std::string_view, 6> kSequenceNames = {"RPY", "RYP", "PYR",
                                                            "PRY", "YRP", "YPR"};

} // namespace

void TGLColor::setColor(std::uint32_t color) {
    m_color = color & 0xFFFFFF;
    for (int k = 0; k < 3; ++k)
        m_rgba[static_cast<std::size_t>(k)] =
            static_cast<float>((m_color >> (8 * k)) & 0xFF) / 255.0f;
    changed();
}

void TGLColor::setComponent(int k, float v) {
    m_rgba[static_cast<std::size_t>(k)] = v;
    m_color = std::uint32_t(ToByte(m_rgba[0])) | std::uint32_t(ToByte(m_rgba[1])) << 8 |
              std::uint32_t(ToByte(m_rgba[2])) << 16;
    changed();
}

TLight::TLight() {
    for (TGLColor* c : {&m_ambient, &m_diffuse, &m_specular})
        c->setOnChange([this] { changed(); });
}

void TLight::setPosition(float x, float y, float z) {
    m_position = {x, y, z};
    changed();
}

std::string_view RotationSequenceName(RotationSequence s) {
    return kSequenceNames[static_cast<std::size_t>(s)];
}

std::optional<RotationSequence> ParseRotationSequence(std::string_view name) {
    for (std::size_t k = 0; k < kSequenceNames.size(); ++k)
        if (kSequenceNames[k] == name) return static_cast<RotationSequence>(k);
    return std::nullopt;
}

void HalfToneView(const ViewState& view, HalfToneTransform& t) {
    t.RotateGama = -static_cast<float>(5 * view.turnHorizontal() + 180);
    t.RotateAlfa = static_cast<float>(5 * view.turnVertical());
    t.SizeX = view.zoomX();
    t.SizeY = view.zoomY();
    t.SizeZ = view.zoomZ();
    t.MoveX = static_cast<float>(-view.centerX);
    t.MoveY = static_cast<float>(-view.centerY);
    t.MoveZ = static_cast<float>(-view.centerZ);
}

double DepthRange(const SceneBox& box, const HalfToneTransform& t) {
    const double centre[3] = {-double(t.MoveX), -double(t.MoveY), -double(t.MoveZ)};
    const double lo[3] = {box.minX, box.minY, box.minZ};
    const double hi[3] = {box.maxX, box.maxY, box.maxZ};
    const double size[3] = {t.SizeX, t.SizeY, t.SizeZ};
    double sum = 0;
    for (int k = 0; k < 3; ++k) {
        const double extent = (std::max(hi[k], centre[k]) - std::min(lo[k], centre[k])) * size[k];
        sum += extent * extent;
    }
    const double d = std::sqrt(sum);
    // glOrtho refuses near == far; an empty box still needs a depth range.
    return std::isfinite(d) && d > 1e-6 ? d : 1.0;
}

Matrix4 ModelViewMatrix(const HalfToneTransform& t) {
    Matrix4 m = Identity();
    Matrix4 scale = Identity();
    scale[0] = t.SizeX;
    scale[5] = t.SizeY;
    scale[10] = t.SizeZ;
    m = Multiply(m, scale);
    for (char letter : RotationSequenceName(t.sequence)) {
        switch (letter) {
        case 'R':
            m = Multiply(m, Rotation(0, t.RotateAlfa));
            break;
        case 'P':
            m = Multiply(m, Rotation(1, t.RotateBeta));
            break;
        default:
            m = Multiply(m, Rotation(2, t.RotateGama));
            break;
        }
    }
    Matrix4 move = Identity();
    move[12] = t.MoveX;
    move[13] = t.MoveY;
    move[14] = t.MoveZ;
    return Multiply(m, move);
}

HalfToneLines HalfToneLinesFor(double pixelRatio) {
    HalfToneLines l;
    l.width = std::isfinite(pixelRatio) && pixelRatio > 0 ? static_cast<float>(pixelRatio) : 1;
    // The slope is counted along an axis; across a slanted line the face climbs up to sqrt 2
    // times as fast, and one more slope and unit cover the rounding of both.
    l.offsetFactor = l.width + 1;
    l.offsetUnits = 1;
    return l;
}

HalfTonePixel ProjectHalfTone(const HalfToneTransform& t, const SceneBox& box, int width,
                              int height, const geo::Vec3& p) {
    const Matrix4 m = ModelViewMatrix(t);
    const double in[4] = {p.x, p.y, p.z, 1};
    double eye[3] = {0, 0, 0};
    for (int row = 0; row < 3; ++row)
        for (int k = 0; k < 4; ++k)
            eye[row] += m[static_cast<std::size_t>(k * 4 + row)] * in[k];
    // The picture's box (width/2, -width/2, -height/2, height/2, d, -d): x mirrored, depth z / d.
    HalfTonePixel px;
    px.x = width / 2.0 - eye[0];
    px.y = height / 2.0 - eye[1];
    px.depth = eye[2] / DepthRange(box, t);
    return px;
}

} // namespace vorn::pic
