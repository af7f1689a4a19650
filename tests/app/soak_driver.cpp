// The GUI soak driver: actions chosen by a seeded generator, nested modal windows handled from
// the same timer, invariants checked after every step, a watchdog for a program that hangs.
#include "soak_driver.h"

#include "app/listing_panel.h"
#include "app/pres_frm.h"
#include "app/progress_frm.h"
#include "app/startup.h"
#include "app/user_dialogs.h"
#include "app/vorn2frm.h"
#include "core/scene_file.h"
#include "lang/message_ids.h"
#include "picture/gl_bar.h"
#include "picture/picture_panel.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sys/inotify.h>
#include <unistd.h>

namespace vorn::soak {

namespace {

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string str(const QString& s) {
    return s.toStdString();
}

std::string describe(const QWidget* w) {
    if (!w) return "(none)";
    std::string name = w->metaObject()->className();
    if (!w->objectName().isEmpty()) name += " " + str(w->objectName());
    return name;
}

// Types any characters: QTest's own typing knows only ASCII.
void typeText(QWidget* w, const QString& text) {
    QPointer<QWidget> alive(w);
    for (const QChar c : text) {
        if (!alive) return;
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

bool insideFolder(const QString& path, const QString& folder) {
    const QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString f = QDir::cleanPath(folder);
    return p == f || p.startsWith(f + '/');
}

// The controls a user types into, clicks or drags; labels and plain frames are left out.
bool interactive(const QWidget* w) {
    if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
        qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
        qobject_cast<const QTabBar*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
        qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QTextEdit*>(w) ||
        qobject_cast<const QPlainTextEdit*>(w))
        return true;
    // The program's own widgets (grids, key pads, pictures) take the mouse themselves.
    return w->metaObject()->className()[0] != 'Q';
}

const char* const kFragments[] = {
    "1",           "0",         "-2.5",        "3/4",    "1e3",
    "1e308*1e308", "0/0",       "sqrt(2)",     "pi",     "-pi/2",
    "2^0.5",       "x^2+y^2<4", "sin(x*y)",    "x+y",    "ln(x)",
    "ln(-1)",      "abs(x)-y",  "x<1 and y>0", "((((",   ")",
    "+-*/",        ";",         ",",           ".",      "..",
    "1..2",        "1,5",       "abc",         "Привіт", "Ω≈∑",
    "😀",           "\t",        " ",           "%s%s%n", "9999999999999999999999",
    "-0",          "x",         "y",           "z",      "t",
    "exp(700)",    "tg(pi/2)",  "arcsin(2)",   "x^2",    "(x-1)*(y+2)",
    "2*x-3*y+z-1", "e",         "1e-320",      "NaN",    "inf"};

} // namespace

// ---- invariants ---------------------------------------------------------------------------

std::vector<std::string> SceneFaults(const core::Scene& scene) {
    std::vector<std::string> faults;
    const int count = scene.objectCount();
    if (count < 1 || count > core::kMaxObjectCount) {
        faults.push_back("object count " + std::to_string(count) + " outside 1.." +
                         std::to_string(core::kMaxObjectCount));
        return faults;
    }
    for (int k = 1; k <= count; ++k) {
        const core::SceneObject& o = scene.object(k);
        const std::string at = "slot " + std::to_string(k) + ": ";
        bool sound = true;
        if (o.vertexCount < 0 || o.vertexCount > core::kMaxVertices) {
            faults.push_back(at + "vertex count " + std::to_string(o.vertexCount));
            sound = false;
        }
        if (o.faceCount < 0 || o.faceCount > core::kMaxFaces) {
            faults.push_back(at + "face count " + std::to_string(o.faceCount));
            sound = false;
        }
        if (o.partCount > core::kMaxParts)
            faults.push_back(at + "part count " + std::to_string(o.partCount));
        if (!sound) continue;
        for (int f = 1; f <= o.faceCount; ++f) {
            const core::Face& face = o.face(f);
            const int v[3] = {face.vertex1, face.vertex2, face.vertex3};
            if (std::all_of(v, v + 3, [&](int n) { return n >= 1 && n <= o.vertexCount; }))
                continue;
            faults.push_back(at + "face " + std::to_string(f) + " names vertices " +
                             std::to_string(v[0]) + ", " + std::to_string(v[1]) + ", " +
                             std::to_string(v[2]) + " of " + std::to_string(o.vertexCount));
            break;
        }
    }
    return faults;
}

bool ProgramFileName(const QString& name) {
    const QString n = name.toLower();
    for (const char* ext : {".v3d", ".ini", ".lng", ".txt", ".html"})
        if (n.endsWith(QLatin1String(ext))) return true;
    return n.startsWith(QLatin1String(".~")) || n.startsWith(QLatin1String("noname"));
}

OutsideWriteWatch::OutsideWriteWatch() : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

OutsideWriteWatch::~OutsideWriteWatch() {
    if (m_fd >= 0) ::close(m_fd);
}

bool OutsideWriteWatch::watch(const QString& dir) {
    if (m_fd < 0 || !QFileInfo(dir).isDir()) return false;
    const int wd = ::inotify_add_watch(m_fd, QFile::encodeName(dir).constData(),
                                       IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO |
                                           IN_MOVED_FROM | IN_DELETE | IN_ATTRIB);
    if (wd < 0) return false;
    m_dirs[wd] = dir;
    return true;
}

QStringList OutsideWriteWatch::changes() {
    QStringList out;
    if (m_fd < 0) return out;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            if (e->len == 0) continue;
            const QString name = QFile::decodeName(e->name);
            if (ProgramFileName(name)) out << m_dirs[e->wd] + '/' + name;
        }
    }
    return out;
}

