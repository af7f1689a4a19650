// Extended-precision vector arithmetic for the kernel's intermediate sums (private to the kernel).
#pragma once

#include "geometry/vec3.h"

#include <cmath>

namespace vorn::geo::detail {

// 80-bit on x86; results are rounded back to double by the callers.
using Ext = long double;

struct XVec {
    Ext x = 0, y = 0, z = 0;
};

constexpr XVec Widen(const Vec3& v) {
    return {v.x, v.y, v.z};
}
constexpr XVec Sub(const Vec3& a, const Vec3& b) {
    return {Ext(a.x) - Ext(b.x), Ext(a.y) - Ext(b.y), Ext(a.z) - Ext(b.z)};
}
constexpr Ext Dot(const XVec& a, const XVec& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
constexpr XVec Cross(const XVec& a, const XVec& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline Ext Length(const XVec& a) {
    return std::sqrt(Dot(a, a));
}

} // namespace vorn::geo::detail
