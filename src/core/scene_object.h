// The fixed-size object record and scene header, byte for byte as they lie in a scene file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace vorn::core {

enum class ObjectType : std::uint8_t {
    Axes = 0,
    Point = 1,
    Polyline = 2,
    Plane = 3,
    Polyhedron = 4,
    Surface = 5,
    RevolutionSurface = 6,
};
inline constexpr int kObjectTypeCount = 7;

inline constexpr int kMaxVertices = 1000;
inline constexpr int kMaxFaces = 2000;
inline constexpr int kMaxParts = 20;
inline constexpr int kMaxPartPoints = 40;
inline constexpr int kNameLength = 100;
inline constexpr int kDomainTextLength = 255;

// Length byte followed by N cp1251 bytes; bytes after the length carry no meaning.
template <std::size_t N> struct ShortString {
    std::uint8_t length;
    char bytes[N];

    std::string_view raw() const { return {bytes, length <= N ? length : N}; }
    // Stores cp1251 bytes, cut to N.
    void setRaw(std::string_view s) {
        const std::size_t n = s.size() < N ? s.size() : N;
        for (std::size_t i = 0; i < n; ++i)
            bytes[i] = s[i];
        length = static_cast<std::uint8_t>(n);
    }
    // UTF-8 view and setter; characters cp1251 cannot hold become '?'.
    std::string utf8() const;
    void setUtf8(std::string_view text);
};

struct Vec3f {
    float x, y, z;
};

struct Face {
    float a, b, c, d; // face plane a*x + b*y + c*z + d = 0
    float area;
    std::int16_t vertex1, vertex2, vertex3;
    std::uint8_t reserved[2];
};

struct PartPoint {
    float x, y;
};

struct ObjectPart {
    ShortString<kNameLength> text;
    std::uint8_t domainKind; // 0 polygon in `points`, 1 system in `domainText`
    std::uint8_t padding[2];
    union {
        struct {
            std::uint8_t pointCount;
            std::uint8_t padding2[3];
            PartPoint points[kMaxPartPoints]; // 0-based storage; point k is points[k - 1]
        } polygon;
        ShortString<kDomainTextLength> domainText;
    } area;
};

struct SceneObject {
    ObjectType type;
    ShortString<kNameLength> name;
    std::uint8_t padding1[2];
    double colorIndex;
    double param0, param1, param2;
    double planeA, planeB, planeC, planeD;
    double surfaceParam;
    double unused1;
    double volumeInfinite;
    double areaInfinite;
    double surfaceArea;
    double standardReserved[8];
    std::uint8_t visible;
    std::uint8_t padding2[3];
    std::uint32_t color; // 0x00BBGGRR
    double pivot[3];
    double minX, maxX, minY, maxY, minZ, maxZ;
    double volume;
    double origin[3];
    std::int16_t vertexCount;
    std::int16_t faceCount;
    std::uint8_t partCount;
    std::uint8_t padding3[3];
    // Storage is 0-based; the accessors below take the program's 1-based numbers.
    Vec3f vertexData[kMaxVertices];
    Face faceData[kMaxFaces];
    ObjectPart partData[kMaxParts];

    Vec3f& vertex(int i) { return vertexData[i - 1]; }
    const Vec3f& vertex(int i) const { return vertexData[i - 1]; }
    Face& face(int i) { return faceData[i - 1]; }
    const Face& face(int i) const { return faceData[i - 1]; }
    ObjectPart& part(int i) { return partData[i - 1]; }
    const ObjectPart& part(int i) const { return partData[i - 1]; }
};

inline constexpr std::size_t kRecordHeaderSize = 392;
inline constexpr std::size_t kPartRecordSize = 428;
inline constexpr std::size_t kVertexRecordSize = 12;
inline constexpr std::size_t kFaceRecordSize = 28;

static_assert(sizeof(Vec3f) == kVertexRecordSize);
static_assert(sizeof(Face) == kFaceRecordSize);
static_assert(offsetof(Face, area) == 16 && offsetof(Face, vertex1) == 20 &&
              offsetof(Face, vertex2) == 22 && offsetof(Face, vertex3) == 24);
