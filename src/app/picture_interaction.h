// The picture's interaction: it holds the current mode (the pending operation) and the drag,
// forwards the picture's events to them, and keeps the hit test's results, the keyboard pick,
// the cursors and the status fields.
#pragma once

#include "app/interaction_mode.h"
#include "app/interaction_window.h"
#include "geometry/vec3.h"
#include "lesson/lesson.h"
#include "view/wire_frame.h"

#include <QCursor>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vorn::app {

class DragMode;
class TCheckFrm;
class TModFrm;

// The drawn cursor images (hot spot in the middle).
QCursor MakePictureCursor(PictureCursor cursor);

class PictureInteraction : public QObject, public pic::PassHooks {
    Q_OBJECT
  public:
    // Most elements a measurement or an on-screen creation may fix.
    static constexpr int kMaxFixed = 103;

    PictureInteraction(InteractionWindow& window, lesson::Lesson& lesson);
    ~PictureInteraction() override;

    // The entry dialog on a slot; true when it was closed with OK.
    using ObjectEditor = std::function<bool(int slot)>;
    void setObjectEditor(ObjectEditor editor) { m_editObject = std::move(editor); }
    const ObjectEditor& objectEditor() const { return m_editObject; }
    // The input box of the surface-value questions: `text` in and out; false when cancelled.
    using InputBox =
        std::function<bool(const QString& title, const QString& prompt, QString& text)>;
    void setInputBox(InputBox box) { m_inputBox = std::move(box); }

    // The commands of the picture: true when `tag` is one of them (and it has run).
    bool dispatch(int tag);
    // The selection of the object list changed: dependent windows follow.
    void currentObjectChanged();
    // Any key release ends a drag.
    void keyReleased();
    // A left drag from the pointer's place turns the scene: nothing pending, nothing under the
    // pointer and no axis view, where a drag moves objects (the half-tone picture picks nothing
    // and moves nothing, so there it always turns).
    bool turnMayStart() const;

    // Each command starts its mode; the same command again ends it.
    void startSection();
    void startMeasure(int measurement);
    void startTransform(int transformation);
    void startScreenCreate(int creation);
    // Ends the current mode; one begun by its command is reported as unfinished.
    void CancelPendingOperation();
    // Ends the current mode without reporting it as unfinished.
    void finishPendingOperation();
    void surfaceValue();

    // Keyboard picking while the mode waits for a pick: Tab and Shift+Tab step through the
    // places of the picture's elements, Space and Shift+Space through the objects that have one
    // at the place shown, Enter fixes the element shown as a left click there would. True when
    // the key was used.
    bool keyPressed(int key, Qt::KeyboardModifiers mods);

    // Mouse events of the picture, in picture coordinates.
    void mouseMoved(int x, int y, Qt::MouseButtons buttons);
    void mousePressed(int x, int y, Qt::MouseButton button);
    void mouseReleased(int x, int y, Qt::MouseButton button);

    // State, for the window, the modes and the tests.
    const InteractionMode& mode() const { return *m_mode; }
    Pending pending() const { return m_mode->kind(); }
    int measureMode() const { return numberIf(Pending::Measure); }
    int screenCreateMode() const { return numberIf(Pending::ScreenCreate); }
    int transformMode() const { return numberIf(Pending::Transform); }
    bool sectionPending() const { return pending() == Pending::Section; }
    int fixedCount() const { return m_mode->fixedCount(); }
    const pic::Pick& pick() const { return m_pick; }
    const geo::Vec3& pointerPoint() const { return m_pointerPoint; }
    int dragObject() const;
    PictureCursor cursor() const { return m_cursor; }

    TCheckFrm* checkFrm() const { return m_checkFrm; }
    TModFrm* modFrm() const { return m_modFrm; }

    // For the modes.
    InteractionWindow& window() const { return m_window; }
    lesson::Lesson& lesson() const { return m_lesson; }
    // The hint line, under the current mode's heading.
    void setInfo(const QString& text);
    void showNeedType(int kindMessage);
    std::string pointText(const geo::Vec3& p) const;
    // A drag of the pick, where one may start: a user object other than a surface, in a view
    // along an axis.
    void startDrag();
    // The mode ended by its own last step: nothing pending, nothing reported, the commands left
    // as they are (the caller ends the operation). The ended mode lives until its event is over.
    void leaveMode();

    // PassHooks: the passes read the mode.
    double pickRadius() const override;
    void afterObjects(const pic::Pick& pick, pic::ScreenPoint mouse, bool interactive) override;
    std::span<pic::MarkedElement> measureElements() override { return m_mode->measureElements(); }
    std::span<pic::MarkedElement> placedPoints() override { return m_mode->placedPoints(); }
    void endPass(const pic::Pick& pick, const pic::Pick& before) override;

  private:
    int numberIf(Pending kind) const { return pending() == kind ? m_mode->number() : 0; }
    // Starts `mode`: marks its command, shows its heading and first prompt, reports the heading.
    void runMode(std::unique_ptr<InteractionMode> mode);
    void setMode(std::unique_ptr<InteractionMode> mode);
    void endMode(bool reportUnfinished);
    // The commands of the pending operations unmarked and enabled as the window's state allows;
    // `transformationsOnly` for the four that follow the view.
    void updateOperationCommands(bool transformationsOnly);
    void markCommand(const char* name, bool on);
    bool waitsForPick() const;
    void stepKeyPick(int direction);
    void chooseAtStop(int direction);
    void showKeyTarget(const std::vector<pic::PickTarget>& stop, std::size_t member);
    void fixKeyPick();
    void showKeyPick();
    void updateStatusLine(const pic::Pick& pick);
    void setCursorShape(PictureCursor cursor);
    std::string number(double v) const;

    InteractionWindow& m_window;
    lesson::Lesson& m_lesson;
    std::unique_ptr<InteractionMode> m_mode;
    // Modes ended while one of their events ran: freed when no event runs any more.
    std::vector<std::unique_ptr<InteractionMode>> m_ended;
    int m_modeEvents = 0;
    std::unique_ptr<DragMode> m_drag;

    pic::Pick m_pick;
    geo::Vec3 m_pressPoint; // the pointer at the last press, where a drag starts
    std::optional<pic::PickTarget> m_keyTarget; // the element the keyboard stepped to
    geo::Vec3 m_pointerPoint;
    PictureCursor m_cursor = PictureCursor::Cross;

    ObjectEditor m_editObject;
    InputBox m_inputBox;
    TCheckFrm* m_checkFrm = nullptr;
    TModFrm* m_modFrm = nullptr;
};

} // namespace vorn::app
