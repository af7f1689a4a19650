// The steps a user takes on the main window and its secondary windows: commands, keys, the
// mouse on the picture, loads and saves (a save is checked against the scene it wrote).
#include "soak_dialogs.h"
#include "soak_driver.h"
#include "soak_helpers.h"

#include "app/listing_panel.h"
#include "app/progress_frm.h"
#include "app/vorn2frm.h"
#include "core/scene_file.h"
#include "picture/gl_bar.h"
#include "picture/picture_panel.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <iterator>

namespace vorn::soak {

// A tick that arrives while the program runs a long operation (it lets events through):
// mostly nothing, sometimes what a restless user does meanwhile.
bool Driver::actBusy() {
    app::TProgressFrm* progress = m_window->progressFrm();
    if (progress && progress->isVisible() && progress->stopButton()->isEnabled() && chance(0.03)) {
        note("busy", "stop button");
        ++m_busyActions;
        progress->stopButton()->click();
        return true;
    }
    if (chance(0.02)) {
        note("busy", "pointer over the picture");
        pointerMove(m_window->picture()->place());
        return true;
    }
    // Input reaches the main window only when no modal window blocks it and no long operation
    // holds it back.
    if (chance(0.003) && !QApplication::activeModalWidget() && !progress->running()) {
        ++m_busyActions;
        triggerCommand(true);
        return true;
    }
    return false;
}

void Driver::actMain() {
    if (!m_window->isVisible()) {
        note("restart", "the window was closed");
        m_restart = true;
        return;
    }
    if (QApplication::activeWindow() != m_window.get()) m_window->activateWindow();
    // What the user does next, by the share of the steps each kind takes.
    struct Step {
        double below; // of the roll; the rows take the span above the row before
        void (*act)(Driver&);
    };
    static const Step steps[] = {
        {0.20, [](Driver& d) { d.triggerCommand(false); }},
        {0.30, [](Driver& d) { d.keyShortcut(); }},
        {0.52, [](Driver& d) { d.pictureMouse(); }},
        {0.60, [](Driver& d) { d.objectListAction(); }},
        {0.63,
         [](Driver& d) {
             d.note("scroll", "rotation scroll bars");
             d.setAnywhere(d.chance(0.5) ? d.m_window->picture()->scrollBarHor()
                                         : d.m_window->picture()->scrollBarVer());
         }},
        {0.69, [](Driver& d) { d.loadAction(); }},
        {0.75, [](Driver& d) { d.saveAction(); }},
        {0.88, [](Driver& d) { d.secondaryWindowAction(); }},
        {0.92, [](Driver& d) { d.actOnWindow(d.m_window.get()); }},
        {0.94,
         [](Driver& d) {
             d.note("resize", "main window");
             d.m_window->resize(600 + d.pick(900), 400 + d.pick(600));
         }},
        {0.942,
         [](Driver& d) {
             d.note("restart", "the user starts the program again");
             d.m_restart = true;
         }},
        {1.0,
         [](Driver& d) {
             d.note("picture", "pointer moves");
             QWidget* place = d.m_window->picture()->place();
             for (int i = 0, n = 1 + d.pick(5); i < n; ++i)
                 d.pointerMove(place);
         }},
    };
    const double r = roll();
    for (const Step& step : steps)
        if (r < step.below || &step == std::end(steps) - 1) {
            step.act(*this);
            return;
        }
}

QPoint Driver::randomPoint(const QWidget* w) {
    return QPoint(pick(std::max(1, w->width())), pick(std::max(1, w->height())));
}

void Driver::pointerMove(QWidget* place) {
    const QPoint p = randomPoint(place);
    QMouseEvent move(QEvent::MouseMove, p, place->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(place, &move);
}

void Driver::setAnywhere(QAbstractSlider* slider) {
    slider->setValue(slider->minimum() + pick(slider->maximum() - slider->minimum() + 1));
}

void Driver::triggerCommand(bool anyCommand) {
    std::vector<QAction*> actions;
    for (const app::CommandInfo& c : app::Commands())
        if (QAction* a = m_window->command(c.name); a && a->isEnabled()) actions.push_back(a);
    if (actions.empty()) return;
    QAction* a = pickOne(actions);
    note(anyCommand ? "busy" : "command", str(a->objectName()));
    a->trigger();
}

void Driver::keyShortcut() {
    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    };
    static const Key keys[] = {{Qt::Key_F1, {}},
                               {Qt::Key_F2, {}},
                               {Qt::Key_F3, {}},
                               {Qt::Key_F3, Qt::AltModifier},
                               {Qt::Key_F5, {}},
                               {Qt::Key_F7, {}},
                               {Qt::Key_F8, {}},
                               {Qt::Key_F9, {}},
                               {Qt::Key_F11, {}},
                               {Qt::Key_Escape, {}},
                               {Qt::Key_1, Qt::AltModifier},
                               {Qt::Key_2, Qt::AltModifier},
                               {Qt::Key_3, Qt::AltModifier},
                               {Qt::Key_1, Qt::ControlModifier},
                               {Qt::Key_2, Qt::ControlModifier},
                               {Qt::Key_3, Qt::ControlModifier},
                               {Qt::Key_4, Qt::ControlModifier},
                               {Qt::Key_5, Qt::ControlModifier},
                               {Qt::Key_O, Qt::ControlModifier},
                               {Qt::Key_S, Qt::ControlModifier},
                               {Qt::Key_C, Qt::AltModifier},
                               {Qt::Key_X, Qt::AltModifier},
                               {Qt::Key_Delete, {}},
                               {Qt::Key_Left, {}},
                               {Qt::Key_Right, {}},
                               {Qt::Key_Up, {}},
                               {Qt::Key_Down, {}},
                               {Qt::Key_Plus, Qt::KeypadModifier},
                               {Qt::Key_Minus, Qt::KeypadModifier}};
    const Key& k = pickOne(keys);
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != m_window.get()) target = m_window.get();
    note("key", str(QKeySequence(k.key | k.mods).toString()));
    QTest::keyClick(target, k.key, k.mods);
}

