// The picture interaction: the current mode and the drag, the hit test's results, the keyboard
// pick, the cursors and the status fields.
#include "app/picture_interaction.h"

#include "app/check_frm.h"
#include "app/command_state.h"
#include "app/command_table.h"
#include "app/drag_mode.h"
#include "app/info_panel.h"
#include "app/listing_panel.h"
#include "app/measure_mode.h"
#include "app/mod_frm.h"
#include "app/prompt_table.h"
#include "app/screen_create_mode.h"
#include "app/section_mode.h"
#include "app/stat_line.h"
#include "app/transform_mode.h"
#include "app/user_dialogs.h"
#include "core/format.h"
#include "core/object_view.h"
#include "entry/measure_steps.h"
#include "entry/transform.h"
#include "geometry/primitives.h"
#include "lang/message_ids.h"
#include "lang/message_table.h"
#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace vorn::app {

namespace {

using core::ObjectType;

constexpr std::size_t kHintMaxChars = 240;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

bool SamePick(const pic::Pick& a, const pic::Pick& b) {
    return a.object == b.object && a.vertex1 == b.vertex1 && a.vertex2 == b.vertex2;
}

// While a mode's event runs, the mode may end itself: it stays alive until no event runs.
class ModeEvent {
  public:
    ModeEvent(int& depth, std::vector<std::unique_ptr<InteractionMode>>& ended)
        : m_depth(depth), m_ended(ended) {
        ++m_depth;
    }
    ~ModeEvent() {
        if (--m_depth == 0) m_ended.clear();
    }
    ModeEvent(const ModeEvent&) = delete;
    ModeEvent& operator=(const ModeEvent&) = delete;

  private:
    int& m_depth;
    std::vector<std::unique_ptr<InteractionMode>>& m_ended;
};

} // namespace

QCursor MakePictureCursor(PictureCursor cursor) {
    if (cursor == PictureCursor::Cross) return QCursor(Qt::CrossCursor);
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A white halo under black strokes keeps the cursor visible on any background.
    const auto stroke = [&p](const std::function<void()>& draw) {
        p.setPen(QPen(Qt::white, 3));
        draw();
        p.setPen(QPen(Qt::black, 1));
        draw();
    };
    switch (cursor) {
    case PictureCursor::Target: // a ring with a cross: something is under the pointer
        stroke([&p] {
            p.drawEllipse(QPoint(16, 16), 7, 7);
            p.drawLine(16, 4, 16, 28);
            p.drawLine(4, 16, 28, 16);
        });
        break;
    case PictureCursor::Drag: // four arrows: the object can be moved
        stroke([&p] {
            p.drawLine(16, 3, 16, 29);
            p.drawLine(3, 16, 29, 16);
            p.drawPolyline(QPolygon({QPoint(12, 7), QPoint(16, 3), QPoint(20, 7)}));
            p.drawPolyline(QPolygon({QPoint(12, 25), QPoint(16, 29), QPoint(20, 25)}));
            p.drawPolyline(QPolygon({QPoint(7, 12), QPoint(3, 16), QPoint(7, 20)}));
            p.drawPolyline(QPolygon({QPoint(25, 12), QPoint(29, 16), QPoint(25, 20)}));
        });
        break;
    case PictureCursor::Put: // a cross with a filled square: a point will be placed here
        stroke([&p] {
            p.drawLine(16, 2, 16, 30);
            p.drawLine(2, 16, 30, 16);
            p.drawRect(13, 13, 6, 6);
        });
        p.fillRect(14, 14, 5, 5, Qt::red);
        break;
    case PictureCursor::Get: // a cross with a hook: the element will be taken
        stroke([&p] {
            p.drawLine(16, 4, 16, 28);
            p.drawLine(4, 16, 28, 16);
            p.drawPolyline(QPolygon({QPoint(19, 24), QPoint(22, 28), QPoint(29, 19)}));
        });
        break;
    case PictureCursor::Cross:
        break;
    }
    p.end();
    return QCursor(image, 16, 16);
}

