// Scenes on the window's picture and a mouse that moves and clicks on their computed pixels.
#pragma once

#include "app_fixture.h"

#include "app/picture_interaction.h"
#include "core/scene.h"
#include "geometry/vec3.h"

#include <QEvent>
#include <QPoint>

#include <deque>
#include <vector>

namespace vorn::test {

class PictureTest : public WindowTest {
  protected:
    void SetUp() override;

    app::PictureInteraction& interaction() { return *window->interaction(); }
    core::Scene& scene() { return window->scene(); }

    // Objects put straight into the scene (faces and planes as the builder makes them).
    int addPoint(geo::Vec3 p, const char* name = "");
    int addPolyline(const std::vector<geo::Vec3>& points, const char* name = "");
    // A Plane through p1, p2, p3 drawn as the parallelogram with p4 = p1 + p3 - p2.
    int addPlane(geo::Vec3 p1, geo::Vec3 p2, geo::Vec3 p3, const char* name = "");
    int addBox(geo::Vec3 low, geo::Vec3 high, const char* name = "");
    // Refreshes the object list, looks along the axis of `viewTag` (4 isometry), fits, redraws.
    void show(int viewTag = 4);

    QPoint vertexPixel(int slot, int vertex) const;
    // A pixel of the edge v1-v2 of `slot` whose pick is that edge; fails the test when none is.
    QPoint edgePixel(int slot, int v1, int v2);
    // A pixel of the picture where nothing is picked.
    QPoint emptyPixel();
    // The space point the picture shows at a pixel in a view along an axis.
    QPoint pixelOf(geo::Vec3 p) const;

    void move(QPoint p);
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton);
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton);
    void click(QPoint p, Qt::MouseButton b = Qt::LeftButton);
    void drag(QPoint from, QPoint to, int steps = 8);

    void send(QEvent::Type type, QPoint p, Qt::MouseButton b);
    Qt::MouseButtons m_buttons;

    // The entry dialog stand-in: records the slots it was opened on and answers from a script
    // (OK when the script is empty).
    std::vector<int> edited;
    std::deque<bool> editAnswers;
    // The input box stand-in: texts in order; an empty script cancels.
    std::deque<QString> inputs;
    QStringList inputPrompts;
};

geo::Vec3 AtVertex(const core::SceneObject& o, int i);

} // namespace vorn::test
