// Scene table operations: defaults per kind, names, duplicates, appending and deleting.
#include "core/scene.h"

#include "core/object_view.h"
#include "lang/cp1251.h"
#include "lang/message_ids.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace vorn::core {

namespace {
void setVertex(SceneObject& o, int i, float x, float y, float z) {
    o.vertex(i) = {x, y, z};
}
void setPolygon(ObjectPart& p, std::initializer_list<PartPoint> pts) {
    p.domainKind = 0;
    p.area.polygon.pointCount = static_cast<std::uint8_t>(pts.size());
    int k = 0;
    for (const auto& q : pts)
        p.area.polygon.points[k++] = q;
}
} // namespace

TypeNameTable::TypeNameTable() {
    const lang::MessageTable builtins;
    refresh(builtins);
}

const std::string& TypeNameTable::name(ObjectType t) const {
    const auto i = static_cast<std::size_t>(t);
    return m_names[i < m_names.size() ? i : 0];
}

void TypeNameTable::refresh(const lang::MessageTable& messages) {
    for (int k = 0; k < kObjectTypeCount; ++k)
        m_names[static_cast<std::size_t>(k)] = messages.text(lang::msg::kKindAxes + k);
}

Scene::Scene()
    : m_objects(std::make_unique<std::array<SceneObject, kSlotCount>>()),
      m_edges(std::make_unique<std::array<EdgeFlags, kSlotCount>>()) {
    std::memset(static_cast<void*>(m_objects->data()), 0, sizeof(SceneObject) * kSlotCount);
    std::memset(static_cast<void*>(&header), 0, sizeof header);
    header.signature = kSceneSignature;
    header.tag.setRaw(kSceneTag);
    header.objectCount = 1;
    header.turnHorizontal = 27;
    header.turnVertical = 49;
    InitAxes(*this);
}

void Scene::copySlot(int from, int to) {
    if (from == to) return;
    std::memcpy(static_cast<void*>(&object(to)), &object(from), sizeof(SceneObject));
    edgeVisibility(to) = edgeVisibility(from);
    const bool working = from == kScratchSlot || to == kScratchSlot;
    m_unbuilt[static_cast<std::size_t>(to)] =
        working ? std::nullopt : m_unbuilt[static_cast<std::size_t>(from)];
}

void Scene::keepUnbuilt(int slot) {
    SceneObject& o = object(slot);
    RecordHeaderBytes head;
    std::memcpy(head.data(), &o, kRecordHeaderSize);
    m_unbuilt[static_cast<std::size_t>(slot)] = head;
    o.vertexCount = 0;
    o.faceCount = 0;
}

const RecordHeaderBytes* Scene::unbuiltHeader(int slot) const {
    const auto& kept = m_unbuilt[static_cast<std::size_t>(slot)];
    return kept ? &*kept : nullptr;
}

namespace {

// Stands in when no window watches the scene.
class UnwatchedScene : public SceneObserver {
  public:
    void refreshObjectList() override {}
    void redrawPicture() override {}
    bool halfToneActive() const override { return false; }
    void switchHalfToneOff() override {}
    void rebuildHalfTone() override {}
    void applyTurnAngles(int, int) override {}
};

} // namespace

SceneObserver& Scene::observer() const {
    static UnwatchedScene unwatched;
    return m_observer ? *m_observer : unwatched;
}

void InitObject(Scene& scene, ObjectType kind, int slot) {
    SceneObject& o = scene.object(slot);
    std::memset(static_cast<void*>(&o), 0, sizeof o);
    scene.markBuilt(slot);
    o.type = kind;
    o.visible = 1;
    switch (kind) {
    case ObjectType::Point:
        o.faceCount = 1;
        SetFace(o, 1, 1, 1, 1);
        o.vertexCount = 1;
        setVertex(o, 1, 3, 3, 3);
        break;
    case ObjectType::Polyline:
        o.param1 = 1.0;
        o.vertexCount = 2;
        setVertex(o, 1, 0, 0, 0);
        setVertex(o, 2, 3, 3, 3);
        break;
    case ObjectType::Plane:
        o.vertexCount = 4;
        setVertex(o, 1, 0, 0, -3);
        setVertex(o, 2, -3, 0, 0);
        setVertex(o, 3, 0, 0, 3);
        setVertex(o, 4, 3, 0, 0);
        break;
    case ObjectType::Polyhedron:
        o.vertexCount = 4;
        break;
    case ObjectType::Surface: {
        o.param2 = 15.0;
        SetSurfaceDomain(o, {-3.0, 3.0, -3.0, 3.0});
        o.partCount = 1;
        ObjectPart& p = o.part(1);
        p.text.setRaw("sin(x*y)");
        p.domainKind = 1;
        p.area.domainText.setRaw("x^2+y^2<pi^2");
        break;
    }
    case ObjectType::RevolutionSurface: {
        o.param2 = 10.0;
        o.planeB = 10.0;
        SetGeneratrixRange(o, {1.0, 10.0});
        o.partCount = 3;
        setPolygon(
            o.part(1),
            {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}, {10, 10}});
        o.part(2).text.setRaw("sin(x)");
        o.part(2).domainKind = 1;
        o.part(2).area.domainText.setRaw("sin(t)");
        setPolygon(o.part(3), {{0, 1}, {1, 0}});
        break;
    }
    case ObjectType::Axes:
        break;
    }
}

