// The picture field `Place` with its two rotation scroll bars: the window side of the picture.
#pragma once

#include "core/scene.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QScrollBar;

namespace vorn::pic {

struct ViewState;
class PictureCanvas;
class PassHooks;
struct PickTarget;

class PicturePanel : public QWidget {
    Q_OBJECT
  public:
    explicit PicturePanel(core::Env& env, QWidget* parent = nullptr);
    ~PicturePanel() override;

    ViewState& view();
    const ViewState& view() const;

    // RedrawPicture does nothing until the main window says every window exists.
    void setReady(bool ready);
    // The single entry point for a new picture.
    void redrawPicture();
    // FitPicture (does not redraw).
    void fitPicture();
    // The "Зображення" commands by Tag: 1..4 axis presets, 5 zoom in, 6 zoom out, 7 fit.
    void viewCommand(int tag);
    // Moves both scroll bars (and so the view) to these steps, 0..71.
    void setTurnAngles(int horizontal, int vertical);
    int degenerateAxis() const;

    QWidget* place() const; // object name "Place"
    QScrollBar* scrollBarHor() const;
    QScrollBar* scrollBarVer() const;
    // The persistent bitmap of the last pass.
    const QImage& image() const;

    // RedrawPicture with the interactive switch on (applying the settings): the pass after the
    // clearing is interactive at (mx, my).
    void redrawPicture(bool interactive, int mx, int my);
    // An interactive drawing pass over the picture at the pointer (x, y).
    void interactivePass(int x, int y);
    // True while a drawing pass runs; mouse movements are ignored meanwhile.
    bool busy() const;
    // The picture interaction's part of every drawing pass (hit test, marked elements, status).
    void setPassHooks(PassHooks* hooks);
    PictureCanvas& canvas();
    // A keyboard pick: an interactive pass over the picture showing `target` picked.
    void pickPass(const PickTarget& target);
    // Keys pressed on the picture go to `handler` first; it answers whether it used the key.
    // Tab and Shift+Tab reach it too: they move the focus on only when it refuses them.
    using KeyHandler = std::function<bool(int key, Qt::KeyboardModifiers mods)>;
    void setKeyHandler(KeyHandler handler);
    // Asked when the left button goes down on the picture: may a drag from here turn the scene?
    // Without one, a drag turns the scene in every view but the axis views.
    void setTurnGate(std::function<bool()> gate);
    // True while a drag turns the scene. On a scene whose hidden-line pass is slower than the
    // pointer's pace (kDragHiddenPassBudget) its redraws skip the pass and draw every line
    // solid until it ends; a lighter scene keeps its hidden lines while it turns.
    bool turning() const;

  Q_SIGNALS:
    // Mouse events on the picture in picture coordinates, for the picture interaction.
    void placeMouseMoved(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);
    void placeMousePressed(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void placeMouseReleased(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void placeDoubleClicked(int x, int y);
    // The view changed (angles, zoom, size); the half-tone picture follows it.
    void viewChanged();

  protected:
    // The wheel zooms; the half-tone picture, which takes no mouse input, leaves its presses
    // and drags to the panel.
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool mayTurn(const QMouseEvent* e) const;
    void beginTurn(QPoint p);
    // False when no turn is going on.
    bool followTurn(QPoint p, Qt::MouseButtons buttons);
    // The turn is over: a hidden-line pass skipped while it went on is done again.
    void endTurn();
    struct Impl;
    Impl* d;
};

} // namespace vorn::pic