// ---- the user's answers ---------------------------------------------------------------------

// File names come from the driver; message boxes and the object selection are answered at
// random, sometimes by the real windows (which the driver then works like any modal window).
class SoakDialogs : public app::UserDialogs {
  public:
    SoakDialogs(Driver& driver, app::TVorn2frm& window)
        : m_driver(driver), m_window(window), m_real(&window, window.messages()) {}

    QString openFileName(const QString&, const QString&, const QString&, const QString&) override {
        if (m_driver.chance(0.08)) return {};
        return m_driver.nextInput();
    }
    QString saveFileName(const QString&, const QString&, const QString& suffix,
                         const QString&) override {
        ++saveDialogs;
        if (m_driver.chance(0.08)) {
            saveCancelled = true;
            return {};
        }
        return m_driver.nextSaveName(suffix == QLatin1String("txt"));
    }
    core::Answer messageBox(core::BoxKind kind, const QString& text,
                            app::BoxButtons buttons) override {
        checkWriteFailure(text);
        if (!scriptedOnly && m_driver.chance(0.2)) {
            ++m_driver.m_stats.realBoxes;
            return m_real.messageBox(kind, text, buttons);
        }
        ++m_driver.m_stats.scriptedBoxes;
        if (buttons == app::BoxButtons::Ok) return core::Answer::Yes;
        switch (m_driver.pick(buttons == app::BoxButtons::YesNo ? 2 : 3)) {
        case 0:
            return core::Answer::Yes;
        case 1:
            return core::Answer::No;
        default:
            return core::Answer::Cancel;
        }
    }
    bool selectObjects(core::LoadSelection& selection) override {
        if (!scriptedOnly && m_driver.chance(0.3)) return m_real.selectObjects(selection);
        if (m_driver.chance(0.1)) return false;
        for (std::size_t i = 0; i < selection.checked.size(); ++i)
            selection.checked[i] = m_driver.chance(0.7);
        selection.osiInfo = m_driver.chance(0.5);
        selection.add = m_driver.chance(0.5);
        return true;
    }
    // Never the desktop: the run must not start other programs.
    void openDocument(const QString&, const std::function<void()>& failed) override {
        if (m_driver.chance(0.5)) failed();
    }

    bool scriptedOnly = false;
    long saveDialogs = 0;
    bool saveCancelled = false;
    long writeFailures = 0;

  private:
    // Message 142 names a file that could not be written: only the driver's broken names may.
    void checkWriteFailure(const QString& text) {
        const QString pattern =
            QString::fromStdString(m_window.messages().text(lang::msg::kWriteFailed));
        const qsizetype hole = pattern.indexOf(QLatin1String("%s"));
        if (hole < 0) return;
        const QString head = pattern.left(hole), tail = pattern.mid(hole + 2);
        if (!text.startsWith(head) || !text.endsWith(tail)) return;
        ++writeFailures;
        const QString path = text.mid(head.size(), text.size() - head.size() - tail.size());
        if (path.contains(QLatin1String("/missing/")) || QFileInfo(path).isDir()) {
            ++m_driver.m_stats.writeFailuresExpected;
            return;
        }
        m_driver.fail("a save into the run's folder failed: " + str(text));
    }

