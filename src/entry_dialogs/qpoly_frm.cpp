// The polygon drawing window: mapping, dotted grid, points added, inserted, dragged and removed.
#include "entry_dialogs/qpoly_frm.h"

#include "core/format.h"
#include "entry_dialogs/entry_widgets.h"
#include "entry/grid_snap.h"
#include "geometry/polygon.h"
#include "lang/message_ids.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vorn::entry {

namespace {
constexpr int kMaxGridSteps = 50;
constexpr double kMinSpan = 1e-6;
constexpr double kWiden = 0.00001;
constexpr double kSegmentTolerance = 0.5; // drawing units
constexpr int kPickPixels = 4;
} // namespace

double GridStep(double span) {
    for (int e = -8; e < 300; ++e) {
        const double step = std::pow(10.0, e);
        if (span / step < kMaxGridSteps) return step;
    }
    return std::pow(10.0, 300);
}

int SegmentUnder(const std::vector<PolyPoint>& points, PolyPoint p) {
    int found = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const geo::Vec3 a{points[i - 1].x, points[i - 1].y, 0}, b{points[i].x, points[i].y, 0};
        if (geo::PointOnSegment2D(a, b, {p.x, p.y, 0}, kSegmentTolerance).onSegment())
            found = static_cast<int>(i);
    }
    return found;
}

bool RangeAroundPoints(const std::vector<PolyPoint>& points, PolyRange& range) {
    if (points.empty()) return false;
    double minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const PolyPoint& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double w = maxX - minX, h = maxY - minY;
    if (!(w > 0) || !(h > 0)) return false;
    range = {minX - w / 10, maxX + w / 10, minY - h / 10, maxY + h / 10};
    return true;
}

// The drawing area: paints through the window and hands it the mouse.
class QPolyImage : public QWidget {
  public:
    explicit QPolyImage(TQPolyFrm* frm) : QWidget(frm), m_frm(frm) {
        setObjectName(QStringLiteral("QPolyImage"));
        setFixedSize(TQPolyFrm::kImageWidth, TQPolyFrm::kImageHeight);
        setCursor(Qt::CrossCursor);
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        m_frm->paintImage(p);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) m_frm->mousePressed(e->position());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        m_frm->mouseMoved(e->position(), e->buttons() & Qt::LeftButton);
    }
    void mouseReleaseEvent(QMouseEvent*) override { m_frm->mouseReleased(); }

  private:
    TQPolyFrm* m_frm;
};

TQPolyFrm::TQPolyFrm(core::Env& env, QWidget* parent) : QDialog(parent), m_env(env) {
    setObjectName(QStringLiteral("QPolyFrm"));
    setWindowTitle(QStringLiteral("Графічне задання:"));
    setModal(true);

    m_image = new QPolyImage(this);
    auto* bounds = new QGroupBox(QStringLiteral("Межі зображення:"), this);
    bounds->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(bounds);
    auto field = [&](const char* name, const char* text, QLabel*& label, int row, int col) {
        label = new QLabel(bounds);
        auto* edit = new QLineEdit(QString::fromLatin1(text), bounds);
        edit->setObjectName(QString::fromLatin1(name));
        FitNumberEdit(edit);
        grid->addWidget(label, row, col);
        grid->addWidget(edit, row, col + 1);
        connect(edit, &QLineEdit::textChanged, this, &TQPolyFrm::remap);
        return edit;
    };
    m_qx1 = field("QX1", "-3", m_lx1, 0, 0);
    m_qx2 = field("QX2", "3", m_lx2, 0, 2);
    m_qy1 = field("QY1", "-3", m_ly1, 1, 0);
    m_qy2 = field("QY2", "3", m_ly2, 1, 2);

    m_posX = new QLabel(this);
    m_posX->setObjectName(QStringLiteral("PosX"));
    m_posY = new QLabel(this);
    m_posY->setObjectName(QStringLiteral("PosY"));
    m_decCnt = new QPushButton(QStringLiteral("   Вилучити"), this);
    m_decCnt->setObjectName(QStringLiteral("DecCnt"));
    m_decCnt->setToolTip(QStringLiteral("Вилучити останню вершину"));
    m_drawNum = new QCheckBox(QStringLiteral("Номери вершин"), this);
    m_drawNum->setObjectName(QStringLiteral("DrawNum"));
    m_drawNum->setChecked(true);
    m_snap = new QCheckBox(QStringLiteral("Прив'язка до сітки"), this);
    m_snap->setObjectName(QStringLiteral("SnapGrid"));
    m_snap->setChecked(true);
    m_ok = new QPushButton(QStringLiteral("Виконати"), this);
    m_ok->setObjectName(QStringLiteral("OkBtn"));
    m_ok->setDefault(true);

    connect(m_decCnt, &QPushButton::clicked, this, [this] {
        if (m_points.empty()) return;
        m_points.pop_back();
        pointsChanged();
    });
    connect(m_drawNum, &QCheckBox::toggled, m_image, qOverload<>(&QWidget::update));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* side = new QVBoxLayout;
    side->addWidget(bounds);
    auto* pos = new QHBoxLayout;
    pos->addWidget(m_posX);
    pos->addWidget(m_posY);
    side->addLayout(pos);
    side->addWidget(m_drawNum);
    side->addWidget(m_snap);
    side->addWidget(m_decCnt);
    side->addStretch(1);
    side->addWidget(m_ok);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_image);
    layout->addLayout(side);
    setup({}, 40, true, true, 'x', 'y', {});
    entry::NameCaptions(this);
    entry::FocusFirstFieldOnShow(this);
}

