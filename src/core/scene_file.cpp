// Scene file reader and writer: 52-byte header, then one block per user object.
#include "core/scene_file.h"

#include "lang/ini_file.h"
#include "lang/message_ids.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

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

template <class T> T readAt(const std::uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool finiteFloats(const std::uint8_t* p, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(readAt<float>(p + sizeof(float) * i))) return false;
    return true;
}

// A scale of the picture as a file may hold it: a positive number, or 0 in a scene never shown.
bool storableZoom(float z) {
    return std::isfinite(z) && z >= 0;
}

// Zero and negative scales load as the default one; only non-finite ones make a file damaged.
bool soundHeader(const SceneHeader& h) {
    return h.signature == kSceneSignature && std::isfinite(h.zoomX) && std::isfinite(h.zoomY) &&
           std::isfinite(h.zoomZ);
}

// Counts that a record can hold. The axes belong to slot 1 alone; a kind the program does not
// know would index its per-kind tables out of range. The counts of a surface only size the mesh
// that loading rebuilds (one never built has none), but every other object is its vertices.
bool soundCounts(const SceneObject& head) {
    const int type = static_cast<int>(head.type);
    const int leastVertices = hasMeshOnly(head.type) ? 0 : 1;
    return type > 0 && type < kObjectTypeCount && head.partCount <= kMaxParts &&
           head.vertexCount >= leastVertices && head.vertexCount <= kMaxVertices &&
           head.faceCount >= 0 && head.faceCount <= kMaxFaces;
}

// Parts read as polygons: a surface's polygon domains, and a surface of revolution's generatrix
// points (part 1) and polyline (part 3) whatever their domain byte says.
bool polygonPart(ObjectType type, int k, std::uint8_t domainKind) {
    if (type == ObjectType::Surface) return domainKind == 0;
    return type == ObjectType::RevolutionSurface && (k == 1 || k == 3);
}

// Values no record of the program holds: numbers that are not finite, polygons longer than
// their storage, faces naming vertices the object does not have.
bool soundBlock(const std::uint8_t* block, const SceneObject& head) {
    // Every f64 of the record header; `visible` and `color` lie between the two runs.
    for (std::size_t at = offsetof(SceneObject, colorIndex); at < offsetof(SceneObject, visible);
         at += sizeof(double))
        if (!std::isfinite(readAt<double>(block + at))) return false;
    for (std::size_t at = offsetof(SceneObject, pivot); at < offsetof(SceneObject, vertexCount);
         at += sizeof(double))
        if (!std::isfinite(readAt<double>(block + at))) return false;
    const std::uint8_t* p = block + kRecordHeaderSize;
    for (int k = 1; k <= head.partCount; ++k, p += kPartRecordSize) {
        if (!polygonPart(head.type, k, p[offsetof(ObjectPart, domainKind)])) continue;
        const int n = p[offsetof(ObjectPart, area.polygon.pointCount)];
        if (n > kMaxPartPoints || !finiteFloats(p + offsetof(ObjectPart, area.polygon.points),
                                                2 * static_cast<std::size_t>(n)))
            return false;
    }
    if (hasMeshOnly(head.type)) return true;
    const auto vertices = static_cast<std::size_t>(head.vertexCount);
    if (!finiteFloats(p, 3 * vertices)) return false;
    p += kVertexRecordSize * vertices;
    for (int f = 0; f < head.faceCount; ++f, p += kFaceRecordSize)
        for (std::size_t at :
             {offsetof(Face, vertex1), offsetof(Face, vertex2), offsetof(Face, vertex3)}) {
            const int v = readAt<std::int16_t>(p + at);
            if (v < 1 || v > head.vertexCount) return false;
        }
    return true;
}