    Driver& m_driver;
    app::TVorn2frm& m_window;
    app::WidgetDialogs m_real;
};

// ---- the run --------------------------------------------------------------------------------

Driver::Driver(Options options) : m_options(std::move(options)), m_random(m_options.seed) {
    if (!m_options.logFile.isEmpty())
        m_log = std::fopen(QFile::encodeName(m_options.logFile).constData(), "w");
}

Driver::~Driver() {
    m_stopWatchdog = true;
    if (m_watchdog.joinable()) m_watchdog.join();
    if (m_log) std::fclose(m_log);
}

void Driver::prepareFolders() {
    const QDir root(m_options.root);
    m_programDir = root.filePath("prog");
    m_workDir = root.filePath("work");
    m_inputDir = root.filePath("inputs");
    for (const QString& d : {m_programDir, m_workDir, m_inputDir})
        QDir().mkpath(d);
    QDir().mkpath(QDir(m_workDir).filePath("adir.v3d")); // a folder where a file is asked for
    for (const QString& f : m_options.dataFiles)
        QFile::copy(f, QDir(m_programDir).filePath(QFileInfo(f).fileName()));

    auto addInput = [this](const QString& name, const QByteArray& bytes) {
        const QString path = QDir(m_inputDir).filePath(name);
        QFile out(path);
        if (out.open(QIODevice::WriteOnly)) out.write(bytes);
        m_inputs << path;
        return path;
    };
    const QDir samples(m_options.samplesDir);
    if (!m_options.samplesDir.isEmpty() && samples.exists()) {
        for (const QString& name : samples.entryList({"*.v3d"}, QDir::Files, QDir::Name)) {
            QFile in(samples.filePath(name));
            if (!in.open(QIODevice::ReadOnly)) continue;
            const QByteArray bytes = in.readAll();
            m_sampleBytes[samples.filePath(name)] = bytes;
            // Copies are loaded, so a save over the current file never reaches the originals.
            m_samplesFirst << addInput("sample_" + name, bytes);
            addInput("cut_" + name, bytes.left(bytes.size() / 2));
        }
    }
    int extra = 0;
    for (const QString& f : m_options.extraInputs) {
        QFile in(f);
        if (in.open(QIODevice::ReadOnly))
            addInput(QString("extra_%1_%2").arg(extra++).arg(QFileInfo(f).fileName()),
                     in.readAll());
    }
    addInput("empty.v3d", {});
    addInput("text.v3d", "Not a scene at all\r\n");
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(static_cast<char>(pick(256)));
    addInput("noise.v3d", noise);

    // A full scene of every kind, and a header that promises objects it does not have.
    auto scene = std::make_unique<core::Scene>();
    for (int k = 2; k < core::kMaxObjectCount; ++k)
        core::AppendObject(*scene, static_cast<core::ObjectType>(1 + (k - 2) % 6));
    scene->header.zoomX = scene->header.zoomY = scene->header.zoomZ = 40;
    std::vector<std::uint8_t> bytes = core::SerializeScene(*scene);
    addInput("full.v3d", QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                    static_cast<qsizetype>(bytes.size())));
    core::ClearScene(*scene);
    bytes = core::SerializeScene(*scene);
    const std::int32_t promised = 25;
    std::memcpy(bytes.data() + offsetof(core::SceneHeader, objectCount), &promised, 4);
    addInput("promises.v3d", QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<qsizetype>(bytes.size())));
    QDir().mkpath(QDir(m_inputDir).filePath("folder.v3d"));
    m_inputs << QDir(m_inputDir).filePath("folder.v3d") << QDir(m_inputDir).filePath("absent.v3d");

    for (const QString& d : m_options.watchDirs)
        if (QFileInfo(d).isDir() && !insideFolder(d, m_options.root) && !m_watch.watch(d))
            std::cerr << "soak: cannot watch " << str(d) << "\n";
}