QWidget* TQPolyFrm::image() const {
    return m_image;
}

void TQPolyFrm::setup(std::vector<PolyPoint> points, int capacity, bool anyCount, bool closed,
                      QChar axisX, QChar axisY, const QString& title) {
    m_capacity = std::max(capacity, 0);
    if (static_cast<int>(points.size()) > m_capacity)
        points.resize(static_cast<std::size_t>(m_capacity));
    m_points = std::move(points);
    m_anyCount = anyCount;
    m_closed = closed;
    m_axisX = axisX;
    m_axisY = axisY;
    setWindowTitle(title.isEmpty() ? QStringLiteral("Графічне задання:") : title);
    const QString from = QString::fromStdString(m_env.msg(lang::msg::kFrom)) + ' ';
    const QString to = QString::fromStdString(m_env.msg(lang::msg::kTo)) + ' ';
    m_lx1->setText(from + axisX + '=');
    m_lx2->setText(to + axisX + '=');
    m_ly1->setText(from + axisY + '=');
    m_ly2->setText(to + axisY + '=');
    m_posX->setText(QString(axisX) + QStringLiteral("=???"));
    m_posY->setText(QString(axisY) + QStringLiteral("=???"));
    m_dragged = 0;
    remap();
    pointsChanged();
}

void TQPolyFrm::presetRange() {
    PolyRange r;
    if (RangeAroundPoints(m_points, r))
        setRange(r);
    else
        m_points.clear();
    pointsChanged();
}

void TQPolyFrm::setRange(const PolyRange& r) {
    m_qx1->setText(FullNumber(r.x1));
    m_qx2->setText(FullNumber(r.x2));
    m_qy1->setText(FullNumber(r.y1));
    m_qy2->setText(FullNumber(r.y2));
    remap();
}

bool TQPolyFrm::run() {
    remap();
    return exec() == QDialog::Accepted;
}

void TQPolyFrm::remap() {
    double v[4];
    bool all = true;
    QLineEdit* edits[4] = {m_qx1, m_qx2, m_qy1, m_qy2};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> d = ReadPlainNumber(edits[i]->text());
        QPalette pal = edits[i]->palette();
        pal.setColor(QPalette::Text, d ? palette().color(QPalette::WindowText) : Qt::red);
        edits[i]->setPalette(pal);
        edits[i]->setProperty("red", !d);
        if (d)
            v[i] = *d;
        else
            all = false;
    }
    // An unreadable bound keeps the mapping as it was.
    if (!all) return;
    m_x1 = std::min(v[0], v[1]);
    m_x2 = std::max(v[0], v[1]);
    m_y1 = -std::max(v[2], v[3]);
    m_y2 = -std::min(v[2], v[3]);
    if (m_x2 - m_x1 < kMinSpan) m_x1 -= kWiden;
    if (m_y2 - m_y1 < kMinSpan) m_y1 -= kWiden;
    m_image->update();
}

QPoint TQPolyFrm::toPixel(PolyPoint p) const {
    const double sx = (m_x2 - m_x1) / kImageWidth, sy = (m_y2 - m_y1) / kImageHeight;
    return {static_cast<int>(std::lround((p.x - m_x1) / sx)),
            static_cast<int>(std::lround((-p.y - m_y1) / sy))};
}

PolyPoint TQPolyFrm::fromPixel(QPointF pixel) const {
    const double sx = (m_x2 - m_x1) / kImageWidth, sy = (m_y2 - m_y1) / kImageHeight;
    return {pixel.x() * sx + m_x1, -(pixel.y() * sy + m_y1)};
}

void TQPolyFrm::pointsChanged() {
    m_decCnt->setEnabled(!m_points.empty());
    m_ok->setEnabled(m_anyCount || static_cast<int>(m_points.size()) == m_capacity);
    m_image->update();
}

