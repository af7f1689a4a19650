// Timer1: the start-up ticks that load the settings and the first scene and close the splash.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace vorn::app {

class TVorn2frm;

class StartUp : public QObject {
    Q_OBJECT
  public:
    static constexpr int kIntervalMs = 10;
    static constexpr int kSettingsTick = 41;
    static constexpr int kSplashTick = 51;

    // The splash is deleted at its tick; `commandLineFile` may be empty.
    StartUp(TVorn2frm& window, QWidget* splash, QString commandLineFile);

    void start();
    int ticks() const { return m_ticks; }
    bool running() const { return m_timer.isActive(); }

  Q_SIGNALS:
    void finished();

  private:
    void tick();

    TVorn2frm& m_window;
    QPointer<QWidget> m_splash;
    QString m_commandLineFile;
    QTimer m_timer;
    int m_ticks = 0;
};

} // namespace vorn::app