int Driver::run() {
    prepareFolders();
    m_heartbeat = nowMs();
    m_watchdog = std::thread([this] {
        while (!m_stopWatchdog) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const std::int64_t silent = nowMs() - m_heartbeat.load();
            if (silent < m_options.stepTimeoutSec * 1000LL) continue;
            std::lock_guard lock(m_logMutex);
            std::cerr << "soak: FAILED: the program has not answered for " << silent / 1000
                      << " s; the last steps were:\n";
            for (const std::string& line : m_recent)
                std::cerr << "  " << line << "\n";
            std::cerr.flush();
            std::abort();
        }
    });

    const auto started = std::chrono::steady_clock::now();
    for (;;) {
        startProgram();
        schedule();
        m_loop.exec();
        ++m_generation; // a tick still pending belongs to the program just ended
        stopProgram();
        if (m_finishing) break;
        m_restart = false;
        ++m_stats.restarts;
    }

    for (const QString& change : m_watch.changes())
        fail("a file outside the run's folder was touched: " + str(change));
    for (const auto& [path, bytes] : m_sampleBytes) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.readAll() != bytes)
            fail("a sample scene was changed: " + str(path));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cerr << "soak: seed " << m_options.seed << ", " << m_stats.steps << " steps in " << seconds
              << " s, " << m_stats.restarts << " restarts, deepest nesting " << m_stats.maxDepth
              << ", saves checked " << m_stats.savesChecked << ", expected write failures "
              << m_stats.writeFailuresExpected << ", message boxes " << m_stats.scriptedBoxes
              << " scripted / " << m_stats.realBoxes << " real\n  actions:";
    for (const auto& [name, count] : m_stats.actions)
        std::cerr << " " << name << "=" << count;
    std::cerr << "\n  modal windows: " << str(m_stats.modalsSeen.join(", ")) << "\n";
    // A run long enough to have done everything must have done everything.
    if (m_stats.steps >= 200 && m_failures.empty())
        for (const char* kind :
             {"command", "key", "picture", "list", "load", "save", "modal", "window"})
            if (m_stats.actions[kind] == 0) fail(std::string("the run never exercised: ") + kind);
    if (!m_failures.empty()) {
        std::cerr << "soak: FAILED (" << m_failures.size() << " failures)\n";
        return 1;
    }
    std::cerr << "soak: passed\n";
    return 0;
}

void Driver::startProgram() {
    auto* splash = new app::TPresFrm;
    m_splash = splash;
    splash->show();
    m_window = std::make_unique<app::TVorn2frm>();
    m_window->registerWindow(splash);
    auto dialogs = std::make_unique<SoakDialogs>(*this, *m_window);
    m_dialogs = dialogs.get();
    m_window->setDialogs(std::move(dialogs));
    m_window->setProgramDir(m_programDir);
    m_window->setCurrentFile(QString::fromLatin1(app::TVorn2frm::kNoName));
    if (!m_window->exportLanguage()) fail("the language file could not be written at start-up");
    m_window->resize(1000 + pick(400), 650 + pick(250));
    m_window->show();
    m_window->activateWindow();
    const QString commandLine = chance(0.3) ? nextInput() : QString();
    note("start", commandLine.isEmpty() ? "no file" : str(QFileInfo(commandLine).fileName()));
    m_startUp = std::make_unique<app::StartUp>(*m_window, splash, commandLine);
    m_startUp->start();
}

void Driver::stopProgram() {
    m_startUp.reset();
    if (m_window) {
        m_dialogs->scriptedOnly = true;
        if (m_window->isVisible()) m_window->close();
        if (m_window->isVisible()) {
            // The close query was cancelled; this time nothing is kept.
            m_window->scene().sceneModified = false;
            m_window->close();
        }
        check();
        m_window.reset();
    }
    m_dialogs = nullptr;
    delete m_splash.data();
    m_claimed.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QString& change : m_watch.changes())
        fail("a file outside the run's folder was touched: " + str(change));
}

void Driver::schedule() {
    const long generation = m_generation;
    QTimer::singleShot(1, &m_context, [this, generation] {
        if (generation == m_generation) tick();
    });
}

