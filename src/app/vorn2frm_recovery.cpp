// The main window's recovery files: autosaving a modified scene and offering it after a kill.
#include "app/app_paths.h"
#include "app/scene_steps.h"
#include "app/vorn2frm.h"
#include "lang/message_ids.h"

#include <QApplication>
#include <QDateTime>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vorn::app {

namespace {

constexpr int kRetryMs = 1000; // a command was running at the autosave: try again soon

// SIGTERM (shutdown, logout) and SIGHUP reach the window through this pair.
int g_signalPipe[2] = {-1, -1};

void onTerminate(int signal) {
    const char byte = static_cast<char>(signal);
    (void)!::write(g_signalPipe[1], &byte, 1);
}

int autosaveInterval() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("VORN3D_AUTOSAVE_MS", &ok);
    return ok && ms > 0 ? ms : 60000;
}

} // namespace

void TVorn2frm::enableRecovery(const QString& dir) {
    if (m_lesson.recoveryStore() || dir.isEmpty()) return;
    m_lesson.enableRecovery(LocalBytesOfPath(dir));
    m_autosaveInterval = autosaveInterval();
    m_autosaveTimer = new QTimer(this);
    m_autosaveTimer->setObjectName("AutosaveTimer");
    m_autosaveTimer->setSingleShot(true);
    connect(m_autosaveTimer, &QTimer::timeout, this,
            [this] { m_autosaveTimer->start(autosave() ? m_autosaveInterval : kRetryMs); });
    m_autosaveTimer->start(m_autosaveInterval);
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { autosave(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { autosave(); });

    if (g_signalPipe[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char signal = 0;
        if (::read(g_signalPipe[0], &signal, 1) != 1) return;
        autosave();
        // Ended as the signal would have ended it, the recovery file kept.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    });
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

bool TVorn2frm::autosave() {
    if (!m_lesson.recoveryStore()) return true;
    // Halfway through a command the scene may hold a slot still being built.
    if (busy()) return false;
    m_lesson.writeRecovery();
    return true;
}

void TVorn2frm::offerRecovery() {
    recovery::RecoveryStore* store = m_lesson.recoveryStore();
    if (!store) return;
    // A restored scene must not replace the one a running command works on.
    if (busy()) {
        QTimer::singleShot(kRetryMs, this, &TVorn2frm::offerRecovery);
        return;
    }
    bool restored = false;
    for (const recovery::Recovered& found : store->takeOrphans()) {
        // One scene at a time: the others wait for the next start.
        if (restored) {
            store->releaseTaken(found);
            continue;
        }
        const QString scene = found.originalName.empty() ? QString::fromLatin1(kNoName)
                                                         : PathFromLocalBytes(found.originalName);
        const QString when = QDateTime::fromSecsSinceEpoch(found.savedAt)
                                 .toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
        const std::string question =
            m_messages.format(lang::msg::kOfferRecovery, {scene.toStdString(), when.toStdString(),
                                                          std::to_string(found.objectCount)});
        if (askYesNo(question) && restoreRecovery(found)) {
            restored = true;
            // This instance's own copy exists before the old one goes.
            m_lesson.writeRecovery();
        }
        store->removeTaken(found);
    }
}

bool TVorn2frm::restoreRecovery(const recovery::Recovered& found) {
    // Read as a load reads, but the recovery file is neither the current nor a recent file.
    const QString name = found.originalName.empty() ? QString::fromLatin1(kNoName)
                                                    : PathFromLocalBytes(found.originalName);
    if (!m_lesson.restore(found, LocalBytesOfPath(resolvedFileName(name)))) return false;
    m_steps->updateCommands();
    if (halfToneActive()) rebuildHalfTone();
    updateCaption();
    return true;
}

} // namespace vorn::app
