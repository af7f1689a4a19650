// Scene file reader and writer: 52-byte header, then one block per user object.
#include "core/scene_file.h"

#include "lang/ini_file.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vorn::core {

namespace {

bool hasMeshOnly(ObjectType t) {
    return t == ObjectType::Surface || t == ObjectType::RevolutionSurface;
}

std::string quotedStatus(const Env& env, int message, int slot) {
    return env.msg(message) + DisplayName(env.scene, slot) + "\"...";
}

void appendBytes(std::vector<std::uint8_t>& out, const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}

// One parsed block: where it lies in the file.
struct BlockSpan {
    std::size_t offset;
    std::size_t size;
};

// Checks every block's counts and extent; false for a damaged or cut-short file.
bool locateBlocks(const std::vector<std::uint8_t>& data, int objectCount,
                  std::vector<BlockSpan>& blocks) {
    std::size_t pos = sizeof(SceneHeader);
    for (int k = 2; k <= objectCount; ++k) {
        if (pos + kRecordHeaderSize > data.size()) return false;
        SceneObject head;
        std::memcpy(static_cast<void*>(&head), data.data() + pos, kRecordHeaderSize);
        // A kind the program does not know would index its per-kind tables out of range.
        if (static_cast<int>(head.type) >= kObjectTypeCount || head.partCount > kMaxParts ||
            head.vertexCount < 0 || head.vertexCount > kMaxVertices || head.faceCount < 0 ||
            head.faceCount > kMaxFaces)
            return false;
        const std::size_t size = BlockSize(head);
        if (pos + size > data.size()) return false;
        if (!hasMeshOnly(head.type)) {
            // A face that names a vertex outside the record would make every later step read
            // past it.
            const std::size_t faces =
                pos + kRecordHeaderSize + kPartRecordSize * head.partCount +
                kVertexRecordSize * static_cast<std::size_t>(head.vertexCount);
            for (int f = 0; f < head.faceCount; ++f) {
                Face face;
                std::memcpy(&face, data.data() + faces + kFaceRecordSize * f, sizeof face);
                for (int v : {face.vertex1, face.vertex2, face.vertex3})
                    if (v < 1 || v > kMaxVertices) return false;
            }
        }
        blocks.push_back({pos, size});
        pos += size;
    }
    return true;
}

// Reads one block into the scratch slot, as the loader does: header, parts, then geometry.
void readBlock(Env& env, const std::vector<std::uint8_t>& data, const BlockSpan& span) {
    env.host.setStatus(quotedStatus(env, 84, kScratchSlot));
    env.host.processEvents();
    SceneObject& o = env.scene.object(kScratchSlot);
    const std::uint8_t* p = data.data() + span.offset;
    std::memcpy(static_cast<void*>(&o), p, kRecordHeaderSize);
    p += kRecordHeaderSize;
    std::memcpy(static_cast<void*>(o.partData), p, kPartRecordSize * o.partCount);
    p += kPartRecordSize * o.partCount;
    if (!hasMeshOnly(o.type)) {
        const auto nv = static_cast<std::size_t>(o.vertexCount);
        const auto nf = static_cast<std::size_t>(o.faceCount);
        std::memcpy(static_cast<void*>(o.vertexData), p, kVertexRecordSize * nv);
        p += kVertexRecordSize * nv;
        std::memcpy(static_cast<void*>(o.faceData), p, kFaceRecordSize * nf);
    }
}

bool readWholeFile(const std::string& fileName, std::vector<std::uint8_t>& data) {
    // A folder opens as a stream and then throws on the first read; a pipe would block.
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)) return false;
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return false;
    try {
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        return false;
    }
    return !in.bad();
}

void rejectFile(Env& env, const std::string& fileName, bool reportErrors) {
    if (reportErrors) env.host.showMessage(BoxKind::Error, env.messages.format(87, {fileName}));
}

} // namespace

std::size_t BlockSize(const SceneObject& o) {
    std::size_t size = kRecordHeaderSize + kPartRecordSize * o.partCount;
    if (!hasMeshOnly(o.type))
        size += kVertexRecordSize * static_cast<std::size_t>(std::max<int>(o.vertexCount, 0)) +
                kFaceRecordSize * static_cast<std::size_t>(std::max<int>(o.faceCount, 0));
    return size;
}