void Driver::tick() {
    m_heartbeat = nowMs();
    if (!m_window) return;
    schedule();
    ++m_depth;
    m_stats.maxDepth = std::max(m_stats.maxDepth, m_depth);
    QWidget* popup = QApplication::activePopupWidget();
    QWidget* modal = QApplication::activeModalWidget();
    const bool claimed = modal && std::any_of(m_claimed.begin(), m_claimed.end(),
                                              [modal](const auto& c) { return c == modal; });
    if (m_finishing || m_restart) {
        // Wind down: close what is open; the run's loop ends once everything has returned.
        if (m_dialogs) m_dialogs->scriptedOnly = true;
        if (popup)
            popup->close();
        else if (modal && !claimed)
            closeModal(modal, true);
        else if (!modal)
            m_loop.exit();
        --m_depth;
        return;
    }
    bool acted = true;
    if (popup) {
        actPopup(popup);
    } else if (modal && !claimed) {
        m_claimed.emplace_back(modal);
        actModal(modal);
        m_claimed.pop_back();
    } else if (m_depth > 1 || modal || startUpLoading()) {
        acted = actBusy();
    } else {
        actMain();
    }
    if (acted && m_window) {
        ++m_stats.steps;
        if (m_log)
            std::fprintf(m_log, "  objects %d, listed %d, current %d\n",
                         m_window->scene().objectCount() - 1,
                         m_window->listing()->objList()->count(), m_window->scene().currentObject);
        check();
        if (m_stats.steps >= m_options.steps) m_finishing = true;
    }
    m_heartbeat = nowMs();
    --m_depth;
}

// The start-up timer's settings tick opens the start-up scene, letting events through as the
// objects are read; ticks that come meanwhile are nested in it, as in any long operation.
bool Driver::startUpLoading() const {
    return m_startUp && m_startUp->ticks() == app::StartUp::kSettingsTick;
}

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
        QWidget* place = m_window->picture()->place();
        const QPoint p(pick(std::max(1, place->width())), pick(std::max(1, place->height())));
        QMouseEvent move(QEvent::MouseMove, p, place->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(place, &move);
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
    const double r = std::uniform_real_distribution<double>(0, 1)(m_random);
    if (r < 0.20) {
        triggerCommand(false);
    } else if (r < 0.30) {
        keyShortcut();
    } else if (r < 0.52) {
        pictureMouse();
    } else if (r < 0.60) {
        objectListAction();
    } else if (r < 0.63) {
        note("scroll", "rotation scroll bars");
        QScrollBar* bar =
            chance(0.5) ? m_window->picture()->scrollBarHor() : m_window->picture()->scrollBarVer();
        bar->setValue(bar->minimum() + pick(bar->maximum() - bar->minimum() + 1));
    } else if (r < 0.69) {
        loadAction();
    } else if (r < 0.75) {
        saveAction();
    } else if (r < 0.88) {
        secondaryWindowAction();
    } else if (r < 0.92) {
        actOnWindow(m_window.get());
    } else if (r < 0.94) {
        note("resize", "main window");
        m_window->resize(600 + pick(900), 400 + pick(600));
    } else if (r < 0.942) {
        note("restart", "the user starts the program again");
        m_restart = true;
    } else {
        note("picture", "pointer moves");
        QWidget* place = m_window->picture()->place();
        for (int i = 0, n = 1 + pick(5); i < n; ++i) {
            const QPoint p(pick(std::max(1, place->width())), pick(std::max(1, place->height())));
            QMouseEvent move(QEvent::MouseMove, p, place->mapToGlobal(p), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(place, &move);
        }
    }
}

void Driver::triggerCommand(bool anyCommand) {
    std::vector<QAction*> actions;
    for (const app::CommandInfo& c : app::Commands())
        if (QAction* a = m_window->command(c.name); a && a->isEnabled()) actions.push_back(a);
    if (actions.empty()) return;
    QAction* a = actions[static_cast<std::size_t>(pick(static_cast<int>(actions.size())))];
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
    const Key& k = keys[pick(static_cast<int>(std::size(keys)))];
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
        const QPoint any(pick(place->width()), pick(place->height()));
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
    const double r = std::uniform_real_distribution<double>(0, 1)(m_random);
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
            QTest::mouseMove(place, QPoint(pick(place->width()), pick(place->height())));
        if (target)
            QTest::mouseRelease(place, button, {},
                                QPoint(pick(place->width()), pick(place->height())));
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
        QAction* a = m_window->command(openers[pick(static_cast<int>(std::size(openers)))]);
        note("window", "open " + str(a->objectName()));
        a->trigger();
        return;
    }
    QWidget* w = windows[pick(static_cast<int>(windows.size()))];
    if (chance(0.2)) {
        note("window", "close " + describe(w));
        w->close();
        return;
    }
    note("window", "use " + describe(w));
    actOnWindow(w);
}

