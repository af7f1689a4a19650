// Points and vectors in space, and the fixed-size 1-based point list of the kernel.
#pragma once

#include <array>
#include <cstdint>

namespace vorn::geo {

struct Vec3 {
    double x = 0, y = 0, z = 0;

    constexpr Vec3() = default;
    constexpr Vec3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

    constexpr Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vec3 operator*(double k) const { return {x * k, y * k, z * k}; }
    constexpr bool operator==(const Vec3&) const = default;
};

constexpr double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
constexpr Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// At most 255 points, entries 1..n; entry n+1 may hold a closing copy of entry 1.
struct PointList {
    static constexpr int kCapacity = 255;
    std::int16_t n = 0;
    std::array<Vec3, kCapacity + 2> p{};

    Vec3& operator[](int i) { return p[static_cast<std::size_t>(i)]; }
    const Vec3& operator[](int i) const { return p[static_cast<std::size_t>(i)]; }
    // Appends when there is room; false when the list is full.
    bool push(const Vec3& v) {
        if (n >= kCapacity) return false;
        p[static_cast<std::size_t>(++n)] = v;
        return true;
    }
};

} // namespace vorn::geo
