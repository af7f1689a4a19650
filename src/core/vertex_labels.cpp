// The letters vertices carry in the picture, the figures and the nets: one label per point.
#include "core/vertex_labels.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace vorn::core {

namespace {

// Places closer than this count as one: far below what a drawing shows, above the float
// rounding of points computed onto a vertex (section contours, offered intersection points).
constexpr double kSamePlace = 1e-5;

bool Lettered(const SceneObject& o) {
    return o.type == ObjectType::Point || o.type == ObjectType::Polyline ||
           o.type == ObjectType::Polyhedron;
}

using Cell = std::tuple<long long, long long, long long>;

Cell CellOf(const Vec3f& v) {
    const auto c = [](float x) { return static_cast<long long>(std::floor(x / kSamePlace)); };
    return {c(v.x), c(v.y), c(v.z)};
}

bool SamePlace(const Vec3f& a, const Vec3f& b) {
    return std::fabs(a.x - b.x) <= kSamePlace && std::fabs(a.y - b.y) <= kSamePlace &&
           std::fabs(a.z - b.z) <= kSamePlace;
}

bool Finite(const Vec3f& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

std::string VertexLabel(const SceneObject& o, int vertex, const Settings& settings) {
    if (settings.PutLetters) {
        if (o.type == ObjectType::Point && o.name.length > 0) return NameText(o);
        if (o.vertexCount <= 26) return std::string(1, static_cast<char>(64 + vertex));
    }
    return std::to_string(vertex);
}

SceneLabels::SceneLabels(const Scene& scene, const Settings& settings)
    : m_scene(scene), m_settings(settings) {
    const int count = std::min(scene.objectCount(), kMaxObjectCount);
    m_entries.resize(static_cast<std::size_t>(count) + 1);
    struct Owner {
        int slot, vertex;
        bool named;
    };
    // Every lettered vertex of a visible object, grouped by place.
    std::map<Cell, std::vector<Owner>> places;
    for (int slot = 1; slot <= count; ++slot) {
        const SceneObject& o = scene.object(slot);
        if (!o.visible || !Lettered(o) || o.vertexCount < 1 || o.vertexCount > kMaxVertices)
            continue;
        auto& entries = m_entries[static_cast<std::size_t>(slot)];
        entries.resize(static_cast<std::size_t>(o.vertexCount));
        const bool named = o.type == ObjectType::Point && o.name.length > 0 && settings.PutLetters;
        for (int i = 1; i <= o.vertexCount; ++i) {
            entries[static_cast<std::size_t>(i - 1)].shown = VertexLabel(o, i, settings);
            if (Finite(o.vertex(i))) places[CellOf(o.vertex(i))].push_back({slot, i, named});
        }
    }
    // A place near a cell border is looked up in the neighbouring cells too.
    for (auto& [cell, owners] : places) {
        for (const Owner& me : owners) {
            Entry& mine = m_entries[static_cast<std::size_t>(me.slot)]
                                   [static_cast<std::size_t>(me.vertex - 1)];
            const Vec3f& at = scene.object(me.slot).vertex(me.vertex);
            const Owner* best = nullptr;
            for (long long dx = -1; dx <= 1; ++dx)
                for (long long dy = -1; dy <= 1; ++dy)
                    for (long long dz = -1; dz <= 1; ++dz) {
                        const auto found =
                            places.find({std::get<0>(cell) + dx, std::get<1>(cell) + dy,
                                         std::get<2>(cell) + dz});
                        if (found == places.end()) continue;
                        for (const Owner& other : found->second) {
                            if (!SamePlace(at, scene.object(other.slot).vertex(other.vertex)))
                                continue;
                            // Named points first, then the lowest slot, then the lowest vertex.
                            if (!best || (other.named && !best->named) ||
                                (other.named == best->named &&
                                 std::tie(other.slot, other.vertex) <
                                     std::tie(best->slot, best->vertex)))
                                best = &other;
                        }
                    }
            const bool own = !best || (best->slot == me.slot && best->vertex == me.vertex);
            mine.name =
                own ? mine.shown : VertexLabel(scene.object(best->slot), best->vertex, settings);
            if (!own) mine.shown.clear();
        }
    }
    // Vertices at no usable place keep their own label and name.
    for (auto& entries : m_entries)
        for (Entry& e : entries)
            if (e.name.empty() && !e.shown.empty()) e.name = e.shown;
}

const SceneLabels::Entry* SceneLabels::entry(int slot, int vertex) const {
    if (slot < 1 || static_cast<std::size_t>(slot) >= m_entries.size()) return nullptr;
    const auto& entries = m_entries[static_cast<std::size_t>(slot)];
    if (vertex < 1 || static_cast<std::size_t>(vertex) > entries.size()) return nullptr;
    return &entries[static_cast<std::size_t>(vertex - 1)];
}

const std::string& SceneLabels::shown(int slot, int vertex) const {
    static const std::string none;
    const Entry* e = entry(slot, vertex);
    return e ? e->shown : none;
}

std::string SceneLabels::nameOf(int slot, int vertex) const {
    if (const Entry* e = entry(slot, vertex)) return e->name;
    const SceneObject& o = m_scene.object(slot);
    if (vertex < 1 || vertex > o.vertexCount) return {};
    // An object not lettered in the picture (hidden, or of another kind) is named from the
    // lettered places it shares.
    const Vec3f& at = o.vertex(vertex);
    const int count = static_cast<int>(m_entries.size()) - 1;
    std::string own = VertexLabel(o, vertex, m_settings);
    for (int s = 1; s <= count; ++s) {
        const auto& entries = m_entries[static_cast<std::size_t>(s)];
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (!entries[i].shown.empty() &&
                SamePlace(at, m_scene.object(s).vertex(static_cast<int>(i) + 1)))
                return entries[i].shown;
    }
    return own;
}

} // namespace vorn::core