int TQPolyFrm::pointAt(QPointF pixel) const {
    int found = 0;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        const QPoint q = toPixel(m_points[i]);
        if (std::abs(q.x() - pixel.x()) <= kPickPixels &&
            std::abs(q.y() - pixel.y()) <= kPickPixels)
            found = static_cast<int>(i) + 1;
    }
    return found;
}

void TQPolyFrm::mousePressed(QPointF pixel) {
    if (const int k = pointAt(pixel)) {
        m_dragged = k;
        return;
    }
    if (static_cast<int>(m_points.size()) >= m_capacity) return;
    // The segment is the one clicked on; the new point lands where the grid puts it.
    const PolyPoint p = fromPixel(pixel);
    const int segment = SegmentUnder(m_points, p);
    if (segment > 0)
        m_points.insert(m_points.begin() + segment, placed(p));
    else
        m_points.push_back(placed(p));
    pointsChanged();
}

PolyPoint TQPolyFrm::placed(PolyPoint p) const {
    if (!m_snap->isChecked()) return p;
    return {SnapToGrid(p.x, stepX(), m_x1, m_x2), SnapToGrid(p.y, stepY(), -m_y2, -m_y1)};
}

void TQPolyFrm::mouseMoved(QPointF pixel, bool leftHeld) {
    const PolyPoint p = fromPixel(pixel);
    const int digits = m_env.settings.answerDigits;
    m_posX->setText(QString(m_axisX) + '=' +
                    QString::fromStdString(core::FormatNumber(false, p.x, digits)));
    m_posY->setText(QString(m_axisY) + '=' +
                    QString::fromStdString(core::FormatNumber(false, p.y, digits)));
    if (leftHeld && m_dragged > 0 && m_dragged <= static_cast<int>(m_points.size())) {
        m_points[static_cast<std::size_t>(m_dragged - 1)] = placed(p);
        m_image->update();
        return;
    }
    m_image->setCursor(pointAt(pixel) ? Qt::SizeAllCursor : Qt::CrossCursor);
}

void TQPolyFrm::mouseReleased() {
    m_dragged = 0;
}

void TQPolyFrm::paintImage(QPainter& p) const {
    const int w = kImageWidth, h = kImageHeight;
    p.fillRect(0, 0, w, h, Qt::white);
    const QPoint origin = toPixel({0, 0});

    // Dots on the grid of the powers of ten.
    const double stx = stepX(), sty = stepY();
    const double xmin = m_x1, xmax = m_x2, ymin = -m_y2, ymax = -m_y1;
    p.setPen(Qt::black);
    for (double i = std::ceil(xmin / stx); i <= std::floor(xmax / stx); ++i)
        for (double j = std::ceil(ymin / sty); j <= std::floor(ymax / sty); ++j)
            p.drawPoint(toPixel({i * stx, j * sty}));

    p.setPen(QPen(Qt::red, 1));
    p.drawLine(origin.x(), 0, origin.x(), h);
    p.drawLine(0, origin.y(), w, origin.y());
    p.drawText(origin.x() + 4, 12, QString(m_axisY));
    p.drawText(w - 12, origin.y() - 4, QString(m_axisX));
    p.drawText(origin.x() + 3, origin.y() + 13, QStringLiteral("0"));
    const QPoint tx = toPixel({stx, 0}), ty = toPixel({0, sty});
    p.drawLine(tx.x(), tx.y() - 3, tx.x(), tx.y() + 3);
    p.drawText(tx.x() - 4, tx.y() + 15, FullNumber(stx));
    p.drawLine(ty.x() - 3, ty.y(), ty.x() + 3, ty.y());
    p.drawText(ty.x() + 6, ty.y() + 4, FullNumber(sty));

    QPolygon poly;
    for (const PolyPoint& q : m_points)
        poly << toPixel(q);
    p.setPen(QPen(Qt::black, 2, Qt::DotLine));
    if (m_closed) {
        p.setBrush(QBrush(Qt::blue, Qt::DiagCrossPattern));
        p.drawPolygon(poly);
        p.setBrush(Qt::NoBrush);
    } else {
        p.drawPolyline(poly);
    }
    for (int i = 0; i < poly.size(); ++i) {
        const QPoint q = poly[i];
        p.fillRect(q.x() - 2, q.y() - 2, 5, 5, Qt::red);
        if (m_drawNum->isChecked()) {
            p.setPen(Qt::black);
            p.drawText(q.x() + 4, q.y() - 4, QString::number(i + 1));
        }
    }
}

} // namespace vorn::entry