PictureInteraction::PictureInteraction(InteractionWindow& window, lesson::Lesson& lesson)
    : QObject(window.widget()), m_window(window), m_lesson(lesson),
      m_mode(std::make_unique<IdleMode>(*this)) {
    setObjectName("PictureInteraction");
    core::Env& env = lesson.env();
    m_checkFrm = new TCheckFrm(env, window.widget());
    m_checkFrm->setRedraw([this] { m_window.redrawPicture(); });
    m_modFrm = new TModFrm(env, window.widget());
    m_modFrm->setSteps(window.steps());
    m_modFrm->setAfterApply([this] {
        m_window.objectListSelected();
        if (m_window.halfToneActive()) m_window.rebuildHalfTone();
        m_window.redrawPicture();
    });
    m_inputBox = [this](const QString& title, const QString& prompt, QString& text) {
        return ::vorn::app::InputBox(m_window.widget(), m_window.messages(), title, prompt, text);
    };

    pic::PicturePanel* picture = window.picture();
    picture->setPassHooks(this);
    picture->setTurnGate([this] { return turnMayStart(); });
    connect(
        picture, &pic::PicturePanel::placeMouseMoved, this,
        [this](int x, int y, Qt::MouseButtons b, Qt::KeyboardModifiers) { mouseMoved(x, y, b); });
    connect(
        picture, &pic::PicturePanel::placeMousePressed, this,
        [this](int x, int y, Qt::MouseButton b, Qt::KeyboardModifiers) { mousePressed(x, y, b); });
    connect(
        picture, &pic::PicturePanel::placeMouseReleased, this,
        [this](int x, int y, Qt::MouseButton b, Qt::KeyboardModifiers) { mouseReleased(x, y, b); });
    picture->setKeyHandler(
        [this](int key, Qt::KeyboardModifiers mods) { return keyPressed(key, mods); });
}

PictureInteraction::~PictureInteraction() {
    m_window.picture()->setPassHooks(nullptr);
    m_window.picture()->setTurnGate({});
}

// ---- commands ----------------------------------------------------------------------------

bool PictureInteraction::dispatch(int t) {
    if (t == tag::MakeCut) {
        startSection();
    } else if (t >= tag::FirstMeasure && t <= tag::LastMeasure) {
        startMeasure(t - tag::FirstMeasure + 1);
    } else if (t >= tag::FirstMode && t <= tag::LastMode) {
        startTransform(t - tag::FirstMode + 1);
    } else if (t >= tag::FirstScreenCreate && t <= tag::LastScreenCreate) {
        startScreenCreate(t - tag::FirstScreenCreate + 1);
    } else if (t == tag::CancelOperation) {
        CancelPendingOperation();
    } else if (t == tag::Sides) {
        m_checkFrm->open();
    } else if (t == tag::Transform) {
        if (m_lesson.scene().objectCount() < 2)
            m_window.showNoObjectError();
        else
            m_modFrm->open();
    } else if (t == tag::FuncValue) {
        surfaceValue();
    } else {
        return false;
    }
    return true;
}

void PictureInteraction::currentObjectChanged() {
    m_checkFrm->refresh();
    m_modFrm->refresh();
}

// ---- modes ---------------------------------------------------------------------------------

void PictureInteraction::runMode(std::unique_ptr<InteractionMode> mode) {
    markCommand(mode->command(), true);
    const QString heading = mode->heading();
    const QString prompt = mode->prompt();
    const bool report = mode->reports();
    setMode(std::move(mode));
    setInfo((heading + prompt).left(static_cast<int>(kHintMaxChars)));
    if (report) m_window.addReportLine(heading.toStdString());
    // A user without a mouse picks from the keyboard on the picture.
    if (waitsForPick()) m_window.picture()->place()->setFocus(Qt::OtherFocusReason);
}

