// The program's own help viewer, used when the desktop cannot open the help document.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace vorn::app {

class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // False when the file cannot be read.
    bool openFile(const QString& path);
    QTextBrowser* browser() const { return m_browser; }

  private:
    QTextBrowser* m_browser;
};

} // namespace vorn::app