// Appends exactly `n` bytes of the stream; false when the file ends first.
bool readMore(std::istream& in, std::vector<std::uint8_t>& data, std::size_t n) {
    const std::size_t at = data.size();
    data.resize(at + n);
    in.read(reinterpret_cast<char*>(data.data() + at), static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(in.gcount()) == n;
}

// Reads the header and, only when it is sound, the blocks one at a time, each as long as its
// counts say and none past kMaxSceneFileSize: a huge file costs no more than a scene. False for
// anything but a whole, sound scene file with nothing after its last block.
bool readSceneBytes(const std::string& fileName, std::vector<std::uint8_t>& data,
                    std::vector<BlockSpan>& blocks) {
    // A folder opens as a stream and then fails on the first read; a pipe would block.
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error)) return false;
    std::ifstream in(fileName, std::ios::binary);
    if (!in || !readMore(in, data, sizeof(SceneHeader))) return false;
    const auto header = readAt<SceneHeader>(data.data());
    if (!soundHeader(header)) return false;
    SceneObject head;
    for (int k = 2; k <= header.objectCount; ++k) {
        const std::size_t pos = data.size();
        if (pos + kRecordHeaderSize > kMaxSceneFileSize || !readMore(in, data, kRecordHeaderSize))
            return false;
        std::memcpy(static_cast<void*>(&head), data.data() + pos, kRecordHeaderSize);
        if (!soundCounts(head)) return false;
        const std::size_t size = BlockSize(head);
        if (pos + size > kMaxSceneFileSize || !readMore(in, data, size - kRecordHeaderSize) ||
            !soundBlock(data.data() + pos, head))
            return false;
        blocks.push_back({pos, size});
    }
    // A count below 2 announces no blocks, so then nothing may follow the header either.
    return in.peek() == std::ifstream::traits_type::eof() && !in.bad();
}

