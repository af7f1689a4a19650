// TProgressFrm: the "Обробка..." window of long loops, with its stop button and abort flag.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vorn::app {

class TProgressFrm : public QDialog {
    Q_OBJECT
  public:
    // `confirmStop` asks whether to stop (message 18); the flag is set only on Yes.
    TProgressFrm(QWidget* parent, std::function<bool()> confirmStop);

    // Shows the window; showing clears the abort flag.
    void begin(const QString& text, int maximum);
    void step(int position);
    void end();
    // ProgressMsg: sets the text and the stop button, then lets pending messages run.
    void progressMsg(bool stopEnabled, const QString& text);

    bool abortRequested() const { return m_abort; }
    // Between begin and end, also after "Припинити" has hidden the window.
    bool running() const { return m_running; }
    QPushButton* stopButton() const { return m_stop; }
    QProgressBar* gauge() const { return m_gauge; }
    QLabel* message() const { return m_label; }

  protected:
    // Escape does not hide the window: only the operation that showed it ends it.
    void reject() override {}

  private:
    void stopClicked();
    void processEvents();

    std::function<bool()> m_confirmStop;
    QLabel* m_label;
    QProgressBar* m_gauge;
    QPushButton* m_stop;
    bool m_abort = false;
    bool m_running = false;
    bool m_cursorSet = false;
};

} // namespace vorn::app
