// TCheckFrm: the face list of the current polyhedron with check marks and the marked-area sum.
#pragma once

#include "core/scene.h"
#include "polyhedra/face_list.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace vorn::app {

class TCheckFrm : public QWidget {
    Q_OBJECT
  public:
    TCheckFrm(core::Env& env, QWidget* parent);

    // Called after the marks changed, so the picture can be redrawn.
    void setRedraw(std::function<void()> redraw) { m_redraw = std::move(redraw); }

    // Shows the window on the current object (command "Площі та периметри граней").
    void open();
    // The list for the current object; a visible window hides when it is no polyhedron.
    void refresh();

    QListWidget* list() const { return m_list; }
    QString total() const;
    const poly::FaceList& faces() const { return m_faces; }
    // Button Tags 1 check all, 2 uncheck all, 3 invert.
    void markCommand(int tag);
    void setAlwaysOnTop(bool on);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void marksChanged();

    core::Env& m_env;
    poly::FaceList m_faces;
    int m_slot = 0;
    bool m_filling = false;
    QListWidget* m_list;
    QLabel* m_total;
    QCheckBox* m_onTop;
    std::function<void()> m_redraw;
};

} // namespace vorn::app
