// The typed readings of a record: each reads the bytes the file layout puts its field in.
#include "core/object_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace vorn::core {
namespace {

// A zeroed record with a double written at a byte offset, as a file would hold it.
std::unique_ptr<SceneObject> RecordWith(std::initializer_list<std::pair<std::size_t, double>> at) {
    auto o = std::make_unique<SceneObject>();
    std::memset(static_cast<void*>(o.get()), 0, sizeof(SceneObject));
    for (const auto& [offset, v] : at)
        std::memcpy(reinterpret_cast<char*>(o.get()) + offset, &v, sizeof v);
    return o;
}

TEST(ObjectView, DomainAndRangeComeFromTheirBytes) {
    const auto o = RecordWith({{144, -1.5}, {152, 2.5}, {160, -3.5}, {168, 4.5}});
    const SurfaceDomain d = SurfaceDomainOf(*o);
    EXPECT_EQ(d.xFrom, -1.5);
    EXPECT_EQ(d.xTo, 2.5);
    EXPECT_EQ(d.yFrom, -3.5);
    EXPECT_EQ(d.yTo, 4.5);
    const GeneratrixRange r = GeneratrixRangeOf(*o);
    EXPECT_EQ(r.from, -3.5);
    EXPECT_EQ(r.to, 4.5);
    // Written back, the same bytes.
    const auto w = RecordWith({});
    SetSurfaceDomain(*w, d);
    EXPECT_EQ(std::memcmp(w.get(), o.get(), sizeof(SceneObject)), 0);
    const auto g = RecordWith({});
    SetGeneratrixRange(*g, r);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(g.get()) + 160,
                          reinterpret_cast<const char*>(o.get()) + 160, 16),
              0);
}

TEST(ObjectView, APolylineIsClosedWhenItsParam2ReadsOne) {
    const struct {
        double param2;
        bool closed;
    } rows[] = {
        {1, true},     {0.6, true}, {1.4, true}, {0, false},
        {1.5, false},  {2, false},  {-1, false}, {std::numeric_limits<double>::quiet_NaN(), false},
        {1e300, false}};
    for (const auto& r : rows)
        EXPECT_EQ(IsClosedPolyline(*RecordWith({{128, r.param2}})), r.closed) << r.param2;
    const auto o = RecordWith({});
    for (const bool closed : {true, false}) {
        SetClosedPolyline(*o, closed);
        EXPECT_EQ(IsClosedPolyline(*o), closed);
    }
}

TEST(ObjectView, PolylineSegmentsAndUsableCounts) {
    const auto o = RecordWith({});
    o->face(1).area = 7; // a segment's face is cleared; one beyond them is left alone
    o->face(4).area = 7;
    SetPolylineSegments(*o, 3, true);
    ASSERT_EQ(o->faceCount, 3);
    EXPECT_EQ(o->face(1).area, 0);
    EXPECT_EQ(o->face(4).area, 7);
    const int want[3][3] = {{1, 2, 2}, {2, 3, 3}, {3, 1, 1}};
    for (int f = 1; f <= 3; ++f) {
        EXPECT_EQ(o->face(f).vertex1, want[f - 1][0]);
        EXPECT_EQ(o->face(f).vertex2, want[f - 1][1]);
        EXPECT_EQ(o->face(f).vertex3, want[f - 1][2]);
    }
    SetPolylineSegments(*o, 3, false);
    EXPECT_EQ(o->faceCount, 2);
    SetPolylineSegments(*o, 0, true);
    EXPECT_EQ(o->faceCount, 0);
    const struct {
        int stored, usable;
    } counts[] = {{-5, 0}, {0, 0}, {7, 7}, {kMaxVertices + 1, kMaxVertices}};
    for (const auto& c : counts) {
        o->vertexCount = static_cast<std::int16_t>(c.stored);
        EXPECT_EQ(UsableVertexCount(*o), c.usable) << c.stored;
    }
    o->faceCount = kMaxFaces + 5;
    EXPECT_EQ(UsableFaceCount(*o), kMaxFaces);
}

} // namespace
} // namespace vorn::core