void PictureInteraction::setMode(std::unique_ptr<InteractionMode> mode) {
    m_ended.push_back(std::move(m_mode));
    m_mode = std::move(mode);
    if (m_modeEvents == 0) m_ended.clear();
}

void PictureInteraction::leaveMode() {
    if (pending() != Pending::None) setMode(std::make_unique<IdleMode>(*this));
}

void PictureInteraction::startSection() {
    if (sectionPending()) {
        CancelPendingOperation();
        return;
    }
    CancelPendingOperation();
    runMode(std::make_unique<SectionMode>(*this));
}

void PictureInteraction::startMeasure(int measurement) {
    const int before = measureMode();
    CancelPendingOperation();
    if (measurement == before || measurement < 1 ||
        measurement > tag::LastMeasure - tag::FirstMeasure + 1)
        return;
    runMode(std::make_unique<MeasureMode>(*this, measurement));
}

void PictureInteraction::startTransform(int transformation) {
    const int before = transformMode();
    CancelPendingOperation();
    if (transformation == before || transformation < 1 ||
        transformation > tag::LastMode - tag::FirstMode + 1)
        return;
    runMode(std::make_unique<TransformMode>(*this, transformation));
}

void PictureInteraction::startScreenCreate(int creation) {
    if (screenCreateMode() != 0) {
        CancelPendingOperation();
        return;
    }
    CancelPendingOperation();
    if (creation < 1 || creation > tag::LastScreenCreate - tag::FirstScreenCreate + 1) return;
    runMode(std::make_unique<ScreenCreateMode>(*this, creation));
}

void PictureInteraction::CancelPendingOperation() {
    endMode(true);
}

void PictureInteraction::finishPendingOperation() {
    endMode(false);
}

void PictureInteraction::endMode(bool reportUnfinished) {
    updateOperationCommands(false);
    if (pending() != Pending::None) {
        setInfo({});
        if (reportUnfinished && m_mode->reports())
            m_window.addReportLine(m_window.messages().text(lang::msg::kOperationNotFinished));
        setMode(std::make_unique<IdleMode>(*this));
    }
    m_keyTarget.reset();
}

void PictureInteraction::updateOperationCommands(bool transformationsOnly) {
    // What the enabling rules of these commands read of the window.
    WindowState state;
    state.halfTone = m_window.halfToneActive();
    state.degenerateAxis = m_window.picture()->degenerateAxis();
    state.sceneFull = m_lesson.scene().isFull();
    for (const CommandInfo& c : Commands()) {
        if (!(transformationsOnly ? IsDragTransformation(c) : StartsPictureOperation(c))) continue;
        if (!transformationsOnly || state.degenerateAxis == 0) markCommand(c.name, false);
        if (QAction* a = m_window.command(c.name)) a->setEnabled(CommandEnabled(c, state));
    }
}

void PictureInteraction::setInfo(const QString& text) {
    m_window.infoPanel()->setInfo(text, m_mode->heading());
}

void PictureInteraction::markCommand(const char* name, bool on) {
    if (!name) return;
    if (QAction* a = m_window.command(name)) {
        if (on && !a->isCheckable()) a->setCheckable(true);
        a->setChecked(on);
    }
}

void PictureInteraction::showNeedType(int kindMessage) {
    m_window.showMessage(core::BoxKind::Error,
                         m_window.prompts().needTypeText + m_window.messages().text(kindMessage));
}

// ---- the value of a surface at a point ---------------------------------------------------

