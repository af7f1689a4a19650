// Drawing and picking of the palette grid.
#include "app/color_grid.h"

#include "core/scene_object.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vorn::app {

namespace {
QColor paletteColor(int i) {
    const std::uint32_t bgr = core::kPalette[static_cast<std::size_t>(i)];
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}
} // namespace

ColorGrid::ColorGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(4 * 16, 4 * 16);
}

QSize ColorGrid::sizeHint() const {
    return {kColumns * 32, kRows * 32};
}

void ColorGrid::setColorIndex(int index) {
    if (index < 0 || index >= kColumns * kRows) return;
    m_index = index;
    update();
}

QRect ColorGrid::cellRect(int index) const {
    const int w = width() / kColumns, h = height() / kRows;
    return {(index % kColumns) * w, (index / kColumns) * h, w, h};
}

int ColorGrid::indexAt(const QPoint& p) const {
    const int w = width() / kColumns, h = height() / kRows;
    if (w <= 0 || h <= 0 || p.x() < 0 || p.y() < 0) return -1;
    const int col = p.x() / w, row = p.y() / h;
    return col < kColumns && row < kRows ? row * kColumns + col : -1;
}

void ColorGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (int i = 0; i < kColumns * kRows; ++i) {
        const QRect r = cellRect(i).adjusted(2, 2, -2, -2);
        p.fillRect(r, paletteColor(i));
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    // The chosen cell: a double frame that shows on light and dark colours alike.
    const QRect c = cellRect(m_index);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(c.adjusted(1, 1, -1, -1));
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(c.adjusted(3, 3, -4, -4));
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(c.adjusted(0, 0, -1, -1));
    }
}

void ColorGrid::mousePressEvent(QMouseEvent* event) {
    const int i = indexAt(event->position().toPoint());
    if (i >= 0) choose(i);
}

void ColorGrid::keyPressEvent(QKeyEvent* event) {
    int i = m_index;
    switch (event->key()) {
    case Qt::Key_Left:
        i = i % kColumns > 0 ? i - 1 : i;
        break;
    case Qt::Key_Right:
        i = i % kColumns < kColumns - 1 ? i + 1 : i;
        break;
    case Qt::Key_Up:
        i = i >= kColumns ? i - kColumns : i;
        break;
    case Qt::Key_Down:
        i = i + kColumns < kColumns * kRows ? i + kColumns : i;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    choose(i);
}

void ColorGrid::choose(int index) {
    if (index == m_index) return;
    setColorIndex(index);
    Q_EMIT colorChosen(index);
}

} // namespace vorn::app
