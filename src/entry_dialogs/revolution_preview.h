// TPreview: the generatrix of a surface of revolution drawn over its two axes.
#pragma once

#include "entry_dialogs/qpoly_frm.h"

#include <QWidget>

#include <vector>

namespace vorn::entry {

// Units per pixel, the same on both axes, leaving a margin of 12 pixels.
double PreviewScale(const std::vector<PolyPoint>& points, int width, int height);

class RevolutionPreview : public QWidget {
    Q_OBJECT
  public:
    explicit RevolutionPreview(QWidget* parent = nullptr);
    // No points: only the axes are drawn.
    void setPoints(std::vector<PolyPoint> points);
    const std::vector<PolyPoint>& points() const { return m_points; }
    QSize sizeHint() const override { return {200, 160}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<PolyPoint> m_points;
};

} // namespace vorn::entry
