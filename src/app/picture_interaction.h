// The picture's pending operations (measuring, cutting, creating on the screen, dragging) as
// explicit states, the hit test of the interactive passes, the cursors and the status fields.
#pragma once

#include "app/scene_steps.h"
#include "geometry/vec3.h"
#include "view/wire_frame.h"

#include <QCursor>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vorn::app {

class TVorn2frm;
class TCheckFrm;
class TModFrm;

// The pending operation: at most one at a time.
enum class Pending { None, Measure, Section, ScreenCreate, Transform };

// The picture's cursors besides the normal cross: TargetCur, DragCur, PutCur, GetCur.
enum class PictureCursor { Cross = 0, Target = 5, Drag = 6, Put = 7, Get = 8 };
// The drawn cursor images (hot spot in the middle).
QCursor MakePictureCursor(PictureCursor cursor);

class PictureInteraction : public QObject, public pic::PassHooks {
    Q_OBJECT
  public:
    // Most elements a measurement or an on-screen creation may fix.
    static constexpr int kMaxFixed = 103;

    explicit PictureInteraction(TVorn2frm& window);
    ~PictureInteraction() override;

    // The entry dialog on a slot; true when it was closed with OK.
    using ObjectEditor = std::function<bool(int slot)>;
    void setObjectEditor(ObjectEditor editor) { m_editObject = std::move(editor); }
    // The input box of the surface-value questions: `text` in and out; false when cancelled.
    using InputBox =
        std::function<bool(const QString& title, const QString& prompt, QString& text)>;
    void setInputBox(InputBox box) { m_inputBox = std::move(box); }

    // The commands of the picture: true when `tag` is one of them (and it has run).
    bool dispatch(int tag);
    // The selection of the object list changed: dependent windows follow.
    void currentObjectChanged();
    // Any key release ends a drag.
    void keyReleased() { m_dragObject = 0; }
    // A left drag from the pointer's place turns the scene: nothing pending, nothing under the
    // pointer and no axis view, where a drag moves objects (the half-tone picture picks nothing
    // and moves nothing, so there it always turns).
    bool turnMayStart() const;

    void startSection();
    void startMeasure(int mode);
    void startTransform(int mode);
    void startScreenCreate(int mode);
    void CancelPendingOperation();
    // Ends the pending operation without reporting it as unfinished.
    void finishPendingOperation();
    void surfaceValue();

    // Keyboard picking while a measurement, section or on-screen creation waits for a pick:
    // Tab and Shift+Tab step through the places of the picture's elements, Space and
    // Shift+Space through the objects that have one at the place shown, Enter fixes the element
    // shown. True when the key was used.
    bool keyPressed(int key, Qt::KeyboardModifiers mods);

    // Mouse events of the picture, in picture coordinates.
    void mouseMoved(int x, int y, Qt::MouseButtons buttons);
    void mousePressed(int x, int y, Qt::MouseButton button);
    void mouseReleased(int x, int y, Qt::MouseButton button);

    // State, for the window and the tests.
    Pending pending() const { return m_pending; }
    int measureMode() const { return m_pending == Pending::Measure ? m_mode : 0; }
    int screenCreateMode() const { return m_pending == Pending::ScreenCreate ? m_mode : 0; }
    int transformMode() const { return m_pending == Pending::Transform ? m_mode : 0; }
    bool sectionPending() const { return m_pending == Pending::Section; }
    int fixedCount() const { return static_cast<int>(m_fixed.size()); }
    const pic::Pick& pick() const { return m_pick; }
    const geo::Vec3& pointerPoint() const { return m_pointerPoint; }
    int dragObject() const { return m_dragObject; }
    PictureCursor cursor() const { return m_cursor; }

    TCheckFrm* checkFrm() const { return m_checkFrm; }
    TModFrm* modFrm() const { return m_modFrm; }

    // PassHooks
    double pickRadius() const override;
    void afterObjects(const pic::Pick& pick, pic::ScreenPoint mouse, bool interactive) override;
    std::span<pic::MarkedElement> measureElements() override;
    std::span<pic::MarkedElement> placedPoints() override;
    void endPass(const pic::Pick& pick, const pic::Pick& before) override;

  private:
    // Entering a state: cancels the old one, marks the command, sets heading and hint.
    void enter(Pending state, int mode, const QString& heading, const QString& prompt, bool report);
    void setInfo(const QString& text);
    void markCommand(const char* name, bool on);
    void showNeedType(int kindMessage);
    bool waitsForPick() const;
    void stepKeyPick(int direction);
    void chooseAtStop(int direction);
    void showKeyTarget(const std::vector<pic::PickTarget>& stop, std::size_t member);
    void fixKeyPick();
    void showKeyPick();
    void measureStep();
    void screenCreateStep(Qt::MouseButton button);
    void sectionStep();
    void dragStep(int x, int y);
    void dragRelease();
    int viewTurnSign(int axis) const;
    void updateStatusLine(const pic::Pick& pick);
    void setCursorShape(PictureCursor cursor);
    std::string number(double v) const;
    std::string pointText(const geo::Vec3& p) const;

    TVorn2frm& m_window;
    Pending m_pending = Pending::None;
    int m_mode = 0;
    bool m_started = false;                  // operationStarted: begun by its command
    QString m_heading;                       // operationHeading
    std::vector<pic::MarkedElement> m_fixed; // fixedElements

    pic::Pick m_pick;
    std::unique_ptr<SceneSteps::Step> m_dragStep; // a drag is one step, press to release
    std::optional<pic::PickTarget> m_keyTarget;   // the element the keyboard stepped to
    geo::Vec3 m_pointerPoint;
    PictureCursor m_cursor = PictureCursor::Cross;

    int m_dragObject = 0;
    int m_dragVertex = 0;
    geo::Vec3 m_dragLastPoint;
    geo::Vec3 m_dragLastMouse;

    ObjectEditor m_editObject;
    InputBox m_inputBox;
    TCheckFrm* m_checkFrm = nullptr;
    TModFrm* m_modFrm = nullptr;
};

} // namespace vorn::app
