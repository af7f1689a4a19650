// Timer1: the start-up ticks that load the settings and the first scene and close the splash.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

namespace vorn::app {

class StatLine;

// What the start-up ticks need of the main window.
class StartUpWindow {
  public:
    virtual bool settingsLoaded() const = 0;
    // A command is running, so the settings tick must wait.
    virtual bool busy() const = 0;
    virtual void loadSettings(const QString& commandLineFile) = 0;
    virtual StatLine* statLine() const = 0;
    // Asks about a scene the last session left unsaved.
    virtual void offerRecovery() = 0;

  protected:
    ~StartUpWindow() = default;
};

class StartUp : public QObject {
    Q_OBJECT
  public:
    static constexpr int kIntervalMs = 10;
    static constexpr int kSettingsTick = 41;
    static constexpr int kSplashTick = 51;

    // The splash is deleted at its tick; `commandLineFile` may be empty.
    StartUp(StartUpWindow& window, QWidget* splash, QString commandLineFile);

    void start();
    int ticks() const { return m_ticks; }
    bool running() const { return m_timer.isActive(); }

  Q_SIGNALS:
    void finished();

  private:
    void tick();

    StartUpWindow& m_window;
    QPointer<QWidget> m_splash;
    QString m_commandLineFile;
    QTimer m_timer;
    int m_ticks = 0;
};

} // namespace vorn::app
