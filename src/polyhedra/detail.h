// Shared helpers of the polyhedron passes: record access and the host's progress window.
#pragma once

#include "core/host.h"
#include "core/object_view.h"

#include <algorithm>

#include <string>

namespace vorn::poly::detail {

using core::VertexAt;
// A·x + B·y + C·z + D of a face's stored (single-precision) plane at a stored vertex.
inline double PlaneValue(const core::Face& f, const core::Vec3f& v) {
    return double(f.a) * v.x + double(f.b) * v.y + double(f.c) * v.z + double(f.d);
}
inline int VertexCount(const core::SceneObject& o) {
    return core::UsableVertexCount(o);
}
inline int FaceCount(const core::SceneObject& o) {
    return core::UsableFaceCount(o);
}
// Whether every face names vertices 1..vertexCount.
inline bool FacesAreValid(const core::SceneObject& o) {
    const int n = VertexCount(o);
    for (int f = 1; f <= FaceCount(o); ++f) {
        const core::Face& face = o.face(f);
        for (int v : {face.vertex1, face.vertex2, face.vertex3})
            if (v < 1 || v > n) return false;
    }
    return true;
}

// Shows the host's progress window only when `items` exceeds `threshold`; each step also lets
// pending window messages run. The stop button is not polled by these passes.
class Progress {
  public:
    Progress(core::Host& host, const std::string& text, int items, int threshold)
        : m_host(host), m_items(items), m_shown(items > threshold) {
        if (m_shown) m_host.progressBegin(text, items);
    }
    ~Progress() { end(); }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void step(int position) {
        if (!m_shown) return;
        m_host.progressStep(position);
        m_host.processEvents();
    }
    // A new message line in the window already shown (the host takes a repeated begin as that).
    void message(const std::string& text) {
        if (m_shown) m_host.progressBegin(text, m_items);
    }
    void end() {
        if (m_shown) m_host.progressEnd();
        m_shown = false;
    }

  private:
    core::Host& m_host;
    int m_items;
    bool m_shown;
};

} // namespace vorn::poly::detail