void InitAxes(Scene& scene) {
    InitObject(scene, ObjectType::Axes, kAxesSlot);
    SceneObject& o = scene.object(kAxesSlot);
    o.colorIndex = 2;
    o.vertexCount = 7;
    o.faceCount = 3;
    const float unit[7][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1},
                              {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 7; ++i)
        setVertex(o, i + 1, unit[i][0], unit[i][1], unit[i][2]);
    for (int k = 1; k <= 3; ++k)
        SetFace(o, k, 1, k + 1, 1);
}

std::string NameText(const SceneObject& o) {
    std::string bytes(o.name.raw());
    for (char& c : bytes)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return lang::cp1251ToUtf8(bytes);
}

std::string DisplayName(const Scene& scene, int slot) {
    const SceneObject& o = scene.object(slot);
    if (o.name.length > 0) return NameText(o);
    return scene.typeNames.name(o.type);
}

std::string ListCaption(const Scene& scene, int slot) {
    return std::to_string(slot - 1) + ". " + DisplayName(scene, slot);
}

bool IsDuplicateObject(const Scene& scene, int slot) {
    return DuplicateOf(scene, slot) != 0;
}

int DuplicateOf(const Scene& scene, int slot) {
    const SceneObject& a = scene.object(slot);
    for (int k = 2; k <= scene.objectCount(); ++k) {
        if (k == slot) continue;
        const SceneObject& b = scene.object(k);
        if (b.type != a.type || b.vertexCount != a.vertexCount) continue;
        bool same = true;
        for (int i = 1; i <= a.vertexCount && same; ++i) {
            const Vec3f& p = a.vertex(i);
            const Vec3f& q = b.vertex(i);
            same = std::fabs(double(p.x) - q.x) < 1e-7 && std::fabs(double(p.y) - q.y) < 1e-7 &&
                   std::fabs(double(p.z) - q.z) < 1e-7;
        }
        if (same) return k;
    }
    return 0;
}

int AppendObject(Scene& scene, ObjectType kind) {
    if (scene.isFull()) return 0;
    const int slot = ++scene.objectCount();
    InitObject(scene, kind, slot);
    return slot;
}

void DropLastObject(Scene& scene) {
    if (scene.objectCount() > 1) --scene.objectCount();
}

void OfferPointObject(Env& env, const std::string& name, double x, double y, double z) {
    Scene& scene = env.scene;
    // A full scene has no slot for the point, and a point beyond the float range has no record
    // value: asking would promise what cannot be done.
    const auto storable = [](double v) { return std::isfinite(v) && std::fabs(v) <= FLT_MAX; };
    if (scene.isFull() || !storable(x) || !storable(y) || !storable(z)) return;
    if (!env.host.askYesNo(env.msg(lang::msg::kAskCreatePoint))) return;
    scene.sceneModified = true;
    const int slot = AppendObject(scene, ObjectType::Point);
    SceneObject& o = scene.object(slot);
    o.name.setUtf8(name);
    o.vertex(1) = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    if (IsDuplicateObject(scene, slot)) {
        DropLastObject(scene);
    } else {
        env.host.addReportLine(env.msg(lang::msg::kCreatedObject) + DisplayName(scene, slot) +
                               "\"");
    }
    scene.observer().refreshObjectList();
}

void DeleteObject(Env& env, int slot, bool ask) {
    Scene& scene = env.scene;
    if (!scene.isUserSlot(slot)) return;
    const std::string name = DisplayName(scene, slot);
    // The built-in text ends before the name; a language file may place it with "%s" instead,
    // for languages whose question mark follows the quote directly.
    const std::string& question = env.msg(lang::msg::kAskDeleteObject);
    if (ask && !env.host.askYesNo(question.find("%s") != std::string::npos
                                      ? env.messages.format(lang::msg::kAskDeleteObject, {name})
                                      : question + name + "\" ?"))
        return;
    env.host.addReportLine(env.msg(lang::msg::kDeletedObject) + name + "\"");
    SceneObserver& window = scene.observer();
    if (scene.objectCount() <= 2 && window.halfToneActive()) window.switchHalfToneOff();
    for (int k = slot; k < scene.objectCount(); ++k)
        scene.copySlot(k + 1, k);
    --scene.objectCount();
    window.redrawPicture();
    window.refreshObjectList();
    scene.sceneModified = true;
}

void ClearScene(Scene& scene) {
    scene.objectCount() = 1;
}

void ComputeBoundsAndPivot(SceneObject& o) {
    long double sum[3] = {0, 0, 0};
    for (int i = 1; i <= o.vertexCount; ++i) {
        const Vec3f& v = o.vertex(i);
        if (i == 1) {
            o.minX = o.maxX = v.x;
            o.minY = o.maxY = v.y;
            o.minZ = o.maxZ = v.z;
        }
        // z first, then x, then y; a value is either a new minimum or a new maximum.
        const struct {
            double value;
            double& lo;
            double& hi;
        } axes[3] = {{v.z, o.minZ, o.maxZ}, {v.x, o.minX, o.maxX}, {v.y, o.minY, o.maxY}};
        for (const auto& a : axes) {
            if (a.value < a.lo)
                a.lo = a.value;
            else if (a.value > a.hi)
                a.hi = a.value;
        }
        sum[0] += v.x;
        sum[1] += v.y;
        sum[2] += v.z;
    }
    for (int k = 0; k < 3; ++k)
        o.pivot[k] = o.vertexCount > 0 ? static_cast<double>(sum[k] / o.vertexCount) : 0.0;
}

} // namespace vorn::core