static_assert(sizeof(ObjectPart) == kPartRecordSize);
static_assert(offsetof(ObjectPart, text) == 0 && offsetof(ObjectPart, domainKind) == 101 &&
              offsetof(ObjectPart, area) == 104);
static_assert(offsetof(ObjectPart, area.polygon.pointCount) == 104 &&
              offsetof(ObjectPart, area.polygon.points) == 108 &&
              offsetof(ObjectPart, area.domainText) == 104);
static_assert(offsetof(SceneObject, type) == 0 && offsetof(SceneObject, name) == 1);
static_assert(offsetof(SceneObject, colorIndex) == 104 && offsetof(SceneObject, param0) == 112 &&
              offsetof(SceneObject, param1) == 120 && offsetof(SceneObject, param2) == 128);
static_assert(offsetof(SceneObject, planeA) == 136 && offsetof(SceneObject, planeB) == 144 &&
              offsetof(SceneObject, planeC) == 152 && offsetof(SceneObject, planeD) == 160);
static_assert(offsetof(SceneObject, surfaceParam) == 168 && offsetof(SceneObject, unused1) == 176 &&
              offsetof(SceneObject, volumeInfinite) == 184 &&
              offsetof(SceneObject, areaInfinite) == 192 &&
              offsetof(SceneObject, surfaceArea) == 200 &&
              offsetof(SceneObject, standardReserved) == 208);
static_assert(offsetof(SceneObject, visible) == 272 && offsetof(SceneObject, color) == 276 &&
              offsetof(SceneObject, pivot) == 280 && offsetof(SceneObject, minX) == 304 &&
              offsetof(SceneObject, maxZ) == 344 && offsetof(SceneObject, volume) == 352 &&
              offsetof(SceneObject, origin) == 360);
static_assert(offsetof(SceneObject, vertexCount) == 384 &&
              offsetof(SceneObject, faceCount) == 386 && offsetof(SceneObject, partCount) == 388);
static_assert(offsetof(SceneObject, vertexData) == kRecordHeaderSize);
static_assert(offsetof(SceneObject, faceData) == kRecordHeaderSize + 12 * kMaxVertices);
static_assert(offsetof(SceneObject, partData) ==
              kRecordHeaderSize + 12 * kMaxVertices + 28 * kMaxFaces);
static_assert(sizeof(SceneObject) == 76952);

inline constexpr std::uint32_t kSceneSignature = 0x12345678;
inline constexpr char kSceneTag[] = "\r\n[ Vorn3d objects. ]\r\n";

struct SceneHeader {
    std::uint32_t signature;
    ShortString<23> tag;
    std::uint8_t unused1[4];
    std::int32_t objectCount;
    float zoomX, zoomY, zoomZ;
    std::int8_t turnHorizontal;
    std::int8_t turnVertical;
    std::uint8_t unused2[2];
};
static_assert(sizeof(SceneHeader) == 52);
static_assert(offsetof(SceneHeader, tag) == 4 && offsetof(SceneHeader, unused1) == 28 &&
              offsetof(SceneHeader, objectCount) == 32 && offsetof(SceneHeader, zoomX) == 36 &&
              offsetof(SceneHeader, zoomY) == 40 && offsetof(SceneHeader, zoomZ) == 44 &&
              offsetof(SceneHeader, turnHorizontal) == 48 &&
              offsetof(SceneHeader, turnVertical) == 49);
static_assert(std::is_trivially_copyable_v<SceneObject> &&
              std::is_trivially_copyable_v<SceneHeader>);

// The 16-colour palette, index -> 0x00BBGGRR.
inline constexpr std::array<std::uint32_t, 16> kPalette = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// Whole-number values kept in float fields are read back rounded to the nearest integer. A file
// may hold any number there: values beyond an int saturate instead of overflowing.
inline int roundToInt(double v) {
    constexpr int kLow = std::numeric_limits<int>::min(), kHigh = std::numeric_limits<int>::max();
    if (!(v > kLow)) return kLow; // also not a number
    if (!(v < kHigh)) return kHigh;
    return static_cast<int>(v < 0 ? v - 0.5 : v + 0.5);
}

} // namespace vorn::core
