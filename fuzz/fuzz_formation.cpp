// Fuzz target: polyhedron formation by the hull-neighbourhood walk against the walk over every
// triple, on decoded point sets (grid values at several scales, repeats, special values). Any
// difference in the result, the record or the progress calls traps.
#include "core/quiet_host.h"
#include "core/scene.h"
#include "lang/message_table.h"
#include "polyhedra/formation.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace core = vorn::core;

// Few enough points that the walk over every triple stays well inside the time limit.
constexpr std::size_t kMaxPoints = 24;

class CountingHost : public core::QuietHost {
  public:
    std::string calls;
    void progressBegin(const std::string& text, int items) override {
        calls += "begin " + text + " " + std::to_string(items) + ";";
    }
    void progressStep(int position) override { calls += std::to_string(position) + ";"; }
    void progressEnd() override { calls += "end;"; }
};

// First byte: the grid step; then one byte per coordinate: below 0xF0 a grid value (-10..10
// steps, or a repeat of an earlier coordinate when the byte is a multiple of 23), above it a
// special value.
std::vector<core::Vec3f> Decode(const std::uint8_t* data, std::size_t size) {
    static constexpr float kSteps[] = {1, 0.5f, 1e-3f, 1e-6f, 1e3f, 0.1f, 0.25f, 3};
    static constexpr float kSpecial[] = {std::numeric_limits<float>::quiet_NaN(),
                                         std::numeric_limits<float>::infinity(),
                                         FLT_MAX,
                                         -FLT_MAX,
                                         1e-7f,
                                         1e-5f,
                                         -1e-5f,
                                         0.3f,
                                         1e20f,
                                         -0.0f,
                                         2e-6f,
                                         5e-6f,
                                         1.000001f,
                                         0.999999f,
                                         7.5f,
                                         -7.5f};
    std::vector<core::Vec3f> points;
    if (size == 0) return points;
    const float step = kSteps[data[0] & 7];
    std::vector<float> seen;
    std::size_t pos = 1;
    const auto next = [&](float& out) {
        if (pos >= size) return false;
        const std::uint8_t t = data[pos++];
        if (t >= 0xF0)
            out = kSpecial[t - 0xF0];
        else if (t % 23 == 0 && !seen.empty())
            out = seen[t / 23 % seen.size()];
        else
            out = static_cast<float>(t % 21 - 10) * step;
        seen.push_back(out);
        return true;
    };
    while (points.size() < kMaxPoints) {
        core::Vec3f p{};
        if (!next(p.x) || !next(p.y) || !next(p.z)) break;
        points.push_back(p);
    }
    return points;
}

struct Run {
    bool ok;
    bool fromHull;
    std::unique_ptr<core::SceneObject> record;
    std::string calls;
};

Run Form(const std::vector<core::Vec3f>& points, bool reference) {
    static core::Scene* scene = new core::Scene;
    static const int slot = core::AppendObject(*scene, core::ObjectType::Polyhedron);
    static const core::SceneObject* pristine = new core::SceneObject(scene->object(slot));
    core::Settings settings;
    vorn::lang::MessageTable messages;
    CountingHost host;
    core::Env env{*scene, settings, messages, host};
    core::SceneObject& o = scene->object(slot);
    o = *pristine;
    o.vertexCount = static_cast<std::int16_t>(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        o.vertexData[i] = points[i];
    bool fromHull = false;
    const bool ok = reference ? vorn::poly::FormConvexFacesReference(env, slot)
                              : vorn::poly::FormConvexFaces(env, slot, &fromHull);
    return {ok, fromHull, std::make_unique<core::SceneObject>(o), host.calls};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<core::Vec3f> points = Decode(data, size);
    const Run fast = Form(points, false);
    const Run reference = Form(points, true);
    // Where the walk's faces were unsound or refused, the fast path takes the hull's instead.
    if (fast.fromHull) return 0;
    if (fast.ok != reference.ok || fast.calls != reference.calls ||
        std::memcmp(fast.record.get(), reference.record.get(), sizeof(core::SceneObject)) != 0)
        __builtin_trap();
    return 0;
}