void PictureInteraction::surfaceValue() {
    core::Env& env = m_lesson.env();
    const int slot = env.scene.currentObject;
    if (!env.scene.isUserSlot(slot) || env.scene.object(slot).type != ObjectType::Surface) {
        m_window.showNoObjectError();
        return;
    }
    m_window.addReportLine(entry::SurfaceValueHeading(env, slot));
    const QString title = qs(env.msg(lang::msg::kFunctionValueTitle));
    // A cancelled question ends the operation: asking again would leave the user no way out.
    const auto ask = [&](const char* letter) -> std::optional<double> {
        const QString prompt = qs(env.messages.format(lang::msg::kEnterCoordinate, {letter}));
        QString text;
        while (m_inputBox(title, prompt, text)) {
            if (const auto v = entry::ParseDecimal(text.toStdString())) return *v;
            m_window.showMessage(core::BoxKind::Error, env.msg(lang::msg::kBadNumberOrExpression));
        }
        return std::nullopt;
    };
    const std::optional<double> x = ask("X");
    const std::optional<double> y = x ? ask("Y") : std::nullopt;
    if (!y) {
        m_window.addReportLine(env.msg(lang::msg::kOperationNotFinished));
        return;
    }
    expr::ExpressionEngine engine;
    entry::ReportSurfaceValue(env, engine, slot, *x, *y);
}

// ---- the drawing passes --------------------------------------------------------------------

double PictureInteraction::pickRadius() const {
    // The picture's pixels are logical ones, so the radius keeps its size on a screen of any
    // pixel ratio.
    return std::clamp(m_lesson.settings().pickRadius, core::kMinPickRadius, core::kMaxPickRadius);
}

void PictureInteraction::afterObjects(const pic::Pick& pick, pic::ScreenPoint mouse,
                                      bool interactive) {
    pic::PicturePanel* picture = m_window.picture();
    const int axis = picture->degenerateAxis();
    // The transformations follow the view; leaving a view along an axis ends the one running.
    if (axis != 0) {
        updateOperationCommands(true);
    } else if (QAction* first = m_window.command(CommandName(tag::FirstMode));
               first && first->isEnabled()) {
        if (m_mode->needsAxisView()) {
            setInfo({});
            leaveMode();
        }
        updateOperationCommands(true);
    }
    if (!interactive) return;
    if (pick.any()) {
        m_pointerPoint = pick.point;
    } else if (axis != 0) {
        geo::Vec3 p = picture->canvas().engine().screenToPlane(mouse.x, mouse.y, m_pointerPoint);
        (axis == 1 ? p.x : (axis == 2 ? p.y : p.z)) = 0;
        m_pointerPoint = p;
    }
    updateStatusLine(pick);
}

void PictureInteraction::updateStatusLine(const pic::Pick& pick) {
    StatLine* line = m_window.statLine();
    const int axis = m_window.picture()->degenerateAxis();
    if (axis == 0 && !pick.any()) {
        if (line->fieldMode()) line->setSingleText({});
        return;
    }
    const core::Scene& scene = m_lesson.scene();
    std::array<QString, StatLine::kFieldCount> f;
    const double coords[3] = {m_pointerPoint.x, m_pointerPoint.y, m_pointerPoint.z};
    const char* const names[3] = {"X=", "Y=", "Z="};
    for (int k = 0; k < 3; ++k) {
        const bool unknown = !pick.any() && axis == k + 1;
        f[static_cast<std::size_t>(k)] =
            QString::fromLatin1(names[k]) +
            (unknown ? qs(m_window.messages().text(lang::msg::kUnknown)) : qs(number(coords[k])));
    }
    if (pick.object > core::kAxesSlot && scene.isUserSlot(pick.object)) {
        f[3] = qs(core::DisplayName(scene, pick.object));
        if (pick.vertex2 != 0) {
            const core::SceneObject& o = scene.object(pick.object);
            const double length = geo::PointDistance(core::Widen(o.vertex(pick.vertex1)),
                                                     core::Widen(o.vertex(pick.vertex2)));
            f[4] = qs(m_window.messages().text(lang::msg::kEdgeLength) + " " + number(length));
        }
    }
    // A control hint shown over the fields would hide the coordinates.
    line->clearMessage();
    line->setFields(f);
}

void PictureInteraction::endPass(const pic::Pick& pick, const pic::Pick& before) {
    m_pick = pick;
    if (SamePick(pick, before)) return;
    setCursorShape(pick.any() ? m_mode->cursorOver(pick) : PictureCursor::Cross);
}