void Driver::actPopup(QWidget* popup) {
    auto* menu = qobject_cast<QMenu*>(popup);
    std::vector<QAction*> actions;
    if (menu)
        for (QAction* a : menu->actions())
            if (a->isEnabled() && !a->isSeparator() && !a->menu()) actions.push_back(a);
    if (actions.empty() || chance(0.4)) {
        note("popup", "close " + describe(popup));
        popup->close();
        return;
    }
    QAction* a = actions[static_cast<std::size_t>(pick(static_cast<int>(actions.size())))];
    note("popup", "choose " + str(a->text()));
    popup->close();
    a->trigger();
}

void Driver::actModal(QWidget* modal) {
    static QPointer<QWidget> last;
    static int count = 0, limit = 0;
    if (last != modal) {
        last = modal;
        count = 0;
        limit = 2 + pick(25);
        const QString name = QString::fromLatin1(modal->metaObject()->className());
        if (!m_stats.modalsSeen.contains(name)) m_stats.modalsSeen << name;
    }
    ++count;
    if (count > limit) {
        note("modal", "close " + describe(modal));
        closeModal(modal, count > limit + 20);
        return;
    }
    const double r = std::uniform_real_distribution<double>(0, 1)(m_random);
    if (r < 0.07) {
        note("modal", "escape in " + describe(modal));
        QTest::keyClick(modal, Qt::Key_Escape);
    } else if (r < 0.2) {
        // The button that confirms: its name or caption says so, or it is the default.
        std::vector<QAbstractButton*> ok;
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>()) {
            if (!b->isVisible() || !b->isEnabled()) continue;
            const QString n = b->objectName().toLower(), t = b->text();
            auto* push = qobject_cast<QPushButton*>(b);
            if (n.contains("ok") || n.contains("accept") || (push && push->isDefault()) ||
                t == "Виконати" || t == "Запам'ятати" || t == "Завантажити" || t == "OK" ||
                t == "Так" || t == "Згода")
                ok.push_back(b);
        }
        note("modal", "confirm " + describe(modal));
        if (ok.empty())
            QTest::keyClick(modal, Qt::Key_Return);
        else
            ok[static_cast<std::size_t>(pick(static_cast<int>(ok.size())))]->click();
    } else {
        note("modal", "use " + describe(modal));
        actOnWindow(modal);
    }
}

void Driver::closeModal(QWidget* modal, bool force) {
    // The progress window goes when its operation ends; the user can only ask it to stop.
    if (auto* progress = qobject_cast<app::TProgressFrm*>(modal)) {
        if (progress->stopButton()->isEnabled()) progress->stopButton()->click();
        return;
    }
    // The surface-value question cannot be cancelled (it is asked again until a number is
    // given), so a number ends it.
    if (auto* input = qobject_cast<QInputDialog*>(modal)) {
        input->setTextValue(QString::number(pick(5)));
        input->accept();
        return;
    }
    if (!force) {
        QTest::keyClick(modal, Qt::Key_Escape);
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->done(QDialog::Rejected);
    else
        modal->close();
    if (modal->isVisible()) modal->hide();
}

void Driver::actOnWindow(QWidget* window) {
    QList<QWidget*> candidates;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisible() && w->isEnabled() && w->window() == window && interactive(w))
            candidates << w;
    if (candidates.isEmpty()) return;
    actOnWidget(candidates[pick(static_cast<int>(candidates.size()))]);
}