std::vector<std::uint8_t> SerializeScene(const Scene& scene) {
    std::vector<std::uint8_t> out;
    appendBytes(out, &scene.header, sizeof(SceneHeader));
    for (int k = 2; k <= scene.objectCount(); ++k) {
        const SceneObject& o = scene.object(k);
        appendBytes(out, &o, kRecordHeaderSize);
        appendBytes(out, o.partData, kPartRecordSize * o.partCount);
        if (!hasMeshOnly(o.type)) {
            appendBytes(out, o.vertexData,
                        kVertexRecordSize * static_cast<std::size_t>(o.vertexCount));
            appendBytes(out, o.faceData, kFaceRecordSize * static_cast<std::size_t>(o.faceCount));
        }
    }
    return out;
}

bool WriteSceneFile(Env& env, const std::string& fileName) {
    Scene& scene = env.scene;
    for (int k = 2; k <= scene.objectCount(); ++k) {
        env.host.setStatus(quotedStatus(env, 83, k));
        env.host.processEvents();
    }
    const std::vector<std::uint8_t> bytes = SerializeScene(scene);

    // Written beside the target and renamed over it: the old file survives any failure.
    const bool ok = lang::writeFileAtomically(
        fileName, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!ok) {
        env.host.showMessage(BoxKind::Error,
                             env.messages.format(lang::kMsgWriteFailed, {fileName}));
        return false;
    }
    scene.sceneModified = false;
    return true;
}

int ReadSceneFile(Env& env, const std::string& fileName, bool selective, bool reportErrors,
                  LoadProcessor* processor, bool* cancelled) {
    Scene& scene = env.scene;
    if (cancelled) *cancelled = false;
    std::vector<std::uint8_t> data;
    SceneHeader fileHeader{};
    if (!readWholeFile(fileName, data) || data.size() < sizeof(SceneHeader)) {
        rejectFile(env, fileName, reportErrors);
        return kNotSceneFile;
    }
    std::memcpy(&fileHeader, data.data(), sizeof fileHeader);
    std::vector<BlockSpan> blocks;
    if (fileHeader.signature != kSceneSignature ||
        !locateBlocks(data, fileHeader.objectCount, blocks)) {
        rejectFile(env, fileName, reportErrors);
        return kNotSceneFile;
    }

    // Listing pass.
    LoadSelection selection;
    selection.caption = fileName;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        readBlock(env, data, blocks[i]);
        selection.items.push_back(std::to_string(i + 1) + ". " + DisplayName(scene, kScratchSlot));
        selection.checked.push_back(true);
    }
    if (selective && !env.host.selectObjects(selection)) {
        // Nothing is read; the scene, its file name and its modified flag stay as they were.
        if (cancelled) *cancelled = true;
        return 0;
    }

    const int kept = scene.objectCount();
    const bool takeView = !selective || selection.osiInfo;
    if (takeView) {
        scene.header = fileHeader;
        // Angles index the 72-entry rotation tables; bring stray values back into range.
        scene.header.turnHorizontal =
            static_cast<std::int8_t>(((fileHeader.turnHorizontal % 72) + 72) % 72);
        scene.header.turnVertical =
            static_cast<std::int8_t>(((fileHeader.turnVertical % 72) + 72) % 72);
    }
    scene.objectCount() = (selective && selection.add) ? kept : 1;

    // Loading pass.
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        readBlock(env, data, blocks[i]);
        const bool chosen = !selective || (i < selection.checked.size() && selection.checked[i]);
        if (!chosen || scene.objectCount() >= kMaxObjectCount) continue;
        const int slot = ++scene.objectCount();
        scene.copySlot(kScratchSlot, slot);
        LoadProcessor fallback;
        LoadProcessor& proc = processor ? *processor : fallback;
        if (hasMeshOnly(scene.object(slot).type) && !proc.rebuildMesh(env, slot)) {
            // A definition that no longer yields a mesh drops this object alone.
            --scene.objectCount();
            env.host.showMessage(BoxKind::Error, env.msg(94));
            continue;
        }
        const bool closed = proc.completeObject(env, slot);
        env.host.addReportLine(env.msg(85) + DisplayName(scene, slot) + "\"");
        if (!closed)
            env.host.showMessage(BoxKind::Error,
                                 env.messages.format(86, {DisplayName(scene, slot)}));
    }
    if (takeView) env.host.applyTurnAngles(scene.header.turnHorizontal, scene.header.turnVertical);
    env.host.refreshObjectList();
    scene.sceneModified = false;
    if (env.host.halfToneActive()) env.host.rebuildHalfTone();
    return 0;
}

} // namespace vorn::core
