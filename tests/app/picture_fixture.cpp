// Scene builders and the mouse of the picture tests.
#include "picture_fixture.h"

#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"
#include "view/view_state.h"
#include "polyhedra/formation.h"
#include "polyhedra/metrics.h"

#include <QApplication>
#include <QMouseEvent>

#include <cmath>

namespace vorn::test {

geo::Vec3 AtVertex(const core::SceneObject& o, int i) {
    return {o.vertex(i).x, o.vertex(i).y, o.vertex(i).z};
}

namespace {

core::Vec3f F(geo::Vec3 p) {
    return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}

void SetFace(core::SceneObject& o, int f, int a, int b, int c) {
    o.face(f).vertex1 = static_cast<std::int16_t>(a);
    o.face(f).vertex2 = static_cast<std::int16_t>(b);
    o.face(f).vertex3 = static_cast<std::int16_t>(c);
}

int Append(core::Scene& scene, core::ObjectType type, const char* name) {
    const int slot = core::AppendObject(scene, type);
    EXPECT_GT(slot, 0);
    scene.object(slot).name.setUtf8(name);
    return slot;
}

} // namespace

void PictureTest::SetUp() {
    WindowTest::SetUp();
    // The axes would take the edge picks along them; the tests pick objects only.
    window->settings().IsOsi = false;
    interaction().setObjectEditor([this](int slot) {
        edited.push_back(slot);
        if (editAnswers.empty()) return true;
        const bool ok = editAnswers.front();
        editAnswers.pop_front();
        return ok;
    });
    interaction().setInputBox([this](const QString&, const QString& prompt, QString& text) {
        inputPrompts << prompt;
        if (inputs.empty()) return false;
        text = inputs.front();
        inputs.pop_front();
        return true;
    });
}

int PictureTest::addPoint(geo::Vec3 p, const char* name) {
    const int slot = Append(scene(), core::ObjectType::Point, name);
    scene().object(slot).vertex(1) = F(p);
    return slot;
}

int PictureTest::addPolyline(const std::vector<geo::Vec3>& points, const char* name) {
    const int slot = Append(scene(), core::ObjectType::Polyline, name);
    core::SceneObject& o = scene().object(slot);
    const int n = static_cast<int>(points.size());
    o.vertexCount = static_cast<std::int16_t>(n);
    for (int i = 1; i <= n; ++i)
        o.vertex(i) = F(points[static_cast<std::size_t>(i - 1)]);
    o.faceCount = static_cast<std::int16_t>(n - 1);
    for (int j = 1; j < n; ++j)
        SetFace(o, j, j + 1, j, j);
    return slot;
}

int PictureTest::addPlane(geo::Vec3 p1, geo::Vec3 p2, geo::Vec3 p3, const char* name) {
    const int slot = Append(scene(), core::ObjectType::Plane, name);
    core::SceneObject& o = scene().object(slot);
    o.vertexCount = 4;
    o.vertex(1) = F(p1);
    o.vertex(2) = F(p2);
    o.vertex(3) = F(p3);
    o.vertex(4) = F(p1 + p3 - p2);
    o.faceCount = 2;
    SetFace(o, 1, 1, 2, 3);
    SetFace(o, 2, 1, 3, 4);
    EXPECT_EQ(poly::RecomputeFacePlanes(o), 0);
    return slot;
}

int PictureTest::addBox(geo::Vec3 low, geo::Vec3 high, const char* name) {
    const int slot = Append(scene(), core::ObjectType::Polyhedron, name);
    core::SceneObject& o = scene().object(slot);
    o.vertexCount = 8;
    int i = 1;
    for (double z : {low.z, high.z})
        for (double y : {low.y, high.y})
            for (double x : {low.x, high.x})
                o.vertex(i++) = F({x, y, z});
    EXPECT_TRUE(poly::FormConvexFaces(window->env(), slot));
    EXPECT_TRUE(poly::CompleteObject(window->env(), slot));
    return slot;
}

void PictureTest::show(int viewTag) {
    window->refreshObjectList();
    window->viewCommand(viewTag);
    window->picture()->redrawPicture();
    window->picture()->fitPicture();
    window->picture()->redrawPicture();
}

QPoint PictureTest::vertexPixel(int slot, int vertex) const {
    const pic::ScreenPoint p = window->picture()->canvas().engine().screen(slot, vertex);
    return {p.x, p.y};
}

QPoint PictureTest::edgePixel(int slot, int v1, int v2) {
    const QPoint a = vertexPixel(slot, v1), b = vertexPixel(slot, v2);
    const int n = std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
    // From the middle outwards, the first pixel whose pick is this edge.
    for (int k = 0; k <= n / 2; ++k) {
        for (int sign : {1, -1}) {
            const double t = 0.5 + sign * static_cast<double>(k) / std::max(n, 1);
            const QPoint p(static_cast<int>(std::lround(a.x() + (b.x() - a.x()) * t)),
                           static_cast<int>(std::lround(a.y() + (b.y() - a.y()) * t)));
            move(p);
            const pic::Pick& pick = interaction().pick();
            if (pick.object == slot && pick.vertex2 != 0 &&
                ((pick.vertex1 == v1 && pick.vertex2 == v2) ||
                 (pick.vertex1 == v2 && pick.vertex2 == v1)))
                return p;
        }
    }
    ADD_FAILURE() << "no pixel picks edge " << v1 << "-" << v2 << " of slot " << slot;
    return a;
}

QPoint PictureTest::emptyPixel() {
    for (const QPoint p : {QPoint(5, 5), QPoint(7, 40), QPoint(40, 7), QPoint(60, 60)}) {
        move(p);
        if (!interaction().pick().any()) return p;
    }
    ADD_FAILURE() << "no empty pixel";
    return {};
}

QPoint PictureTest::pixelOf(geo::Vec3 p) const {
    const pic::Projected q = pic::ProjectPoint(window->picture()->view(), p);
    return {pic::RoundPixel(q.px), pic::RoundPixel(q.py)};
}

void PictureTest::move(QPoint p) {
    send(QEvent::MouseMove, p, Qt::NoButton);
}

void PictureTest::press(QPoint p, Qt::MouseButton b) {
    m_buttons |= b;
    send(QEvent::MouseButtonPress, p, b);
}

void PictureTest::release(QPoint p, Qt::MouseButton b) {
    m_buttons &= ~Qt::MouseButtons(b);
    send(QEvent::MouseButtonRelease, p, b);
}

// Straight to the picture, so that a move to the pointer's own position is not dropped.
void PictureTest::send(QEvent::Type type, QPoint p, Qt::MouseButton b) {
    QWidget* place = window->picture()->place();
    QMouseEvent event(type, QPointF(p), place->mapToGlobal(QPointF(p)), b, m_buttons, {});
    QApplication::sendEvent(place, &event);
}

void PictureTest::click(QPoint p, Qt::MouseButton b) {
    move(p);
    press(p, b);
    release(p, b);
}

void PictureTest::drag(QPoint from, QPoint to, int steps) {
    move(from);
    press(from);
    for (int k = 1; k <= steps; ++k)
        move(from + (to - from) * k / steps);
    release(to);
}

} // namespace vorn::test
