// The preview of a generatrix: blue axes through the centre and the curve in red.
#include "entry_dialogs/revolution_preview.h"

#include <QPainter>

#include <cmath>

namespace vorn::entry {

namespace {
constexpr int kMargin = 12;
constexpr double kZeroScale = 1e-9;
constexpr double kFallbackScale = 0.001;
} // namespace

double PreviewScale(const std::vector<PolyPoint>& points, int width, int height) {
    double mx = 0, my = 0;
    for (const PolyPoint& p : points) {
        mx = std::max(mx, std::fabs(p.x));
        my = std::max(my, std::fabs(p.y));
    }
    const double scale = std::max(2 * mx / (width - 2 * kMargin), 2 * my / (height - 2 * kMargin));
    return std::fabs(scale) < kZeroScale || !std::isfinite(scale) ? kFallbackScale : scale;
}

RevolutionPreview::RevolutionPreview(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TPreview"));
    setMinimumSize(160, 120);
}

void RevolutionPreview::setPoints(std::vector<PolyPoint> points) {
    m_points = std::move(points);
    update();
}

void RevolutionPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height();
    p.fillRect(rect(), Qt::white);
    const int cx = w / 2, cy = h / 2;
    p.setPen(Qt::blue);
    p.drawLine(0, cy, w, cy);
    p.drawLine(cx, 0, cx, h);
    p.drawText(cx + 3, cy + 13, QStringLiteral("0"));
    p.drawText(w - 10, cy - 3, QStringLiteral("x"));
    p.drawText(cx + 4, 11, QStringLiteral("y"));
    if (m_points.size() < 2) return;
    const double s = PreviewScale(m_points, w, h);
    QPolygonF line;
    for (const PolyPoint& q : m_points)
        line << QPointF(cx + q.x / s, cy - q.y / s);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::red, 2));
    p.drawPolyline(line);
}

} // namespace vorn::entry
