// TQPolyFrm: a polygon or polyline entered with the mouse on a dotted grid of the plane.
#pragma once

#include "core/scene.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vorn::entry {

struct PolyPoint {
    double x = 0, y = 0;
};

// Smallest power of ten from 1e-8 upward of which `span` holds fewer than 50.
double GridStep(double span);
// First point (1-based) of the last segment between consecutive points on which `p` lies within
// half a drawing unit; 0 when there is none. The closing segment is not tried.
int SegmentUnder(const std::vector<PolyPoint>& points, PolyPoint p);

// Drawing range: x from-to, y from-to.
struct PolyRange {
    double x1 = -3, x2 = 3, y1 = -3, y2 = 3;
};
// The points' bounding box widened by a tenth on each side; false when it has no area.
bool RangeAroundPoints(const std::vector<PolyPoint>& points, PolyRange& range);

class QPolyImage;

class TQPolyFrm : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kImageWidth = 290, kImageHeight = 301;

    TQPolyFrm(core::Env& env, QWidget* parent = nullptr);

    // What the caller sets before `run`. `title` empty keeps "Графічне задання:".
    void setup(std::vector<PolyPoint> points, int capacity, bool anyCount, bool closed, QChar axisX,
               QChar axisY, const QString& title);
    // Range around the current points; with no area to span the points are dropped and the
    // range fields keep their values.
    void presetRange();
    void setRange(const PolyRange& range);
    // Modal; true when closed with "Виконати".
    bool run();
    const std::vector<PolyPoint>& points() const { return m_points; }

    // The mapping of the drawing, for the image and the tests.
    QPoint toPixel(PolyPoint p) const;
    PolyPoint fromPixel(QPointF pixel) const;
    double stepX() const { return GridStep(m_x2 - m_x1); }
    double stepY() const { return GridStep(m_y2 - m_y1); }
    QWidget* image() const;

    // Where a point put at `p` lands: the nearest grid node while "Прив'язка до сітки" is on.
    PolyPoint placed(PolyPoint p) const;

    // Mouse on the image, in its pixels.
    void mousePressed(QPointF pixel);
    void mouseMoved(QPointF pixel, bool leftHeld);
    void mouseReleased();

  private:
    friend class QPolyImage;
    void remap();
    void pointsChanged();
    int pointAt(QPointF pixel) const;
    void paintImage(QPainter& p) const;

    core::Env& m_env;
    QPolyImage* m_image;
    QLineEdit *m_qx1, *m_qx2, *m_qy1, *m_qy2;
    QLabel *m_lx1, *m_lx2, *m_ly1, *m_ly2;
    QLabel *m_posX, *m_posY;
    QPushButton *m_decCnt, *m_ok;
    QCheckBox *m_drawNum, *m_snap;

    std::vector<PolyPoint> m_points;
    int m_capacity = 40;
    bool m_anyCount = true, m_closed = true;
    QChar m_axisX = 'x', m_axisY = 'y';
    double m_x1 = -3, m_x2 = 3, m_y1 = -3, m_y2 = 3; // mapped range, y negated
    int m_dragged = 0;                               // 1-based; 0 none
};

} // namespace vorn::entry
