// A floatable tool bar whose floating frame can be closed: closing hides it and docks it back.
#pragma once

#include <QToolBar>

namespace vorn::app {

class FloatingToolBar : public QToolBar {
    Q_OBJECT
  public:
    FloatingToolBar(const QString& title, QWidget* parent);

    // The close button shown while floating (object name "CloseFloating"); added last.
    void addCloseButton();
    QAction* closeAction() const { return m_close; }

  Q_SIGNALS:
    // The user closed the floating frame.
    void floatingClosed();

  protected:
    bool event(QEvent* event) override;

  private:
    QAction* m_close;
};

} // namespace vorn::app
