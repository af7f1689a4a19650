// The run's invariants: a sound scene, no program file written outside the run's folder, an
// object list that shows exactly the scene's objects.
#include "soak_driver.h"
#include "soak_helpers.h"

#include "app/listing_panel.h"
#include "app/vorn2frm.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>

#include <algorithm>
#include <sys/inotify.h>
#include <unistd.h>

namespace vorn::soak {

std::vector<std::string> SceneFaults(const core::Scene& scene) {
    std::vector<std::string> faults;
    const int count = scene.objectCount();
    if (count < 1 || count > core::kMaxObjectCount) {
        faults.push_back("object count " + std::to_string(count) + " outside 1.." +
                         std::to_string(core::kMaxObjectCount));
        return faults;
    }
    for (int k = 1; k <= count; ++k) {
        const core::SceneObject& o = scene.object(k);
        const std::string at = "slot " + std::to_string(k) + ": ";
        bool sound = true;
        if (o.vertexCount < 0 || o.vertexCount > core::kMaxVertices) {
            faults.push_back(at + "vertex count " + std::to_string(o.vertexCount));
            sound = false;
        }
        if (o.faceCount < 0 || o.faceCount > core::kMaxFaces) {
            faults.push_back(at + "face count " + std::to_string(o.faceCount));
            sound = false;
        }
        if (o.partCount > core::kMaxParts)
            faults.push_back(at + "part count " + std::to_string(o.partCount));
        if (!sound) continue;
        for (int f = 1; f <= o.faceCount; ++f) {
            const core::Face& face = o.face(f);
            const int v[3] = {face.vertex1, face.vertex2, face.vertex3};
            if (std::all_of(v, v + 3, [&](int n) { return n >= 1 && n <= o.vertexCount; }))
                continue;
            faults.push_back(at + "face " + std::to_string(f) + " names vertices " +
                             std::to_string(v[0]) + ", " + std::to_string(v[1]) + ", " +
                             std::to_string(v[2]) + " of " + std::to_string(o.vertexCount));
            break;
        }
    }
    return faults;
}

bool ProgramFileName(const QString& name) {
    const QString n = name.toLower();
    for (const char* ext : {".v3d", ".ini", ".lng", ".txt", ".html"})
        if (n.endsWith(QLatin1String(ext))) return true;
    return n.startsWith(QLatin1String(".~")) || n.startsWith(QLatin1String("noname"));
}

OutsideWriteWatch::OutsideWriteWatch() : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

OutsideWriteWatch::~OutsideWriteWatch() {
    if (m_fd >= 0) ::close(m_fd);
}

bool OutsideWriteWatch::watch(const QString& dir) {
    if (m_fd < 0 || !QFileInfo(dir).isDir()) return false;
    const int wd = ::inotify_add_watch(m_fd, QFile::encodeName(dir).constData(),
                                       IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO |
                                           IN_MOVED_FROM | IN_DELETE | IN_ATTRIB);
    if (wd < 0) return false;
    m_dirs[wd] = dir;
    return true;
}

QStringList OutsideWriteWatch::changes() {
    QStringList out;
    if (m_fd < 0) return out;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            if (e->len == 0) continue;
            const QString name = QFile::decodeName(e->name);
            if (ProgramFileName(name)) out << m_dirs[e->wd] + '/' + name;
        }
    }
    return out;
}

void Driver::check() {
    const std::vector<std::string> faults = SceneFaults(m_window->scene());
    if (!faults.empty()) {
        std::string all;
        for (const std::string& f : faults)
            all += (all.empty() ? "" : "; ") + f;
        const core::Scene& scene = m_window->scene();
        for (int k = 2; k <= std::min(scene.objectCount(), core::kMaxObjectCount); ++k) {
            const core::SceneObject& o = scene.object(k);
            all += "\n    slot " + std::to_string(k) + ": type " +
                   std::to_string(static_cast<int>(o.type)) + " \"" + o.name.utf8() + "\" " +
                   std::to_string(o.vertexCount) + " vertices, " + std::to_string(o.faceCount) +
                   " faces, " + std::to_string(o.partCount) + " parts";
        }
        fail("scene invariant broken: " + all);
    }
    for (const QString& change : m_watch.changes())
        fail("a file outside the run's folder was touched: " + str(change));
    for (const QString& path :
         {m_window->currentFileName(), m_window->settingsFile(), m_window->dataDir()})
        if (!insideFolder(path, m_options.root))
            fail("the program would write outside the run's folder: " + str(path));
    if (m_depth != 1 || startUpLoading() || QApplication::activeModalWidget() ||
        !m_window->isVisible())
        return;
    // Between commands the list shows exactly the user's objects.
    const int listed = m_window->listing()->objList()->count();
    if (listed != m_window->scene().objectCount() - 1) {
        std::string items;
        for (int i = 0; i < listed; ++i)
            items += " \"" + str(m_window->listing()->objList()->item(i)->text()) + "\"";
        fail("the object list shows " + std::to_string(listed) + " items for " +
             std::to_string(m_window->scene().objectCount() - 1) + " objects:" + items);
    }
}

} // namespace vorn::soak
