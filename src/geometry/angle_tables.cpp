// Sine and cosine tables of the picture's 72 turn steps.
#include "geometry/angle_tables.h"

#include <cmath>

namespace vorn::geo {

namespace {

template <typename F> AngleTable Build(F f) {
    AngleTable table{};
    for (int k = 0; k < kAngleSteps; ++k)
        table[static_cast<std::size_t>(k)] = static_cast<float>(f(k * kAngleStep));
    return table;
}

} // namespace

const AngleTable& SinTable() {
    static const AngleTable table = Build([](double x) { return std::sin(x); });
    return table;
}

const AngleTable& CosTable() {
    static const AngleTable table = Build([](double x) { return std::cos(x); });
    return table;
}

} // namespace vorn::geo