void Driver::actOnWidget(QWidget* w) {
    QPointer<QWidget> alive(w);
    auto randomPoint = [&] {
        return QPoint(pick(std::max(1, w->width())), pick(std::max(1, w->height())));
    };
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        note("widget", "click " + describe(b) + " \"" + str(b->text()) + "\"");
        b->click();
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        const QString text = randomText();
        note("widget", "type into " + describe(e) + ": " + str(text.left(40)));
        e->setFocus();
        if (chance(0.6)) e->selectAll();
        if (text.size() > 60)
            e->insert(text);
        else
            typeText(e, text);
        if (alive && chance(0.35)) QTest::keyClick(e, Qt::Key_Return);
    } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
        const int span = s->maximum() - s->minimum();
        const int v = chance(0.7) ? s->minimum() + pick(std::min(span, 20) + 1)
                                  : s->minimum() + pick(span + 1);
        note("widget", "set " + describe(s) + " to " + std::to_string(v));
        s->setValue(v);
    } else if (auto* d = qobject_cast<QDoubleSpinBox*>(w)) {
        note("widget", "set " + describe(d));
        d->setValue(d->minimum() + (d->maximum() - d->minimum()) * pick(1001) / 1000.0);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->isEditable() && chance(0.4)) {
            note("widget", "type into " + describe(c));
            c->setEditText(randomText());
        } else if (c->count() > 0) {
            note("widget", "choose in " + describe(c));
            c->setCurrentIndex(pick(c->count()));
        }
    } else if (auto* t = qobject_cast<QTabBar*>(w)) {
        note("widget", "tab of " + describe(t));
        if (t->count() > 0) t->setCurrentIndex(pick(t->count()));
    } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
        if (table->rowCount() == 0 || table->columnCount() == 0) return;
        const int row = pick(table->rowCount()), col = pick(table->columnCount());
        if (chance(0.7)) {
            const QString text = randomText();
            note("widget", "cell " + std::to_string(row) + "," + std::to_string(col) + " of " +
                               describe(table) + ": " + str(text.left(40)));
            QTableWidgetItem* item = table->item(row, col);
            if (!item) {
                item = new QTableWidgetItem;
                table->setItem(row, col, item);
            }
            if (item->flags() & Qt::ItemIsEditable) item->setText(text);
        } else {
            note("widget", "select a cell of " + describe(table));
            table->setCurrentCell(row, col);
        }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        if (list->count() == 0) {
            note("widget", "click the empty " + describe(list));
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
            return;
        }
        QListWidgetItem* item = list->item(pick(list->count()));
        list->scrollToItem(item);
        const QPoint at = list->visualItemRect(item).center();
        const double r = std::uniform_real_distribution<double>(0, 1)(m_random);
        if (r < 0.45) {
            note("widget", "click an item of " + describe(list));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        } else if (r < 0.75 && (item->flags() & Qt::ItemIsUserCheckable)) {
            note("widget", "check an item of " + describe(list));
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        } else if (r < 0.85) {
            note("widget", "double click an item of " + describe(list));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            if (alive) QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        } else {
            note("widget", "keys in " + describe(list));
            list->setFocus();
            QTest::keyClick(list, chance(0.5) ? Qt::Key_Down : Qt::Key_Up);
        }
    } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
        note("widget", "click in " + describe(view));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, randomPoint());
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
        note("widget", "move " + describe(slider));
        slider->setValue(slider->minimum() + pick(slider->maximum() - slider->minimum() + 1));
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(w)) {
        note("widget", "type into " + describe(text));
        if (!text->isReadOnly()) typeText(text, randomText().left(60));
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        note("widget", "scroll " + describe(rich));
        QScrollBar* bar = rich->verticalScrollBar();
        bar->setValue(bar->minimum() + pick(bar->maximum() - bar->minimum() + 1));
    } else {
        const double r = std::uniform_real_distribution<double>(0, 1)(m_random);
        if (r < 0.5) {
            note("widget", "click on " + describe(w));
            QTest::mouseClick(w, chance(0.8) ? Qt::LeftButton : Qt::RightButton, {}, randomPoint());
        } else if (r < 0.85) {
            note("widget", "drag on " + describe(w));
            QTest::mousePress(w, Qt::LeftButton, {}, randomPoint());
            for (int i = 0, n = 1 + pick(4); i < n && alive; ++i)
                QTest::mouseMove(w, randomPoint());
            if (alive) QTest::mouseRelease(w, Qt::LeftButton, {}, randomPoint());
        } else {
            note("widget", "double click on " + describe(w));
            QTest::mouseDClick(w, Qt::LeftButton, {}, randomPoint());
        }
    }
}

QString Driver::randomText() {
    const double r = std::uniform_real_distribution<double>(0, 1)(m_random);
    if (r < 0.08) return {};
    if (r < 0.16) {
        // Any characters at all, sometimes many.
        QString s;
        const int n = chance(0.2) ? 300 + pick(3000) : 1 + pick(30);
        for (int i = 0; i < n; ++i)
            s += QChar(chance(0.7) ? 32 + pick(95) : 0x400 + pick(0x60));
        return s;
    }
    QString s;
    for (int i = 0, n = 1 + pick(3); i < n; ++i)
        s += QString::fromUtf8(kFragments[pick(static_cast<int>(std::size(kFragments)))]);
    return s;
}

