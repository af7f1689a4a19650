// InfoPanel: the coloured one-line hint bar of the pending interactive operation.
#pragma once

#include <QLabel>

namespace vorn::app {

class InfoPanel : public QLabel {
    Q_OBJECT
  public:
    explicit InfoPanel(QWidget* parent = nullptr);

    // SetInfo: two blanks, then `text`; a text equal to `heading` shows only the blanks.
    void setInfo(const QString& text, const QString& heading = {});
};

} // namespace vorn::app