void PictureInteraction::setCursorShape(PictureCursor cursor) {
    m_cursor = cursor;
    // The cursor of a widget shows as soon as it is set, so the pointer need not move.
    m_window.picture()->place()->setCursor(MakePictureCursor(cursor));
}

// ---- keyboard ------------------------------------------------------------------------------

bool PictureInteraction::waitsForPick() const {
    return m_mode->waitsForPick() && !m_window.halfToneActive();
}

bool PictureInteraction::keyPressed(int key, Qt::KeyboardModifiers mods) {
    if (!waitsForPick() || (mods & (Qt::ControlModifier | Qt::AltModifier))) return false;
    switch (key) {
    case Qt::Key_Tab:
        stepKeyPick((mods & Qt::ShiftModifier) ? -1 : 1);
        return true;
    case Qt::Key_Backtab:
        stepKeyPick(-1);
        return true;
    case Qt::Key_Space:
        chooseAtStop((mods & Qt::ShiftModifier) ? -1 : 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        fixKeyPick();
        return true;
    default:
        return false;
    }
}

namespace {

// The stop holding `target`, and its place there; none when the picture no longer has it.
std::optional<std::pair<std::size_t, std::size_t>>
FindStop(const std::vector<std::vector<pic::PickTarget>>& stops, const pic::Pick& target) {
    for (std::size_t i = 0; i < stops.size(); ++i)
        for (std::size_t j = 0; j < stops[i].size(); ++j)
            if (SamePick(stops[i][j].pick, target)) return std::pair{i, j};
    return std::nullopt;
}

} // namespace

// A place where several objects have a vertex is one stop: Tab goes on to the next place.
void PictureInteraction::stepKeyPick(int direction) {
    pic::PicturePanel* picture = m_window.picture();
    if (picture->busy()) return;
    const std::vector<std::vector<pic::PickTarget>> stops = picture->canvas().engine().pickStops();
    if (stops.empty()) return;
    const int n = static_cast<int>(stops.size());
    int at = direction > 0 ? 0 : n - 1;
    if (m_keyTarget)
        if (const auto found = FindStop(stops, m_keyTarget->pick))
            at = (static_cast<int>(found->first) + direction + n) % n;
    showKeyTarget(stops[static_cast<std::size_t>(at)], 0);
}

// The next object at the place shown.
void PictureInteraction::chooseAtStop(int direction) {
    pic::PicturePanel* picture = m_window.picture();
    if (picture->busy()) return;
    const std::vector<std::vector<pic::PickTarget>> stops = picture->canvas().engine().pickStops();
    const auto found = m_keyTarget ? FindStop(stops, m_keyTarget->pick) : std::nullopt;
    if (!found) {
        stepKeyPick(direction);
        return;
    }
    const std::vector<pic::PickTarget>& stop = stops[found->first];
    const int n = static_cast<int>(stop.size());
    showKeyTarget(stop,
                  static_cast<std::size_t>((static_cast<int>(found->second) + direction + n) % n));
}

// Shows member `member` of `stop` picked; the status line names its object and, where the
// place has several, which of them it is.
void PictureInteraction::showKeyTarget(const std::vector<pic::PickTarget>& stop,
                                       std::size_t member) {
    m_keyTarget = stop[member];
    m_window.picture()->pickPass(*m_keyTarget);
    if (stop.size() < 2 || !SamePick(m_pick, m_keyTarget->pick)) return;
    StatLine* line = m_window.statLine();
    if (!line->fieldMode()) return;
    std::array<QString, StatLine::kFieldCount> f;
    for (int k = 0; k < StatLine::kFieldCount; ++k)
        f[static_cast<std::size_t>(k)] = line->field(k);
    f[3] = QStringLiteral("%1  %2/%3")
               .arg(qs(core::DisplayName(m_lesson.scene(), m_pick.object)))
               .arg(member + 1)
               .arg(stop.size());
    line->setFields(f);
}

// The element shown is fixed as a click on it would fix it.
void PictureInteraction::fixKeyPick() {
    if (!m_keyTarget || !SamePick(m_pick, m_keyTarget->pick)) return;
    const int x = pic::RoundPixel(m_keyTarget->x), y = pic::RoundPixel(m_keyTarget->y);
    mousePressed(x, y, Qt::LeftButton);
    mouseReleased(x, y, Qt::LeftButton);
    showKeyPick();
}

// While the operation goes on the same element stays shown, where the redraw has put it.
void PictureInteraction::showKeyPick() {
    if (!m_keyTarget || !waitsForPick()) return;
    const std::vector<std::vector<pic::PickTarget>> stops =
        m_window.picture()->canvas().engine().pickStops();
    const auto found = FindStop(stops, m_keyTarget->pick);
    if (!found) {
        m_keyTarget.reset();
        return;
    }
    showKeyTarget(stops[found->first], found->second);
}

// ---- mouse ---------------------------------------------------------------------------------

bool PictureInteraction::turnMayStart() const {
    if (!m_mode->letsTurn()) return false;
    if (m_window.halfToneActive()) return true;
    return m_window.picture()->degenerateAxis() == 0 && !m_pick.any();
}

int PictureInteraction::dragObject() const {
    return m_drag ? m_drag->object() : 0;
}

void PictureInteraction::keyReleased() {
    if (m_drag) m_drag->letGo();
}

void PictureInteraction::mouseMoved(int x, int y, Qt::MouseButtons buttons) {
    pic::PicturePanel* picture = m_window.picture();
    if (picture->busy()) return;
    // A drag whose release was lost outside the picture: the hidden-line pass comes back now.
    pic::WireFrame& engine = picture->canvas().engine();
    if (!(buttons & Qt::LeftButton) && engine.hiddenPassDeferred()) {
        engine.setHiddenPassDeferred(false);
        picture->redrawPicture();
    }
    if (picture->degenerateAxis() != 0 && (buttons & Qt::LeftButton) && dragObject() != 0)
        m_drag->moved(x, y);
    // The panel runs the interactive pass at (x, y) after this.
}

void PictureInteraction::mousePressed(int x, int y, Qt::MouseButton button) {
    m_pressPoint = {static_cast<double>(x), static_cast<double>(y), 0};
    if (m_drag) m_drag->pressedAt(x, y);
    {
        const ModeEvent event(m_modeEvents, m_ended);
        m_mode->pressed(button);
    }
    core::Scene& scene = m_lesson.scene();
    if (scene.isUserSlot(m_pick.object)) {
        QListWidget* list = m_window.listing()->objList();
        const QSignalBlocker block(list);
        list->setCurrentRow(m_pick.object - 2);
    }
}

void PictureInteraction::startDrag() {
    const core::Scene& scene = m_lesson.scene();
    if (!scene.isUserSlot(m_pick.object) || m_window.picture()->degenerateAxis() == 0 ||
        scene.object(m_pick.object).type == ObjectType::Surface)
        return;
    // The last drag's step ends before this one's begins.
    const geo::Vec3 press = m_pressPoint;
    m_drag.reset();
    m_drag = std::make_unique<DragMode>(
        *this, m_pick.object, m_pick.vertex2 == 0 ? m_pick.vertex1 : 0, m_pointerPoint, press);
}

void PictureInteraction::mouseReleased(int /*x*/, int /*y*/, Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        if (dragObject() != 0) m_drag->released();
        m_drag.reset();
        m_window.picture()->canvas().engine().setHiddenPassDeferred(false);
    }
    m_window.objectListSelected();
    m_window.redrawPicture();
}

// ---- texts ---------------------------------------------------------------------------------

std::string PictureInteraction::number(double v) const {
    return core::FormatNumber(false, v, m_lesson.settings().answerDigits);
}

std::string PictureInteraction::pointText(const geo::Vec3& p) const {
    return " X=" + number(p.x) + ", Y=" + number(p.y) + ", Z=" + number(p.z);
}

} // namespace vorn::app