// Copies one block into a record: header, parts, then geometry.
void copyBlock(SceneObject& o, const std::vector<std::uint8_t>& data, const BlockSpan& span) {
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

// Reads one block into the scratch slot, as the loader does.
void readBlock(Env& env, const std::vector<std::uint8_t>& data, const BlockSpan& span) {
    env.host.setStatus(quotedStatus(env, lang::msg::kLoadingObject, kScratchSlot));
    env.host.processEvents();
    copyBlock(env.scene.object(kScratchSlot), data, span);
}

// The per-object status of a load or a save goes when the work is done, however it ends.
struct StatusClearer {
    Host& host;
    ~StatusClearer() { host.setStatus({}); }
};

void rejectFile(Env& env, const std::string& fileName, bool reportErrors) {
    if (reportErrors)
        env.host.showMessage(BoxKind::Error,
                             env.messages.format(lang::msg::kNoObjectsInFile, {fileName}));
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
    SceneHeader header = scene.header;
    // Scales typed below zero or too large for a float would make a file the reader refuses;
    // they are written as none, and the picture fits the scene on loading.
    for (float* zoom : {&header.zoomX, &header.zoomY, &header.zoomZ})
        if (!storableZoom(*zoom)) *zoom = 0;
    appendBytes(out, &header, sizeof header);
    for (int k = 2; k <= scene.objectCount(); ++k) {
        const SceneObject& o = scene.object(k);
        if (const RecordHeaderBytes* kept = scene.unbuiltHeader(k)) {
            // Its counts are those of a mesh it never got here, and it has none to write.
            const std::uint8_t parts = (*kept)[offsetof(SceneObject, partCount)];
            appendBytes(out, kept->data(), kRecordHeaderSize);
            appendBytes(out, o.partData, kPartRecordSize * parts);
            continue;
        }
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
    const StatusClearer clearer{env.host};
    for (int k = 2; k <= scene.objectCount(); ++k) {
        env.host.setStatus(quotedStatus(env, lang::msg::kSavingObject, k));
        env.host.processEvents();
    }
    const std::vector<std::uint8_t> bytes = SerializeScene(scene);

    // Written beside the target and renamed over it: the old file survives any failure.
    const bool ok = lang::writeFileAtomically(
        fileName, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!ok) {
        env.host.showMessage(BoxKind::Error,
                             env.messages.format(lang::msg::kWriteFailed, {fileName}));
        return false;
    }
    scene.sceneModified = false;
    return true;
}

namespace {

// `changing` is set once the scene starts to change.
int loadSceneFile(Env& env, const std::string& fileName, bool selective, bool reportErrors,
                  LoadProcessor* processor, bool* cancelled, bool& changing) {
    Scene& scene = env.scene;
    if (cancelled) *cancelled = false;
    std::vector<std::uint8_t> data;
    std::vector<BlockSpan> blocks;
    if (!readSceneBytes(fileName, data, blocks)) {
        rejectFile(env, fileName, reportErrors);
        return kNotSceneFile;
    }
    const auto fileHeader = readAt<SceneHeader>(data.data());

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

    changing = true;
    const int kept = scene.objectCount();
    const bool takeView = !selective || selection.osiInfo;
    if (takeView) {
        scene.header = fileHeader;
        for (float* zoom : {&scene.header.zoomX, &scene.header.zoomY, &scene.header.zoomZ})
            if (*zoom <= 0) *zoom = kDefaultZoom;
        // Angles index the 72-entry rotation tables; bring stray values back into range.
        scene.header.turnHorizontal =
            static_cast<std::int8_t>(((fileHeader.turnHorizontal % 72) + 72) % 72);
        scene.header.turnVertical =
            static_cast<std::int8_t>(((fileHeader.turnVertical % 72) + 72) % 72);
    }
    scene.objectCount() = (selective && selection.add) ? kept : 1;

    // Loading pass.
    std::string unbuilt;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        readBlock(env, data, blocks[i]);
        const bool chosen = !selective || (i < selection.checked.size() && selection.checked[i]);
        if (!chosen || scene.objectCount() >= kMaxObjectCount) continue;
        const int slot = ++scene.objectCount();
        scene.copySlot(kScratchSlot, slot);
        LoadProcessor fallback;
        LoadProcessor& proc = processor ? *processor : fallback;
        if (hasMeshOnly(scene.object(slot).type) && !proc.rebuildMesh(env, slot)) {
            // Dropping it would let the next save lose it: it stays as read, without a mesh.
            copyBlock(scene.object(slot), data, blocks[i]);
            scene.keepUnbuilt(slot);
            unbuilt += (unbuilt.empty() ? "\"" : ", \"") + DisplayName(scene, slot) + "\"";
            env.host.addReportLine(env.msg(lang::msg::kLoadedObject) + DisplayName(scene, slot) +
                                   "\"");
            continue;
        }
        const bool closed = proc.completeObject(env, slot);
        env.host.addReportLine(env.msg(lang::msg::kLoadedObject) + DisplayName(scene, slot) + "\"");
        if (!closed)
            env.host.showMessage(BoxKind::Error, env.messages.format(lang::msg::kObjectNotClosed,
                                                                     {DisplayName(scene, slot)}));
    }
    SceneObserver& window = scene.observer();
    if (takeView) window.applyTurnAngles(scene.header.turnHorizontal, scene.header.turnVertical);
    window.refreshObjectList();
    if (!unbuilt.empty())
        env.host.showMessage(BoxKind::Error,
                             env.messages.format(lang::msg::kNotRebuilt, {unbuilt}));
    scene.sceneModified = false;
    if (window.halfToneActive()) window.rebuildHalfTone();
    return 0;
}

} // namespace

int ReadSceneFile(Env& env, const std::string& fileName, bool selective, bool reportErrors,
                  LoadProcessor* processor, bool* cancelled) {
    bool changing = false;
    const StatusClearer clearer{env.host};
    try {
        return loadSceneFile(env, fileName, selective, reportErrors, processor, cancelled,
                             changing);
    } catch (const std::bad_alloc&) {
        // Out of memory the file is as unusable as a damaged one, and the program goes on with
        // its work. That happens before the scene changes unless building an object ran out;
        // then what was loaded stays, listed, and is not taken for the file's content.
        rejectFile(env, fileName, reportErrors);
        if (changing) {
            env.scene.sceneModified = true;
            env.scene.observer().refreshObjectList();
        }
        return kNotSceneFile;
    }
}

} // namespace vorn::core