void Driver::pictureMouse() {
    QWidget* place = m_window->picture()->place();
    if (!place->isVisible() && m_window->glBar()) place = m_window->glBar();
    if (!place->isVisible() || place->width() < 2 || place->height() < 2) return;
    // Drawn pixels are where vertices and edges are, so clicks there hit something.
    auto drawnPoint = [&]() {
        const QImage& image = m_window->picture()->image();
        const QPoint any = randomPoint(place);
        if (image.isNull() || place != m_window->picture()->place()) return any;
        const QRgb background = image.pixel(1, 1);
        for (int tries = 0; tries < 60; ++tries) {
            const QPoint p(pick(std::min(place->width(), image.width())),
                           pick(std::min(place->height(), image.height())));
            if (image.pixel(p) != background) return p;
        }
        return any;
    };
    QPointer<QWidget> target(place);
    const double r = roll();
    if (r < 0.45) {
        const QPoint p = drawnPoint();
        note("picture", "click");
        QTest::mouseClick(place, Qt::LeftButton, {}, p);
    } else if (r < 0.6) {
        note("picture", "right click");
        QTest::mouseClick(place, Qt::RightButton, {}, drawnPoint());
    } else if (r < 0.92) {
        note("picture", "drag");
        const Qt::MouseButton button = chance(0.85) ? Qt::LeftButton : Qt::RightButton;
        QTest::mousePress(place, button, {}, drawnPoint());
        for (int i = 0, n = 1 + pick(6); i < n && target; ++i)
            QTest::mouseMove(place, randomPoint(place));
        if (target) QTest::mouseRelease(place, button, {}, randomPoint(place));
    } else {
        note("picture", "double click");
        QTest::mouseDClick(place, Qt::LeftButton, {}, drawnPoint());
    }
}

void Driver::objectListAction() {
    QListWidget* list = m_window->listing()->objList();
    note("list", "object list");
    actOnWidget(list);
}

void Driver::loadAction() {
    const bool selective = chance(0.35);
    note("load", selective ? "selective" : "whole file");
    if (chance(0.3))
        QTest::keyClick(m_window.get(), Qt::Key_F3, selective ? Qt::AltModifier : Qt::NoModifier);
    else
        m_window->command(selective ? "LoadSel" : "LoadFile")->trigger();
}

void Driver::saveAction() {
    if (chance(0.1)) {
        note("save", "report");
        m_window->command("SaveReport")->trigger();
        return;
    }
    const bool as = chance(0.4);
    note("save", as ? "save as" : "save");
    const long busy = m_busyActions, dialogsBefore = m_dialogs->saveDialogs,
               failures = m_dialogs->writeFailures;
    m_dialogs->saveCancelled = false;
    m_window->command(as ? "SaveAs" : "SaveFile")->trigger();
    if (!m_window || !m_window->isVisible() || m_busyActions != busy) return;
    const bool asked = m_dialogs->saveDialogs != dialogsBefore;
    if ((asked && m_dialogs->saveCancelled) || m_dialogs->writeFailures != failures) return;
    // The file now holds exactly the scene.
    const QString file = m_window->currentFileName();
    if (m_window->scene().sceneModified) {
        fail("a save that reported nothing left the scene marked as modified: " + str(file));
        return;
    }
    QFile f(file);
    const std::vector<std::uint8_t> expected = core::SerializeScene(m_window->scene());
    if (!f.open(QIODevice::ReadOnly) ||
        f.readAll() != QByteArray(reinterpret_cast<const char*>(expected.data()),
                                  static_cast<qsizetype>(expected.size())))
        fail("the saved file does not hold the scene: " + str(file));
    ++m_stats.savesChecked;
}

void Driver::secondaryWindowAction() {
    QList<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != m_window.get() && w != m_splash && !w->isModal() &&
            !qobject_cast<QMenu*>(w) && !(w->windowFlags() & Qt::Popup))
            windows << w;
    if (windows.isEmpty() || chance(0.25)) {
        static const char* const openers[] = {"Calculator", "Integral",  "DoubleInt",
                                              "Sides",      "Transform", "HelpTopics"};
        QAction* a = m_window->command(pickOne(openers));
        note("window", "open " + str(a->objectName()));
        a->trigger();
        return;
    }
    QWidget* w = pickOne(windows);
    if (chance(0.2)) {
        note("window", "close " + describe(w));
        w->close();
        return;
    }
    note("window", "use " + describe(w));
    actOnWindow(w);
}

} // namespace vorn::soak
