// The picture interaction: pending operations, hit test, drag, cursors and status fields.
#include "app/picture_interaction.h"

#include "app/check_frm.h"
#include "app/command_table.h"
#include "app/info_panel.h"
#include "app/listing_panel.h"
#include "app/mod_frm.h"
#include "app/stat_line.h"
#include "app/user_dialogs.h"
#include "app/vorn2frm.h"
#include "core/format.h"
#include "entry/transform.h"
#include "geometry/primitives.h"
#include "lang/message_ids.h"
#include "picture/picture_canvas.h"
#include "picture/picture_panel.h"
#include "polyhedra/cross_section.h"
#include "polyhedra/formation.h"
#include "polyhedra/measurements.h"
#include "polyhedra/metrics.h"

#include <QAction>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vorn::app {

namespace {

using core::ObjectType;

constexpr std::size_t kHintMaxChars = 240;

const char* const kMeasureNames[] = {"Ugol3p",     "UgolLPL",     "Ugol2PL",    "Distance2P",
                                     "DistancePL", "DistancePPL", "Distance2L", "DistanceLPL"};
const char* const kModeNames[] = {"mode1", "mode2", "mode3", "mode4"};
const char* const kCreateNames[] = {"ScrPoint", "ScrPolyline", "ScrPlane"};

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

geo::Vec3 At(const core::Vec3f& v) {
    return {v.x, v.y, v.z};
}

bool SamePick(const pic::Pick& a, const pic::Pick& b) {
    return a.object == b.object && a.vertex1 == b.vertex1 && a.vertex2 == b.vertex2;
}

QString Caption(const QAction* action) {
    QString text = action ? action->text() : QString();
    text.remove(QLatin1Char('&'));
    return text;
}

// A measurement's heading names the whole measurement ("Кут між прямою і площиною"), as its hint
// does; the menu caption alone ("між прямою і площиною") leaves out the angle or the distance.
QString Heading(const QAction* action) {
    if (action && !action->statusTip().isEmpty()) return action->statusTip();
    return Caption(action);
}

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

PictureInteraction::PictureInteraction(TVorn2frm& window) : QObject(&window), m_window(window) {
    setObjectName("PictureInteraction");
    core::Env& env = window.env();
    m_checkFrm = new TCheckFrm(env, &window);
    m_checkFrm->setRedraw([this] { m_window.redrawPicture(); });
    m_modFrm = new TModFrm(env, &window);
    m_modFrm->setSteps(window.steps());
    m_modFrm->setAfterApply([this] {
        m_window.objectListSelected();
        if (m_window.halfToneActive()) m_window.rebuildHalfTone();
        m_window.redrawPicture();
    });
    m_inputBox = [this](const QString& title, const QString& prompt, QString& text) {
        return ::vorn::app::InputBox(&m_window, m_window.messages(), title, prompt, text);
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
        startMeasure(t - 20);
    } else if (t >= tag::FirstMode && t <= tag::LastMode) {
        startTransform(t - 100);
    } else if (t >= tag::FirstScreenCreate && t <= tag::LastScreenCreate) {
        startScreenCreate(t - 1100);
    } else if (t == tag::CancelOperation) {
        CancelPendingOperation();
    } else if (t == tag::Sides) {
        m_checkFrm->open();
    } else if (t == tag::Transform) {
        if (m_window.scene().objectCount() < 2)
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

void PictureInteraction::enter(Pending state, int mode, const QString& heading,
                               const QString& prompt, bool report) {
    // A transformation mode stays on between drags and writes no heading, so leaving it leaves
    // nothing unfinished to report.
    m_started = state != Pending::Transform;
    m_pending = state;
    m_mode = mode;
    m_heading = heading;
    setInfo((heading + prompt).left(static_cast<int>(kHintMaxChars)));
    if (report) m_window.addReportLine(heading.toStdString());
    // A user without a mouse picks from the keyboard on the picture.
    if (waitsForPick()) m_window.picture()->place()->setFocus(Qt::OtherFocusReason);
}

void PictureInteraction::startSection() {
    if (sectionPending()) {
        CancelPendingOperation();
        return;
    }
    CancelPendingOperation();
    markCommand("MakeCut", true);
    enter(Pending::Section, 0, qs(m_window.messages().text(lang::msg::kSectionHeading)) + " ",
          qs(m_window.messages().text(lang::msg::kPickSectionPlane)), true);
}

void PictureInteraction::startMeasure(int mode) {
    const int before = measureMode();
    CancelPendingOperation();
    if (mode == before || mode < 1 || mode > 8) return;
    const char* name = kMeasureNames[mode - 1];
    markCommand(name, true);
    const std::string& prompt =
        m_window.prompts().prompts[static_cast<std::size_t>(entry::MeasureStepPrompt(mode, 0))];
    enter(Pending::Measure, mode, Heading(m_window.command(name)) + ": ", qs(prompt), true);
}

void PictureInteraction::startTransform(int mode) {
    const int before = transformMode();
    CancelPendingOperation();
    if (mode == before || mode < 1 || mode > 4) return;
    const char* name = kModeNames[mode - 1];
    markCommand(name, true);
    enter(Pending::Transform, mode, Caption(m_window.command(name)) + ": ",
          qs(m_window.messages().text(lang::msg::kDragObject)), false);
}

void PictureInteraction::startScreenCreate(int mode) {
    if (screenCreateMode() != 0) {
        CancelPendingOperation();
        return;
    }
    CancelPendingOperation();
    if (mode < 1 || mode > 3) return;
    markCommand(kCreateNames[mode - 1], true);
    const lang::MessageTable& m = m_window.messages();
    const QString prompt = mode == 1   ? qs(m_window.prompts().prompts[1])
                           : mode == 2 ? qs(m.text(lang::msg::kPlacePolylineVertices))
                                       : qs(m.text(lang::msg::kPlacePlanePoints));
    enter(Pending::ScreenCreate, mode, qs(m.text(lang::msg::kScreenCreateHeading)) + " ", prompt,
          true);
}

void PictureInteraction::CancelPendingOperation() {
    const bool halfTone = m_window.halfToneActive();
    const bool axisView = m_window.picture()->degenerateAxis() != 0;
    for (const char* name : kMeasureNames) {
        markCommand(name, false);
        if (QAction* a = m_window.command(name)) a->setEnabled(!halfTone);
    }
    for (const char* name : kModeNames) {
        markCommand(name, false);
        if (QAction* a = m_window.command(name)) a->setEnabled(!halfTone && axisView);
    }
    markCommand("MakeCut", false);
    if (QAction* a = m_window.command("MakeCut")) a->setEnabled(!halfTone);
    for (const char* name : kCreateNames) {
        markCommand(name, false);
        if (QAction* a = m_window.command(name))
            a->setEnabled(!halfTone && !m_window.scene().isFull());
    }
    if (m_pending != Pending::None) {
        setInfo({});
        if (m_started)
            m_window.addReportLine(m_window.messages().text(lang::msg::kOperationNotFinished));
    }
    m_started = false;
    m_pending = Pending::None;
    m_mode = 0;
    m_fixed.clear();
    m_keyTarget.reset();
}

void PictureInteraction::finishPendingOperation() {
    m_started = false;
    CancelPendingOperation();
}

void PictureInteraction::setInfo(const QString& text) {
    m_window.infoPanel()->setInfo(text, m_heading);
}

void PictureInteraction::markCommand(const char* name, bool on) {
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
    core::Env& env = m_window.env();
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
    return std::clamp(m_window.settings().pickRadius, core::kMinPickRadius, core::kMaxPickRadius);
}

void PictureInteraction::afterObjects(const pic::Pick& pick, pic::ScreenPoint mouse,
                                      bool interactive) {
    pic::PicturePanel* picture = m_window.picture();
    const int axis = picture->degenerateAxis();
    if (axis != 0) {
        for (const char* name : kModeNames)
            if (QAction* a = m_window.command(name)) a->setEnabled(true);
    } else if (QAction* first = m_window.command(kModeNames[0]); first && first->isEnabled()) {
        if (transformMode() != 0) {
            setInfo({});
            m_pending = Pending::None;
            m_mode = 0;
            m_started = false;
        }
        for (const char* name : kModeNames) {
            markCommand(name, false);
            if (QAction* a = m_window.command(name)) a->setEnabled(false);
        }
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
    const core::Scene& scene = m_window.scene();
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
            const double length =
                geo::PointDistance(At(o.vertex(pick.vertex1)), At(o.vertex(pick.vertex2)));
            f[4] = qs(m_window.messages().text(lang::msg::kEdgeLength) + " " + number(length));
        }
    }
    // A control hint shown over the fields would hide the coordinates.
    line->clearMessage();
    line->setFields(f);
}

std::span<pic::MarkedElement> PictureInteraction::measureElements() {
    if (m_pending != Pending::Measure) return {};
    return m_fixed;
}

std::span<pic::MarkedElement> PictureInteraction::placedPoints() {
    if (m_pending != Pending::ScreenCreate) return {};
    return m_fixed;
}

void PictureInteraction::endPass(const pic::Pick& pick, const pic::Pick& before) {
    m_pick = pick;
    if (SamePick(pick, before)) return;
    if (!pick.any()) {
        setCursorShape(PictureCursor::Cross);
        return;
    }
    PictureCursor c = PictureCursor::Target;
    if (transformMode() != 0 && (transformMode() != 4 || pick.vertex2 == 0))
        c = PictureCursor::Drag;
    if (screenCreateMode() != 0) c = PictureCursor::Put;
    if (measureMode() != 0 || sectionPending()) c = PictureCursor::Get;
    setCursorShape(c);
}

void PictureInteraction::setCursorShape(PictureCursor cursor) {
    m_cursor = cursor;
    // The cursor of a widget shows as soon as it is set, so the pointer need not move.
    m_window.picture()->place()->setCursor(MakePictureCursor(cursor));
}

// ---- keyboard ------------------------------------------------------------------------------

bool PictureInteraction::waitsForPick() const {
    return (m_pending == Pending::Measure || m_pending == Pending::Section ||
            m_pending == Pending::ScreenCreate) &&
           !m_window.halfToneActive();
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
               .arg(qs(core::DisplayName(m_window.scene(), m_pick.object)))
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
    if (m_pending != Pending::None) return false;
    if (m_window.halfToneActive()) return true;
    return m_window.picture()->degenerateAxis() == 0 && !m_pick.any();
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
    if (picture->degenerateAxis() != 0 && (buttons & Qt::LeftButton) && m_dragObject != 0) {
        dragStep(x, y);
        core::SceneObject& o = m_window.scene().object(m_dragObject);
        entry::RefreshFacePlanes(o);
        m_window.scene().sceneModified = true;
        // As while turning: the hidden-line pass waits for the release.
        engine.setHiddenPassDeferred(true);
        picture->redrawPicture();
    }
    // The panel runs the interactive pass at (x, y) after this.
}

void PictureInteraction::mousePressed(int x, int y, Qt::MouseButton button) {
    core::Scene& scene = m_window.scene();
    m_dragLastMouse = {static_cast<double>(x), static_cast<double>(y), 0};
    if (measureMode() != 0 && button == Qt::RightButton) CancelPendingOperation();
    const int axis = m_window.picture()->degenerateAxis();

    if (measureMode() != 0 && m_pick.any()) {
        measureStep();
    } else if (screenCreateMode() != 0 &&
               (m_pick.any() || axis != 0 || button == Qt::RightButton)) {
        screenCreateStep(button);
    } else if (sectionPending() && button == Qt::LeftButton && m_pick.any()) {
        sectionStep();
    } else if (button == Qt::LeftButton) {
        if (scene.isUserSlot(m_pick.object) && axis != 0 &&
            scene.object(m_pick.object).type != ObjectType::Surface) {
            m_dragLastPoint = m_pointerPoint;
            m_dragObject = m_pick.object;
            m_dragStep.reset();
            m_dragStep = std::make_unique<SceneSteps::Step>(
                m_window.steps(), history::StepKind::Transform, m_dragObject);
            m_dragVertex = m_pick.vertex2 == 0 ? m_pick.vertex1 : 0;
        }
    }
    if (scene.isUserSlot(m_pick.object)) {
        QListWidget* list = m_window.listing()->objList();
        const QSignalBlocker block(list);
        list->setCurrentRow(m_pick.object - 2);
    }
}

void PictureInteraction::mouseReleased(int /*x*/, int /*y*/, Qt::MouseButton button) {
    if (button == Qt::LeftButton && m_dragObject != 0) {
        dragRelease();
        m_dragObject = 0;
    }
    if (button == Qt::LeftButton) m_dragStep.reset();
    if (button == Qt::LeftButton)
        m_window.picture()->canvas().engine().setHiddenPassDeferred(false);
    m_window.objectListSelected();
    m_window.redrawPicture();
}

void PictureInteraction::measureStep() {
    const core::Scene& scene = m_window.scene();
    const lang::MessageTable& msg = m_window.messages();
    if (fixedCount() >= kMaxFixed) return;
    const int kind = entry::MeasureStepKind(m_mode, fixedCount());
    pic::MarkedElement e;
    e.object = m_pick.object;
    const core::SceneObject& o = scene.object(m_pick.object);
    if (kind == 1) {
        e.pointCount = 1;
        e.points[0] = m_pointerPoint;
        m_window.addReportLine(msg.text(lang::msg::kFixedPoint) + pointText(m_pointerPoint));
    } else if (kind == 2) {
        if (m_pick.vertex2 == 0 || o.type == ObjectType::Axes) {
            showNeedType(lang::msg::kNeedPolylineOrSegment);
            return;
        }
        e.pointCount = 2;
        e.points[0] = At(o.vertex(m_pick.vertex1));
        e.points[1] = At(o.vertex(m_pick.vertex2));
        m_window.addReportLine(msg.text(lang::msg::kFixedLine));
    } else if (kind == 3) {
        const auto vertices = entry::PlaneVertices(o);
        if (!vertices) {
            showNeedType(lang::msg::kNeedPlane);
            return;
        }
        e.pointCount = 3;
        std::copy(vertices->begin(), vertices->end(), e.points.begin());
        m_window.addReportLine(msg.text(lang::msg::kFixedPlane) + " \"" +
                               core::DisplayName(scene, m_pick.object) + "\"");
    } else {
        return;
    }
    m_fixed.push_back(e);
    const int next = entry::MeasureStepPrompt(m_mode, fixedCount());
    setInfo(m_heading + qs(m_window.prompts().prompts[static_cast<std::size_t>(next)]));
    if (entry::MeasureStepKind(m_mode, fixedCount()) == 0) {
        std::vector<poly::Pick> picks;
        for (const pic::MarkedElement& f : m_fixed)
            picks.push_back(entry::FixedPick(
                f.object, std::span(f.points).first(static_cast<std::size_t>(f.pointCount))));
        const int mode = m_mode;
        m_mode = 0;
        m_pending = Pending::None;
        m_started = false;
        // A measurement may offer its point as a new object.
        const SceneSteps::Step step(m_window.steps(), history::StepKind::Create);
        poly::RunMeasurement(m_window.env(), mode, picks);
        CancelPendingOperation();
    }
    m_window.redrawPicture();
}

void PictureInteraction::screenCreateStep(Qt::MouseButton button) {
    const int mode = m_mode;
    if (button == Qt::LeftButton) {
        // A full list refuses further points and keeps the placed ones.
        if (fixedCount() >= kMaxFixed) return;
        pic::MarkedElement e;
        e.object = m_pick.object;
        e.pointCount = 1;
        e.points[0] = m_pointerPoint;
        m_fixed.push_back(e);
        m_window.addReportLine(m_window.messages().text(lang::msg::kFixedPoint) +
                               pointText(m_pointerPoint));
    }
    const bool right = button == Qt::RightButton;
    const bool ends = mode == 1 || (mode == 2 && right) || (mode == 3 && fixedCount() == 3);
    if (ends) {
        if (mode == 2 && right && m_pick.any() && !m_fixed.empty()) m_fixed.pop_back();
        const bool create = (mode == 2 && fixedCount() >= 2) || (mode != 2 && !right);
        if (create) {
            const SceneSteps::Step step(m_window.steps(), history::StepKind::Create);
            core::Env& env = m_window.env();
            const ObjectType type = mode == 1   ? ObjectType::Point
                                    : mode == 2 ? ObjectType::Polyline
                                                : ObjectType::Plane;
            const int slot = core::AppendObject(env.scene, type);
            if (slot != 0) {
                core::SceneObject& o = env.scene.object(slot);
                o.vertexCount = static_cast<std::int16_t>(fixedCount());
                for (int i = 0; i < fixedCount(); ++i) {
                    const geo::Vec3& p = m_fixed[static_cast<std::size_t>(i)].points[0];
                    o.vertex(i + 1) = {static_cast<float>(p.x), static_cast<float>(p.y),
                                       static_cast<float>(p.z)};
                }
                env.scene.sceneModified = true;
                m_window.refreshObjectList();
                if (m_editObject && m_editObject(slot)) {
                    m_window.addReportLine(env.msg(lang::msg::kCreatedObject) +
                                           core::DisplayName(env.scene, slot) + "\"");
                } else {
                    core::DropLastObject(env.scene);
                }
                m_window.refreshObjectList();
            }
        }
        finishPendingOperation();
    }
    m_window.redrawPicture();
}

void PictureInteraction::sectionStep() {
    const core::Scene& scene = m_window.scene();
    const lang::MessageTable& msg = m_window.messages();
    const core::SceneObject& o = scene.object(m_pick.object);
    const std::string name = core::DisplayName(scene, m_pick.object);
    if (m_fixed.empty()) {
        if (o.type != ObjectType::Plane) {
            showNeedType(lang::msg::kNeedPlane);
            return;
        }
        pic::MarkedElement e;
        e.object = m_pick.object;
        m_fixed.push_back(e);
        setInfo(m_heading + qs(msg.text(lang::msg::kPickPolyhedronToCut)));
        m_window.addReportLine(msg.text(lang::msg::kFixedSectionPlane) + name + "\"");
        return;
    }
    if (o.type != ObjectType::Polyhedron) {
        showNeedType(lang::msg::kNeedPolyhedron);
        return;
    }
    m_window.addReportLine(msg.text(lang::msg::kFixedPolyhedron) + name + "\"");
    const SceneSteps::Step step(m_window.steps(), history::StepKind::Section, m_pick.object);
    poly::CrossSection(m_window.env(), m_fixed.front().object, m_pick.object);
    m_window.refreshObjectList();
    finishPendingOperation();
}

// ---- dragging --------------------------------------------------------------------------------

void PictureInteraction::dragStep(int x, int y) {
    core::Scene& scene = m_window.scene();
    if (!scene.isUserSlot(m_dragObject)) return;
    scene.sceneModified = true;
    core::SceneObject& o = scene.object(m_dragObject);
    pic::PicturePanel* picture = m_window.picture();
    const geo::Vec3 pivot = entry::CurrentPivot(o);
    const pic::Projected q = pic::ProjectPoint(picture->view(), pivot);
    const geo::Vec3 centre(q.px, q.py, 0), mouse(x, y, 0);
    entry::DragMove move;
    move.mode = transformMode();
    move.axis = picture->degenerateAxis();
    move.vertex = m_dragVertex;
    switch (move.mode) {
    case 1:
    case 4:
        move.shift = m_pointerPoint - m_dragLastPoint;
        m_dragLastPoint = m_pointerPoint;
        break;
    case 2:
        if (!entry::IsTurnable(o.type)) return;
        if (const auto phi = entry::DragRotationAngle(m_dragLastMouse, centre, mouse))
            move.angle = *phi * viewTurnSign(move.axis);
        else
            return;
        m_dragLastMouse = mouse;
        break;
    case 3:
        if (!entry::IsTurnable(o.type)) return;
        if (const auto f = entry::DragScaleFactor(m_dragLastMouse, centre, mouse))
            move.factor = *f;
        else
            return;
        m_dragLastMouse = mouse;
        break;
    default:
        return;
    }
    entry::ApplyDragMove(scene, m_dragObject, move);
}

int PictureInteraction::viewTurnSign(int axis) const {
    // A turn by a positive angle carries a toward b (Ox: z toward y, Oy: z toward x, Oz: x
    // toward y). When the picture shows that pair mirrored, the object would turn against the
    // pointer, so the angle changes sign.
    const pic::ViewState& view = m_window.picture()->view();
    const geo::Vec3 a = axis == 3 ? geo::Vec3(1, 0, 0) : geo::Vec3(0, 0, 1);
    const geo::Vec3 b = axis == 2 ? geo::Vec3(1, 0, 0) : geo::Vec3(0, 1, 0);
    const pic::Projected o = pic::ProjectPoint(view, geo::Vec3());
    const pic::Projected pa = pic::ProjectPoint(view, a), pb = pic::ProjectPoint(view, b);
    const double det = (pa.px - o.px) * (pb.py - o.py) - (pa.py - o.py) * (pb.px - o.px);
    return det < 0 ? -1 : 1;
}

void PictureInteraction::dragRelease() {
    core::Env& env = m_window.env();
    const int slot = m_dragObject;
    if (!env.scene.isUserSlot(slot) || env.scene.object(slot).type != ObjectType::Polyhedron)
        return;
    // A resized solid keeps its shape but not its areas and volume: they are computed anew.
    if (transformMode() == 3) poly::CompleteObject(env, slot);
    if (transformMode() != 4) return;
    const bool planes = poly::RecomputeFacePlanes(env.scene.object(slot)) == 0;
    if (planes && poly::CompleteObject(env, slot)) return;
    // The user stays in the entry dialog until the faces are corrected.
    while (true) {
        m_window.showMessage(core::BoxKind::Warning, env.msg(lang::msg::kObjectDistorted));
        if (!m_editObject || m_editObject(slot)) break;
    }
}

// ---- texts ---------------------------------------------------------------------------------

std::string PictureInteraction::number(double v) const {
    return core::FormatNumber(false, v, m_window.settings().answerDigits);
}

std::string PictureInteraction::pointText(const geo::Vec3& p) const {
    return " X=" + number(p.x) + ", Y=" + number(p.y) + ", Z=" + number(p.z);
}

} // namespace vorn::app
