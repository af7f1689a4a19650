// The GUI soak driver: seeded random user actions on the whole program, invariants after each.
#pragma once

#include "core/scene.h"

#include <QEventLoop>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

class QAbstractSlider;
class QWidget;

namespace vorn::app {
class StartUp;
class TVorn2frm;
} // namespace vorn::app

namespace vorn::soak {

struct Options {
    long steps = 300;
    std::uint64_t seed = 1;
    QString root;            // the temporary folder: the only place the run may write to
    QString samplesDir;      // every *.v3d in it is copied in and loaded
    QStringList extraInputs; // further files to load (damaged scenes, fuzz corpus)
    QStringList dataFiles;   // copied beside the program: language files, help document
    QStringList watchDirs;   // folders outside `root` where no program file may appear
    QString logFile;         // every step is written here when not empty
    int stepTimeoutSec = 120;
    bool verbose = false;
};

// Broken invariants of a scene (object count, counts within the record, face vertex numbers);
// empty when it is sound.
std::vector<std::string> SceneFaults(const core::Scene& scene);

// Names of files the program writes: scenes, settings, language files, reports, temporaries.
bool ProgramFileName(const QString& name);

// Reports program files that appear, change or vanish in watched folders.
class OutsideWriteWatch {
  public:
    OutsideWriteWatch();
    ~OutsideWriteWatch();
    OutsideWriteWatch(const OutsideWriteWatch&) = delete;
    OutsideWriteWatch& operator=(const OutsideWriteWatch&) = delete;
    // False when the folder cannot be watched.
    bool watch(const QString& dir);
    // "folder/name" of every program file touched since the last call.
    QStringList changes();

  private:
    int m_fd = -1;
    std::map<int, QString> m_dirs;
};

// Counts of what the run did, to show that every kind of action was exercised.
struct Stats {
    std::map<std::string, long> actions;
    long steps = 0;
    long restarts = 0;
    long realBoxes = 0;
    long scriptedBoxes = 0;
    long savesChecked = 0;
    long writeFailuresExpected = 0;
    int maxDepth = 0;
    QStringList modalsSeen;
};

class SoakDialogs;

class Driver {
  public:
    explicit Driver(Options options);
    ~Driver();
    // Runs the steps; 0 when every invariant held.
    int run();
    const Stats& stats() const { return m_stats; }
    const std::vector<std::string>& failures() const { return m_failures; }

  private:
    friend class SoakDialogs;

    // soak_driver.cpp: the run, its restarts, the timer that gives each step; soak_inputs.cpp:
    // the files, names and texts; soak_steps.cpp and soak_widgets.cpp: the user's actions;
    // soak_checks.cpp: the invariants.
    void prepareFolders();
    void startProgram();
    void stopProgram();
    void schedule();
    void tick();
    bool startUpLoading() const;
    void actMain();
    bool actBusy();
    void actModal(QWidget* modal);
    void actPopup(QWidget* popup);
    void actOnWindow(QWidget* window);
    void actOnWidget(QWidget* w);
    void pictureMouse();
    void objectListAction();
    void keyShortcut();
    void triggerCommand(bool anyCommand);
    void loadAction();
    void saveAction();
    void secondaryWindowAction();
    void closeModal(QWidget* modal, bool force);
    void check();
    void note(const std::string& kind, const std::string& detail);
    void fail(const std::string& what);

    // Every random choice draws from the one seeded generator.
    int pick(int n) { return static_cast<int>(m_random() % static_cast<std::uint64_t>(n)); }
    double roll() { return std::uniform_real_distribution<double>(0, 1)(m_random); }
    bool chance(double p) { return roll() < p; }
    template <class List> auto& pickOne(List& list) {
        return list[pick(static_cast<int>(std::size(list)))];
    }
    QPoint randomPoint(const QWidget* w);
    void pointerMove(QWidget* place);
    void setAnywhere(QAbstractSlider* slider);
    QString randomText();
    QString nextInput();
    QString nextSaveName(bool report);

    Options m_options;
    std::mt19937_64 m_random;
    Stats m_stats;
    std::vector<std::string> m_failures;

    QString m_programDir, m_workDir, m_inputDir;
    QStringList m_inputs, m_samplesFirst;
    std::map<QString, QByteArray> m_sampleBytes; // the originals, which must not change

    std::unique_ptr<app::TVorn2frm> m_window;
    std::unique_ptr<app::StartUp> m_startUp;
    QPointer<QWidget> m_splash;
    SoakDialogs* m_dialogs = nullptr;
    OutsideWriteWatch m_watch;

    QEventLoop m_loop;
    // Ticks come from a chain of single-shot timers, each started before its step acts: a timer
    // does not fire again while its own handler runs, and steps open nested event loops.
    QObject m_context;
    long m_generation = 0;
    int m_depth = 0;
    std::vector<QPointer<QWidget>> m_claimed; // modals acted on by frames below this one
    bool m_finishing = false, m_restart = false;
    long m_busyActions = 0;
    long m_saveCounter = 0, m_reportCounter = 0;

    // The watchdog: the program must come back to the driver within the step timeout.
    std::atomic<std::int64_t> m_heartbeat{0};
    std::atomic<bool> m_stopWatchdog{false};
    std::thread m_watchdog;
    std::mutex m_logMutex;
    std::deque<std::string> m_recent;
    FILE* m_log = nullptr;
};

} // namespace vorn::soak
