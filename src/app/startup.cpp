// The start-up timer: settings and start-up scene at tick 41, splash gone at tick 51.
#include "app/startup.h"

#include "app/stat_line.h"

#include <QWidget>

namespace vorn::app {

StartUp::StartUp(StartUpWindow& window, QWidget* splash, QString commandLineFile)
    : m_window(window), m_splash(splash), m_commandLineFile(std::move(commandLineFile)) {
    m_timer.setObjectName("Timer1");
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &StartUp::tick);
}

void StartUp::start() {
    m_timer.start();
}

void StartUp::tick() {
    // A command's dialogs and long loops let this timer through; the start-up scene would be
    // read into the scene under it, so the settings tick waits until the command has ended.
    if (m_ticks + 1 == kSettingsTick && !m_window.settingsLoaded() && m_window.busy()) return;
    ++m_ticks;
    if (m_ticks == kSettingsTick && !m_window.settingsLoaded())
        m_window.loadSettings(m_commandLineFile);
    if (m_ticks >= kSplashTick) {
        m_timer.stop();
        m_window.statLine()->clearMessage();
        if (m_splash) {
            m_splash->hide(); // not over the recovery question
            m_splash->deleteLater();
        }
        m_window.offerRecovery();
        Q_EMIT finished();
    }
}

} // namespace vorn::app
