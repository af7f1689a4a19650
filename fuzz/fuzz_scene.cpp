// Fuzz target: arbitrary bytes as a scene file, read in full, listed, and selectively.
#include "core/quiet_host.h"
#include "core/scene_file.h"
#include "lang/message_table.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// Alternates the answers a user could give in the selection dialog.
class SelectingHost : public vorn::core::QuietHost {
  public:
    int selectionRound = 0;
    bool selectObjects(vorn::core::LoadSelection& s) override {
        ++selectionRound;
        for (std::size_t i = 0; i < s.checked.size(); ++i)
            s.checked[i] = (i + selectionRound) % 2;
        s.add = selectionRound % 2 == 0;
        s.osiInfo = selectionRound % 3 != 0;
        return selectionRound % 4 != 0;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vorn::core::Scene* scene = new vorn::core::Scene;
    static const std::string path = "/tmp/vorn_fuzz_scene_" + std::to_string(::getpid()) + ".v3d";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    vorn::core::Settings settings;
    vorn::lang::MessageTable messages;
    SelectingHost host;
    vorn::core::Env env{*scene, settings, messages, host};
    vorn::core::ReadSceneFile(env, path, false, true);
    for (int round = 0; round < 4; ++round)
        vorn::core::ReadSceneFile(env, path, true, true);
    // Whatever was accepted must still be a sound scene that writes back.
    if (scene->objectCount() < 1 || scene->objectCount() > vorn::core::kMaxObjectCount)
        __builtin_trap();
    for (int k = 2; k <= scene->objectCount(); ++k) {
        const auto& o = scene->object(k);
        if (o.vertexCount < 0 || o.vertexCount > vorn::core::kMaxVertices || o.faceCount < 0 ||
            o.faceCount > vorn::core::kMaxFaces || o.partCount > vorn::core::kMaxParts ||
            o.type == vorn::core::ObjectType::Axes)
            __builtin_trap();
        // Objects kept as read (no mesh is rebuilt here): every face names a vertex they have,
        // and every coordinate is a number.
        if (o.type >= vorn::core::ObjectType::Surface) continue;
        for (int f = 1; f <= o.faceCount; ++f)
            for (int v : {o.face(f).vertex1, o.face(f).vertex2, o.face(f).vertex3})
                if (v < 1 || v > o.vertexCount) __builtin_trap();
        for (int v = 1; v <= o.vertexCount; ++v)
            if (!std::isfinite(o.vertex(v).x) || !std::isfinite(o.vertex(v).y) ||
                !std::isfinite(o.vertex(v).z))
                __builtin_trap();
    }
    (void)vorn::core::SerializeScene(*scene);
    std::remove(path.c_str());
    return 0;
}
