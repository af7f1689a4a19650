// The picture's pending operations as modes: the interaction forwards the picture's events to
// the current mode, and the drawing passes only read it.
#pragma once

#include "view/wire_frame.h"

#include <QString>
#include <Qt>

#include <span>
#include <vector>

class QAction;

namespace vorn::app {

class PictureInteraction;

// Which pending operation a mode runs: at most one at a time.
enum class Pending { None, Measure, Section, ScreenCreate, Transform };

// The picture's cursors besides the normal cross: TargetCur, DragCur, PutCur, GetCur.
enum class PictureCursor { Cross = 0, Target = 5, Drag = 6, Put = 7, Get = 8 };

class InteractionMode {
  public:
    explicit InteractionMode(PictureInteraction& part) : m_part(part) {}
    virtual ~InteractionMode() = default;
    InteractionMode(const InteractionMode&) = delete;
    InteractionMode& operator=(const InteractionMode&) = delete;

    virtual Pending kind() const = 0;
    // The measurement, transformation or creation the mode runs, from 1; 0 for the others.
    virtual int number() const { return 0; }
    // The command marked while the mode runs; nullptr for none.
    virtual const char* command() const { return nullptr; }
    // Shown on the hint line when the mode starts: the heading, then the first prompt.
    const QString& heading() const { return m_heading; }
    virtual QString prompt() const { return {}; }
    // The heading goes to the report when the mode starts, and "Операцію не завершено." when
    // it is cancelled before its end.
    virtual bool reports() const { return true; }

    // A press on the picture, on the pick of the last pass. By default a left press starts a
    // drag where one may start.
    virtual void pressed(Qt::MouseButton button);
    // The mode fixes elements picked on the picture, so the keyboard may pick them too.
    virtual bool waitsForPick() const { return false; }
    // The cursor over a new pick.
    virtual PictureCursor cursorOver(const pic::Pick&) const { return PictureCursor::Target; }
    // The elements fixed so far: the passes mark a measurement's and the placed points.
    virtual int fixedCount() const { return 0; }
    virtual std::span<pic::MarkedElement> measureElements() { return {}; }
    virtual std::span<pic::MarkedElement> placedPoints() { return {}; }
    // The mode lasts only while the picture looks along an axis.
    virtual bool needsAxisView() const { return false; }
    // A left drag from empty space may turn the scene.
    virtual bool letsTurn() const { return false; }

  protected:
    PictureInteraction& m_part;
    QString m_heading;
};

// Nothing pending.
class IdleMode : public InteractionMode {
  public:
    using InteractionMode::InteractionMode;
    Pending kind() const override { return Pending::None; }
    bool reports() const override { return false; }
    bool letsTurn() const override { return true; }
};

// A mode that fixes picked elements: a measurement, a section, an on-screen creation.
class PickingMode : public InteractionMode {
  public:
    using InteractionMode::InteractionMode;
    void pressed(Qt::MouseButton) override {}
    bool waitsForPick() const override { return true; }
    PictureCursor cursorOver(const pic::Pick&) const override { return PictureCursor::Get; }
    int fixedCount() const override { return static_cast<int>(m_fixed.size()); }

  protected:
    std::vector<pic::MarkedElement> m_fixed;
};

// The command with `tag`'s name, for marking it; nullptr when there is none.
const char* CommandName(int tag);
// A command's caption without its '&' (empty for none).
QString CommandCaption(const QAction* action);

} // namespace vorn::app
