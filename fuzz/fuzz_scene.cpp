// Fuzz target: arbitrary bytes as a scene file, read in full, listed, and selectively.
#include "core/scene_file.h"
#include "lang/message_table.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

class QuietHost : public vorn::core::Host {
public:
    int selectionRound = 0;
    void addReportLine(const std::string&) override {}
    void setStatus(const std::string&) override {}
    void setHint(const std::string&) override {}
    void showMessage(vorn::core::BoxKind, const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
    vorn::core::Answer askYesNoCancel(const std::string&) override {
        return vorn::core::Answer::No;
    }
    // Alternates the answers a user could give in the selection dialog.
    bool selectObjects(vorn::core::LoadSelection& s) override {
        ++selectionRound;
        for (std::size_t i = 0; i < s.checked.size(); ++i) s.checked[i] = (i + selectionRound) % 2;
        s.add = selectionRound % 2 == 0;
        s.osiInfo = selectionRound % 3 != 0;
        return selectionRound % 4 != 0;
    }
    void progressBegin(const std::string&, int) override {}
    void progressStep(int) override {}
    void progressEnd() override {}
    bool abortRequested() override { return false; }
    void processEvents() override {}
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
    QuietHost host;
    vorn::core::Env env{*scene, settings, messages, host};
    vorn::core::ReadSceneFile(env, path, false, true);
    for (int round = 0; round < 4; ++round) vorn::core::ReadSceneFile(env, path, true, true);
    // Whatever was accepted must still be a sound scene that writes back.
    if (scene->objectCount() < 1 || scene->objectCount() > vorn::core::kMaxObjectCount)
        __builtin_trap();
    for (int k = 2; k <= scene->objectCount(); ++k) {
        const auto& o = scene->object(k);
        if (o.vertexCount < 0 || o.vertexCount > vorn::core::kMaxVertices || o.faceCount < 0 ||
            o.faceCount > vorn::core::kMaxFaces || o.partCount > vorn::core::kMaxParts)
            __builtin_trap();
    }
    (void)vorn::core::SerializeScene(*scene);
    std::remove(path.c_str());
    return 0;
}
