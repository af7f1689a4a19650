// ColorGrid: the 16-colour palette as a 4 x 4 grid of cells, one of them chosen.
#pragma once

#include <QWidget>

namespace vorn::app {

class ColorGrid : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kColumns = 4, kRows = 4;

    explicit ColorGrid(QWidget* parent = nullptr);

    int colorIndex() const { return m_index; }
    void setColorIndex(int index); // no signal
    // The palette index under a point of the widget, -1 outside the cells.
    int indexAt(const QPoint& p) const;
    QRect cellRect(int index) const;
    QSize sizeHint() const override;

  Q_SIGNALS:
    void colorChosen(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void choose(int index);
    int m_index = 0;
};

} // namespace vorn::app
