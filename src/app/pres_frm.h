// TPresFrm: the splash window shown while the program starts.
#pragma once

#include <QWidget>

namespace vorn::app {

class TPresFrm : public QWidget {
    Q_OBJECT
  public:
    explicit TPresFrm(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vorn::app
