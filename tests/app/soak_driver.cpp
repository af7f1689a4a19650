// The GUI soak driver: actions chosen by a seeded generator, nested modal windows handled from
// the same timer, invariants checked after every step, a watchdog for a program that hangs.
// The steps are in soak_steps.cpp and soak_widgets.cpp, the inputs in soak_inputs.cpp, the
// invariants in soak_checks.cpp.
#include "soak_driver.h"
#include "soak_dialogs.h"
#include "soak_helpers.h"

#include "app/listing_panel.h"
#include "app/pres_frm.h"
#include "app/startup.h"
#include "app/vorn2frm.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace vorn::soak {

namespace {

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

Driver::Driver(Options options) : m_options(std::move(options)), m_random(m_options.seed) {
    if (!m_options.logFile.isEmpty())
        m_log = std::fopen(QFile::encodeName(m_options.logFile).constData(), "w");
}

Driver::~Driver() {
    m_stopWatchdog = true;
    if (m_watchdog.joinable()) m_watchdog.join();
    if (m_log) std::fclose(m_log);
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