QString Driver::nextInput() {
    if (!m_samplesFirst.isEmpty()) return m_samplesFirst.takeFirst();
    if (chance(0.3)) {
        const QStringList saved = QDir(m_workDir).entryList({"*.v3d"}, QDir::Files);
        if (!saved.isEmpty()) return QDir(m_workDir).filePath(saved[pick(saved.size())]);
    }
    return m_inputs[pick(m_inputs.size())];
}

QString Driver::nextSaveName(bool report) {
    const QDir work(m_workDir);
    const double r = std::uniform_real_distribution<double>(0, 1)(m_random);
    if (report)
        return r < 0.1 ? work.filePath("missing/report.txt")
                       : work.filePath(QString("report_%1.txt").arg(m_reportCounter++ % 3));
    if (r < 0.05) return work.filePath("missing/scene.v3d");
    if (r < 0.1) return work.filePath("adir.v3d");
    if (r < 0.15) return work.filePath("NoName.v3d");
    return work.filePath(QString("save_%1.v3d").arg(m_saveCounter++ % 6));
}

// ---- checks ---------------------------------------------------------------------------------

void Driver::check() {
    const std::vector<std::string> faults = SceneFaults(m_window->scene());
    if (!faults.empty()) {
        std::string all;
        for (const std::string& f : faults)
            all += (all.empty() ? "" : "; ") + f;
        const core::Scene& scene = m_window->scene();
        for (int k = 2; k <= std::min(scene.objectCount(), core::kMaxObjectCount); ++k) {
            const core::SceneObject& o = scene.object(k);
            all += "\n    slot " + std::to_string(k) + ": type " +
                   std::to_string(static_cast<int>(o.type)) + " \"" + o.name.utf8() + "\" " +
                   std::to_string(o.vertexCount) + " vertices, " + std::to_string(o.faceCount) +
                   " faces, " + std::to_string(o.partCount) + " parts";
        }
        fail("scene invariant broken: " + all);
    }
    for (const QString& change : m_watch.changes())
        fail("a file outside the run's folder was touched: " + str(change));
    for (const QString& path :
         {m_window->currentFileName(), m_window->settingsFile(), m_window->dataDir()})
        if (!insideFolder(path, m_options.root))
            fail("the program would write outside the run's folder: " + str(path));
    if (m_depth != 1 || startUpLoading() || QApplication::activeModalWidget() ||
        !m_window->isVisible())
        return;
    // Between commands the list shows exactly the user's objects.
    const int listed = m_window->listing()->objList()->count();
    if (listed != m_window->scene().objectCount() - 1) {
        std::string items;
        for (int i = 0; i < listed; ++i)
            items += " \"" + str(m_window->listing()->objList()->item(i)->text()) + "\"";
        fail("the object list shows " + std::to_string(listed) + " items for " +
             std::to_string(m_window->scene().objectCount() - 1) + " objects:" + items);
    }
}

void Driver::note(const std::string& kind, const std::string& detail) {
    ++m_stats.actions[kind];
    const std::string line = "step " + std::to_string(m_stats.steps + 1) + " depth " +
                             std::to_string(m_depth) + " [" + kind + "] " + detail;
    std::lock_guard lock(m_logMutex);
    m_recent.push_back(line);
    if (m_recent.size() > 60) m_recent.pop_front();
    if (m_log) {
        std::fprintf(m_log, "%s\n", line.c_str());
        std::fflush(m_log);
    }
    if (m_options.verbose) std::cerr << line << "\n";
}

void Driver::fail(const std::string& what) {
    if (!m_failures.empty() && m_failures.back() == what) return;
    m_failures.push_back(what);
    std::lock_guard lock(m_logMutex);
    std::cerr << "soak: FAILED at step " << m_stats.steps << " (seed " << m_options.seed
              << "): " << what << "\n  the last steps were:\n";
    for (const std::string& line : m_recent)
        std::cerr << "    " << line << "\n";
    m_finishing = true;
}

} // namespace vorn::soak
