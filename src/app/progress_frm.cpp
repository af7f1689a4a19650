// The progress window: label, gauge and "Припинити", kept alive by processing pending events.
#include "app/progress_frm.h"

#include "app/language_walk.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorn::app {

TProgressFrm::TProgressFrm(QWidget* parent, std::function<bool()> confirmStop)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_confirmStop(std::move(confirmStop)) {
    setObjectName("ProgressFrm");
    setWindowTitle(QStringLiteral("Обробка..."));
    // The loops behind it let events through: input to any other window would run commands
    // on a scene the loop is still working on.
    setWindowModality(Qt::ApplicationModal);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    m_label = new QLabel(frame);
    m_label->setObjectName("MsgLabel");
    ExcludeFromLanguage(m_label); // the running operation's message
    m_label->setAlignment(Qt::AlignCenter);
    m_gauge = new QProgressBar(frame);
    m_gauge->setObjectName("Gauge");
    m_stop = new QPushButton(QStringLiteral("Припинити"), frame);
    m_stop->setObjectName("StopBtn");
    connect(m_stop, &QPushButton::clicked, this, &TProgressFrm::stopClicked);

    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(m_label);
    inner->addWidget(m_gauge);
    inner->addWidget(m_stop, 0, Qt::AlignHCenter);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    setFixedWidth(360);
}

void TProgressFrm::begin(const QString& text, int maximum) {
    m_abort = false;
    m_running = true;
    m_gauge->setRange(0, maximum > 0 ? maximum : 1);
    m_gauge->setValue(0);
    if (!m_cursorSet) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_cursorSet = true;
    }
    show();
    progressMsg(true, text);
}

void TProgressFrm::step(int position) {
    m_gauge->setValue(position);
    processEvents();
}

void TProgressFrm::end() {
    m_running = false;
    hide();
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
}

void TProgressFrm::progressMsg(bool stopEnabled, const QString& text) {
    m_label->setText(text);
    m_stop->setEnabled(stopEnabled);
    processEvents();
}

void TProgressFrm::processEvents() {
    // Once stopped the window is gone, but the loop may run on to its next test of the flag:
    // input waits until the operation has ended.
    QApplication::processEvents(isVisible() ? QEventLoop::AllEvents
                                            : QEventLoop::ExcludeUserInputEvents);
}

void TProgressFrm::stopClicked() {
    // The question is modal; the normal cursor is wanted while it is asked.
    if (m_cursorSet) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool stop = m_confirmStop && m_confirmStop();
    if (m_cursorSet) QApplication::restoreOverrideCursor();
    if (!stop) return;
    m_abort = true;
    hide();
}

} // namespace vorn::app
